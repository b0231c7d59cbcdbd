#include "host/PluginProcessor.h"

#include "host/HostError.h"
#include "host/PluginInstance.h"

#include <algorithm>
#include <string>

namespace {

// Plug-ins with more pins than this are not audio effects a file host can feed.
constexpr std::int32_t maxChannels = 64;

std::int32_t channelCount(std::int32_t pins, const char* what) {
    if (pins > maxChannels) {
        throw HostError("the plug-in declares " + std::to_string(pins) + " " + what + "; at most " +
                        std::to_string(maxChannels) + " are supported");
    }
    return pins;
}

void allocate(std::vector<std::vector<float>>& channels, std::vector<float*>& pointers,
              std::int32_t count, std::int32_t frames) {
    channels.assign(static_cast<std::size_t>(count),
                    std::vector<float>(static_cast<std::size_t>(frames), 0.0f));
    pointers.clear();
    for (auto& channel : channels) {
        pointers.push_back(channel.data());
    }
}

} // namespace

ProcessingEntry chooseEntry(const PluginInstance& instance, bool accumulateRequested) {
    if (accumulateRequested || !instance.offersOverwrite()) {
        if (!instance.hasAccumulate()) {
            throw HostError("the plug-in has no accumulate entry");
        }
        return ProcessingEntry::accumulate;
    }
    return ProcessingEntry::overwrite;
}

PluginProcessor::PluginProcessor(PluginInstance& instance, ProcessingEntry entry,
                                 std::int32_t blockSize)
    : plugin(instance), processingEntry(entry), maxFrames(blockSize) {
    // Every pin the plug-in declares gets a buffer, so it never reads or writes past ours; the
    // host feeds and keeps only the first two.
    allocate(inputChannels, inputPointers, channelCount(instance.record().inputCount, "inputs"),
             blockSize);
    allocate(outputChannels, outputPointers, channelCount(instance.record().outputCount, "outputs"),
             blockSize);
}

void PluginProcessor::fillInputs(const float* interleavedStereo, std::int32_t frames) {
    float* left = inputPointers[0];
    float* right = inputPointers[1];
    for (std::int32_t frame = 0; frame < frames; ++frame) {
        left[frame] = interleavedStereo[2 * frame];
        right[frame] = interleavedStereo[2 * frame + 1];
    }
}

void PluginProcessor::processChannels(std::int32_t frames) {
    if (processingEntry == ProcessingEntry::overwrite) {
        plugin.processOverwrite(inputPointers.data(), outputPointers.data(), frames);
        return;
    }
    // The accumulate entry adds into the outputs, so a block must start from silence.
    for (float* output : outputPointers) {
        std::fill(output, output + frames, 0.0f);
    }
    plugin.processAccumulate(inputPointers.data(), outputPointers.data(), frames);
}

void PluginProcessor::process(const float* input, float* output, std::int32_t frames) {
    fillInputs(input, frames);
    processChannels(frames);
    const float* left = outputPointers[0];
    const float* right = outputPointers[1];
    for (std::int32_t frame = 0; frame < frames; ++frame) {
        output[2 * frame] = left[frame];
        output[2 * frame + 1] = right[frame];
    }
}
