// Stereo test material for trying an effect without a sound file: a centred tone, a tone on the
// left only, a component in opposite phase on the two sides, and a little noise. Each part sits
// differently in mid and side, so changing either gain is clearly audible.
#pragma once

#include "host/AudioSource.h"

#include <cstdint>

class DemoSignal : public AudioSource {
public:
    static constexpr double defaultRate = 48000.0;
    static constexpr double defaultSeconds = 4.0;

    explicit DemoSignal(double rate = defaultRate, double seconds = defaultSeconds);

    std::int64_t frames() const override { return frameCount; }
    double sampleRate() const override { return rate; }
    std::int64_t read(float* interleaved, std::int64_t count) override;
    std::string description() const override { return "demo signal"; }

private:
    float nextNoise();

    double rate;
    std::int64_t frameCount;
    std::int64_t position = 0;
    std::uint32_t noiseState = 0x12345678u;
};
