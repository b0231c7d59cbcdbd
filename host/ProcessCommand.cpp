#include "host/Commands.h"
#include "host/DemoSignal.h"
#include "host/HostError.h"
#include "host/OutputFile.h"
#include "host/PluginInstance.h"
#include "host/PluginLibrary.h"
#include "host/PluginProcessor.h"
#include "host/ProgressBar.h"
#include "host/SoundFileReader.h"
#include "host/SoundFileWriter.h"

#include <sndfile.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

namespace {

// The encoding used when neither the input nor the command line names one.
int defaultEncoding(int container) {
    return container == SF_FORMAT_FLAC ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT;
}

int chooseContainer(const ProcessOptions& options, const SoundFileReader* input) {
    if (options.container) {
        return *options.container;
    }
    const auto fromName = containerFromPath(options.output);
    if (input == nullptr) {
        if (!fromName) {
            throw HostError("cannot tell the format of " + options.output +
                            " from its name; add --format wav, aiff or flac");
        }
        return *fromName;
    }
    // Writing one format under another format's name would mislead every program that opens it.
    const int container = input->format().container;
    if (fromName && !fitsFileName(container, *fromName)) {
        throw HostError(options.output + " is named like a " + containerName(*fromName) +
                        " file but the input is " + containerName(container) +
                        "; add --format to choose");
    }
    return container;
}

SoundFormat chooseOutputFormat(const ProcessOptions& options, const SoundFileReader* input) {
    SoundFormat format;
    format.container = chooseContainer(options, input);
    if (options.encoding) {
        format.encoding = *options.encoding;
    } else if (input != nullptr) {
        format.encoding = input->format().encoding;
    } else {
        format.encoding = defaultEncoding(format.container);
    }
    return format;
}

void applyParameters(PluginInstance& plugin, const std::vector<ParameterSetting>& settings) {
    if (!settings.empty() && !plugin.canChangeParameters()) {
        throw HostError("the plug-in has no parameter-change entry");
    }
    for (const auto& setting : settings) {
        if (setting.index >= plugin.parameterCount()) {
            throw HostError("--param " + std::to_string(setting.index) +
                            ": no such parameter; the plug-in has " +
                            std::to_string(plugin.parameterCount()) + " parameter(s)");
        }
    }
    for (const auto& setting : settings) {
        plugin.changeParameter(setting.index, setting.value);
    }
}

const char* entryName(ProcessingEntry entry) {
    return entry == ProcessingEntry::overwrite ? "overwrite" : "accumulate";
}

// Returns the number of frames processed.
std::int64_t streamThrough(AudioSource& source, PluginProcessor& processor,
                           SoundFileWriter& writer) {
    const auto blockSize = processor.blockSize();
    std::vector<float> input(2 * static_cast<std::size_t>(blockSize));
    std::vector<float> output(input.size());
    ProgressBar progress(source.frames());
    std::int64_t total = 0;
    for (;;) {
        const auto frames = static_cast<std::int32_t>(source.read(input.data(), blockSize));
        if (frames == 0) {
            break;
        }
        processor.process(input.data(), output.data(), frames);
        writer.write(output.data(), frames);
        total += frames;
        progress.advance(frames);
    }
    progress.finish();
    return total;
}

std::string summary(std::int64_t frames, double rate, const SoundFormat& format,
                    ProcessingEntry entry, const std::string& output) {
    char line[512];
    std::snprintf(line, sizeof line, "processed %lld frames (%.3f s at %g Hz) through the %s entry",
                  static_cast<long long>(frames), static_cast<double>(frames) / rate, rate,
                  entryName(entry));
    return std::string(line) + " into " + output + " (" + describe(format) + ")";
}

} // namespace

void runProcess(const ProcessOptions& options, std::ostream& out) {
    std::unique_ptr<AudioSource> source;
    const SoundFileReader* file = nullptr;
    if (options.input) {
        auto reader = std::make_unique<SoundFileReader>(*options.input);
        file = reader.get();
        source = std::move(reader);
    } else {
        source = std::make_unique<DemoSignal>();
    }
    const SoundFormat format = chooseOutputFormat(options, file);

    const PluginLibrary library(options.plugin);
    PluginInstance plugin(library);
    plugin.requireStereo();
    applyParameters(plugin, options.parameters);
    PluginProcessor processor(plugin, chooseEntry(plugin, options.accumulate), options.blockSize);

    OutputFile output(options.output);
    SoundFileWriter writer(output, format, static_cast<int>(source->sampleRate()));
    plugin.startAudio(source->sampleRate(), options.blockSize);
    const std::int64_t frames = streamThrough(*source, processor, writer);
    plugin.stopAudio();
    writer.finish();
    output.commit();
    out << summary(frames, source->sampleRate(), format, processor.entry(), options.output) << '\n';
}
