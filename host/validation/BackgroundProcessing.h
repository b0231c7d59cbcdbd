// Audio running on a thread of its own, as a host's audio thread runs beside its user interface:
// block after block through every entry the plug-in offers, until stopped.
#pragma once

#include <atomic>
#include <cstdint>
#include <random>
#include <string>
#include <thread>

class PluginInstance;

namespace validation {

class BackgroundProcessing {
public:
    // Audio must already be on.
    BackgroundProcessing(PluginInstance& plugin, std::int32_t frames, std::uint64_t seed);
    BackgroundProcessing(const BackgroundProcessing&) = delete;
    BackgroundProcessing& operator=(const BackgroundProcessing&) = delete;
    ~BackgroundProcessing();

    // Blocks processed so far; stops growing when a block went wrong.
    std::int64_t processedBlocks() const { return blocks.load(std::memory_order_relaxed); }
    bool running() const { return !finished.load(); }

    // Stops the thread and fails the check when a block went wrong or none was processed.
    void stopAndCheck();

private:
    void run(std::int32_t frames, std::uint64_t seed);

    PluginInstance& plugin;
    std::atomic<bool> stopping{false};
    std::atomic<std::int64_t> blocks{0};
    std::atomic<bool> finished{false};
    std::string fault; // written by the thread, read after it has ended
    std::thread worker;
};

} // namespace validation
