// Speed of the mid/side kernels: time per frame at typical block sizes and on a buffer far larger
// than the caches, beside the scalar formula and beside copying the same bytes; the cost of
// subnormal input; and one 32-frame call through the built library's record, loaded as a host
// loads it. After the runs it prints the ratios it measured against their targets.
//
// On a busy machine, pass --benchmark_repetitions=5: the ratios then use the fastest repetition
// of each benchmark.
#include "effect/HostRecord.h"
#include "midside/MidSideKernels.h"
#include "midside/MidSideKernelsDetail.h"
#include "support/RecordingReporter.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t hugeBlock = 4 * 1024 * 1024;

struct FreeDeleter {
    void operator()(float* samples) const { std::free(samples); }
};
using Samples = std::unique_ptr<float[], FreeDeleter>;

Samples allocateSamples(std::int64_t frames) {
    const std::size_t bytes = (static_cast<std::size_t>(frames) * sizeof(float) + 63) / 64 * 64;
    return Samples(static_cast<float*>(std::aligned_alloc(64, bytes)));
}

enum class Content { audio, subnormal };

// Two inputs and two separate outputs, as a host passes them, cache-line aligned.
struct StereoBuffers {
    StereoBuffers(std::int64_t frames, Content content)
        : inL(allocateSamples(frames)), inR(allocateSamples(frames)), outL(allocateSamples(frames)),
          outR(allocateSamples(frames)) {
        std::mt19937 random(42);
        std::uniform_real_distribution<float> audio(-1.0f, 1.0f);
        std::uniform_int_distribution<std::uint32_t> subnormalBits(1, 0x007FFFFF);
        for (std::int64_t i = 0; i < frames; ++i) {
            if (content == Content::audio) {
                inL[i] = audio(random);
                inR[i] = audio(random);
            } else {
                inL[i] = std::bit_cast<float>(subnormalBits(random));
                inR[i] = -std::bit_cast<float>(subnormalBits(random));
            }
            outL[i] = 0.0f;
            outR[i] = 0.0f;
        }
    }

    Samples inL;
    Samples inR;
    Samples outL;
    Samples outR;
};

void setFrameCounters(benchmark::State& state, std::int64_t frames) {
    // Seconds per 1e-9 frames, which is nanoseconds per frame; the console adds its unit "s" to
    // every inverted rate.
    state.counters["ns_per_frame"] = benchmark::Counter(
        static_cast<double>(frames) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(state.iterations() * frames * 4 *
                            static_cast<std::int64_t>(sizeof(float)));
}

using FramesFunction = void (*)(const float*, const float*, float*, float*, std::int32_t, float,
                                float);

void runFrames(benchmark::State& state, FramesFunction function, Content content) {
    const std::int64_t frames = state.range(0);
    StereoBuffers buffers(frames, content);
    // Unity mid and a side gain inside the linear range: ordinary settings that let no step of
    // the arithmetic be skipped.
    const float midGain = 1.0f;
    const float sideGain = std::bit_cast<float>(0x3F8E38E4u);
    for (auto _ : state) {
        function(buffers.inL.get(), buffers.inR.get(), buffers.outL.get(), buffers.outR.get(),
                 static_cast<std::int32_t>(frames), midGain, sideGain);
        benchmark::ClobberMemory();
    }
    setFrameCounters(state, frames);
}

void kernelOverwrite(benchmark::State& state) {
    runFrames(state, midside::processOverwriteFrames, Content::audio);
}
void scalarOverwrite(benchmark::State& state) {
    runFrames(state, midside::referenceOverwriteFrames, Content::audio);
}
void kernelAccumulate(benchmark::State& state) {
    runFrames(state, midside::processAccumulateFrames, Content::audio);
}
void scalarAccumulate(benchmark::State& state) {
    runFrames(state, midside::referenceAccumulateFrames, Content::audio);
}
void kernelOverwriteSubnormal(benchmark::State& state) {
    runFrames(state, midside::processOverwriteFrames, Content::subnormal);
}

// The floor for any kernel: the same bytes in and out, left to left and right to right.
void memcpyChannels(benchmark::State& state) {
    const std::int64_t frames = state.range(0);
    StereoBuffers buffers(frames, Content::audio);
    const std::size_t bytes = static_cast<std::size_t>(frames) * sizeof(float);
    for (auto _ : state) {
        std::memcpy(buffers.outL.get(), buffers.inL.get(), bytes);
        std::memcpy(buffers.outR.get(), buffers.inR.get(), bytes);
        benchmark::ClobberMemory();
    }
    setFrameCounters(state, frames);
}

constexpr HostValue hostVersion = 2400;
constexpr std::int32_t opcodeOpen = 0;
constexpr std::int32_t opcodeClose = 1;
constexpr std::int32_t requestHostVersion = 1;

HostValue BRISOLEN_CALL benchHost(HostRecord*, std::int32_t opcode, std::int32_t, HostValue, void*,
                                  float) {
    return opcode == requestHostVersion ? hostVersion : 0;
}

// One instance of the built library, loaded by path through its only export.
class LoadedPlugin {
public:
    LoadedPlugin() {
        library = dlopen(BRISOLEN_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            error = dlerror();
            return;
        }
        const auto pluginMain = reinterpret_cast<MainEntry>(dlsym(library, "main"));
        if (pluginMain == nullptr) {
            error = "the library exports no main";
            return;
        }
        record = pluginMain(benchHost);
        if (record == nullptr) {
            error = "main returned no record";
            return;
        }
        record->opcodeEntry(record, opcodeOpen, 0, 0, nullptr, 0.0f);
    }

    ~LoadedPlugin() {
        if (record != nullptr) {
            record->opcodeEntry(record, opcodeClose, 0, 0, nullptr, 0.0f);
        }
        if (library != nullptr) {
            dlclose(library);
        }
    }

    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    HostRecord* record = nullptr;
    std::string error;

private:
    void* library = nullptr;
};

void recordOverwriteEntry(benchmark::State& state) {
    LoadedPlugin plugin;
    if (plugin.record == nullptr) {
        state.SkipWithError(plugin.error.c_str());
        return;
    }
    const std::int64_t frames = state.range(0);
    StereoBuffers buffers(frames, Content::audio);
    float* inputs[] = {buffers.inL.get(), buffers.inR.get()};
    float* outputs[] = {buffers.outL.get(), buffers.outR.get()};
    for (auto _ : state) {
        plugin.record->overwriteEntry(plugin.record, inputs, outputs,
                                      static_cast<std::int32_t>(frames));
        benchmark::ClobberMemory();
    }
    setFrameCounters(state, frames);
}

// Each narrower kernel the processor can run, as a machine without the wider instruction sets
// would run it.
void registerNarrowerKernels() {
    const auto& sets = midside::detail::builtKernelSets();
    for (const midside::detail::KernelSet& set : sets) {
        if (!set.isSupported() || &set == &midside::detail::widestSupportedKernelSet() ||
            set.overwrite == midside::referenceOverwriteFrames) {
            continue;
        }
        const std::string name = std::string("kernelOverwrite_") + set.name;
        const FramesFunction overwrite = set.overwrite;
        benchmark::RegisterBenchmark(
            name.c_str(),
            [overwrite](benchmark::State& state) { runFrames(state, overwrite, Content::audio); })
            ->Arg(512)
            ->Arg(4096);
    }
}

BENCHMARK(kernelOverwrite)->Arg(32)->Arg(512)->Arg(4096)->Arg(hugeBlock);
BENCHMARK(scalarOverwrite)->Arg(32)->Arg(512)->Arg(4096)->Arg(hugeBlock);
BENCHMARK(memcpyChannels)->Arg(32)->Arg(512)->Arg(4096)->Arg(hugeBlock);
BENCHMARK(kernelAccumulate)->Arg(512);
BENCHMARK(scalarAccumulate)->Arg(512);
BENCHMARK(kernelOverwriteSubnormal)->Arg(4096);

const char* blockName(std::int64_t frames) {
    switch (frames) {
    case 32:
        return "32";
    case 512:
        return "512";
    case 4096:
        return "4096";
    default:
        return "4M";
    }
}

std::string benchmarkName(const char* function, std::int64_t frames) {
    char name[64];
    std::snprintf(name, sizeof name, "%s/%lld", function, static_cast<long long>(frames));
    return name;
}

void printNanosecondsPerFrame(const benchsupport::RecordingReporter& results, std::int64_t frames) {
    const double scale = 1.0 / static_cast<double>(frames);
    std::printf("ns per frame @%s: kernel %.3f, scalar %.3f, memcpy %.3f\n", blockName(frames),
                results.nanoseconds(benchmarkName("kernelOverwrite", frames)) * scale,
                results.nanoseconds(benchmarkName("scalarOverwrite", frames)) * scale,
                results.nanoseconds(benchmarkName("memcpyChannels", frames)) * scale);
}

void printSummary(const benchsupport::RecordingReporter& results) {
    std::printf("\ninstruction set dispatched: %s\n", midside::kernelInstructionSet());
    for (std::int64_t frames :
         {std::int64_t{32}, std::int64_t{512}, std::int64_t{4096}, hugeBlock}) {
        printNanosecondsPerFrame(results, frames);
    }
    for (std::int64_t frames : {std::int64_t{32}, std::int64_t{512}, std::int64_t{4096}}) {
        results.printRatio("ratio scalar/kernel", benchmarkName("scalarOverwrite", frames),
                           benchmarkName("kernelOverwrite", frames), blockName(frames),
                           frames == 32 ? "none" : ">= 3.5");
    }
    results.printRatio("ratio scalar/kernel accumulate", benchmarkName("scalarAccumulate", 512),
                       benchmarkName("kernelAccumulate", 512), "512", ">= 3.5");
    for (std::int64_t frames : {std::int64_t{512}, std::int64_t{4096}, hugeBlock}) {
        results.printRatio("ratio kernel/memcpy", benchmarkName("kernelOverwrite", frames),
                           benchmarkName("memcpyChannels", frames), blockName(frames),
                           frames == hugeBlock ? "<= 1.3" : "none");
    }
    for (const midside::detail::KernelSet& set : midside::detail::builtKernelSets()) {
        const std::string kernel = std::string("kernelOverwrite_") + set.name;
        for (std::int64_t frames : {std::int64_t{512}, std::int64_t{4096}}) {
            if (results.nanoseconds(benchmarkName(kernel.c_str(), frames)) > 0.0) {
                const std::string what = std::string("ratio scalar/") + set.name + " kernel";
                results.printRatio(what.c_str(), benchmarkName("scalarOverwrite", frames),
                                   benchmarkName(kernel.c_str(), frames), blockName(frames),
                                   std::string(set.name) == "sse2" ? "none" : ">= 3.5");
            }
        }
    }
    results.printRatio("subnormal/normal", benchmarkName("kernelOverwriteSubnormal", 4096),
                       benchmarkName("kernelOverwrite", 4096), "4096", "<= 1.5");
    const double entry = results.nanoseconds(benchmarkName("recordOverwriteEntry", 32));
    if (entry > 0.0) {
        std::printf("record entry @32 frames: %.1f ns (target < 40)\n", entry);
    } else {
        std::printf("record entry @32 frames: not measured (target < 40)\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    registerNarrowerKernels();
    // Last, as it runs code of the whole library rather than the kernels alone.
    benchmark::RegisterBenchmark("recordOverwriteEntry", recordOverwriteEntry)->Arg(32);
    benchsupport::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printSummary(reporter);
    return 0;
}
