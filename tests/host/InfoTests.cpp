// The info command must show what the library itself answers through its record.
#include "HostTestSupport.h"

#include "effect/HostRecord.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <dlfcn.h>

namespace {

HostValue answerVersionOnly(HostRecord*, std::int32_t opcode, std::int32_t, HostValue, void*,
                            float) {
    return opcode == 1 ? 2400 : 0;
}

// What a library reports about itself, asked directly in this process.
struct LibraryFacts {
    HostRecord record{};
    std::vector<std::string> identityTexts;  // effect name, vendor, product
    std::vector<HostValue> identityNumbers;  // vendor version, category, interface version
    std::vector<std::string> parameterTexts; // title, unit and value text of each parameter
    std::vector<std::string> programNames;
};

std::string askText(HostRecord* record, std::int32_t opcode, std::int32_t index,
                    HostValue* answer = nullptr, HostValue value = 0) {
    char buffer[256] = {};
    const HostValue result = record->opcodeEntry(record, opcode, index, value, buffer, 0.0f);
    if (answer != nullptr) {
        *answer = result;
    }
    return buffer;
}

LibraryFacts askLibrary(const std::string& path) {
    LibraryFacts facts;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        ADD_FAILURE() << dlerror();
        return facts;
    }
    const auto entry = reinterpret_cast<MainEntry>(dlsym(library, "main"));
    HostRecord* record = entry != nullptr ? entry(answerVersionOnly) : nullptr;
    if (record == nullptr) {
        ADD_FAILURE() << "no record from " << path;
        return facts;
    }
    record->opcodeEntry(record, 0, 0, 0, nullptr, 0.0f);
    facts.record = *record;
    for (std::int32_t opcode : {45, 47, 48}) {
        HostValue answer = 0;
        const std::string text = askText(record, opcode, 0, &answer);
        if (answer != 0) {
            facts.identityTexts.push_back(text);
        }
    }
    for (std::int32_t opcode : {49, 35, 58}) {
        facts.identityNumbers.push_back(record->opcodeEntry(record, opcode, 0, 0, nullptr, 0.0f));
    }
    for (std::int32_t index = 0; index < record->parameterCount; ++index) {
        for (std::int32_t opcode : {8, 6, 7}) {
            facts.parameterTexts.push_back(askText(record, opcode, index));
        }
    }
    for (std::int32_t index = 0; index < record->programCount; ++index) {
        HostValue answer = 0;
        const std::string name = askText(record, 29, index, &answer, -1);
        if (answer != 0) {
            facts.programNames.push_back(name);
        }
    }
    record->opcodeEntry(record, 1, 0, 0, nullptr, 0.0f);
    // Like the host, the test keeps the library loaded: plug-ins may hold module state that is
    // meant to live until the process ends.
    return facts;
}

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

void expectInfoMatchesLibrary(const std::string& path) {
    const HostRun run = runHost({"info", path});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const LibraryFacts facts = askLibrary(path);
    const std::string& out = run.out;
    EXPECT_NE(out.find("signature          0x56737450"), std::string::npos) << out;
    EXPECT_NE(out.find("effect id          " + hex(facts.record.effectId)), std::string::npos)
        << out;
    EXPECT_NE(out.find("flags              " + hex(facts.record.capabilityFlags)),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("parameters         " + std::to_string(facts.record.parameterCount)),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("inputs             " + std::to_string(facts.record.inputCount)),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("latency            " + std::to_string(facts.record.latency)),
              std::string::npos)
        << out;
    for (const auto& text : facts.identityTexts) {
        EXPECT_NE(out.find("\"" + text + "\""), std::string::npos) << text << "\n" << out;
    }
    const char* numberLabels[] = {"vendor version     ", "category           ",
                                  "interface version  "};
    for (std::size_t i = 0; i < facts.identityNumbers.size(); ++i) {
        EXPECT_NE(out.find(numberLabels[i] + std::to_string(facts.identityNumbers[i])),
                  std::string::npos)
            << out;
    }
    for (const auto& text : facts.parameterTexts) {
        EXPECT_NE(out.find("\"" + text + "\""), std::string::npos) << text << "\n" << out;
    }
    for (const auto& name : facts.programNames) {
        EXPECT_NE(out.find("\"" + name + "\""), std::string::npos) << name << "\n" << out;
    }
}

TEST(HostInfo, ShowsWhatTheRealLibraryReports) {
    expectInfoMatchesLibrary(realPluginPath());
    const HostRun run = runHost({"info", realPluginPath()});
    EXPECT_NE(run.out.find("\"Mid\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"Side\""), std::string::npos) << run.out;
}

TEST(HostInfo, ShowsWhatAnotherLibraryReports) {
    expectInfoMatchesLibrary(fakePluginPath("fake_accumulator"));
    const HostRun run = runHost({"info", fakePluginPath("fake_accumulator")});
    EXPECT_NE(run.out.find("0x46616b65 'Fake'"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(level-meter)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("current  0 \"First\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1  \"Second\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("product            (not given)"), std::string::npos) << run.out;
}

} // namespace
