// Writes interleaved stereo float frames into an output file through libsndfile.
#pragma once

#include "host/SoundFormat.h"

#include <cstdint>

class OutputFile;
struct sf_private_tag;

class SoundFileWriter {
public:
    // Throws HostError when the format cannot hold this audio or the file cannot be started.
    SoundFileWriter(OutputFile& output, SoundFormat format, int sampleRate);
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;
    ~SoundFileWriter();

    void write(const float* interleaved, std::int64_t frames);
    // Completes the file's headers; the output file can be committed afterwards.
    void finish();

private:
    OutputFile& outputFile;
    sf_private_tag* file = nullptr;
};
