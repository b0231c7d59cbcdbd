#include "midside/MidSideProcessor.h"
#include "midside/MidSideKernels.h"
#include "support/ProcessingCases.h"
#include "support/RecordFacts.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

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

using processing::GainCase;

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

INSTANTIATE_TEST_SUITE_P(Values, GainLaw, testing::ValuesIn(processing::gainCases));

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

using processing::ProcessCase;

class Processing : public testing::TestWithParam<ProcessCase> {};

TEST_P(Processing, CombinesMidAndSide) {
    const ProcessCase& c = GetParam();
    MidSideProcessor effect(nullptr);
    effect.changeParameter(0, c.mid);
    effect.changeParameter(1, c.side);
    std::vector<float> left(9, processing::processCaseLeft), right(9, processing::processCaseRight);
    std::vector<float> outLeft(9, 3.0f), outRight(9, 3.0f);
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

INSTANTIATE_TEST_SUITE_P(Gains, Processing, testing::ValuesIn(processing::processCases),
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
    for (const auto& c : recordfacts::programNames) {
        char name[64];
        std::strcpy(name, c.given);
        effect.handleOpcode(4, 0, 0, name, 0.0f);
        EXPECT_EQ(parameterText(effect, 5, 0), c.shown) << c.given;
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
    for (const recordfacts::OpcodeAnswer& c : recordfacts::opcodeAnswers) {
        MidSideProcessor effect(nullptr);
        char text[64];
        std::strcpy(text, c.dataText != nullptr ? c.dataText : recordfacts::untouchedText);
        EXPECT_EQ(effect.handleOpcode(c.opcode, c.index, c.value, text, 0.0f), c.answer) << c.what;
        if (c.text != nullptr) {
            EXPECT_STREQ(text, c.text) << c.what;
        }
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
