// Root of every effect: owns the host record and the editor, turns the host's core opcodes into
// virtual operations, and offers the effect a few requests to the host and text formatters.
#pragma once

#include "effect/EditorBase.h"
#include "effect/HostRecord.h"

#include <cstdint>

class EffectBase {
public:
    EffectBase(HostCallback callback, std::int32_t programs, std::int32_t parameters);
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    virtual ~EffectBase();
    virtual void changeParameter(std::int32_t index, float value);
    virtual float parameterValue(std::int32_t index);
    virtual void changeParameterAndNotify(std::int32_t index, float value);
    virtual void processAccumulate(float** inputs, float** outputs, std::int32_t frames) = 0;
    virtual void processOverwrite(float** inputs, float** outputs, std::int32_t frames);
    virtual HostValue handleOpcode(std::int32_t opcode, std::int32_t index, HostValue value,
                                   void* data, float opt);
    virtual void onOpen();
    virtual void onClose();
    virtual std::int32_t currentProgram();
    virtual void selectProgram(std::int32_t program);
    virtual void renameProgram(char* text);
    virtual void copyProgramName(char* text);
    virtual void copyParameterUnit(std::int32_t index, char* text);
    virtual void copyParameterText(std::int32_t index, char* text);
    virtual void copyParameterTitle(std::int32_t index, char* text);
    virtual float meterValue();
    virtual std::int32_t saveStateBlob(void** data, bool isPreset);
    virtual std::int32_t loadStateBlob(void* data, std::int32_t size, bool isPreset);
    virtual void changeSampleRate(float rate);
    virtual void changeBlockSize(std::int32_t size);
    virtual void onStop();
    virtual void onStart();
    virtual void assignEffectId(std::int32_t id);
    virtual void assignInputCount(std::int32_t count);
    virtual void assignOutputCount(std::int32_t count);
    virtual void declareLevelMeter(bool on);
    virtual void declareClipMeter(bool on);
    virtual void declareMonoInput(bool on);
    virtual void declareOverwrite(bool on);
    virtual void declareStateBlob(bool on);
    virtual void assignRealtimeQuality(std::int32_t quality);
    virtual void assignOfflineQuality(std::int32_t quality);
    virtual void assignLatency(std::int32_t samples);
    virtual float sampleRateValue();
    virtual std::int32_t blockSizeValue();
    virtual std::int32_t askHostVersion();
    virtual std::int32_t askCurrentEffectId();
    virtual void giveHostIdle();
    virtual bool inputIsConnected(std::int32_t input);
    virtual bool outputIsConnected(std::int32_t output);
    virtual void formatDecibels(float value, char* text);
    virtual void formatHertz(float samples, char* text);
    virtual void formatMilliseconds(float samples, char* text);
    virtual void formatDecimal(float value, char* text);
    virtual void formatInteger(std::int32_t value, char* text);

    void attachEditor(EditorBase* editor);
    EditorBase* editor() const { return attachedEditor; }
    HostRecord* hostRecord() { return &record; }
    HostCallback callback() const { return hostCallback; }
    std::int32_t programCount() const { return numberOfPrograms; }
    std::int32_t parameterCount() const { return numberOfParameters; }

protected:
    // One call of the host's callback with this effect's record; 0 when there is no callback.
    HostValue callHost(std::int32_t opcode, std::int32_t index, HostValue value, void* data,
                       float opt);
    void changeFlag(std::int32_t flag, bool on);
    bool hasFlag(std::int32_t flag) const { return (record.capabilityFlags & flag) != 0; }

    float sampleRateHz = 44100.0f;
    EditorBase* attachedEditor = nullptr;
    HostCallback hostCallback;
    std::int32_t numberOfPrograms;
    std::int32_t numberOfParameters;
    std::int32_t currentProgramIndex = 0;
    std::int32_t maxBlockSize = 1024;
    HostRecord record;

private:
    HostValue dispatchEditorOpcode(std::int32_t opcode, void* data);
};

// Opcodes whose data argument the effect reads or writes; with a null data they answer 0.
bool opcodeUsesData(std::int32_t opcode);
