// Parameter, sample-rate, block-size and program changes while audio runs, from the audio
// thread between blocks and from other threads during them.
#include "host/PluginInstance.h"
#include "host/validation/AudioBuffers.h"
#include "host/validation/BackgroundProcessing.h"
#include "host/validation/Check.h"
#include "host/validation/GuardedText.h"

#include <array>
#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <thread>

namespace validation {

namespace {

constexpr std::int32_t automationStep = 32;
constexpr int threadedBlocks = 500;
constexpr std::int32_t opcodeRenameProgram = 4;

void requireReadableParameters(PluginInstance& plugin) {
    if (!plugin.canReadParameters()) {
        return;
    }
    for (std::int32_t index = 0; index < plugin.parameterCount(); ++index) {
        const float value = plugin.parameterValue(index);
        require(value >= 0.0f && value <= 1.0f, "parameter " + std::to_string(index) + " reads " +
                                                    std::to_string(value) +
                                                    ", outside the normalised range 0 to 1");
    }
}

void randomValuesWhileProcessing(CheckContext& context) {
    PluginInstance plugin(context.library);
    if (!plugin.canChangeParameters()) {
        throw CheckSkipped("the record has no parameter-change entry");
    }
    plugin.startAudio(44100.0, 512);
    AudioBuffers buffers(plugin, automationStep);
    for (int block = 0; block < 1024; ++block) {
        for (std::int32_t index = 0; index < plugin.parameterCount(); ++index) {
            plugin.changeParameter(index, randomUnit(context.random));
        }
        for (const Entry entry : offeredEntries(plugin)) {
            buffers.fillInputs(context.random);
            buffers.fillOutputs(0.0f);
            processChecked(plugin, entry, buffers, automationStep,
                           "block " + std::to_string(block) + " of random automation");
        }
        requireReadableParameters(plugin);
    }
}

// Stops and joins a helper thread on every way out of a check.
struct JoinOnExit {
    std::atomic<bool>& done;
    std::thread& thread;
    ~JoinOnExit() {
        done = true;
        thread.join();
    }
};

void changesFromSecondThread(CheckContext& context) {
    PluginInstance plugin(context.library);
    if (!plugin.canChangeParameters() || plugin.parameterCount() == 0) {
        throw CheckSkipped("the plug-in has no parameters to change");
    }
    plugin.startAudio(48000.0, 256);
    AudioBuffers buffers(plugin, 256);
    const auto entries = offeredEntries(plugin);
    std::atomic<bool> done{false};
    std::thread changer([&plugin, &done, seed = context.random()] {
        std::mt19937_64 random(seed);
        std::uniform_int_distribution<std::int32_t> pick(0, plugin.parameterCount() - 1);
        while (!done.load(std::memory_order_relaxed)) {
            const std::int32_t index = pick(random);
            plugin.changeParameter(index, randomUnit(random));
            if (plugin.canReadParameters()) {
                plugin.parameterValue(index);
            }
        }
    });
    const JoinOnExit stopChanger{done, changer};
    for (int block = 0; block < threadedBlocks; ++block) {
        for (const Entry entry : entries) {
            buffers.fillInputs(context.random);
            buffers.fillOutputs(0.0f);
            processChecked(plugin, entry, buffers, 256,
                           "block " + std::to_string(block) + " with changes from a thread");
        }
    }
    requireReadableParameters(plugin);
}

constexpr std::array<float, 7> rates{22050.0f, 44100.0f,  48000.0f, 88200.0f,
                                     96000.0f, 176400.0f, 192000.0f};
constexpr std::array<std::int32_t, 7> sizes{1, 7, 32, 64, 100, 512, 4096};

void rateAndBlockChanges(CheckContext& context) {
    PluginInstance plugin(context.library);
    plugin.startAudio(44100.0, 512);
    std::map<std::int32_t, std::unique_ptr<AudioBuffers>> buffersBySize;
    for (const std::int32_t size : sizes) {
        buffersBySize[size] = std::make_unique<AudioBuffers>(plugin, size);
    }
    std::uniform_int_distribution<std::size_t> pick(0, rates.size() - 1);
    for (int block = 0; block < 200; ++block) {
        const float rate = rates[pick(context.random)];
        const std::int32_t size = sizes[pick(context.random)];
        // Audio stays on: hosts change both while running.
        plugin.send(Opcode::sampleRate, 0, 0, nullptr, rate);
        plugin.send(Opcode::blockSize, 0, size);
        AudioBuffers& buffers = *buffersBySize[size];
        for (const Entry entry : offeredEntries(plugin)) {
            buffers.fillInputs(context.random);
            buffers.fillOutputs(0.0f);
            processChecked(plugin, entry, buffers, size,
                           "after switching to " + std::to_string(static_cast<int>(rate)) +
                               " Hz and block size " + std::to_string(size) + " with audio on");
        }
    }
}

std::string randomName(std::mt19937_64& random) {
    std::uniform_int_distribution<std::size_t> length(0, TextSize::programName - 1);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::string name(length(random), ' ');
    for (char& character : name) {
        character = static_cast<char>(letter(random));
    }
    return name;
}

void programsWhileProcessing(CheckContext& context) {
    PluginInstance plugin(context.library);
    if (plugin.programCount() == 0) {
        throw CheckSkipped("the plug-in has no programs");
    }
    plugin.startAudio(44100.0, 256);
    BackgroundProcessing audio(plugin, 256, context.random());
    std::uniform_int_distribution<std::int32_t> pick(0, plugin.programCount() - 1);
    // The changes go on until the audio thread has run long enough to meet them.
    for (int change = 0; change < 300 || (audio.processedBlocks() < 100 && audio.running());
         ++change) {
        const std::int32_t program = pick(context.random);
        plugin.send(Opcode::selectProgram, 0, program);
        std::string name = randomName(context.random);
        plugin.send(opcodeRenameProgram, 0, 0, name.data());
        askGuardedText(plugin, "name of the current program", Opcode::programName,
                       TextSize::programName);
        askGuardedText(plugin, "name of program " + std::to_string(program), Opcode::programNameAt,
                       TextSize::programName, program, -1);
    }
    audio.stopAndCheck();
}

} // namespace

std::vector<Check> automationChecks() {
    return {
        {"automation.random-values", randomValuesWhileProcessing},
        {"automation.second-thread", changesFromSecondThread},
        {"automation.rate-block-changes", rateAndBlockChanges},
        {"automation.programs", programsWhileProcessing},
    };
}

} // namespace validation
