#include "host/Commands.h"
#include "host/DemoSignal.h"
#include "host/PluginInstance.h"
#include "host/PluginLibrary.h"
#include "host/PluginProcessor.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <vector>

namespace {

constexpr double benchRate = 48000.0;
// Calls between two looks at the clock, so reading the clock costs next to nothing.
constexpr std::int64_t targetFramesPerRound = 1 << 16;

struct Measurement {
    std::int64_t frames = 0;
    double seconds = 0.0;
};

Measurement measure(PluginProcessor& processor, double seconds) {
    using Clock = std::chrono::steady_clock;
    const std::int32_t block = processor.blockSize();
    const std::int64_t callsPerRound = std::max<std::int64_t>(1, targetFramesPerRound / block);
    // A short warm-up brings code and buffers into the caches before the clock starts.
    for (std::int64_t call = 0; call < callsPerRound; ++call) {
        processor.processChannels(block);
    }
    Measurement result;
    const auto start = Clock::now();
    do {
        for (std::int64_t call = 0; call < callsPerRound; ++call) {
            processor.processChannels(block);
        }
        result.frames += callsPerRound * block;
        result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (result.seconds < seconds);
    return result;
}

std::string report(const char* entry, const Measurement& measurement) {
    const double framesPerSecond = static_cast<double>(measurement.frames) / measurement.seconds;
    char line[256];
    std::snprintf(line, sizeof line,
                  "%-10s  %9.3f ns/frame  %10.1f M frames/s  %10.1fx realtime at 48 kHz", entry,
                  1e9 / framesPerSecond, framesPerSecond / 1e6, framesPerSecond / benchRate);
    return line;
}

void benchEntry(std::ostream& out, PluginInstance& plugin, ProcessingEntry entry,
                const BenchOptions& options, const std::vector<float>& material) {
    PluginProcessor processor(plugin, entry, options.blockSize);
    processor.fillInputs(material.data(), options.blockSize);
    const char* name = entry == ProcessingEntry::overwrite ? "overwrite" : "accumulate";
    out << report(name, measure(processor, options.seconds)) << '\n';
}

} // namespace

void runBench(const BenchOptions& options, std::ostream& out) {
    const PluginLibrary library(options.plugin);
    PluginInstance plugin(library);
    plugin.requireStereo();

    std::vector<float> material(2 * static_cast<std::size_t>(options.blockSize));
    DemoSignal(benchRate, static_cast<double>(options.blockSize) / benchRate)
        .read(material.data(), options.blockSize);

    out << "block " << options.blockSize << " frames, " << options.seconds
        << " s per entry, sample rate " << benchRate << " Hz\n";
    plugin.startAudio(benchRate, options.blockSize);
    if (plugin.offersOverwrite()) {
        benchEntry(out, plugin, ProcessingEntry::overwrite, options, material);
    } else {
        out << "overwrite   not offered\n";
    }
    if (plugin.hasAccumulate()) {
        benchEntry(out, plugin, ProcessingEntry::accumulate, options, material);
    } else {
        out << "accumulate  not offered\n";
    }
    plugin.stopAudio();
}
