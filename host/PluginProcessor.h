// Runs interleaved stereo audio through a plug-in's processing entry in blocks of non-interleaved
// float channels, the way the plug-in expects to be fed.
#pragma once

#include <cstdint>
#include <vector>

class PluginInstance;

enum class ProcessingEntry { overwrite, accumulate };

class PluginProcessor {
public:
    // The plug-in must already have passed requireStereo().
    PluginProcessor(PluginInstance& instance, ProcessingEntry entry, std::int32_t blockSize);

    ProcessingEntry entry() const { return processingEntry; }
    std::int32_t blockSize() const { return maxFrames; }

    // Runs frames (at most blockSize) interleaved stereo frames from input through the plug-in
    // into output.
    void process(const float* input, float* output, std::int32_t frames);

    // The two halves of process, for the benchmark: copy frames into the plug-in's first two
    // input channels, and run the entry on what the input channels hold.
    void fillInputs(const float* interleavedStereo, std::int32_t frames);
    void processChannels(std::int32_t frames);

private:
    PluginInstance& plugin;
    ProcessingEntry processingEntry;
    std::int32_t maxFrames;
    std::vector<std::vector<float>> inputChannels;
    std::vector<std::vector<float>> outputChannels;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
};

// The entry a host uses unless told otherwise: overwrite when the plug-in offers it.
ProcessingEntry chooseEntry(const PluginInstance& instance, bool accumulateRequested);
