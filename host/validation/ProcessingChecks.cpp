// The processing entries at every common sample rate and block size, on empty calls, in place
// and out of place, and the agreement between accumulating and overwriting.
#include "host/PluginInstance.h"
#include "host/validation/AudioBuffers.h"
#include "host/validation/Check.h"

#include <array>
#include <cmath>
#include <cstring>

namespace validation {

namespace {

constexpr std::array<float, 7> sampleRates{22050.0f, 44100.0f,  48000.0f, 88200.0f,
                                           96000.0f, 176400.0f, 192000.0f};
constexpr std::array<std::int32_t, 7> blockSizes{1, 7, 32, 64, 100, 512, 4096};
constexpr std::int32_t announcedForOverlong = 512;

void setAllParameters(PluginInstance& plugin, std::mt19937_64& random, float fixed = -1.0f) {
    if (!plugin.canChangeParameters()) {
        return;
    }
    for (std::int32_t index = 0; index < plugin.parameterCount(); ++index) {
        plugin.changeParameter(index, fixed >= 0.0f ? fixed : randomUnit(random));
    }
}

std::string rateAndBlock(float rate, std::int32_t announced, std::int32_t frames) {
    return "rate " + std::to_string(static_cast<int>(rate)) + " Hz, block size " +
           std::to_string(announced) + ", " + std::to_string(frames) + " frames";
}

void processBlocks(PluginInstance& plugin, std::mt19937_64& random, float rate,
                   std::int32_t announced, std::int32_t frames) {
    plugin.startAudio(rate, announced);
    AudioBuffers buffers(plugin, frames);
    for (const Entry entry : offeredEntries(plugin)) {
        for (int block = 0; block < 2; ++block) {
            buffers.fillInputs(random);
            buffers.fillOutputs(0.0f);
            processChecked(plugin, entry, buffers, frames, rateAndBlock(rate, announced, frames));
        }
    }
    plugin.stopAudio();
}

void ratesAndBlocks(CheckContext& context) {
    PluginInstance plugin(context.library);
    setAllParameters(plugin, context.random);
    for (const float rate : sampleRates) {
        for (const std::int32_t size : blockSizes) {
            processBlocks(plugin, context.random, rate, size, size);
        }
        // Hosts do not always keep to the size they announced.
        processBlocks(plugin, context.random, rate, announcedForOverlong, 2 * announcedForOverlong);
    }
}

void emptyCalls(CheckContext& context) {
    PluginInstance plugin(context.library);
    plugin.startAudio(44100.0, 512);
    AudioBuffers buffers(plugin, 64);
    std::vector<float*> nullChannels(std::max(buffers.inputCount(), buffers.outputCount()),
                                     nullptr);
    for (const Entry entry : offeredEntries(plugin)) {
        buffers.fillInputs(context.random);
        buffers.fillOutputs(0.25f);
        process(plugin, entry, buffers, 0);
        const std::string where = std::string(entryName(entry)) + " entry with 0 frames ";
        require(buffers.guardFault().empty(), where + buffers.guardFault());
        for (const float sample : buffers.outputSamples(64)) {
            require(sample == 0.25f, where + "changed the outputs");
        }
        process(plugin, entry, nullptr, nullptr, 0);
        process(plugin, entry, nullChannels.data(), nullChannels.data(), 0);
        // The instance still works afterwards.
        processChecked(plugin, entry, buffers, 64, "after calls with 0 frames");
    }
}

bool sameSample(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

void compareInPlace(PluginInstance& plugin, std::mt19937_64& random, Entry entry,
                    std::int32_t frames) {
    AudioBuffers apart(plugin, frames);
    AudioBuffers together(plugin, frames);
    apart.fillInputs(random);
    const std::size_t shared = std::min(apart.inputCount(), apart.outputCount());
    std::vector<float*> inPlaceOutputs(together.outputs(),
                                       together.outputs() + together.outputCount());
    for (std::size_t channel = 0; channel < apart.inputCount(); ++channel) {
        std::memcpy(together.input(channel), apart.input(channel), sizeof(float) * frames);
    }
    for (std::size_t channel = 0; channel < shared; ++channel) {
        // Accumulating in place adds to the input itself.
        std::memcpy(apart.output(channel), apart.input(channel), sizeof(float) * frames);
        inPlaceOutputs[channel] = together.input(channel);
    }
    process(plugin, entry, apart, frames);
    process(plugin, entry, together.inputs(), inPlaceOutputs.data(), frames);
    require(together.guardFault().empty(), "in place: " + together.guardFault());
    for (std::size_t channel = 0; channel < shared; ++channel) {
        for (std::int32_t frame = 0; frame < frames; ++frame) {
            require(sameSample(apart.output(channel)[frame], together.input(channel)[frame]),
                    std::string(entryName(entry)) + " entry: in place and out of place differ " +
                        "at frame " + std::to_string(frame) + " of channel " +
                        std::to_string(channel));
        }
    }
}

void inPlace(CheckContext& context) {
    PluginInstance plugin(context.library);
    plugin.startAudio(48000.0, 512);
    for (int round = 0; round < 4; ++round) {
        setAllParameters(plugin, context.random);
        for (const Entry entry : offeredEntries(plugin)) {
            compareInPlace(plugin, context.random, entry, round == 0 ? 7 : 512);
        }
    }
}

// The two roundings of overwrite-then-add may differ from the plug-in's single rounding.
bool closeEnough(float accumulated, float previous, float overwritten) {
    const double expected = static_cast<double>(previous) + overwritten;
    const double tolerance =
        std::ldexp(std::fabs(static_cast<double>(previous)) + std::fabs(overwritten), -21) + 1e-37;
    return std::fabs(accumulated - expected) <= tolerance;
}

void accumulateMatchesOverwrite(CheckContext& context) {
    PluginInstance plugin(context.library);
    if (!plugin.hasAccumulate() || !plugin.offersOverwrite()) {
        throw CheckSkipped("the plug-in offers only one processing entry");
    }
    plugin.startAudio(44100.0, 256);
    AudioBuffers buffers(plugin, 256);
    for (int round = 0; round < 8; ++round) {
        setAllParameters(plugin, context.random);
        buffers.fillInputs(context.random);
        buffers.fillOutputs(context.random);
        const std::vector<float> previous = buffers.outputSamples(256);
        process(plugin, Entry::accumulate, buffers, 256);
        const std::vector<float> accumulated = buffers.outputSamples(256);
        process(plugin, Entry::overwrite, buffers, 256);
        const std::vector<float> overwritten = buffers.outputSamples(256);
        for (std::size_t sample = 0; sample < previous.size(); ++sample) {
            require(closeEnough(accumulated[sample], previous[sample], overwritten[sample]),
                    "sample " + std::to_string(sample % 256) + " of output " +
                        std::to_string(sample / 256) + ": accumulate gave " +
                        std::to_string(accumulated[sample]) + ", previous output " +
                        std::to_string(previous[sample]) + " plus overwrite " +
                        std::to_string(overwritten[sample]));
        }
    }
}

struct InputKind {
    const char* name;
    void (*fill)(AudioBuffers& buffers, std::mt19937_64& random);
};

void fillConstant(AudioBuffers& buffers, float value) {
    for (std::size_t channel = 0; channel < buffers.inputCount(); ++channel) {
        std::fill_n(buffers.input(channel), buffers.frames(), value);
    }
}

const std::array<InputKind, 5> inputKinds{{
    {"noise", [](AudioBuffers& buffers, std::mt19937_64& random) { buffers.fillInputs(random); }},
    {"quiet noise",
     [](AudioBuffers& buffers, std::mt19937_64& random) { buffers.fillInputs(random, 1e-6f); }},
    {"silence", [](AudioBuffers& buffers, std::mt19937_64&) { fillConstant(buffers, 0.0f); }},
    {"full scale", [](AudioBuffers& buffers, std::mt19937_64&) { fillConstant(buffers, 1.0f); }},
    {"alternating full scale",
     [](AudioBuffers& buffers, std::mt19937_64&) {
         for (std::size_t channel = 0; channel < buffers.inputCount(); ++channel) {
             for (std::int32_t frame = 0; frame < buffers.frames(); ++frame) {
                 buffers.input(channel)[frame] = (frame + channel) % 2 == 0 ? 1.0f : -1.0f;
             }
         }
     }},
}};

void finiteOutput(CheckContext& context) {
    PluginInstance plugin(context.library);
    plugin.startAudio(44100.0, 512);
    AudioBuffers buffers(plugin, 512);
    for (const float setting : {0.0f, 1.0f, 0.5f, -1.0f, -1.0f}) {
        setAllParameters(plugin, context.random, setting);
        for (const InputKind& kind : inputKinds) {
            for (const Entry entry : offeredEntries(plugin)) {
                kind.fill(buffers, context.random);
                buffers.fillOutputs(0.0f);
                processChecked(plugin, entry, buffers, 512, std::string(kind.name) + " input");
            }
        }
    }
}

} // namespace

std::vector<Check> processingChecks() {
    return {
        {"processing.rates-and-blocks", ratesAndBlocks},
        {"processing.empty-calls", emptyCalls},
        {"processing.in-place", inPlace},
        {"processing.accumulate", accumulateMatchesOverwrite},
        {"processing.finite-output", finiteOutput},
    };
}

} // namespace validation
