#include "host/PluginInstance.h"

#include "host/HostError.h"
#include "host/PluginLibrary.h"
#include "host/RequestHandler.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

HostRecord* createRecord(const PluginLibrary& library) {
    HostRecord* record = library.mainEntry()(&RequestHandler::answerRequest);
    if (record == nullptr) {
        throw HostError("the main function of " + library.path() + " returned no record");
    }
    // A record with a foreign signature is not ours to drive, not even to close it.
    if (record->signature != recordSignature) {
        throw HostError("the main function of " + library.path() +
                        " returned a record with signature " + hex(record->signature) +
                        " instead of " + hex(recordSignature));
    }
    if (record->opcodeEntry == nullptr) {
        throw HostError("the record of " + library.path() + " has no opcode entry");
    }
    return record;
}

} // namespace

PluginInstance::PluginInstance(const PluginLibrary& library) : hostRecord(createRecord(library)) {
    send(Opcode::open);
}

PluginInstance::~PluginInstance() {
    stopAudio();
    hostRecord->opcodeEntry(hostRecord, Opcode::close, 0, 0, nullptr, 0.0f);
}

HostValue PluginInstance::send(std::int32_t opcode, std::int32_t index, HostValue value, void* data,
                               float opt) {
    return hostRecord->opcodeEntry(hostRecord, opcode, index, value, data, opt);
}

PluginText PluginInstance::askText(std::int32_t opcode, std::int32_t index, HostValue value) {
    // Far more room than any plug-in should use, zero-filled so an unanswered request reads empty.
    std::array<char, 256> buffer{};
    PluginText result;
    result.answer = send(opcode, index, value, buffer.data());
    buffer.back() = '\0';
    result.text = buffer.data();
    return result;
}

void PluginInstance::startAudio(double sampleRate, std::int32_t blockSize) {
    send(Opcode::sampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    send(Opcode::blockSize, 0, blockSize);
    send(Opcode::audioSwitch, 0, 1);
    audioOn = true;
}

void PluginInstance::stopAudio() {
    if (audioOn) {
        send(Opcode::audioSwitch, 0, 0);
        audioOn = false;
    }
}

bool PluginInstance::offersOverwrite() const {
    return (hostRecord->capabilityFlags & flagOverwrite) != 0 &&
           hostRecord->overwriteEntry != nullptr;
}

std::int32_t PluginInstance::parameterCount() const {
    return std::max<std::int32_t>(hostRecord->parameterCount, 0);
}

std::int32_t PluginInstance::programCount() const {
    return std::max<std::int32_t>(hostRecord->programCount, 0);
}

void PluginInstance::changeParameter(std::int32_t index, float value) {
    hostRecord->changeParameterEntry(hostRecord, index, value);
}

float PluginInstance::parameterValue(std::int32_t index) {
    return hostRecord->parameterValueEntry(hostRecord, index);
}

void PluginInstance::processOverwrite(float** inputs, float** outputs, std::int32_t frames) {
    hostRecord->overwriteEntry(hostRecord, inputs, outputs, frames);
}

void PluginInstance::processAccumulate(float** inputs, float** outputs, std::int32_t frames) {
    hostRecord->accumulateEntry(hostRecord, inputs, outputs, frames);
}

void PluginInstance::requireStereo() const {
    if (hostRecord->inputCount < 2 || hostRecord->outputCount < 2) {
        throw HostError("the plug-in has " + std::to_string(hostRecord->inputCount) +
                        " input(s) and " + std::to_string(hostRecord->outputCount) +
                        " output(s); a stereo effect needs at least 2 of each");
    }
    if (hostRecord->accumulateEntry == nullptr && !offersOverwrite()) {
        throw HostError("the plug-in offers no processing entry");
    }
}
