// The processing entries must not allocate memory or take locks: either can block the audio
// thread for an unbounded time.
#include "host/PluginInstance.h"
#include "host/validation/AudioBuffers.h"
#include "host/validation/Check.h"
#include "host/validation/RealtimeProbe.h"

#include <array>
#include <cstdlib>
#include <pthread.h>

namespace validation {

namespace {

void requireWorkingProbe() {
    if (!realtimeprobe::available()) {
        throw CheckSkipped(realtimeprobe::unavailableReason());
    }
    // The probe must see the host's own calls, or a plug-in passing would prove nothing.
    void* (*volatile allocate)(std::size_t) = std::malloc;
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    realtimeprobe::reset();
    {
        const realtimeprobe::Watch watch;
        std::free(allocate(16));
        pthread_mutex_lock(&mutex);
        pthread_mutex_unlock(&mutex);
    }
    const realtimeprobe::Counts counts = realtimeprobe::counts();
    require(counts.allocations == 2 && counts.locks == 1,
            "the host's allocation and lock counting does not work in this build");
    realtimeprobe::reset();
}

// Processing as an audio thread runs it, with parameter changes between blocks; only the
// processing calls themselves are watched.
realtimeprobe::Counts watchProcessing(CheckContext& context) {
    requireWorkingProbe();
    PluginInstance plugin(context.library);
    plugin.startAudio(44100.0, 4096);
    const auto entries = offeredEntries(plugin);
    for (const std::int32_t frames : std::array<std::int32_t, 4>{1, 64, 512, 4096}) {
        AudioBuffers buffers(plugin, frames);
        for (int block = 0; block < 16; ++block) {
            if (plugin.canChangeParameters()) {
                for (std::int32_t index = 0; index < plugin.parameterCount(); ++index) {
                    plugin.changeParameter(index, randomUnit(context.random));
                }
            }
            buffers.fillInputs(context.random);
            for (const Entry entry : entries) {
                const realtimeprobe::Watch watch;
                process(plugin, entry, buffers, frames);
            }
        }
    }
    return realtimeprobe::counts();
}

void noAllocation(CheckContext& context) {
    const auto counts = watchProcessing(context);
    require(counts.allocations == 0, std::to_string(counts.allocations) +
                                         " allocation(s) or release(s) inside processing calls");
}

void noLocks(CheckContext& context) {
    const auto counts = watchProcessing(context);
    require(counts.locks == 0,
            std::to_string(counts.locks) + " lock acquisition(s) inside processing calls");
}

} // namespace

std::vector<Check> realtimeChecks() {
    return {
        {"realtime.no-allocation", noAllocation},
        {"realtime.no-locks", noLocks},
    };
}

} // namespace validation
