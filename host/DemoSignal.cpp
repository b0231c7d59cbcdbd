#include "host/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double centreHz = 220.0;
constexpr double leftHz = 660.0;
constexpr double oppositeHz = 330.0;
constexpr double centreLevel = 0.25;
constexpr double leftLevel = 0.15;
constexpr double oppositeLevel = 0.15;
constexpr double noiseLevel = 0.02;
// Short fades keep the start and the end free of clicks.
constexpr double fadeSeconds = 0.01;

double tone(double hz, double seconds) {
    return std::sin(2.0 * std::numbers::pi * hz * seconds);
}

} // namespace

DemoSignal::DemoSignal(double sampleRate, double seconds)
    : rate(sampleRate), frameCount(static_cast<std::int64_t>(std::llround(sampleRate * seconds))) {}

float DemoSignal::nextNoise() {
    // A fixed linear congruential sequence: the demo file is the same on every run.
    noiseState = noiseState * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<double>(noiseState >> 8) / 8388608.0 - 1.0);
}

std::int64_t DemoSignal::read(float* interleaved, std::int64_t count) {
    const std::int64_t available = std::min(count, frameCount - position);
    const double fadeFrames = fadeSeconds * rate;
    for (std::int64_t i = 0; i < available; ++i, ++position) {
        const double t = static_cast<double>(position) / rate;
        const double fromEdge = static_cast<double>(std::min(position, frameCount - 1 - position));
        const double fade = std::min(1.0, fromEdge / fadeFrames);
        const double centre = centreLevel * tone(centreHz, t);
        const double left = leftLevel * tone(leftHz, t);
        const double opposite = oppositeLevel * tone(oppositeHz, t);
        interleaved[2 * i] =
            static_cast<float>(fade * (centre + left + opposite + noiseLevel * nextNoise()));
        interleaved[2 * i + 1] =
            static_cast<float>(fade * (centre - opposite + noiseLevel * nextNoise()));
    }
    return std::max<std::int64_t>(available, 0);
}
