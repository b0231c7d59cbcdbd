// Where the audio to process comes from: a sound file or the built-in demo signal. Sources are
// read in blocks of interleaved stereo frames so long files never have to fit in memory.
#pragma once

#include <cstdint>
#include <string>

class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual std::int64_t frames() const = 0;
    virtual double sampleRate() const = 0;
    // Reads up to count interleaved stereo frames; returns how many were read, 0 at the end.
    virtual std::int64_t read(float* interleaved, std::int64_t count) = 0;
    virtual std::string description() const = 0;
};
