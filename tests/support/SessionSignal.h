// A host's session of processing, shared by the native plug-in entry test and the Windows test
// host: Mid at 1.0 and Side at 0.3, 1031 frames of random stereo from a fixed seed, and what the
// formula makes of them through the overwrite entry and then the accumulate entry.
#pragma once

#include "midside/MidSideKernels.h"
#include "support/ProcessingCases.h"

#include <random>
#include <vector>

namespace processing {

struct SessionSignal {
    static constexpr float midValue = 1.0f;
    static constexpr float sideValue = 0.3f;
    static constexpr int frames = 1031;
    // The gains of those values: 2.0000002 lands on its own float; 0.3 times 1.1111112, rounded.
    const float midGain = fromBits(0x40000001);
    const float sideGain = static_cast<float>(0.3f * 1.1111111640930176);

    std::vector<float> left = std::vector<float>(frames);
    std::vector<float> right = std::vector<float>(frames);
    // The outputs after the overwrite entry, and after the accumulate entry added onto them.
    std::vector<float> overwrittenLeft = std::vector<float>(frames);
    std::vector<float> overwrittenRight = std::vector<float>(frames);
    std::vector<float> accumulatedLeft;
    std::vector<float> accumulatedRight;

    SessionSignal() {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
        for (int i = 0; i < frames; ++i) {
            left[i] = sample(random);
            right[i] = sample(random);
        }
        midside::referenceOverwriteFrames(left.data(), right.data(), overwrittenLeft.data(),
                                          overwrittenRight.data(), frames, midGain, sideGain);
        accumulatedLeft = overwrittenLeft;
        accumulatedRight = overwrittenRight;
        midside::referenceAccumulateFrames(left.data(), right.data(), accumulatedLeft.data(),
                                           accumulatedRight.data(), frames, midGain, sideGain);
    }
};

} // namespace processing
