// A host that automates parameters on one thread while another processes audio.
#include "midside/MidSideProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

TEST(Concurrency, ParameterChangesWhileProcessing) {
    MidSideProcessor effect(nullptr);
    std::atomic<bool> running{true};
    std::thread automation([&] {
        float value = 0.0f;
        while (running.load()) {
            effect.changeParameter(0, value);
            effect.changeParameter(1, 1.0f - value);
            value = value >= 1.0f ? 0.0f : value + 0.01f;
        }
    });

    constexpr int frames = 256;
    std::vector<float> left(frames, 0.5f), right(frames, -0.25f), outLeft(frames), outRight(frames);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    bool allFinite = true;
    for (int block = 0; block < 500; ++block) {
        effect.processOverwrite(inputs, outputs, frames);
        effect.processAccumulate(inputs, outputs, frames);
        for (int i = 0; i < frames; ++i) {
            // Gains never exceed about 2, so nothing can grow past a few units.
            allFinite = allFinite && std::fabs(outLeft[i]) < 4.0f && std::fabs(outRight[i]) < 4.0f;
        }
    }
    running = false;
    automation.join();
    EXPECT_TRUE(allFinite);
}

} // namespace
