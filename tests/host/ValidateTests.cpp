// The validate command: our plug-in passes every check, plug-ins that misbehave on purpose fail
// the checks meant to catch them, and the options select, seed and repeat the battery.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The host under test counts allocations and locks only when built without a sanitizer runtime.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool realtimeProbeAvailable = false;
#else
constexpr bool realtimeProbeAvailable = true;
#endif

constexpr int checkCount = 26;

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The report line of one check, or an empty string when it was not run.
std::string lineOf(const HostRun& run, const std::string& check) {
    for (const char* verdict : {"PASS ", "FAIL ", "SKIP "}) {
        for (const auto& line : linesStartingWith(run.out, verdict + check)) {
            const auto rest = line.substr(5 + check.size());
            if (rest.empty() || rest[0] == ':') {
                return line;
            }
        }
    }
    return {};
}

std::string lastLine(const std::string& text) {
    const auto end = text.find_last_not_of('\n');
    const auto start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

TEST(HostValidate, OurPluginPassesEveryCheck) {
    const HostRun run = runHost({"validate", realPluginPath(), "--seed", "11"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(linesStartingWith(run.out, "FAIL ").empty()) << run.out;
    const auto passed = linesStartingWith(run.out, "PASS ").size();
    const auto skipped = linesStartingWith(run.out, "SKIP ");
    EXPECT_EQ(passed + skipped.size(), static_cast<std::size_t>(checkCount)) << run.out;
    for (const auto& line : skipped) {
        // Only what this build cannot do may be skipped; our plug-in offers everything else.
        EXPECT_TRUE(!realtimeProbeAvailable && line.rfind("SKIP realtime.", 0) == 0) << line;
    }
    EXPECT_EQ(lastLine(run.out).find(std::to_string(passed) + " passed, 0 failed"), 0u) << run.out;
}

TEST(HostValidate, CatchesTextsThatOverrunOrLackTheirTerminator) {
    const HostRun run = runHost({"validate", fakePluginPath("fake_bad_texts")});
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_EQ(lineOf(run, "lifecycle.cold"), "PASS lifecycle.cold");
    EXPECT_EQ(lineOf(run, "texts.identity"), "PASS texts.identity");
    const std::string parameters = lineOf(run, "texts.parameters");
    EXPECT_EQ(parameters.rfind("FAIL texts.parameters: title of parameter 0 (opcode 8): wrote 6 "
                               "byte(s) past the end of its 9-byte buffer",
                               0),
              0u)
        << parameters;
    // Every unit fills all nine bytes; the title of index -1 fits, so the unit is what fails.
    EXPECT_EQ(lineOf(run, "texts.out-of-range"),
              "FAIL texts.out-of-range: unit of parameter -1 (opcode 6): left no terminator in "
              "its 9-byte buffer");
    EXPECT_NE(lineOf(run, "texts.programs").find("past the end of its 24-byte buffer"),
              std::string::npos)
        << run.out;
    EXPECT_NE(lineOf(run, "locale.unchanged")
                  .find("FAIL locale.unchanged: main and open changed "
                        "the process's locale"),
              std::string::npos)
        << run.out;
    EXPECT_NE(lastLine(run.out).find(" passed, "), std::string::npos);
}

TEST(HostValidate, CatchesProcessingThatAllocatesLocksOrGivesNaN) {
    const HostRun run = runHost({"validate", fakePluginPath("fake_bad_processing")});
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_EQ(lineOf(run, "lifecycle.many-at-once"), "PASS lifecycle.many-at-once");
    EXPECT_NE(lineOf(run, "processing.finite-output")
                  .find("FAIL processing.finite-output: overwrite entry, noise input: NaN at "
                        "frame 511 of output 0"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(lineOf(run, "processing.accumulate").rfind("FAIL processing.accumulate: sample", 0),
              0u)
        << run.out;
    if (realtimeProbeAvailable) {
        EXPECT_NE(lineOf(run, "realtime.no-allocation").find("FAIL realtime.no-allocation: "),
                  std::string::npos)
            << run.out;
        EXPECT_NE(lineOf(run, "realtime.no-locks").find("FAIL realtime.no-locks: 64 lock"),
                  std::string::npos)
            << run.out;
    } else {
        EXPECT_EQ(lineOf(run, "realtime.no-locks").rfind("SKIP realtime.no-locks: ", 0), 0u);
    }
}

TEST(HostValidate, AReportsACrashAndGoesOnWithTheNextCheck) {
    const HostRun run = runHost({"validate", fakePluginPath("fake_crash"), "--only", "processing",
                                 "--only", "lifecycle.cold"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(lineOf(run, "lifecycle.cold"), "PASS lifecycle.cold");
    const auto failures = linesStartingWith(run.out, "FAIL processing.");
    ASSERT_EQ(failures.size(), 5u) << run.out;
    for (const auto& line : failures) {
        EXPECT_NE(line.find("died of signal 6"), std::string::npos) << line;
    }
    EXPECT_EQ(lastLine(run.out), "1 passed, 5 failed");
}

TEST(HostValidate, OnlyRunsTheNamedChecksAndGroups) {
    const HostRun group = runHost({"validate", realPluginPath(), "--only", "texts"});
    EXPECT_EQ(group.exitCode, 0);
    EXPECT_EQ(linesStartingWith(group.out, "PASS texts.").size(), 4u) << group.out;
    EXPECT_EQ(lastLine(group.out), "4 passed, 0 failed");

    const HostRun one = runHost(
        {"validate", realPluginPath(), "--only", "processing.in-place", "--only", "editor.rect"});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_EQ(lineOf(one, "processing.in-place"), "PASS processing.in-place");
    EXPECT_EQ(lineOf(one, "editor.rectangle"), "PASS editor.rectangle");
    EXPECT_EQ(lastLine(one.out), "2 passed, 0 failed");
}

TEST(HostValidate, TheSameSeedRepeatsTheRunExactly) {
    // The accumulate failure quotes samples made from the seeded random numbers.
    const std::vector<std::string> base{"validate", fakePluginPath("fake_bad_processing"), "--only",
                                        "processing.accumulate"};
    const HostRun unseeded = runHost(base);
    const auto seedLine = linesStartingWith(unseeded.out, "validating ");
    ASSERT_EQ(seedLine.size(), 1u) << unseeded.out;
    const std::string seed = seedLine[0].substr(seedLine[0].rfind(' ') + 1);

    auto seeded = base;
    seeded.insert(seeded.end(), {"--seed", seed});
    EXPECT_EQ(runHost(seeded).out, unseeded.out);

    auto other = base;
    other.insert(other.end(), {"--seed", seed == "1" ? "2" : "1"});
    EXPECT_NE(runHost(other).out, unseeded.out);
}

TEST(HostValidate, RepeatRunsTheBatteryAgain) {
    const HostRun run = runHost(
        {"validate", realPluginPath(), "--only", "lifecycle.cold", "--repeat", "3", "--seed", "4"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(linesStartingWith(run.out, "PASS lifecycle.cold").size(), 3u) << run.out;
    EXPECT_EQ(linesStartingWith(run.out, "round ").size(), 3u) << run.out;
    EXPECT_EQ(lastLine(run.out), "3 passed, 0 failed");
}

TEST(HostValidate, UsageErrorsExitWithTwo) {
    const HostRun unknown = runHost({"validate", realPluginPath(), "--only", "texts.nonsense"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("--only texts.nonsense: no check has this name"), std::string::npos)
        << unknown.err;
    EXPECT_NE(unknown.err.find("\n  processing.in-place\n"), std::string::npos) << unknown.err;
    EXPECT_TRUE(unknown.out.empty());

    EXPECT_EQ(runHost({"validate"}).exitCode, 2);
    EXPECT_EQ(runHost({"validate", "a.so", "b.so"}).exitCode, 2);
    EXPECT_EQ(runHost({"validate", realPluginPath(), "--seed"}).exitCode, 2);
    EXPECT_EQ(runHost({"validate", realPluginPath(), "--fast"}).exitCode, 2);
}

TEST(HostValidate, BadOptionValuesAndMissingLibrariesExitWithOne) {
    for (const auto& arguments :
         {std::vector<std::string>{"--repeat", "0"}, std::vector<std::string>{"--repeat", "many"},
          std::vector<std::string>{"--seed", "-3"}}) {
        auto command = std::vector<std::string>{"validate", realPluginPath()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const HostRun run = runHost(command);
        EXPECT_EQ(run.exitCode, 1) << arguments[0] << " " << arguments[1];
        EXPECT_NE(run.err.find(arguments[0] + " " + arguments[1]), std::string::npos) << run.err;
    }
    const HostRun missing = runHost({"validate", "/nonexistent/plugin.so"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("cannot load plug-in library"), std::string::npos);
}

} // namespace
