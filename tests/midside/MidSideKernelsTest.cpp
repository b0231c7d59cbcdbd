#include "midside/MidSideKernels.h"
#include "midside/MidSideKernelsDetail.h"
#include "support/ProcessingCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using midside::detail::FramesFunction;
using midside::detail::KernelSet;

using processing::fromBits;
using processing::specialGains;
using processing::specialValues;
using processing::toBits;

enum class Mode { overwrite, accumulate };

// Where the outputs go relative to the inputs; the host may pass the same buffers for both.
enum class Layout { separate, inPlace, crossed };

struct KernelUnderTest {
    std::string name;
    bool (*isSupported)();
    FramesFunction overwrite;
    FramesFunction accumulate;
};

void PrintTo(const KernelUnderTest& kernel, std::ostream* out) {
    *out << kernel.name;
}

bool alwaysSupported() {
    return true;
}

// The dispatched entries, and every vector kernel built into the library, whether or not this
// processor can run it (those are reported as skipped).
std::vector<KernelUnderTest> kernelsUnderTest() {
    std::vector<KernelUnderTest> kernels{{"dispatched", alwaysSupported,
                                          midside::processOverwriteFrames,
                                          midside::processAccumulateFrames}};
    for (const KernelSet& set : midside::detail::builtKernelSets()) {
        if (set.overwrite != midside::referenceOverwriteFrames) {
            kernels.push_back({set.name, set.isSupported, set.overwrite, set.accumulate});
        }
    }
    return kernels;
}

// The contents of one processing call: both inputs and, for accumulation, the outputs' previous
// values.
struct StereoBlock {
    std::vector<float> left;
    std::vector<float> right;
    std::vector<float> previousLeft;
    std::vector<float> previousRight;

    std::int32_t frames() const { return static_cast<std::int32_t>(left.size()); }
};

// Buffers as a host passes them: 64-byte aligned or shifted by one float, with guard zones on
// both sides so that a write outside the block shows up in the snapshot.
class HostBuffers {
public:
    static constexpr std::size_t guardFloats = 24;
    static constexpr std::uint32_t guardBits = 0x7FBADBAD;

    HostBuffers(const StereoBlock& block, Layout layout, std::size_t misalignment)
        : frames(block.left.size()), misalignment(misalignment) {
        const std::size_t regions = layout == Layout::separate ? 4 : 2;
        for (std::size_t region = 0; region < regions; ++region) {
            storage.emplace_back(frames + 2 * guardFloats + misalignment + 16, fromBits(guardBits));
        }
        std::copy(block.left.begin(), block.left.end(), samples(0));
        std::copy(block.right.begin(), block.right.end(), samples(1));
        if (layout == Layout::separate) {
            std::copy(block.previousLeft.begin(), block.previousLeft.end(), samples(2));
            std::copy(block.previousRight.begin(), block.previousRight.end(), samples(3));
        }
        inL = samples(0);
        inR = samples(1);
        outL = layout == Layout::separate ? samples(2) : layout == Layout::inPlace ? inL : inR;
        outR = layout == Layout::separate ? samples(3) : layout == Layout::inPlace ? inR : inL;
    }

    void process(FramesFunction function, std::int32_t frameCount, float midGain, float sideGain) {
        function(inL, inR, outL, outR, frameCount, midGain, sideGain);
    }

    // Every float of every region, guards included, as bit patterns.
    std::vector<std::uint32_t> snapshot() {
        std::vector<std::uint32_t> bits;
        for (std::size_t region = 0; region < storage.size(); ++region) {
            const float* first = samples(region) - guardFloats;
            for (std::size_t i = 0; i < frames + 2 * guardFloats; ++i) {
                bits.push_back(toBits(first[i]));
            }
        }
        return bits;
    }

private:
    float* samples(std::size_t region) {
        float* base = storage[region].data() + guardFloats;
        while (reinterpret_cast<std::uintptr_t>(base) % 64 != 0) {
            ++base;
        }
        return base + misalignment;
    }

    std::size_t frames;
    std::size_t misalignment;
    std::vector<std::vector<float>> storage;
    float* inL = nullptr;
    float* inR = nullptr;
    float* outL = nullptr;
    float* outR = nullptr;
};

struct CallSetup {
    Layout layout = Layout::separate;
    std::size_t misalignment = 0;
    std::int32_t frames = 0;
    float midGain = 1.0f;
    float sideGain = 1.0f;
};

std::vector<std::uint32_t> processed(FramesFunction function, const StereoBlock& block,
                                     const CallSetup& run) {
    HostBuffers buffers(block, run.layout, run.misalignment);
    buffers.process(function, run.frames, run.midGain, run.sideGain);
    return buffers.snapshot();
}

std::string describe(const CallSetup& run) {
    static const char* const layoutNames[] = {"separate", "in place", "crossed"};
    char text[128];
    std::snprintf(text, sizeof text, "%s buffers, misalignment %zu, %d frames, gains %08x %08x",
                  layoutNames[static_cast<int>(run.layout)], run.misalignment, run.frames,
                  toBits(run.midGain), toBits(run.sideGain));
    return text;
}

::testing::AssertionResult sameBits(const std::vector<std::uint32_t>& actual,
                                    const std::vector<std::uint32_t>& expected) {
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure() << "snapshots of different sizes";
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (actual[i] != expected[i]) {
            char message[160];
            std::snprintf(message, sizeof message,
                          "first difference at float %zu of the snapshot: got %08x (%g), "
                          "expected %08x (%g)",
                          i, actual[i], fromBits(actual[i]), expected[i], fromBits(expected[i]));
            return ::testing::AssertionFailure() << message;
        }
    }
    return ::testing::AssertionSuccess();
}

class MidSideKernelTest : public ::testing::TestWithParam<std::tuple<KernelUnderTest, Mode>> {
protected:
    void SetUp() override {
        if (!kernel().isSupported()) {
            GTEST_SKIP() << kernel().name << " is not supported by this processor";
        }
    }

    const KernelUnderTest& kernel() const { return std::get<0>(GetParam()); }
    Mode mode() const { return std::get<1>(GetParam()); }

    FramesFunction kernelFunction() const {
        return mode() == Mode::overwrite ? kernel().overwrite : kernel().accumulate;
    }

    static FramesFunction referenceFunction(Mode mode) {
        return mode == Mode::overwrite ? midside::referenceOverwriteFrames
                                       : midside::referenceAccumulateFrames;
    }

    void expectSameAsReference(const StereoBlock& block, const CallSetup& run) const {
        EXPECT_TRUE(sameBits(processed(kernelFunction(), block, run),
                             processed(referenceFunction(mode()), block, run)))
            << describe(run);
    }
};

// Every ordered pair of special values as (L, R), with special previous outputs.
StereoBlock specialPairs() {
    StereoBlock block;
    const std::size_t count = std::size(specialValues);
    for (std::size_t i = 0; i < count * count; ++i) {
        block.left.push_back(specialValues[i / count]);
        block.right.push_back(specialValues[i % count]);
        block.previousLeft.push_back(specialValues[(i * 7 + 3) % count]);
        block.previousRight.push_back(specialValues[(i * 5 + 1) % count]);
    }
    return block;
}

TEST_P(MidSideKernelTest, SpecialValuesMatchTheFormulaForEveryGainPair) {
    const StereoBlock block = specialPairs();
    for (Layout layout : {Layout::separate, Layout::inPlace, Layout::crossed}) {
        for (float midGain : specialGains) {
            for (float sideGain : specialGains) {
                expectSameAsReference(block, {layout, 0, block.frames(), midGain, sideGain});
            }
        }
    }
}

// Random audio-range samples or random bit patterns (NaNs, infinities and subnormals included).
StereoBlock randomBlock(std::mt19937& random, std::size_t frames, bool anyBits) {
    std::uniform_real_distribution<float> audio(-2.0f, 2.0f);
    auto next = [&] {
        return anyBits ? fromBits(static_cast<std::uint32_t>(random())) : audio(random);
    };
    StereoBlock block;
    for (std::size_t i = 0; i < frames; ++i) {
        block.left.push_back(next());
        block.right.push_back(next());
        block.previousLeft.push_back(next());
        block.previousRight.push_back(next());
    }
    return block;
}

float randomGain(std::mt19937& random) {
    if (random() % 4 == 0) {
        return fromBits(static_cast<std::uint32_t>(random()));
    }
    return specialGains[random() % std::size(specialGains)];
}

TEST_P(MidSideKernelTest, RandomBlocksMatchTheFormulaForEveryLengthLayoutAndAlignment) {
    std::vector<std::int32_t> frameCounts;
    for (std::int32_t frames = 0; frames <= 67; ++frames) {
        frameCounts.push_back(frames);
    }
    frameCounts.insert(frameCounts.end(), {255, 1000, 4099});

    std::mt19937 random(20240611);
    for (std::int32_t frames : frameCounts) {
        for (bool anyBits : {false, true}) {
            const StereoBlock block =
                randomBlock(random, static_cast<std::size_t>(frames), anyBits);
            for (Layout layout : {Layout::separate, Layout::inPlace, Layout::crossed}) {
                for (std::size_t misalignment : {0u, 1u}) {
                    expectSameAsReference(block, {layout, misalignment, frames, randomGain(random),
                                                  randomGain(random)});
                }
            }
        }
    }
}

TEST_P(MidSideKernelTest, NonPositiveFrameCountsTouchNothing) {
    std::mt19937 random(7);
    const StereoBlock block = randomBlock(random, 16, false);
    for (std::int32_t frames : {0, -1, -8, std::numeric_limits<std::int32_t>::min()}) {
        for (Layout layout : {Layout::separate, Layout::inPlace}) {
            const CallSetup run{layout, 0, frames, 1.0f, 1.0f};
            EXPECT_TRUE(sameBits(processed(kernelFunction(), block, run),
                                 HostBuffers(block, layout, 0).snapshot()))
                << describe(run);
        }
    }
}

std::string
kernelTestName(const ::testing::TestParamInfo<std::tuple<KernelUnderTest, Mode>>& info) {
    return std::get<0>(info.param).name +
           (std::get<1>(info.param) == Mode::overwrite ? "_overwrite" : "_accumulate");
}

INSTANTIATE_TEST_SUITE_P(AllKernels, MidSideKernelTest,
                         ::testing::Combine(::testing::ValuesIn(kernelsUnderTest()),
                                            ::testing::Values(Mode::overwrite, Mode::accumulate)),
                         kernelTestName);

using processing::FormulaCase;

void expectFloatBits(float actual, float expected, const char* what) {
    EXPECT_EQ(toBits(actual), toBits(expected))
        << what << ": got " << actual << ", expected " << expected;
}

void expectWorkedValues(const FormulaCase& c) {
    for (FramesFunction overwrite :
         {midside::referenceOverwriteFrames, midside::processOverwriteFrames}) {
        float outL = -99.0f;
        float outR = -99.0f;
        overwrite(&c.left, &c.right, &outL, &outR, 1, c.midGain, c.sideGain);
        expectFloatBits(outL, c.expectedOverwriteLeft, c.what);
        expectFloatBits(outR, c.expectedOverwriteRight, c.what);
    }
    for (FramesFunction accumulate :
         {midside::referenceAccumulateFrames, midside::processAccumulateFrames}) {
        float outL = c.previousLeft;
        float outR = c.previousRight;
        accumulate(&c.left, &c.right, &outL, &outR, 1, c.midGain, c.sideGain);
        expectFloatBits(outL, c.expectedAccumulateLeft, c.what);
        expectFloatBits(outR, c.expectedAccumulateRight, c.what);
    }
}

TEST(MidSideFormula, ReferenceAndDispatchedKernelsGiveTheWorkedValues) {
    for (const FormulaCase& c : processing::formulaCases) {
        expectWorkedValues(c);
    }
}

#if BRISOLEN_KERNELS_X86
TEST(MidSideFormula, TheFirstOperandsNaNWins) {
    for (const FormulaCase& c : processing::x86NanCases) {
        expectWorkedValues(c);
    }
}
#endif

TEST(MidSideDispatch, PicksTheWidestSupportedKernels) {
    const std::string dispatched = midside::kernelInstructionSet();
    for (const KernelSet& set : midside::detail::builtKernelSets()) {
        if (set.isSupported()) {
            EXPECT_EQ(dispatched, set.name);
            return;
        }
    }
    FAIL() << "no kernel set is supported, not even the scalar one";
}

#if BRISOLEN_KERNELS_X86
TEST(MidSideDispatch, AgreesWithTheProcessorFeatures) {
    const std::string dispatched = midside::kernelInstructionSet();
    if (__builtin_cpu_supports("avx512f")) {
        EXPECT_EQ(dispatched, "avx512");
    } else if (__builtin_cpu_supports("avx")) {
        EXPECT_EQ(dispatched, "avx");
    } else {
        EXPECT_EQ(dispatched, "sse2");
    }
}
#endif

} // namespace
