#include "RecordingEffect.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

struct CoreCase {
    const char* name;
    std::int32_t opcode;
    std::int32_t index;
    HostValue value;
    float opt;
    const char* expectedCalls;
    HostValue expectedAnswer;
};

class CoreDispatch : public testing::TestWithParam<CoreCase> {};

TEST_P(CoreDispatch, MapsOpcodeOntoOperation) {
    const CoreCase& c = GetParam();
    RecordingEffect effect;
    char text[64] = "host text";
    const HostValue answer = effect.handleOpcode(c.opcode, c.index, c.value, text, c.opt);
    EXPECT_EQ(effect.calls, c.expectedCalls);
    EXPECT_EQ(answer, c.expectedAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    Opcodes, CoreDispatch,
    testing::Values(
        CoreCase{"open", 0, 0, 0, 0, "onOpen", 0}, CoreCase{"close", 1, 0, 0, 0, "onClose", 0},
        CoreCase{"selectLast", 2, 0, 2, 0, "selectProgram(2)", 0},
        CoreCase{"selectAtCount", 2, 0, 3, 0, "", 0},
        CoreCase{"selectNegativeReachesEffect", 2, 0, -1, 0, "selectProgram(-1)", 0},
        CoreCase{"currentProgram", 3, 0, 0, 0, "", 0},
        CoreCase{"rename", 4, 0, 0, 0, "renameProgram(host text)", 0},
        CoreCase{"programName", 5, 0, 0, 0, "copyProgramName", 0},
        CoreCase{"unit", 6, 1, 0, 0, "copyParameterUnit(1)", 0},
        CoreCase{"valueText", 7, 1, 0, 0, "copyParameterText(1)", 0},
        CoreCase{"title", 8, 0, 0, 0, "copyParameterTitle(0)", 0},
        CoreCase{"sampleRate", 10, 0, 0, 48000.0f, "changeSampleRate(48000)", 0},
        CoreCase{"blockSize", 11, 0, 256, 0, "changeBlockSize(256)", 0},
        CoreCase{"audioOnAnyNonZero", 12, 0, 5, 0, "onStart", 0},
        CoreCase{"audioOff", 12, 0, 0, 0, "onStop", 0},
        CoreCase{"identify", 22, 7, 9, 1.5f, "", 0x4E764566},
        CoreCase{"saveBank", 23, 0, 0, 0, "saveStateBlob(bank)", 0},
        CoreCase{"savePreset", 23, 1, 0, 0, "saveStateBlob(preset)", 0},
        CoreCase{"load", 24, 1, 12, 0, "loadStateBlob(12,preset)", 0},
        CoreCase{"unhandled16", 16, 0, 0, 0, "", 0}, CoreCase{"unhandled21", 21, 0, 0, 0, "", 0},
        CoreCase{"negative", -1, 0, 0, 0, "", 0}, CoreCase{"beyondExtended", 59, 0, 0, 0, "", 0},
        CoreCase{"editorRectWithoutEditor", 13, 0, 0, 0, "", 0},
        CoreCase{"editorOpenWithoutEditor", 14, 0, 0, 0, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CoreDispatch, ProgramSelectionAndCurrentProgramRoundTrip) {
    RecordingEffect effect;
    effect.handleOpcode(2, 0, 1, nullptr, 0);
    EXPECT_EQ(effect.handleOpcode(3, 0, 0, nullptr, 0), 1);
    // A program number at the count is ignored and keeps the current one.
    effect.handleOpcode(2, 0, 3, nullptr, 0);
    EXPECT_EQ(effect.programIndex(), 1);
}

TEST(CoreDispatch, WideValuesOutsideInt32AreIgnored) {
    if constexpr (sizeof(HostValue) == 8) {
        RecordingEffect effect;
        const HostValue wrapsToOne = -(HostValue{1} << 32) + 1;
        effect.handleOpcode(2, 0, wrapsToOne, nullptr, 0);
        effect.handleOpcode(11, 0, HostValue{1} << 40, nullptr, 0);
        EXPECT_EQ(effect.calls, "");
    }
}

TEST(CoreDispatch, OpcodesThatUseDataDoNothingWithNullData) {
    for (std::int32_t opcode : {4, 5, 6, 7, 8, 13, 23, 24}) {
        RecordingEffect effect;
        EXPECT_EQ(effect.handleOpcode(opcode, 0, 4, nullptr, 0), 0) << opcode;
        EXPECT_EQ(effect.calls, "") << opcode;
    }
}

TEST(CoreDispatch, MeterLevelIsScaledAndTruncated) {
    const struct {
        float level;
        HostValue answer;
    } cases[] = {{0.0f, 0},
                 {0.5f, 16383},
                 {1.0f, 32767},
                 {-0.5f, -16383},
                 {std::numeric_limits<float>::quiet_NaN(), 0},
                 {std::numeric_limits<float>::infinity(), 0}};
    for (const auto& c : cases) {
        RecordingEffect effect;
        effect.meter = c.level;
        EXPECT_EQ(effect.handleOpcode(9, 0, 0, nullptr, 0), c.answer) << c.level;
    }
}

TEST(CoreDispatch, StateBlockAnswersTheEffectsSize) {
    RecordingEffect effect;
    effect.stateSize = 42;
    void* block = nullptr;
    EXPECT_EQ(effect.handleOpcode(23, 0, 0, &block, 0), 42);
    EXPECT_EQ(block, &effect);
}

class FakeEditor : public EditorBase {
public:
    explicit FakeEditor(EffectBase* effect, std::string* log) : EditorBase(effect), log(log) {}
    ~FakeEditor() override { *log += "destroyed;"; }
    std::int32_t queryRect(EditorRect** rect) override {
        *rect = &bounds;
        return 1;
    }
    std::int32_t open(void* window) override {
        *log += "open;";
        EditorBase::open(window);
        return 1;
    }
    void close() override { *log += "close;"; }
    void update() override { *log += "update;"; }

    EditorRect bounds{0, 0, 420, 250};
    std::string* log;
};

TEST(EditorOpcodes, ReachTheAttachedEditor) {
    std::string log;
    {
        RecordingEffect effect;
        auto* editor = new FakeEditor(&effect, &log);
        effect.attachEditor(editor);
        EXPECT_EQ(effect.hostRecord()->capabilityFlags & flagEditor, flagEditor);

        EditorRect* rect = nullptr;
        EXPECT_EQ(effect.handleOpcode(13, 0, 0, &rect, 0), 1);
        EXPECT_EQ(rect, &editor->bounds);
        int window = 0;
        EXPECT_EQ(effect.handleOpcode(14, 0, 0, &window, 0), 1);
        EXPECT_EQ(editor->parentWindow(), &window);
        editor->requestUpdate();
        EXPECT_EQ(effect.handleOpcode(19, 0, 0, nullptr, 0), 0);
        EXPECT_EQ(effect.handleOpcode(15, 0, 0, nullptr, 0), 0);
        EXPECT_EQ(log, "open;update;close;");
    }
    EXPECT_EQ(log, "open;update;close;destroyed;");
}

TEST(EditorOpcodes, DetachingClearsTheEditorFlagOnly) {
    RecordingEffect effect;
    effect.declareOverwrite(true);
    std::string log;
    FakeEditor editor(&effect, &log);
    effect.attachEditor(&editor);
    effect.attachEditor(nullptr);
    EXPECT_EQ(effect.hostRecord()->capabilityFlags, flagOverwrite);
}

TEST(EditorBaseDefaults, RectIsNullAndIdleRunsTheDeferredUpdateOnce) {
    std::string log;
    struct CountingEditor : EditorBase {
        using EditorBase::EditorBase;
        int updates = 0;
        void update() override { ++updates; }
    } editor(nullptr);
    EditorRect sentinel{};
    EditorRect* rect = &sentinel;
    EXPECT_EQ(editor.EditorBase::queryRect(&rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(editor.EditorBase::open(&sentinel), 0);
    EXPECT_EQ(editor.parentWindow(), &sentinel);

    editor.requestUpdate();
    editor.idle();
    editor.idle();
    EXPECT_EQ(editor.updates, 1);
    EXPECT_FALSE(editor.isUpdatePending());
}

TEST(Record, ConstructorFillsTheRecord) {
    RecordingEffect effect(nullptr, 4, 7);
    const HostRecord& r = *effect.hostRecord();
    EXPECT_EQ(r.signature, 0x56737450);
    EXPECT_NE(r.opcodeEntry, nullptr);
    EXPECT_NE(r.accumulateEntry, nullptr);
    EXPECT_NE(r.overwriteEntry, nullptr);
    EXPECT_NE(r.changeParameterEntry, nullptr);
    EXPECT_NE(r.parameterValueEntry, nullptr);
    EXPECT_EQ(r.programCount, 4);
    EXPECT_EQ(r.parameterCount, 7);
    EXPECT_EQ(r.inputCount, 1);
    EXPECT_EQ(r.outputCount, 2);
    EXPECT_EQ(r.capabilityFlags, 0);
    EXPECT_EQ(r.reserved1, 0);
    EXPECT_EQ(r.reserved2, 0);
    EXPECT_EQ(r.latency, 0);
    EXPECT_EQ(r.inOutRatio, 1.0f);
    EXPECT_EQ(r.owner, &effect);
    EXPECT_EQ(r.hostData, nullptr);
    EXPECT_EQ(r.effectId, 0x34323932);
    EXPECT_EQ(r.effectVersion, 1);
    for (unsigned char byte : r.spare) {
        EXPECT_EQ(byte, 0);
    }
}

TEST(Record, SettersWriteTheirFieldsAndFlagSettersOnlyTheirBit) {
    RecordingEffect effect;
    HostRecord& r = *effect.hostRecord();
    effect.assignEffectId(0x41424344);
    effect.assignInputCount(6);
    effect.assignOutputCount(8);
    effect.assignRealtimeQuality(3);
    effect.assignOfflineQuality(4);
    effect.assignLatency(128);
    EXPECT_EQ(r.effectId, 0x41424344);
    EXPECT_EQ(r.inputCount, 6);
    EXPECT_EQ(r.outputCount, 8);
    EXPECT_EQ(r.realtimeQuality, 3);
    EXPECT_EQ(r.offlineQuality, 4);
    EXPECT_EQ(r.latency, 128);

    const struct {
        void (RecordingEffect::*declare)(bool);
        std::int32_t bit;
    } flags[] = {{&RecordingEffect::declareClipMeter, flagClipMeter},
                 {&RecordingEffect::declareLevelMeter, flagLevelMeter},
                 {&RecordingEffect::declareMonoInput, flagMonoInput},
                 {&RecordingEffect::declareOverwrite, flagOverwrite},
                 {&RecordingEffect::declareStateBlob, flagStateBlob},
                 {&RecordingEffect::declareInstrument, flagInstrument},
                 {&RecordingEffect::declareQuietTail, flagQuietTail},
                 {&RecordingEffect::declareAsync, flagAsync},
                 {&RecordingEffect::declareOwnBuffer, flagOwnBuffer}};
    std::int32_t expected = 0;
    for (const auto& flag : flags) {
        (effect.*flag.declare)(true);
        expected |= flag.bit;
        EXPECT_EQ(r.capabilityFlags, expected);
    }
    for (const auto& flag : flags) {
        (effect.*flag.declare)(false);
        expected &= ~flag.bit;
        EXPECT_EQ(r.capabilityFlags, expected);
    }
}

TEST(CoreRequests, AutomationReportFollowsTheChange) {
    RecordingHost host;
    RecordingEffect effect(RecordingHost::callback());
    effect.changeParameterAndNotify(1, 0.25f);
    const auto requests = host.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].record, effect.hostRecord());
    EXPECT_EQ(requests[0].opcode, 0);
    EXPECT_EQ(requests[0].index, 1);
    EXPECT_EQ(requests[0].value, 0);
    EXPECT_EQ(requests[0].data, nullptr);
    EXPECT_EQ(requests[0].opt, 0.25f);
}

TEST(CoreRequests, AnswersAndFallbacks) {
    {
        RecordingEffect noHost;
        EXPECT_EQ(noHost.askHostVersion(), 1);
        EXPECT_EQ(noHost.askCurrentEffectId(), 0);
        EXPECT_TRUE(noHost.inputIsConnected(0));
        EXPECT_TRUE(noHost.outputIsConnected(0));
        noHost.giveHostIdle();
        noHost.changeParameterAndNotify(0, 1.0f);
    }
    RecordingHost host;
    RecordingEffect effect(RecordingHost::callback());
    EXPECT_EQ(effect.askHostVersion(), 1) << "a host answering 0 counts as version 1";
    host.answerWith(1, 2400);
    host.answerWith(2, 0x12345678);
    EXPECT_EQ(effect.askHostVersion(), 2400);
    EXPECT_EQ(effect.askCurrentEffectId(), 0x12345678);
    EXPECT_TRUE(effect.inputIsConnected(3));
    host.answerWith(4, 1);
    EXPECT_FALSE(effect.inputIsConnected(3));
    EXPECT_FALSE(effect.outputIsConnected(5));
    effect.giveHostIdle();

    const auto pins = host.requestsWithOpcode(4);
    ASSERT_EQ(pins.size(), 3u);
    EXPECT_EQ(pins[1].index, 3);
    EXPECT_EQ(pins[1].value, 0);
    EXPECT_EQ(pins[2].index, 5);
    EXPECT_EQ(pins[2].value, 1);
    EXPECT_EQ(host.requestsWithOpcode(3).size(), 1u);
}

struct FormatCase {
    const char* name;
    void (*format)(RecordingEffect&, char*);
    const char* expected;
};

class Formatters : public testing::TestWithParam<FormatCase> {};

TEST_P(Formatters, WriteEightCharacterTexts) {
    RecordingEffect effect;
    char text[32];
    std::memset(text, '#', sizeof text);
    GetParam().format(effect, text);
    EXPECT_STREQ(text, GetParam().expected);
    EXPECT_LE(std::strlen(text), 8u);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Formatters,
    testing::Values(
        FormatCase{"integer89", [](RecordingEffect& e, char* t) { e.formatInteger(89, t); },
                   "     89"},
        FormatCase{"integerEightDigits",
                   [](RecordingEffect& e, char* t) { e.formatInteger(12345678, t); }, "12345678"},
        FormatCase{"integerNegativeEightDigits",
                   [](RecordingEffect& e, char* t) { e.formatInteger(-12345678, t); }, "-1234567"},
        FormatCase{"integerHuge",
                   [](RecordingEffect& e, char* t) { e.formatInteger(100000000, t); }, " Huge!  "},
        FormatCase{"decimalZero", [](RecordingEffect& e, char* t) { e.formatDecimal(0.0f, t); },
                   "0.000000"},
        FormatCase{"decimalOneAndHalf",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(1.5f, t); }, "1.500000"},
        FormatCase{"decimalNegative",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(-2.25f, t); }, "-2.25000"},
        FormatCase{"decimalCutNotRounded",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(0.9f, t); }, "0.899999"},
        FormatCase{"decimalThreeIntegerDigits",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(123.456f, t); }, "123.4560"},
        FormatCase{"decimalSevenDigitInteger",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(1234567.0f, t); }, "1234567."},
        FormatCase{"decimalEightDigitIntegerKeepsItsLeadingDigit",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(12345678.0f, t); },
                   "12345678"},
        FormatCase{"decimalNegativeSevenDigitIntegerKeepsItsLeadingDigit",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(-1234567.0f, t); },
                   "-1234567"},
        FormatCase{"decimalTooLarge",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(1.0e9f, t); }, " Huge!  "},
        FormatCase{"decimalNegativeTooLarge",
                   [](RecordingEffect& e, char* t) { e.formatDecimal(-1.0e7f, t); }, " Huge!  "},
        FormatCase{"decimalNotANumber",
                   [](RecordingEffect& e, char* t) {
                       e.formatDecimal(std::numeric_limits<float>::quiet_NaN(), t);
                   },
                   "  NaN   "},
        FormatCase{"decibelsZero", [](RecordingEffect& e, char* t) { e.formatDecibels(0.0f, t); },
                   "  -oo   "},
        FormatCase{"decibelsNegative",
                   [](RecordingEffect& e, char* t) { e.formatDecibels(-1.0f, t); }, "  -oo   "},
        FormatCase{"decibelsUnity", [](RecordingEffect& e, char* t) { e.formatDecibels(1.0f, t); },
                   "0.000000"},
        FormatCase{"decibelsDouble", [](RecordingEffect& e, char* t) { e.formatDecibels(2.0f, t); },
                   "6.020599"},
        FormatCase{"decibelsHalf", [](RecordingEffect& e, char* t) { e.formatDecibels(0.5f, t); },
                   "-6.02059"},
        FormatCase{"hertzOfZeroSamples",
                   [](RecordingEffect& e, char* t) { e.formatHertz(0.0f, t); }, "0.000000"},
        FormatCase{"hertz", [](RecordingEffect& e, char* t) { e.formatHertz(441.0f, t); },
                   "100.0000"},
        FormatCase{"milliseconds",
                   [](RecordingEffect& e, char* t) { e.formatMilliseconds(441.0f, t); },
                   "10.00000"},
        FormatCase{"millisecondsWithoutSampleRate",
                   [](RecordingEffect& e, char* t) {
                       e.changeSampleRate(0.0f);
                       e.formatMilliseconds(441.0f, t);
                   },
                   " Huge!  "}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
