// The requests an extended effect makes of the host. Each is one callback call with a fixed
// opcode and argument placement; without a callback each returns 0, false or null.
#include "effect/ExtendedEffect.h"

namespace {

enum HostRequest : std::int32_t {
    requestEventsOp = 6,
    requestTimeInfoOp = 7,
    requestTempoOp = 10,
    requestAutomatableCountOp = 11,
    requestQuantizationOp = 12,
    announceIoChangeOp = 13,
    requestIdleCallsOp = 14,
    requestWindowSizeOp = 15,
    refreshSampleRateOp = 16,
    refreshBlockSizeOp = 17,
    requestInputLatencyOp = 18,
    requestOutputLatencyOp = 19,
    requestPreviousEffectOp = 20,
    requestNextEffectOp = 21,
    requestOutputModeOp = 22,
    requestProcessLevelOp = 23,
    requestAutomationStateOp = 24,
    requestOfflineStartOp = 25,
    requestOfflineReadOp = 26,
    requestOfflineWriteOp = 27,
    requestOfflinePassOp = 28,
    requestOfflineMetaPassOp = 29,
    announceOutputRateOp = 30,
    requestSpeakerLayoutOp = 31,
    requestHostVendorOp = 32,
    requestHostProductOp = 33,
    requestHostVendorVersionOp = 34,
    requestHostSpecificOp = 35,
    askHostCapabilityOp = 37,
    requestHostLanguageOp = 38,
    requestWindowOp = 39,
    releaseWindowOp = 40,
    requestDirectoryOp = 41,
    requestDisplayRefreshOp = 42,
};

template <typename T> T* asPointer(HostValue answer) {
    return reinterpret_cast<T*>(answer);
}

std::int32_t asInt(HostValue answer) {
    return static_cast<std::int32_t>(answer);
}

} // namespace

void ExtendedEffect::requestEvents(std::int32_t filter) {
    callHost(requestEventsOp, 0, filter, nullptr, 0.0f);
}

void* ExtendedEffect::requestTimeInfo(std::int32_t filter) {
    return asPointer<void>(callHost(requestTimeInfoOp, 0, filter, nullptr, 0.0f));
}

std::int32_t ExtendedEffect::requestTempoAt(std::int32_t position) {
    return asInt(callHost(requestTempoOp, 0, position, nullptr, 0.0f));
}

std::int32_t ExtendedEffect::requestAutomatableCount() {
    return asInt(callHost(requestAutomatableCountOp, 0, 0, nullptr, 0.0f));
}

std::int32_t ExtendedEffect::requestParameterQuantization() {
    return asInt(callHost(requestQuantizationOp, 0, 0, nullptr, 0.0f));
}

bool ExtendedEffect::announceIoChange() {
    return callHost(announceIoChangeOp, 0, 0, nullptr, 0.0f) != 0;
}

bool ExtendedEffect::requestIdleCalls() {
    return callHost(requestIdleCallsOp, 0, 0, nullptr, 0.0f) != 0;
}

bool ExtendedEffect::requestWindowSize(std::int32_t width, std::int32_t height) {
    return callHost(requestWindowSizeOp, width, height, nullptr, 0.0f) != 0;
}

// The host may answer by setting the rate through the opcode entry, so read the field afterwards.
float ExtendedEffect::refreshSampleRate() {
    callHost(refreshSampleRateOp, 0, 0, nullptr, 0.0f);
    return sampleRateHz;
}

std::int32_t ExtendedEffect::refreshBlockSize() {
    callHost(refreshBlockSizeOp, 0, 0, nullptr, 0.0f);
    return maxBlockSize;
}

std::int32_t ExtendedEffect::requestInputLatency() {
    return asInt(callHost(requestInputLatencyOp, 0, 0, nullptr, 0.0f));
}

std::int32_t ExtendedEffect::requestOutputLatency() {
    return asInt(callHost(requestOutputLatencyOp, 0, 0, nullptr, 0.0f));
}

// The pin number is not part of these requests: hosts answer for the effect as a whole.
HostRecord* ExtendedEffect::requestPreviousEffect(std::int32_t) {
    return asPointer<HostRecord>(callHost(requestPreviousEffectOp, 0, 0, nullptr, 0.0f));
}

HostRecord* ExtendedEffect::requestNextEffect(std::int32_t) {
    return asPointer<HostRecord>(callHost(requestNextEffectOp, 0, 0, nullptr, 0.0f));
}

std::int32_t ExtendedEffect::requestOutputMode() {
    return asInt(callHost(requestOutputModeOp, 0, 0, nullptr, 0.0f));
}

std::int32_t ExtendedEffect::requestProcessLevel() {
    return asInt(callHost(requestProcessLevelOp, 0, 0, nullptr, 0.0f));
}

std::int32_t ExtendedEffect::requestAutomationState() {
    return asInt(callHost(requestAutomationStateOp, 0, 0, nullptr, 0.0f));
}

bool ExtendedEffect::requestOfflineRead(void* task, std::int32_t option, bool readSource) {
    return callHost(requestOfflineReadOp, readSource ? 1 : 0, option, task, 0.0f) != 0;
}

bool ExtendedEffect::requestOfflineWrite(void* task, std::int32_t option) {
    return callHost(requestOfflineWriteOp, 0, option, task, 0.0f) != 0;
}

bool ExtendedEffect::requestOfflineStart(void* files, std::int32_t fileCount,
                                         std::int32_t newFileCount) {
    return callHost(requestOfflineStartOp, newFileCount, fileCount, files, 0.0f) != 0;
}

std::int32_t ExtendedEffect::requestOfflinePass() {
    return callHost(requestOfflinePassOp, 0, 0, nullptr, 0.0f) != 0 ? 1 : 0;
}

std::int32_t ExtendedEffect::requestOfflineMetaPass() {
    return callHost(requestOfflineMetaPassOp, 0, 0, nullptr, 0.0f) != 0 ? 1 : 0;
}

void ExtendedEffect::announceOutputRate(float rate) {
    callHost(announceOutputRateOp, 0, 0, nullptr, rate);
}

bool ExtendedEffect::requestSpeakerLayout(void* input, void* output) {
    return callHost(requestSpeakerLayoutOp, 0, reinterpret_cast<HostValue>(input), output, 0.0f) !=
           0;
}

bool ExtendedEffect::requestHostVendor(char* text) {
    return callHost(requestHostVendorOp, 0, 0, text, 0.0f) != 0;
}

bool ExtendedEffect::requestHostProduct(char* text) {
    return callHost(requestHostProductOp, 0, 0, text, 0.0f) != 0;
}

std::int32_t ExtendedEffect::requestHostVendorVersion() {
    return asInt(callHost(requestHostVendorVersionOp, 0, 0, nullptr, 0.0f));
}

HostValue ExtendedEffect::requestHostSpecific(std::int32_t a, HostValue b, void* data, float f) {
    return callHost(requestHostSpecificOp, a, b, data, f);
}

std::int32_t ExtendedEffect::askHostCapability(char* text) {
    return callHost(askHostCapabilityOp, 0, 0, text, 0.0f) != 0 ? 1 : 0;
}

std::int32_t ExtendedEffect::requestHostLanguage() {
    return asInt(callHost(requestHostLanguageOp, 0, 0, nullptr, 0.0f));
}

void* ExtendedEffect::requestWindow(void* window) {
    return asPointer<void>(callHost(requestWindowOp, 0, 0, window, 0.0f));
}

bool ExtendedEffect::releaseWindow(void* window) {
    return callHost(releaseWindowOp, 0, 0, window, 0.0f) != 0;
}

void* ExtendedEffect::requestDirectory() {
    return asPointer<void>(callHost(requestDirectoryOp, 0, 0, nullptr, 0.0f));
}

bool ExtendedEffect::requestDisplayRefresh() {
    return callHost(requestDisplayRefreshOp, 0, 0, nullptr, 0.0f) != 0;
}
