// A stereo sound file read in blocks through libsndfile, in any format and encoding it knows.
#pragma once

#include "host/AudioSource.h"
#include "host/SoundFormat.h"

#include <string>

struct sf_private_tag;

class SoundFileReader : public AudioSource {
public:
    // Throws HostError when the file cannot be read or is not stereo.
    explicit SoundFileReader(const std::string& path);
    SoundFileReader(const SoundFileReader&) = delete;
    SoundFileReader& operator=(const SoundFileReader&) = delete;
    ~SoundFileReader() override;

    std::int64_t frames() const override { return frameCount; }
    double sampleRate() const override { return rate; }
    std::int64_t read(float* interleaved, std::int64_t count) override;
    std::string description() const override { return filePath; }

    SoundFormat format() const { return fileFormat; }

private:
    std::string filePath;
    sf_private_tag* file = nullptr;
    std::int64_t frameCount = 0;
    double rate = 0.0;
    SoundFormat fileFormat;
};
