// One live effect instance: created through the library's main, opened on construction and closed
// exactly once on destruction. Every call into the plug-in goes through the record's entries.
#pragma once

#include "effect/HostRecord.h"

#include <cstdint>
#include <string>

class PluginLibrary;

// Opcodes the host sends.
namespace Opcode {
constexpr std::int32_t open = 0;
constexpr std::int32_t close = 1;
constexpr std::int32_t selectProgram = 2;
constexpr std::int32_t currentProgram = 3;
constexpr std::int32_t programName = 5;
constexpr std::int32_t parameterUnit = 6;
constexpr std::int32_t parameterText = 7;
constexpr std::int32_t parameterTitle = 8;
constexpr std::int32_t sampleRate = 10;
constexpr std::int32_t blockSize = 11;
constexpr std::int32_t audioSwitch = 12;
constexpr std::int32_t editorRect = 13;
constexpr std::int32_t editorOpen = 14;
constexpr std::int32_t editorClose = 15;
constexpr std::int32_t editorIdle = 19;
constexpr std::int32_t programNameAt = 29;
constexpr std::int32_t category = 35;
constexpr std::int32_t effectName = 45;
constexpr std::int32_t vendorName = 47;
constexpr std::int32_t productName = 48;
constexpr std::int32_t vendorVersion = 49;
constexpr std::int32_t interfaceVersion = 58;
} // namespace Opcode

// A text the plug-in wrote into a host buffer, with the opcode's answer.
struct PluginText {
    HostValue answer = 0;
    std::string text;
};

class PluginInstance {
public:
    // Throws HostError when main gives no record or a record without the expected signature.
    explicit PluginInstance(const PluginLibrary& library);
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;
    ~PluginInstance();

    const HostRecord& record() const { return *hostRecord; }

    HostValue send(std::int32_t opcode, std::int32_t index = 0, HostValue value = 0,
                   void* data = nullptr, float opt = 0.0f);
    // Sends an opcode that writes a zero-terminated text into a host buffer.
    PluginText askText(std::int32_t opcode, std::int32_t index = 0, HostValue value = 0);

    // Sample rate, block size and audio on; audio goes off again in stopAudio or the destructor.
    void startAudio(double sampleRate, std::int32_t blockSize);
    void stopAudio();

    bool offersOverwrite() const;
    bool hasAccumulate() const { return hostRecord->accumulateEntry != nullptr; }
    std::int32_t parameterCount() const;
    std::int32_t programCount() const;
    bool canChangeParameters() const { return hostRecord->changeParameterEntry != nullptr; }
    bool canReadParameters() const { return hostRecord->parameterValueEntry != nullptr; }

    void changeParameter(std::int32_t index, float value);
    float parameterValue(std::int32_t index);
    void processOverwrite(float** inputs, float** outputs, std::int32_t frames);
    void processAccumulate(float** inputs, float** outputs, std::int32_t frames);

    // Throws HostError unless the plug-in has at least two inputs and two outputs.
    void requireStereo() const;

private:
    HostRecord* hostRecord = nullptr;
    bool audioOn = false;
};
