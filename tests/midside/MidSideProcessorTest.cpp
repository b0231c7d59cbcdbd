#include "midside/MidSideProcessor.h"
#include "midside/MidSideKernels.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

std::uint32_t bitsOf(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

std::string parameterText(MidSideProcessor& effect, std::int32_t opcode, std::int32_t index) {
    char text[64] = "untouched";
    effect.handleOpcode(opcode, index, 0, text, 0.0f);
    return text;
}

TEST(MidSideProcessor, NewInstanceStartsAtUnity) {
    MidSideProcessor effect(nullptr);
    const HostRecord& r = *effect.hostRecord();
    EXPECT_EQ(r.programCount, 1);
    EXPECT_EQ(r.parameterCount, 2);
    EXPECT_EQ(r.inputCount, 2);
    EXPECT_EQ(r.outputCount, 2);
    EXPECT_EQ(r.capabilityFlags, flagOverwrite);
    EXPECT_EQ(r.effectId, 0x34323932);
    EXPECT_EQ(effect.parameterValue(0), 0.9f);
    EXPECT_EQ(effect.parameterValue(1), 0.9f);
    EXPECT_EQ(effect.midGainValue(), 1.0f);
    EXPECT_EQ(effect.sideGainValue(), 1.0f);
    // 0.9 as float times 100 lies just below 90.
    EXPECT_EQ(parameterText(effect, 7, 0), "     89");
    EXPECT_EQ(parameterText(effect, 7, 1), "     89");
}

struct GainCase {
    float value;
    std::uint32_t gainBits;
    float storedValue;
    const char* text;
};

class GainLaw : public testing::TestWithParam<GainCase> {};

TEST_P(GainLaw, SetsGainStoredValueAndText) {
    const GainCase& c = GetParam();
    for (std::int32_t index : {0, 1}) {
        MidSideProcessor effect(nullptr);
        effect.changeParameter(index, c.value);
        const float gain = index == 0 ? effect.midGainValue() : effect.sideGainValue();
        EXPECT_EQ(bitsOf(gain), c.gainBits) << c.value;
        EXPECT_EQ(effect.parameterValue(index), c.storedValue) << c.value;
        EXPECT_EQ(parameterText(effect, 7, index), c.text) << c.value;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, GainLaw,
    testing::Values(
        GainCase{0.0f, 0x00000000, 0.0f, "      0"}, GainCase{0.9f, 0x3F800000, 0.9f, "     89"},
        GainCase{1.0f, 0x40000001, 1.0f, "    100"},
        GainCase{0.45f, bitsOf(static_cast<float>(0.45f * 1.1111111640930176)), 0.45f, "     44"},
        GainCase{0.95f, bitsOf(static_cast<float>((0.95f - 0.8999999761581421) * 10 + 1)), 0.95f,
                 "     94"},
        GainCase{0.5f, bitsOf(static_cast<float>(0.5 * 1.1111111640930176)), 0.5f, "     50"},
        // Values outside 0..1 are clamped before the gain law.
        GainCase{-0.5f, 0x00000000, 0.0f, "      0"}, GainCase{7.0f, 0x40000001, 1.0f, "    100"},
        // Values that are not finite are ignored: the parameter keeps its default.
        GainCase{nan, 0x3F800000, 0.9f, "     89"}, GainCase{infinity, 0x3F800000, 0.9f, "     89"},
        GainCase{-infinity, 0x3F800000, 0.9f, "     89"}));

TEST(MidSideProcessor, OtherParameterIndexesChangeAndShowNothing) {
    MidSideProcessor effect(nullptr);
    effect.changeParameter(2, 0.5f);
    effect.changeParameter(-1, 0.5f);
    EXPECT_EQ(effect.parameterValue(2), 0.0f);
    EXPECT_EQ(effect.parameterValue(-1), 0.0f);
    EXPECT_EQ(effect.parameterValue(0), 0.9f);
    EXPECT_EQ(effect.parameterValue(1), 0.9f);
    for (std::int32_t opcode : {6, 7, 8}) {
        EXPECT_EQ(parameterText(effect, opcode, 2), "untouched") << opcode;
    }
}

TEST(MidSideProcessor, TitlesAndUnits) {
    MidSideProcessor effect(nullptr);
    EXPECT_EQ(parameterText(effect, 8, 0), "Mid");
    EXPECT_EQ(parameterText(effect, 8, 1), "Side");
    EXPECT_EQ(parameterText(effect, 6, 0), "percent");
    EXPECT_EQ(parameterText(effect, 6, 1), "percent");
}

struct ProcessCase {
    const char* name;
    float mid;
    float side;
    // Expected outputs for the input pair (L, R) = (0.5, 0.25).
    float left;
    float right;
};

class Processing : public testing::TestWithParam<ProcessCase> {};

TEST_P(Processing, CombinesMidAndSide) {
    const ProcessCase& c = GetParam();
    MidSideProcessor effect(nullptr);
    effect.changeParameter(0, c.mid);
    effect.changeParameter(1, c.side);
    std::vector<float> left(9, 0.5f), right(9, 0.25f), outLeft(9, 3.0f), outRight(9, 3.0f);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect.processOverwrite(inputs, outputs, 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(outLeft[i], c.left) << i;
        EXPECT_EQ(outRight[i], c.right) << i;
    }
    effect.processAccumulate(inputs, outputs, 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(outLeft[i], 2 * c.left) << i;
        EXPECT_EQ(outRight[i], 2 * c.right) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Gains, Processing,
                         testing::Values(ProcessCase{"unityPassesThrough", 0.9f, 0.9f, 0.5f, 0.25f},
                                         ProcessCase{"midOnly", 0.9f, 0.0f, 0.375f, 0.375f},
                                         ProcessCase{"sideOnly", 0.0f, 0.9f, 0.125f, -0.125f},
                                         ProcessCase{"silence", 0.0f, 0.0f, 0.0f, 0.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Processing, SilentInputOverwritesWithZerosAndAccumulatesNothing) {
    MidSideProcessor effect(nullptr);
    std::vector<float> silence(7, 0.0f), outLeft(7, 0.75f), outRight(7, -0.5f);
    float* inputs[] = {silence.data(), silence.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect.processAccumulate(inputs, outputs, 7);
    EXPECT_EQ(outLeft, std::vector<float>(7, 0.75f));
    EXPECT_EQ(outRight, std::vector<float>(7, -0.5f));
    effect.processOverwrite(inputs, outputs, 7);
    EXPECT_EQ(outLeft, std::vector<float>(7, 0.0f));
    EXPECT_EQ(outRight, std::vector<float>(7, 0.0f));
}

TEST(Processing, MissingBuffersAndEmptyBlocksDoNothing) {
    MidSideProcessor effect(nullptr);
    std::vector<float> in(4, 1.0f), out(4, 5.0f);
    float* good[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    float* missingLeft[] = {nullptr, in.data()};
    float* missingRight[] = {out.data(), nullptr};
    for (auto process :
         {&MidSideProcessor::processOverwrite, &MidSideProcessor::processAccumulate}) {
        (effect.*process)(nullptr, outputs, 4);
        (effect.*process)(good, nullptr, 4);
        (effect.*process)(missingLeft, outputs, 4);
        (effect.*process)(good, missingRight, 4);
        (effect.*process)(good, outputs, 0);
        (effect.*process)(good, outputs, -4);
        EXPECT_EQ(out, std::vector<float>(4, 5.0f));
    }
}

TEST(Processing, InPlaceMatchesOutOfPlace) {
    MidSideProcessor effect(nullptr);
    effect.changeParameter(0, 0.97f);
    effect.changeParameter(1, 0.31f);
    std::vector<float> left(37), right(37);
    for (int i = 0; i < 37; ++i) {
        left[i] = std::sin(0.3f * static_cast<float>(i));
        right[i] = std::cos(0.7f * static_cast<float>(i));
    }
    std::vector<float> outLeft(37), outRight(37);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect.processOverwrite(inputs, outputs, 37);
    effect.processOverwrite(inputs, inputs, 37);
    EXPECT_EQ(left, outLeft);
    EXPECT_EQ(right, outRight);
}

TEST(Programs, NamingAndRenaming) {
    MidSideProcessor effect(nullptr);
    EXPECT_EQ(parameterText(effect, 5, 0), "MS1");
    const struct {
        const char* name;
        const char* shown;
    } cases[] = {
        {"Zelk", "Zelk 1"},
        {"Zelk2", "Zelk2"},
        {"", ""},
        {"Twenty-three characters", "Twenty-three characters"},
        // Longer names are cut to the 23 characters a program name holds.
        {"A name far longer than the program record holds", "A name far longer than "},
    };
    for (const auto& c : cases) {
        char name[64];
        std::strcpy(name, c.name);
        effect.handleOpcode(4, 0, 0, name, 0.0f);
        EXPECT_EQ(parameterText(effect, 5, 0), c.shown) << c.name;
    }
}

TEST(Programs, SelectingRestoresTheProgramValues) {
    MidSideProcessor effect(nullptr);
    effect.changeParameter(0, 0.2f);
    effect.changeParameter(1, 1.0f);
    effect.handleOpcode(2, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(effect.parameterValue(0), 0.9f);
    EXPECT_EQ(effect.parameterValue(1), 0.9f);
    EXPECT_EQ(effect.midGainValue(), 1.0f);
}

TEST(Programs, NumbersOutsideTheArrayAreIgnored) {
    MidSideProcessor effect(nullptr);
    effect.changeParameter(0, 0.2f);
    for (HostValue program : {HostValue{-1}, HostValue{-100000}, HostValue{1}, HostValue{2}}) {
        effect.handleOpcode(2, 0, program, nullptr, 0.0f);
        effect.selectProgram(static_cast<std::int32_t>(program));
        EXPECT_EQ(effect.handleOpcode(3, 0, 0, nullptr, 0.0f), 0) << program;
        EXPECT_EQ(effect.parameterValue(0), 0.2f) << program;
        EXPECT_EQ(parameterText(effect, 5, 0), "MS1") << program;
    }
}

TEST(Identity, AnswersTheHost) {
    MidSideProcessor effect(nullptr);
    EXPECT_EQ(effect.handleOpcode(35, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(effect.handleOpcode(49, 0, 0, nullptr, 0.0f), 1000);
    EXPECT_EQ(effect.handleOpcode(58, 0, 0, nullptr, 0.0f), 2);
    EXPECT_EQ(effect.handleOpcode(51, 0, 0, const_cast<char*>("bypass"), 0.0f), 0);
    const struct {
        std::int32_t opcode;
        HostValue answer;
        const char* text;
    } texts[] = {
        {45, 1, "Brisolen"}, {47, 1, ".tarnwick."}, {48, 1, "Brisolen"}, {46, 0, "untouched"}};
    for (const auto& t : texts) {
        char text[64] = "untouched";
        EXPECT_EQ(effect.handleOpcode(t.opcode, 0, 0, text, 0.0f), t.answer) << t.opcode;
        EXPECT_STREQ(text, t.text) << t.opcode;
    }
}

TEST(Automation, EditsReachTheHostAfterTheyAreStored) {
    RecordingHost host;
    MidSideProcessor effect(RecordingHost::callback());
    float valueSeenByHost = -1.0f;
    host.onRequest([&](const HostRequest& request) {
        if (request.opcode == 0) {
            valueSeenByHost = effect.parameterValue(request.index);
        }
    });
    effect.changeParameterAndNotify(1, 1.0f);
    EXPECT_EQ(valueSeenByHost, 1.0f);
    EXPECT_EQ(effect.sideGainValue(), std::bit_cast<float>(0x40000001u));
}

} // namespace
