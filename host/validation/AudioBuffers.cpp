#include "host/validation/AudioBuffers.h"

#include "host/PluginInstance.h"
#include "host/validation/Check.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace validation {

namespace {

// Beyond this many pins a plug-in is not an audio effect a host can feed.
constexpr std::int32_t maxPins = 64;
constexpr std::size_t guardSamples = 16;
// A quiet NaN with a payload no arithmetic produces, compared bit for bit.
constexpr std::uint32_t guardBits = 0x7FC5A5A5u;

float guardValue() {
    float value = 0.0f;
    std::memcpy(&value, &guardBits, sizeof value);
    return value;
}

bool isGuard(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits == guardBits;
}

std::int32_t pinCount(std::int32_t declared, const char* what) {
    require(declared >= 0 && declared <= maxPins,
            std::string("the record declares ") + std::to_string(declared) + " " + what +
                " (a host feeds 0 to " + std::to_string(maxPins) + ")");
    return declared;
}

void allocate(std::vector<std::vector<float>>& channels, std::vector<float*>& pointers,
              std::int32_t count, std::int32_t frames) {
    channels.assign(
        static_cast<std::size_t>(count),
        std::vector<float>(static_cast<std::size_t>(frames) + 2 * guardSamples, guardValue()));
    pointers.clear();
    for (auto& channel : channels) {
        std::fill_n(channel.begin() + guardSamples, frames, 0.0f);
        pointers.push_back(channel.data() + guardSamples);
    }
}

std::string damagedGuard(const std::vector<std::vector<float>>& channels, const char* what,
                         std::int32_t frames) {
    for (std::size_t channel = 0; channel < channels.size(); ++channel) {
        const auto& samples = channels[channel];
        if (!std::all_of(samples.begin(), samples.begin() + guardSamples, isGuard)) {
            return std::string("wrote before the start of ") + what + " " + std::to_string(channel);
        }
        if (!std::all_of(samples.end() - guardSamples, samples.end(), isGuard)) {
            return std::string("wrote past frame ") + std::to_string(frames) + " of " + what + " " +
                   std::to_string(channel);
        }
    }
    return {};
}

const char* sampleFault(float sample) {
    switch (std::fpclassify(sample)) {
    case FP_NAN:
        return "NaN";
    case FP_INFINITE:
        return "infinity";
    case FP_SUBNORMAL:
        return "subnormal";
    default:
        return nullptr;
    }
}

} // namespace

const char* entryName(Entry entry) {
    return entry == Entry::accumulate ? "accumulate" : "overwrite";
}

std::vector<Entry> offeredEntries(const PluginInstance& plugin) {
    std::vector<Entry> entries;
    if (plugin.hasAccumulate()) {
        entries.push_back(Entry::accumulate);
    }
    if (plugin.offersOverwrite()) {
        entries.push_back(Entry::overwrite);
    }
    require(!entries.empty(), "the record offers no processing entry");
    return entries;
}

AudioBuffers::AudioBuffers(const PluginInstance& plugin, std::int32_t frames) : frameCount(frames) {
    allocate(inputChannels, inputPointers, pinCount(plugin.record().inputCount, "inputs"), frames);
    allocate(outputChannels, outputPointers, pinCount(plugin.record().outputCount, "outputs"),
             frames);
}

void AudioBuffers::fillInputs(std::mt19937_64& random, float peak) {
    std::uniform_real_distribution<float> noise(-peak, peak);
    for (float* channel : inputPointers) {
        std::generate_n(channel, frameCount, [&] { return noise(random); });
    }
}

void AudioBuffers::fillOutputs(std::mt19937_64& random, float peak) {
    std::uniform_real_distribution<float> noise(-peak, peak);
    for (float* channel : outputPointers) {
        std::generate_n(channel, frameCount, [&] { return noise(random); });
    }
}

void AudioBuffers::fillOutputs(float value) {
    for (float* channel : outputPointers) {
        std::fill_n(channel, frameCount, value);
    }
}

std::vector<float> AudioBuffers::outputSamples(std::int32_t frames) const {
    std::vector<float> samples;
    for (const float* channel : outputPointers) {
        samples.insert(samples.end(), channel, channel + frames);
    }
    return samples;
}

std::string AudioBuffers::guardFault() const {
    std::string fault = damagedGuard(inputChannels, "input", frameCount);
    return fault.empty() ? damagedGuard(outputChannels, "output", frameCount) : fault;
}

std::string AudioBuffers::outputFault(std::int32_t frames) const {
    for (std::size_t channel = 0; channel < outputPointers.size(); ++channel) {
        for (std::int32_t frame = 0; frame < frames; ++frame) {
            if (const char* fault = sampleFault(outputPointers[channel][frame])) {
                return std::string(fault) + " at frame " + std::to_string(frame) + " of output " +
                       std::to_string(channel);
            }
        }
    }
    return {};
}

void process(PluginInstance& plugin, Entry entry, float** inputs, float** outputs,
             std::int32_t frames) {
    if (entry == Entry::accumulate) {
        plugin.processAccumulate(inputs, outputs, frames);
    } else {
        plugin.processOverwrite(inputs, outputs, frames);
    }
}

void process(PluginInstance& plugin, Entry entry, AudioBuffers& buffers, std::int32_t frames) {
    process(plugin, entry, buffers.inputs(), buffers.outputs(), frames);
}

void processChecked(PluginInstance& plugin, Entry entry, AudioBuffers& buffers, std::int32_t frames,
                    const std::string& when) {
    process(plugin, entry, buffers, frames);
    const std::string where = std::string(entryName(entry)) + " entry, " + when + ": ";
    const std::string guard = buffers.guardFault();
    require(guard.empty(), where + guard);
    const std::string output = buffers.outputFault(frames);
    require(output.empty(), where + output + " for input in [-1, 1]");
}

float randomUnit(std::mt19937_64& random) {
    return std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
}

} // namespace validation
