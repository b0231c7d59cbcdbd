// Channel buffers for the processing entries, one per pin the plug-in declares, each with guard
// samples on both sides so that a plug-in writing outside the block is caught.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class PluginInstance;

namespace validation {

enum class Entry { accumulate, overwrite };

const char* entryName(Entry entry);

// The processing entries the plug-in offers: accumulate when present, overwrite when flagged.
std::vector<Entry> offeredEntries(const PluginInstance& plugin);

class AudioBuffers {
public:
    // Fails the check when the plug-in declares a pin count a host cannot feed.
    AudioBuffers(const PluginInstance& plugin, std::int32_t frames);

    std::int32_t frames() const { return frameCount; }
    float** inputs() { return inputPointers.data(); }
    float** outputs() { return outputPointers.data(); }
    float* input(std::size_t channel) { return inputPointers[channel]; }
    float* output(std::size_t channel) { return outputPointers[channel]; }
    std::size_t inputCount() const { return inputPointers.size(); }
    std::size_t outputCount() const { return outputPointers.size(); }

    // Uniform noise in [-peak, peak] on every input.
    void fillInputs(std::mt19937_64& random, float peak = 1.0f);
    void fillOutputs(std::mt19937_64& random, float peak = 1.0f);
    void fillOutputs(float value);
    // The output channels' first `frames` samples, channel after channel.
    std::vector<float> outputSamples(std::int32_t frames) const;

    // Empty when every guard sample is intact, else what was damaged.
    std::string guardFault() const;
    // Empty when the first `frames` output samples are finite and not subnormal.
    std::string outputFault(std::int32_t frames) const;

private:
    std::int32_t frameCount;
    std::vector<std::vector<float>> inputChannels;
    std::vector<std::vector<float>> outputChannels;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
};

// Calls the entry on the buffers.
void process(PluginInstance& plugin, Entry entry, float** inputs, float** outputs,
             std::int32_t frames);
void process(PluginInstance& plugin, Entry entry, AudioBuffers& buffers, std::int32_t frames);

// Processes and fails the check when the guards or the outputs are damaged; `when` describes the
// situation for the failure text.
void processChecked(PluginInstance& plugin, Entry entry, AudioBuffers& buffers, std::int32_t frames,
                    const std::string& when);

float randomUnit(std::mt19937_64& random);

} // namespace validation
