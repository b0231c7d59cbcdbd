#include "effect/ExtendedEffect.h"

namespace {

enum ExtendedOpcode : std::int32_t {
    opReceiveEvents = 25,
    opCanAutomate = 26,
    opParameterFromText = 27,
    opProgramCategories = 28,
    opProgramNameAt = 29,
    opCopyProgram = 30,
    opInputConnection = 31,
    opOutputConnection = 32,
    opInputPin = 33,
    opOutputPin = 34,
    opCategory = 35,
    opCurrentPosition = 36,
    opDestinationBuffer = 37,
    opOfflineNotify = 38,
    opOfflinePrepare = 39,
    opOfflineRun = 40,
    opVariableBlock = 41,
    opSpeakerLayout = 42,
    opBlockSizeAndRate = 43,
    opBypass = 44,
    opEffectName = 45,
    opErrorText = 46,
    opVendorName = 47,
    opProductName = 48,
    opVendorVersion = 49,
    opVendorRequest = 50,
    opCapability = 51,
    opTailLength = 52,
    opIdle = 53,
    opIcon = 54,
    opMoveView = 55,
    opParameterProperties = 56,
    opNeedsKeys = 57,
    opInterfaceVersion = 58,
};

constexpr std::int32_t categoryInstrument = 2;

HostValue truth(bool value) {
    return value ? 1 : 0;
}

HostValue address(const void* pointer) {
    return reinterpret_cast<HostValue>(pointer);
}

std::int32_t narrow(HostValue value) {
    return static_cast<std::int32_t>(value);
}

bool extendedOpcodeUsesData(std::int32_t opcode) {
    switch (opcode) {
    case opReceiveEvents:
    case opParameterFromText:
    case opProgramNameAt:
    case opInputPin:
    case opOutputPin:
    case opOfflineNotify:
    case opOfflinePrepare:
    case opOfflineRun:
    case opVariableBlock:
    case opSpeakerLayout:
    case opEffectName:
    case opErrorText:
    case opVendorName:
    case opProductName:
    case opCapability:
    case opParameterProperties:
        return true;
    default:
        return false;
    }
}

} // namespace

ExtendedEffect::ExtendedEffect(HostCallback callback, std::int32_t programs,
                               std::int32_t parameters)
    : EffectBase(callback, programs, parameters) {}

ExtendedEffect::~ExtendedEffect() = default;

HostValue ExtendedEffect::handleOpcode(std::int32_t opcode, std::int32_t index, HostValue value,
                                       void* data, float opt) {
    if (opcode < opReceiveEvents || opcode > opInterfaceVersion) {
        return EffectBase::handleOpcode(opcode, index, value, data, opt);
    }
    if (data == nullptr && extendedOpcodeUsesData(opcode)) {
        return 0;
    }
    return dispatchExtended(opcode, index, value, data, opt);
}

HostValue ExtendedEffect::dispatchExtended(std::int32_t opcode, std::int32_t index, HostValue value,
                                           void* data, float opt) {
    char* text = static_cast<char*>(data);
    switch (opcode) {
    case opReceiveEvents:
        return receiveEvents(data);
    case opCanAutomate:
        return truth(parameterIsAutomatable(index));
    case opParameterFromText:
        return truth(parameterFromText(index, text));
    case opProgramCategories:
        return programCategoryCount();
    case opProgramNameAt:
        return truth(programNameAt(narrow(value), index, text));
    case opCopyProgram:
        return truth(copyCurrentProgramTo(index));
    case opInputConnection:
        onInputConnection(index, value != 0);
        return 1;
    case opOutputConnection:
        onOutputConnection(index, value != 0);
        return 1;
    case opInputPin:
        return truth(describeInputPin(index, data));
    case opOutputPin:
        return truth(describeOutputPin(index, data));
    case opCategory:
        return effectCategory();
    case opCurrentPosition:
        return currentPosition();
    case opDestinationBuffer:
        return address(destinationBuffer());
    case opOfflineNotify:
    case opOfflinePrepare:
    case opOfflineRun:
        return dispatchOffline(opcode, index, value, data);
    default:
        return dispatchIdentity(opcode, index, value, data, opt);
    }
}

HostValue ExtendedEffect::dispatchOffline(std::int32_t opcode, std::int32_t index, HostValue value,
                                          void* data) {
    switch (opcode) {
    case opOfflineNotify:
        return truth(offlineNotification(data, narrow(value), index != 0));
    case opOfflinePrepare:
        return truth(prepareOffline(data, narrow(value)));
    default:
        return truth(runOffline(data, narrow(value)));
    }
}

HostValue ExtendedEffect::dispatchIdentity(std::int32_t opcode, std::int32_t index, HostValue value,
                                           void* data, float opt) {
    char* text = static_cast<char*>(data);
    switch (opcode) {
    case opVariableBlock:
        return truth(processVariableBlock(data));
    case opSpeakerLayout:
        return truth(acceptSpeakerLayout(reinterpret_cast<void*>(value), data));
    case opBlockSizeAndRate:
        changeBlockSizeAndRate(narrow(value), opt);
        return 1;
    case opBypass:
        return truth(changeBypass(value != 0));
    case opEffectName:
        return truth(copyEffectName(text));
    case opErrorText:
        return truth(copyErrorText(text));
    case opVendorName:
        return truth(copyVendorName(text));
    case opProductName:
        return truth(copyProductName(text));
    case opVendorVersion:
        return vendorVersionNumber();
    case opVendorRequest:
        return handleVendorRequest(index, value, data, opt);
    case opCapability:
        return answerCapability(text);
    case opTailLength:
        return tailLength();
    case opIdle:
        return onIdle();
    case opIcon:
        return address(iconHandle());
    case opMoveView:
        return truth(moveView(index, narrow(value)));
    case opParameterProperties:
        return truth(describeParameter(index, data));
    case opNeedsKeys:
        return needsKeys() ? 0 : 1;
    default:
        return interfaceVersion();
    }
}

std::int32_t ExtendedEffect::receiveEvents(void*) {
    return 0;
}

bool ExtendedEffect::parameterIsAutomatable(std::int32_t) {
    return true;
}

bool ExtendedEffect::parameterFromText(std::int32_t, char*) {
    return false;
}

float ExtendedEffect::channelParameterValue(std::int32_t, std::int32_t) {
    return 0.0f;
}

std::int32_t ExtendedEffect::programCategoryCount() {
    return 1;
}

bool ExtendedEffect::programNameAt(std::int32_t, std::int32_t, char*) {
    return false;
}

bool ExtendedEffect::copyCurrentProgramTo(std::int32_t) {
    return false;
}

void ExtendedEffect::onInputConnection(std::int32_t, bool) {}

void ExtendedEffect::onOutputConnection(std::int32_t, bool) {}

bool ExtendedEffect::describeInputPin(std::int32_t, void*) {
    return false;
}

bool ExtendedEffect::describeOutputPin(std::int32_t, void*) {
    return false;
}

std::int32_t ExtendedEffect::effectCategory() {
    return hasFlag(flagInstrument) ? categoryInstrument : 0;
}

void ExtendedEffect::declareAsync(bool on) {
    changeFlag(flagAsync, on);
}

void ExtendedEffect::declareOwnBuffer(bool on) {
    changeFlag(flagOwnBuffer, on);
}

std::int32_t ExtendedEffect::currentPosition() {
    return 0;
}

float* ExtendedEffect::destinationBuffer() {
    return nullptr;
}

bool ExtendedEffect::offlineNotification(void*, std::int32_t, bool) {
    return false;
}

bool ExtendedEffect::prepareOffline(void*, std::int32_t) {
    return false;
}

bool ExtendedEffect::runOffline(void*, std::int32_t) {
    return false;
}

std::int32_t ExtendedEffect::offlinePassCount() {
    return 0;
}

std::int32_t ExtendedEffect::offlineMetaPassCount() {
    return 0;
}

void ExtendedEffect::declareInstrument(bool on) {
    changeFlag(flagInstrument, on);
}

void ExtendedEffect::declareQuietTail(bool on) {
    changeFlag(flagQuietTail, on);
}

bool ExtendedEffect::processVariableBlock(void*) {
    return false;
}

bool ExtendedEffect::acceptSpeakerLayout(void*, void*) {
    return false;
}

void ExtendedEffect::changeBlockSizeAndRate(std::int32_t blockSize, float rate) {
    maxBlockSize = blockSize;
    sampleRateHz = rate;
}

bool ExtendedEffect::changeBypass(bool) {
    return false;
}

bool ExtendedEffect::copyEffectName(char*) {
    return false;
}

bool ExtendedEffect::copyErrorText(char*) {
    return false;
}

bool ExtendedEffect::copyVendorName(char*) {
    return false;
}

bool ExtendedEffect::copyProductName(char*) {
    return false;
}

std::int32_t ExtendedEffect::vendorVersionNumber() {
    return 0;
}

HostValue ExtendedEffect::handleVendorRequest(std::int32_t, HostValue, void*, float) {
    return 0;
}

std::int32_t ExtendedEffect::answerCapability(char*) {
    return 0;
}

void* ExtendedEffect::iconHandle() {
    return nullptr;
}

bool ExtendedEffect::moveView(std::int32_t, std::int32_t) {
    return false;
}

std::int32_t ExtendedEffect::tailLength() {
    return 0;
}

std::int32_t ExtendedEffect::onIdle() {
    return 0;
}

bool ExtendedEffect::describeParameter(std::int32_t, void*) {
    return false;
}

bool ExtendedEffect::needsKeys() {
    return false;
}

std::int32_t ExtendedEffect::interfaceVersion() {
    return 2;
}
