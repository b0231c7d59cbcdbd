// The built library loaded the way a host loads it: by path, through its only export.
#include "effect/HostRecord.h"
#include "midside/MidSideKernels.h"
#include "support/RecordFacts.h"
#include "support/SessionSignal.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <vector>

namespace {

std::atomic<int> versionQueries{0};
std::atomic<HostValue> versionAnswer{2400};

HostValue BRISOLEN_CALL hostCallback(HostRecord* record, std::int32_t opcode, std::int32_t,
                                     HostValue, void*, float) {
    if (opcode == 1) {
        EXPECT_EQ(record, nullptr) << "the version query in main carries no record";
        ++versionQueries;
        return versionAnswer.load();
    }
    return 0;
}

class LoadedPlugin : public testing::Test {
protected:
    // Loaded once and kept, as hosts keep plug-in libraries: the Linux library's windowing
    // layer lives until the process ends.
    void SetUp() override {
        static void* const loaded = dlopen(BRISOLEN_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        library = loaded;
        ASSERT_NE(library, nullptr) << dlerror();
        pluginMain = reinterpret_cast<MainEntry>(dlsym(library, "main"));
        ASSERT_NE(pluginMain, nullptr);
        versionAnswer = 2400;
    }

    static HostValue send(HostRecord* r, std::int32_t opcode, std::int32_t index = 0,
                          HostValue value = 0, void* data = nullptr, float opt = 0.0f) {
        return r->opcodeEntry(r, opcode, index, value, data, opt);
    }

    void* library = nullptr;
    MainEntry pluginMain = nullptr;
};

TEST_F(LoadedPlugin, ExportsOnlyMain) {
    for (const char* hidden :
         {"pluginMain", "createEffect", "moduleHandle", "outOfMemory", "_ZN10EffectBaseD2Ev"}) {
        EXPECT_EQ(dlsym(library, hidden), nullptr) << hidden;
    }
}

TEST_F(LoadedPlugin, HostAnsweringVersionZeroGetsNothing) {
    versionAnswer = 0;
    EXPECT_EQ(pluginMain(&hostCallback), nullptr);
    EXPECT_EQ(pluginMain(nullptr), nullptr);
}

TEST_F(LoadedPlugin, FreshInstanceShowsItsRecord) {
    const int queriesBefore = versionQueries.load();
    HostRecord* r = pluginMain(&hostCallback);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(versionQueries.load(), queriesBefore + 1);
    EXPECT_EQ(r->signature, recordfacts::signature);
    EXPECT_EQ(r->programCount, recordfacts::programCount);
    EXPECT_EQ(r->parameterCount, recordfacts::parameterCount);
    EXPECT_EQ(r->inputCount, recordfacts::inputCount);
    EXPECT_EQ(r->outputCount, recordfacts::outputCount);
    EXPECT_EQ(r->capabilityFlags, recordfacts::capabilityFlags);
    EXPECT_EQ(r->inOutRatio, recordfacts::inOutRatio);
    EXPECT_EQ(r->effectId, recordfacts::effectId);
    EXPECT_EQ(r->effectVersion, recordfacts::effectVersion);
    EXPECT_EQ(r->hostData, nullptr);
    for (unsigned char byte : r->spare) {
        EXPECT_EQ(byte, 0);
    }
    EXPECT_EQ(r->parameterValueEntry(r, 0), recordfacts::defaultParameterValue);
    EXPECT_EQ(r->parameterValueEntry(r, 1), recordfacts::defaultParameterValue);
    EXPECT_EQ(send(r, 1), 1);
}

TEST_F(LoadedPlugin, AnswersTheOpcodesAsTheFactsSay) {
    for (const recordfacts::OpcodeAnswer& c : recordfacts::opcodeAnswers) {
        HostRecord* r = pluginMain(&hostCallback);
        ASSERT_NE(r, nullptr);
        char text[64];
        std::strcpy(text, c.dataText != nullptr ? c.dataText : recordfacts::untouchedText);
        EXPECT_EQ(send(r, c.opcode, c.index, c.value, text), c.answer) << c.what;
        if (c.text != nullptr) {
            EXPECT_STREQ(text, c.text) << c.what;
        }
        EXPECT_EQ(send(r, 1), 1);
    }
}

TEST_F(LoadedPlugin, InstancesAreIndependent) {
    HostRecord* first = pluginMain(&hostCallback);
    HostRecord* second = pluginMain(&hostCallback);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first->owner, second->owner);
    first->changeParameterEntry(first, 0, 0.1f);
    EXPECT_EQ(first->parameterValueEntry(first, 0), 0.1f);
    EXPECT_EQ(second->parameterValueEntry(second, 0), 0.9f);
    // Close answers 1 although the close handling itself answers 0.
    EXPECT_EQ(send(first, 1), 1);
    EXPECT_EQ(second->parameterValueEntry(second, 0), 0.9f);
    EXPECT_EQ(send(second, 1), 1);
}

TEST_F(LoadedPlugin, HostLifecycleProcessesExactlyTheFormula) {
    HostRecord* r = pluginMain(&hostCallback);
    ASSERT_NE(r, nullptr);
    send(r, 0);
    send(r, 10, 0, 0, nullptr, 48000.0f);
    send(r, 11, 0, 512);
    send(r, 12, 0, 1);
    processing::SessionSignal session;
    r->changeParameterEntry(r, 0, session.midValue);
    r->changeParameterEntry(r, 1, session.sideValue);
    const int frames = session.frames;
    const size_t bytes = sizeof(float) * frames;

    std::vector<float> outLeft(frames), outRight(frames);
    float* inputs[] = {session.left.data(), session.right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    r->overwriteEntry(r, inputs, outputs, frames);
    EXPECT_EQ(std::memcmp(outLeft.data(), session.overwrittenLeft.data(), bytes), 0);
    EXPECT_EQ(std::memcmp(outRight.data(), session.overwrittenRight.data(), bytes), 0);

    // Accumulating adds the same result onto what the outputs hold.
    r->accumulateEntry(r, inputs, outputs, frames);
    EXPECT_EQ(std::memcmp(outLeft.data(), session.accumulatedLeft.data(), bytes), 0);
    EXPECT_EQ(std::memcmp(outRight.data(), session.accumulatedRight.data(), bytes), 0);

    send(r, 12, 0, 0);
    EXPECT_EQ(send(r, 1), 1);
}

} // namespace
