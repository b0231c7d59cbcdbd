// Both processing entries of the loaded library against the double-precision formula, on the
// shared test vectors, with the gains a host reaches through the parameters.
#include "Check.h"
#include "PluginLibrary.h"

#include "midside/MidSideKernels.h"
#include "support/ProcessingCases.h"
#include "support/RecordingHost.h"
#include "support/SessionSignal.h"

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

using processing::fromBits;
using processing::toBits;
using testhost::PluginLibrary;
using testhost::send;

// One instance, opened and started as a host does, closed when the object goes.
class RunningInstance {
public:
    RunningInstance() {
        host.answerWith(1, 2400);
        MainEntry pluginMain = PluginLibrary::instance().mainByName();
        record = pluginMain != nullptr ? pluginMain(RecordingHost::callback()) : nullptr;
        if (record != nullptr) {
            send(record, 0);
            send(record, 10, 0, 0, nullptr, 44100.0f);
            send(record, 11, 0, 4096);
            send(record, 12, 0, 1);
        }
    }
    ~RunningInstance() {
        if (record != nullptr) {
            send(record, 12, 0, 0);
            send(record, 1);
        }
    }
    RunningInstance(const RunningInstance&) = delete;
    RunningInstance& operator=(const RunningInstance&) = delete;

    bool ready() const { return record != nullptr; }
    void setParameters(float mid, float side) {
        record->changeParameterEntry(record, 0, mid);
        record->changeParameterEntry(record, 1, side);
    }
    void overwrite(float** inputs, float** outputs, std::int32_t frames) {
        record->overwriteEntry(record, inputs, outputs, frames);
    }
    void accumulate(float** inputs, float** outputs, std::int32_t frames) {
        record->accumulateEntry(record, inputs, outputs, frames);
    }
    HostRecord* operator->() const { return record; }

private:
    RecordingHost host;
    HostRecord* record = nullptr;
};

// The output of one frame (1, 1) is the mid gain, of (1, -1) the side gain: the other component
// is zero and the halving undoes the doubling exactly.
float gainSeenThroughProcessing(RunningInstance& effect, std::int32_t index) {
    float left = 1.0f;
    float right = index == 0 ? 1.0f : -1.0f;
    float outLeft = -99.0f;
    float outRight = -99.0f;
    float* inputs[] = {&left, &right};
    float* outputs[] = {&outLeft, &outRight};
    effect.overwrite(inputs, outputs, 1);
    return outLeft;
}

TEST_CASE(GainLawThroughTheParameterEntries) {
    for (const processing::GainCase& c : processing::gainCases) {
        for (std::int32_t index : {0, 1}) {
            RunningInstance effect;
            REQUIRE(effect.ready());
            effect->changeParameterEntry(effect.operator->(), index, c.value);
            const std::string context =
                "value " + check::describe(c.value) + ", parameter " + std::to_string(index);
            CHECK_BITS(gainSeenThroughProcessing(effect, index), fromBits(c.gainBits), context);
            CHECK_EQ(effect->parameterValueEntry(effect.operator->(), index), c.storedValue,
                     context);
            char text[64] = "untouched";
            send(effect.operator->(), 7, index, 0, text);
            CHECK_TEXT(text, c.text, context);
        }
    }
}

TEST_CASE(BothEntriesCombineMidAndSide) {
    for (const processing::ProcessCase& c : processing::processCases) {
        RunningInstance effect;
        REQUIRE(effect.ready());
        effect.setParameters(c.mid, c.side);
        std::vector<float> left(9, processing::processCaseLeft);
        std::vector<float> right(9, processing::processCaseRight);
        std::vector<float> outLeft(9, 3.0f), outRight(9, 3.0f);
        float* inputs[] = {left.data(), right.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        effect.overwrite(inputs, outputs, 9);
        CHECK(outLeft == std::vector<float>(9, c.left), c.name);
        CHECK(outRight == std::vector<float>(9, c.right), c.name);
        effect.accumulate(inputs, outputs, 9);
        CHECK(outLeft == std::vector<float>(9, 2 * c.left), c.name);
        CHECK(outRight == std::vector<float>(9, 2 * c.right), c.name);
    }
}

// Every ordered pair of special values as (L, R), with special previous outputs.
struct SpecialBlock {
    std::vector<float> left, right, previousLeft, previousRight;
};

SpecialBlock specialPairs() {
    SpecialBlock block;
    const std::size_t count = std::size(processing::specialValues);
    for (std::size_t i = 0; i < count * count; ++i) {
        block.left.push_back(processing::specialValues[i / count]);
        block.right.push_back(processing::specialValues[i % count]);
        block.previousLeft.push_back(processing::specialValues[(i * 7 + 3) % count]);
        block.previousRight.push_back(processing::specialValues[(i * 5 + 1) % count]);
    }
    return block;
}

// Index of the first float whose bits differ, or -1.
int firstDifference(const std::vector<float>& actual, const std::vector<float>& expected) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (toBits(actual[i]) != toBits(expected[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void checkSpecialPairs(const processing::ReachableGain& mid, const processing::ReachableGain& side,
                       bool inPlace) {
    const SpecialBlock block = specialPairs();
    const auto frames = static_cast<std::int32_t>(block.left.size());
    const float midGain = fromBits(mid.gainBits);
    const float sideGain = fromBits(side.gainBits);
    const std::string context = "gains " + check::describe(midGain) + " and " +
                                check::describe(sideGain) + (inPlace ? ", in place" : "");

    std::vector<float> expectedLeft(block.left.size()), expectedRight(block.left.size());
    midside::referenceOverwriteFrames(block.left.data(), block.right.data(), expectedLeft.data(),
                                      expectedRight.data(), frames, midGain, sideGain);
    std::vector<float> accumulatedLeft = block.previousLeft;
    std::vector<float> accumulatedRight = block.previousRight;
    midside::referenceAccumulateFrames(block.left.data(), block.right.data(),
                                       accumulatedLeft.data(), accumulatedRight.data(), frames,
                                       midGain, sideGain);

    RunningInstance effect;
    REQUIRE(effect.ready());
    effect.setParameters(mid.parameterValue, side.parameterValue);

    std::vector<float> left = block.left, right = block.right;
    std::vector<float> outLeft(block.left.size(), -7.0f), outRight(block.left.size(), -7.0f);
    float* inputs[] = {left.data(), right.data()};
    float* separate[] = {outLeft.data(), outRight.data()};
    effect.overwrite(inputs, inPlace ? inputs : separate, frames);
    CHECK_EQ(firstDifference(inPlace ? left : outLeft, expectedLeft), -1, "overwrite, " + context);
    CHECK_EQ(firstDifference(inPlace ? right : outRight, expectedRight), -1,
             "overwrite, " + context);

    if (!inPlace) {
        outLeft = block.previousLeft;
        outRight = block.previousRight;
        effect.accumulate(inputs, separate, frames);
        CHECK_EQ(firstDifference(outLeft, accumulatedLeft), -1, "accumulate, " + context);
        CHECK_EQ(firstDifference(outRight, accumulatedRight), -1, "accumulate, " + context);
    }
}

TEST_CASE(SpecialValuesMatchTheFormulaForEveryReachableGainPair) {
    for (const processing::ReachableGain& mid : processing::reachableGains) {
        for (const processing::ReachableGain& side : processing::reachableGains) {
            checkSpecialPairs(mid, side, false);
            checkSpecialPairs(mid, side, true);
        }
    }
}

// The parameter value that gives a gain, or -1 when no parameter value does.
float parameterValueFor(float gain) {
    for (const processing::ReachableGain& reachable : processing::reachableGains) {
        if (reachable.gainBits == toBits(gain)) {
            return reachable.parameterValue;
        }
    }
    return -1.0f;
}

// Runs each case whose gains a host can set; returns how many that were.
int checkWorkedValues(const processing::FormulaCase* cases, std::size_t count) {
    int reached = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const processing::FormulaCase& c = cases[i];
        const float midValue = parameterValueFor(c.midGain);
        const float sideValue = parameterValueFor(c.sideGain);
        if (midValue < 0.0f || sideValue < 0.0f) {
            continue;
        }
        ++reached;
        RunningInstance effect;
        if (!CHECK(effect.ready())) {
            return reached;
        }
        effect.setParameters(midValue, sideValue);
        float left = c.left, right = c.right;
        float* inputs[] = {&left, &right};
        float outLeft = -99.0f, outRight = -99.0f;
        float* outputs[] = {&outLeft, &outRight};
        effect.overwrite(inputs, outputs, 1);
        CHECK_BITS(outLeft, c.expectedOverwriteLeft, c.what);
        CHECK_BITS(outRight, c.expectedOverwriteRight, c.what);
        outLeft = c.previousLeft;
        outRight = c.previousRight;
        effect.accumulate(inputs, outputs, 1);
        CHECK_BITS(outLeft, c.expectedAccumulateLeft, c.what);
        CHECK_BITS(outRight, c.expectedAccumulateRight, c.what);
    }
    return reached;
}

TEST_CASE(WorkedValuesOfTheFormula) {
    REQUIRE(RunningInstance().ready());
    const int formulaCases =
        checkWorkedValues(processing::formulaCases, std::size(processing::formulaCases));
    const int nanCases =
        checkWorkedValues(processing::x86NanCases, std::size(processing::x86NanCases));
    // Most cases use gains the parameters give; the rest force gains only the kernels take.
    CHECK(formulaCases >= 6);
    CHECK(nanCases >= 2);
}

TEST_CASE(HostLifecycleProcessesExactlyTheFormula) {
    RunningInstance effect;
    REQUIRE(effect.ready());
    processing::SessionSignal session;
    effect.setParameters(session.midValue, session.sideValue);
    const int frames = session.frames;
    std::vector<float> outLeft(frames), outRight(frames);
    float* inputs[] = {session.left.data(), session.right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect.overwrite(inputs, outputs, frames);
    CHECK_EQ(firstDifference(outLeft, session.overwrittenLeft), -1);
    CHECK_EQ(firstDifference(outRight, session.overwrittenRight), -1);

    effect.accumulate(inputs, outputs, frames);
    CHECK_EQ(firstDifference(outLeft, session.accumulatedLeft), -1);
    CHECK_EQ(firstDifference(outRight, session.accumulatedRight), -1);
}

TEST_CASE(EmptyBlocksAndMissingBuffersTouchNothing) {
    RunningInstance effect;
    REQUIRE(effect.ready());
    std::vector<float> in(4, 1.0f), out(4, 5.0f);
    float* good[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    float* missingRight[] = {out.data(), nullptr};
    for (int accumulate = 0; accumulate < 2; ++accumulate) {
        auto process = [&](float** i, float** o, std::int32_t frames) {
            accumulate != 0 ? effect.accumulate(i, o, frames) : effect.overwrite(i, o, frames);
        };
        process(nullptr, outputs, 4);
        process(good, nullptr, 4);
        process(good, missingRight, 4);
        process(good, outputs, 0);
        process(good, outputs, -4);
        CHECK(out == std::vector<float>(4, 5.0f), accumulate != 0 ? "accumulate" : "overwrite");
    }
}

} // namespace
