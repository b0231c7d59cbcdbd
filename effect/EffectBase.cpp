#include "effect/EffectBase.h"

#include "effect/RecordEntries.h"
#include "effect/TextFormat.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

enum CoreOpcode : std::int32_t {
    opOpen = 0,
    opClose = 1,
    opSelectProgram = 2,
    opCurrentProgram = 3,
    opRenameProgram = 4,
    opProgramName = 5,
    opParameterUnit = 6,
    opParameterText = 7,
    opParameterTitle = 8,
    opMeter = 9,
    opSampleRate = 10,
    opBlockSize = 11,
    opAudioSwitch = 12,
    opEditorRect = 13,
    opEditorOpen = 14,
    opEditorClose = 15,
    opEditorIdle = 19,
    opIdentify = 22,
    opSaveState = 23,
    opLoadState = 24,
};

enum CoreRequest : std::int32_t {
    requestAutomate = 0,
    requestVersion = 1,
    requestCurrentId = 2,
    requestIdle = 3,
    requestPinConnected = 4,
};

constexpr HostValue identifyAnswer = 0x4E764566;
constexpr std::int32_t defaultEffectId = 0x34323932;

bool fitsInt32(HostValue value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// The meter level scaled to the host's integer range; a level that is not a number reads as 0.
HostValue scaledMeterLevel(float level) {
    const double scaled = static_cast<double>(level) * 32767.0;
    if (!(std::fabs(scaled) < 2147483647.0)) {
        return 0;
    }
    return static_cast<HostValue>(static_cast<std::int32_t>(scaled));
}

} // namespace

bool opcodeUsesData(std::int32_t opcode) {
    switch (opcode) {
    case opRenameProgram:
    case opProgramName:
    case opParameterUnit:
    case opParameterText:
    case opParameterTitle:
    case opEditorRect:
    case opSaveState:
    case opLoadState:
        return true;
    default:
        return false;
    }
}

EffectBase::EffectBase(HostCallback callback, std::int32_t programs, std::int32_t parameters)
    : hostCallback(callback), numberOfPrograms(programs), numberOfParameters(parameters) {
    std::memset(&record, 0, sizeof record);
    record.signature = recordSignature;
    record.opcodeEntry = &entries::opcode;
    record.accumulateEntry = &entries::accumulate;
    record.changeParameterEntry = &entries::changeParameter;
    record.parameterValueEntry = &entries::parameterValue;
    record.programCount = programs;
    record.parameterCount = parameters;
    record.inputCount = 1;
    record.outputCount = 2;
    record.inOutRatio = 1.0f;
    record.owner = this;
    record.effectId = defaultEffectId;
    record.effectVersion = 1;
    record.overwriteEntry = &entries::overwrite;
}

EffectBase::~EffectBase() {
    delete attachedEditor;
    attachedEditor = nullptr;
}

void EffectBase::changeParameter(std::int32_t, float) {}

float EffectBase::parameterValue(std::int32_t) {
    return 0.0f;
}

void EffectBase::changeParameterAndNotify(std::int32_t index, float value) {
    changeParameter(index, value);
    callHost(requestAutomate, index, 0, nullptr, value);
}

void EffectBase::processOverwrite(float**, float**, std::int32_t) {}

HostValue EffectBase::handleOpcode(std::int32_t opcode, std::int32_t index, HostValue value,
                                   void* data, float opt) {
    if (data == nullptr && opcodeUsesData(opcode)) {
        return 0;
    }
    char* text = static_cast<char*>(data);
    switch (opcode) {
    case opOpen:
        onOpen();
        return 0;
    case opClose:
        onClose();
        return 0;
    case opSelectProgram:
        if (value < numberOfPrograms && fitsInt32(value)) {
            selectProgram(static_cast<std::int32_t>(value));
        }
        return 0;
    case opCurrentProgram:
        return currentProgram();
    case opRenameProgram:
        renameProgram(text);
        return 0;
    case opProgramName:
        copyProgramName(text);
        return 0;
    case opParameterUnit:
        copyParameterUnit(index, text);
        return 0;
    case opParameterText:
        copyParameterText(index, text);
        return 0;
    case opParameterTitle:
        copyParameterTitle(index, text);
        return 0;
    case opMeter:
        return scaledMeterLevel(meterValue());
    case opSampleRate:
        changeSampleRate(opt);
        return 0;
    case opBlockSize:
        if (fitsInt32(value)) {
            changeBlockSize(static_cast<std::int32_t>(value));
        }
        return 0;
    case opAudioSwitch:
        if (value != 0) {
            onStart();
        } else {
            onStop();
        }
        return 0;
    case opEditorRect:
    case opEditorOpen:
    case opEditorClose:
    case opEditorIdle:
        return dispatchEditorOpcode(opcode, data);
    case opIdentify:
        return identifyAnswer;
    case opSaveState:
        return saveStateBlob(static_cast<void**>(data), index != 0);
    case opLoadState:
        if (!fitsInt32(value)) {
            return 0;
        }
        return loadStateBlob(data, static_cast<std::int32_t>(value), index != 0);
    default:
        return 0;
    }
}

HostValue EffectBase::dispatchEditorOpcode(std::int32_t opcode, void* data) {
    if (attachedEditor == nullptr) {
        return 0;
    }
    switch (opcode) {
    case opEditorRect:
        return attachedEditor->queryRect(static_cast<EditorRect**>(data));
    case opEditorOpen:
        return attachedEditor->open(data);
    case opEditorClose:
        attachedEditor->close();
        return 0;
    default:
        attachedEditor->idle();
        return 0;
    }
}

void EffectBase::onOpen() {}

void EffectBase::onClose() {}

std::int32_t EffectBase::currentProgram() {
    return currentProgramIndex;
}

void EffectBase::selectProgram(std::int32_t program) {
    currentProgramIndex = program;
}

void EffectBase::renameProgram(char* text) {
    text[0] = '\0';
}

void EffectBase::copyProgramName(char* text) {
    text[0] = '\0';
}

void EffectBase::copyParameterUnit(std::int32_t, char* text) {
    text[0] = '\0';
}

void EffectBase::copyParameterText(std::int32_t, char* text) {
    text[0] = '\0';
}

void EffectBase::copyParameterTitle(std::int32_t, char* text) {
    text[0] = '\0';
}

float EffectBase::meterValue() {
    return 0.0f;
}

std::int32_t EffectBase::saveStateBlob(void**, bool) {
    return 0;
}

std::int32_t EffectBase::loadStateBlob(void*, std::int32_t, bool) {
    return 0;
}

void EffectBase::changeSampleRate(float rate) {
    sampleRateHz = rate;
}

void EffectBase::changeBlockSize(std::int32_t size) {
    maxBlockSize = size;
}

void EffectBase::onStop() {}

void EffectBase::onStart() {}

void EffectBase::assignEffectId(std::int32_t id) {
    record.effectId = id;
}

void EffectBase::assignInputCount(std::int32_t count) {
    record.inputCount = count;
}

void EffectBase::assignOutputCount(std::int32_t count) {
    record.outputCount = count;
}

void EffectBase::declareLevelMeter(bool on) {
    changeFlag(flagLevelMeter, on);
}

void EffectBase::declareClipMeter(bool on) {
    changeFlag(flagClipMeter, on);
}

void EffectBase::declareMonoInput(bool on) {
    changeFlag(flagMonoInput, on);
}

void EffectBase::declareOverwrite(bool on) {
    changeFlag(flagOverwrite, on);
}

void EffectBase::declareStateBlob(bool on) {
    changeFlag(flagStateBlob, on);
}

void EffectBase::assignRealtimeQuality(std::int32_t quality) {
    record.realtimeQuality = quality;
}

void EffectBase::assignOfflineQuality(std::int32_t quality) {
    record.offlineQuality = quality;
}

void EffectBase::assignLatency(std::int32_t samples) {
    record.latency = samples;
}

float EffectBase::sampleRateValue() {
    return sampleRateHz;
}

std::int32_t EffectBase::blockSizeValue() {
    return maxBlockSize;
}

std::int32_t EffectBase::askHostVersion() {
    const auto answer = static_cast<std::int32_t>(callHost(requestVersion, 0, 0, nullptr, 0.0f));
    return answer != 0 ? answer : 1;
}

std::int32_t EffectBase::askCurrentEffectId() {
    return static_cast<std::int32_t>(callHost(requestCurrentId, 0, 0, nullptr, 0.0f));
}

void EffectBase::giveHostIdle() {
    callHost(requestIdle, 0, 0, nullptr, 0.0f);
}

bool EffectBase::inputIsConnected(std::int32_t input) {
    return callHost(requestPinConnected, input, 0, nullptr, 0.0f) == 0;
}

bool EffectBase::outputIsConnected(std::int32_t output) {
    return callHost(requestPinConnected, output, 1, nullptr, 0.0f) == 0;
}

void EffectBase::formatDecibels(float value, char* text) {
    if (value <= 0.0f) {
        textformat::copy("  -oo   ", text);
    } else {
        formatDecimal(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
    }
}

void EffectBase::formatHertz(float samples, char* text) {
    if (samples == 0.0f) {
        formatDecimal(0.0f, text);
    } else {
        formatDecimal(sampleRateValue() / samples, text);
    }
}

void EffectBase::formatMilliseconds(float samples, char* text) {
    formatDecimal(samples * 1000.0f / sampleRateValue(), text);
}

void EffectBase::formatDecimal(float value, char* text) {
    textformat::decimal(value, text);
}

void EffectBase::formatInteger(std::int32_t value, char* text) {
    textformat::integer(value, text);
}

void EffectBase::attachEditor(EditorBase* editor) {
    attachedEditor = editor;
    changeFlag(flagEditor, editor != nullptr);
}

HostValue EffectBase::callHost(std::int32_t opcode, std::int32_t index, HostValue value, void* data,
                               float opt) {
    if (hostCallback == nullptr) {
        return 0;
    }
    return hostCallback(&record, opcode, index, value, data, opt);
}

void EffectBase::changeFlag(std::int32_t flag, bool on) {
    if (on) {
        record.capabilityFlags |= flag;
    } else {
        record.capabilityFlags &= ~flag;
    }
}
