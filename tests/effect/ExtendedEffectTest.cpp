#include "RecordingEffect.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ExtendedCase {
    const char* name;
    std::int32_t opcode;
    std::int32_t index;
    HostValue value;
    float opt;
    HostValue expectedAnswer;
    const char* expectedCalls;
};

class ExtendedDispatch : public testing::TestWithParam<ExtendedCase> {};

TEST_P(ExtendedDispatch, AnswersWithTheDefaults) {
    const ExtendedCase& c = GetParam();
    RecordingEffect effect;
    char text[64] = "untouched";
    EXPECT_EQ(effect.handleOpcode(c.opcode, c.index, c.value, text, c.opt), c.expectedAnswer);
    EXPECT_EQ(effect.calls, c.expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Opcodes, ExtendedDispatch,
    testing::Values(
        ExtendedCase{"events", 25, 0, 0, 0, 0, ""}, ExtendedCase{"canAutomate", 26, 1, 0, 0, 1, ""},
        ExtendedCase{"parameterFromText", 27, 0, 0, 0, 0, ""},
        ExtendedCase{"programCategories", 28, 0, 0, 0, 1, ""},
        ExtendedCase{"programNameAt", 29, 4, 2, 0, 1, "programNameAt(2,4)"},
        ExtendedCase{"copyProgram", 30, 1, 0, 0, 0, ""},
        ExtendedCase{"inputConnected", 31, 1, 3, 0, 1, "onInputConnection(1,1)"},
        ExtendedCase{"outputDisconnected", 32, 2, 0, 0, 1, "onOutputConnection(2,0)"},
        ExtendedCase{"inputPin", 33, 0, 0, 0, 0, ""}, ExtendedCase{"outputPin", 34, 0, 0, 0, 0, ""},
        ExtendedCase{"category", 35, 0, 0, 0, 0, ""}, ExtendedCase{"position", 36, 0, 0, 0, 0, ""},
        ExtendedCase{"destination", 37, 0, 0, 0, 0, ""},
        ExtendedCase{"offlineNotify", 38, 1, 1, 0, 0, ""},
        ExtendedCase{"offlinePrepare", 39, 0, 1, 0, 0, ""},
        ExtendedCase{"offlineRun", 40, 0, 1, 0, 0, ""},
        ExtendedCase{"variableBlock", 41, 0, 0, 0, 0, ""},
        ExtendedCase{"speakerLayout", 42, 0, 0, 0, 0, ""},
        ExtendedCase{"blockSizeAndRate", 43, 0, 64, 96000.0f, 1, ""},
        ExtendedCase{"bypass", 44, 0, 1, 0, 0, ""}, ExtendedCase{"effectName", 45, 0, 0, 0, 0, ""},
        ExtendedCase{"errorText", 46, 0, 0, 0, 0, ""},
        ExtendedCase{"vendorName", 47, 0, 0, 0, 0, ""},
        ExtendedCase{"productName", 48, 0, 0, 0, 0, ""},
        ExtendedCase{"vendorVersion", 49, 0, 0, 0, 0, ""},
        ExtendedCase{"vendorRequest", 50, 5, 6, 7.0f, 77, "handleVendorRequest(5,6,7)"},
        ExtendedCase{"capability", 51, 0, 0, 0, 0, ""}, ExtendedCase{"tail", 52, 0, 0, 0, 0, ""},
        ExtendedCase{"idle", 53, 0, 0, 0, 0, ""}, ExtendedCase{"icon", 54, 0, 0, 0, 0, ""},
        ExtendedCase{"moveView", 55, 10, 20, 0, 1, "moveView(10,20)"},
        ExtendedCase{"parameterProperties", 56, 0, 0, 0, 0, ""},
        ExtendedCase{"needsNoKeys", 57, 0, 0, 0, 1, ""},
        ExtendedCase{"interfaceVersion", 58, 0, 0, 0, 2, ""},
        ExtendedCase{"beyondTheRange", 59, 0, 0, 0, 0, ""},
        ExtendedCase{"coreStillReached", 12, 0, 1, 0, 0, "onStart"},
        ExtendedCase{"negative", -3, 0, 0, 0, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExtendedDispatch, TextOpcodesLeaveTheBufferUntouchedByDefault) {
    RecordingEffect effect;
    for (std::int32_t opcode : {45, 46, 47, 48}) {
        char text[16] = "untouched";
        effect.handleOpcode(opcode, 0, 0, text, 0);
        EXPECT_STREQ(text, "untouched") << opcode;
    }
}

TEST(ExtendedDispatch, OpcodesThatUseDataDoNothingWithNullData) {
    for (std::int32_t opcode : {25, 27, 29, 33, 34, 38, 39, 40, 41, 42, 45, 46, 47, 48, 51, 56}) {
        RecordingEffect effect;
        EXPECT_EQ(effect.handleOpcode(opcode, 0, 1, nullptr, 0), 0) << opcode;
        EXPECT_EQ(effect.calls, "") << opcode;
    }
}

TEST(ExtendedDispatch, BlockSizeAndRateStoresBoth) {
    RecordingEffect effect;
    effect.handleOpcode(43, 0, 64, nullptr, 96000.0f);
    EXPECT_EQ(effect.blockSizeValue(), 64);
    EXPECT_EQ(effect.sampleRateValue(), 96000.0f);
}

TEST(ExtendedDispatch, CategoryFollowsTheInstrumentFlag) {
    RecordingEffect effect;
    effect.declareInstrument(true);
    EXPECT_EQ(effect.handleOpcode(35, 0, 0, nullptr, 0), 2);
    effect.declareInstrument(false);
    EXPECT_EQ(effect.handleOpcode(35, 0, 0, nullptr, 0), 0);
}

// Each request: the call it makes, and how the host's answer comes back.
struct RequestCase {
    const char* name;
    std::int32_t opcode;
    std::int32_t index;
    HostValue value;
    bool passesData;
    float opt;
    HostValue (*call)(RecordingEffect&, void* data);
    HostValue hostAnswer;
    HostValue expectedResult;
};

HostValue truthOf(bool b) {
    return b ? 1 : 0;
}
HostValue addressOf(const void* p) {
    return reinterpret_cast<HostValue>(p);
}

class HostRequests : public testing::TestWithParam<RequestCase> {};

TEST_P(HostRequests, PlaceArgumentsAndReadTheAnswer) {
    const RequestCase& c = GetParam();
    RecordingHost host;
    host.answerWith(c.opcode, c.hostAnswer);
    RecordingEffect effect(RecordingHost::callback());
    char data[64] = {};
    EXPECT_EQ(c.call(effect, data), c.expectedResult);
    const auto requests = host.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].record, effect.hostRecord());
    EXPECT_EQ(requests[0].opcode, c.opcode);
    EXPECT_EQ(requests[0].index, c.index);
    EXPECT_EQ(requests[0].value, c.value);
    EXPECT_EQ(requests[0].data, c.passesData ? data : nullptr);
    EXPECT_EQ(requests[0].opt, c.opt);
}

TEST_P(HostRequests, WithoutCallbackReturnNothing) {
    const RequestCase& c = GetParam();
    RecordingEffect effect;
    char data[64] = {};
    const HostValue result = c.call(effect, data);
    if (c.opcode == 16) {
        EXPECT_EQ(result, 44100);
    } else if (c.opcode == 17) {
        EXPECT_EQ(result, 1024);
    } else {
        EXPECT_EQ(result, 0);
    }
}

const HostValue someAddress = 0x1000;

INSTANTIATE_TEST_SUITE_P(Requests, HostRequests,
                         testing::Values(
                             RequestCase{"events", 6, 0, 3, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             e.requestEvents(3);
                                             return 0;
                                         },
                                         99, 0},
                             RequestCase{"timeInfo", 7, 0, 0x0F00, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return addressOf(e.requestTimeInfo(0x0F00));
                                         },
                                         someAddress, someAddress},
                             RequestCase{"tempo", 10, 0, 4410, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestTempoAt(4410);
                                         },
                                         1200000, 1200000},
                             RequestCase{"automatableCount", 11, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestAutomatableCount();
                                         },
                                         5, 5},
                             RequestCase{"quantization", 12, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestParameterQuantization();
                                         },
                                         8, 8},
                             RequestCase{"ioChange", 13, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return truthOf(e.announceIoChange());
                                         },
                                         -1, 1},
                             RequestCase{"idleCalls", 14, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return truthOf(e.requestIdleCalls());
                                         },
                                         0, 0},
                             RequestCase{"windowSize", 15, 250, 420, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return truthOf(e.requestWindowSize(250, 420));
                                         },
                                         1, 1},
                             RequestCase{"refreshRate", 16, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return static_cast<HostValue>(e.refreshSampleRate());
                                         },
                                         96000, 44100},
                             RequestCase{"refreshBlock", 17, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.refreshBlockSize();
                                         },
                                         64, 1024},
                             RequestCase{"inputLatency", 18, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestInputLatency();
                                         },
                                         12, 12},
                             RequestCase{"outputLatency", 19, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestOutputLatency();
                                         },
                                         13, 13},
                             RequestCase{"previousEffect", 20, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return addressOf(e.requestPreviousEffect(1));
                                         },
                                         someAddress, someAddress},
                             RequestCase{"nextEffect", 21, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return addressOf(e.requestNextEffect(1));
                                         },
                                         someAddress, someAddress},
                             RequestCase{"outputMode", 22, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestOutputMode();
                                         },
                                         2, 2},
                             RequestCase{"processLevel", 23, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestProcessLevel();
                                         },
                                         3, 3},
                             RequestCase{"automationState", 24, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestAutomationState();
                                         },
                                         4, 4},
                             RequestCase{"offlineStart", 25, 2, 5, true, 0,
                                         [](RecordingEffect& e, void* d) {
                                             return truthOf(e.requestOfflineStart(d, 5, 2));
                                         },
                                         7, 1},
                             RequestCase{"offlineRead", 26, 1, 9, true, 0,
                                         [](RecordingEffect& e, void* d) {
                                             return truthOf(e.requestOfflineRead(d, 9, true));
                                         },
                                         1, 1},
                             RequestCase{"offlineWrite", 27, 0, 9, true, 0,
                                         [](RecordingEffect& e, void* d) {
                                             return truthOf(e.requestOfflineWrite(d, 9));
                                         },
                                         0, 0},
                             RequestCase{"offlinePass", 28, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestOfflinePass();
                                         },
                                         42, 1},
                             RequestCase{"offlineMetaPass", 29, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestOfflineMetaPass();
                                         },
                                         -5, 1},
                             RequestCase{"outputRate", 30, 0, 0, false, 48000.0f,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             e.announceOutputRate(48000.0f);
                                             return 0;
                                         },
                                         1, 0},
                             RequestCase{
                                 "speakerLayout", 31, 0, someAddress, true, 0,
                                 [](RecordingEffect& e, void* d) {
                                     return truthOf(e.requestSpeakerLayout(
                                         reinterpret_cast<void*>(someAddress), d));
                                 },
                                 1, 1},
                             RequestCase{"hostVendor", 32, 0, 0, true, 0,
                                         [](RecordingEffect& e, void* d) {
                                             return truthOf(
                                                 e.requestHostVendor(static_cast<char*>(d)));
                                         },
                                         1, 1},
                             RequestCase{"hostProduct", 33, 0, 0, true, 0,
                                         [](RecordingEffect& e, void* d) {
                                             return truthOf(
                                                 e.requestHostProduct(static_cast<char*>(d)));
                                         },
                                         0, 0},
                             RequestCase{"hostVendorVersion", 34, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestHostVendorVersion();
                                         },
                                         2400, 2400},
                             RequestCase{"hostSpecific", 35, 3, 4, true, 0.5f,
                                         [](RecordingEffect& e, void* d) {
                                             return e.requestHostSpecific(3, 4, d, 0.5f);
                                         },
                                         -9, -9},
                             RequestCase{"capabilityMinusOneIsYes", 37, 0, 0, true, 0,
                                         [](RecordingEffect& e, void* d) -> HostValue {
                                             return e.askHostCapability(static_cast<char*>(d));
                                         },
                                         -1, 1},
                             RequestCase{"language", 38, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) -> HostValue {
                                             return e.requestHostLanguage();
                                         },
                                         1, 1},
                             RequestCase{"openWindow", 39, 0, 0, true, 0,
                                         [](RecordingEffect& e, void* d) {
                                             return addressOf(e.requestWindow(d));
                                         },
                                         someAddress, someAddress},
                             RequestCase{"closeWindow", 40, 0, 0, true, 0,
                                         [](RecordingEffect& e, void* d) {
                                             return truthOf(e.releaseWindow(d));
                                         },
                                         1, 1},
                             RequestCase{"directory", 41, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return addressOf(e.requestDirectory());
                                         },
                                         someAddress, someAddress},
                             RequestCase{"displayRefresh", 42, 0, 0, false, 0,
                                         [](RecordingEffect& e, void*) {
                                             return truthOf(e.requestDisplayRefresh());
                                         },
                                         3, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostRequests, RefreshReadsWhatTheHostSetMeanwhile) {
    RecordingHost host;
    RecordingEffect effect(RecordingHost::callback());
    host.onRequest([&effect](const HostRequest& request) {
        if (request.opcode == 16) {
            effect.hostRecord()->opcodeEntry(effect.hostRecord(), 10, 0, 0, nullptr, 96000.0f);
        } else if (request.opcode == 17) {
            effect.hostRecord()->opcodeEntry(effect.hostRecord(), 11, 0, 256, nullptr, 0.0f);
        }
    });
    EXPECT_EQ(effect.refreshSampleRate(), 96000.0f);
    EXPECT_EQ(effect.refreshBlockSize(), 256);
}

} // namespace
