#include "host/validation/BackgroundProcessing.h"

#include "host/PluginInstance.h"
#include "host/validation/AudioBuffers.h"
#include "host/validation/Check.h"

namespace validation {

BackgroundProcessing::BackgroundProcessing(PluginInstance& plugin, std::int32_t frames,
                                           std::uint64_t seed)
    : plugin(plugin), worker([this, frames, seed] { run(frames, seed); }) {}

BackgroundProcessing::~BackgroundProcessing() {
    stopping = true;
    if (worker.joinable()) {
        worker.join();
    }
}

void BackgroundProcessing::run(std::int32_t frames, std::uint64_t seed) {
    // A failure must not escape the thread; it is reported when the check stops it.
    try {
        std::mt19937_64 random(seed);
        AudioBuffers buffers(plugin, frames);
        const auto entries = offeredEntries(plugin);
        while (!stopping) {
            for (const Entry entry : entries) {
                buffers.fillInputs(random);
                buffers.fillOutputs(0.0f);
                processChecked(plugin, entry, buffers, frames, "on the audio thread");
            }
            blocks.fetch_add(1, std::memory_order_relaxed);
        }
    } catch (const std::exception& error) {
        fault = error.what();
    }
    finished = true;
}

void BackgroundProcessing::stopAndCheck() {
    stopping = true;
    worker.join();
    require(fault.empty(), fault);
    require(blocks.load() > 0, "the audio thread processed no block");
}

} // namespace validation
