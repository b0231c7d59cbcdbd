// The record shared byte for byte with the host, and the types of the functions that cross the
// plug-in boundary. On 32-bit targets the record is the classic 144-byte layout; on 64-bit targets
// the interface widens the integer "value" argument, the answers and two reserved fields to pointer
// size, which gives a 192-byte record with natural alignment.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define BRISOLEN_CALL __cdecl
#else
#define BRISOLEN_CALL
#endif

struct HostRecord;

// Integer argument and answer that travel at pointer size on 64-bit targets.
using HostValue = std::intptr_t;

using HostCallback = HostValue(BRISOLEN_CALL*)(HostRecord* record, std::int32_t opcode,
                                               std::int32_t index, HostValue value, void* data,
                                               float opt);
using OpcodeEntry = HostValue(BRISOLEN_CALL*)(HostRecord* record, std::int32_t opcode,
                                              std::int32_t index, HostValue value, void* data,
                                              float opt);
using ProcessEntry = void(BRISOLEN_CALL*)(HostRecord* record, float** inputs, float** outputs,
                                          std::int32_t frames);
using ChangeParameterEntry = void(BRISOLEN_CALL*)(HostRecord* record, std::int32_t index,
                                                  float value);
using ParameterValueEntry = float(BRISOLEN_CALL*)(HostRecord* record, std::int32_t index);
using MainEntry = HostRecord*(BRISOLEN_CALL*)(HostCallback callback);

constexpr std::int32_t recordSignature = 0x56737450;

// Bits of HostRecord::capabilityFlags.
constexpr std::int32_t flagEditor = 1;
constexpr std::int32_t flagClipMeter = 2;
constexpr std::int32_t flagLevelMeter = 4;
constexpr std::int32_t flagMonoInput = 8;
constexpr std::int32_t flagOverwrite = 16;
constexpr std::int32_t flagStateBlob = 32;
constexpr std::int32_t flagInstrument = 256;
constexpr std::int32_t flagQuietTail = 512;
constexpr std::int32_t flagAsync = 1024;
constexpr std::int32_t flagOwnBuffer = 2048;

struct HostRecord {
    std::int32_t signature;
    OpcodeEntry opcodeEntry;
    ProcessEntry accumulateEntry;
    ChangeParameterEntry changeParameterEntry;
    ParameterValueEntry parameterValueEntry;
    std::int32_t programCount;
    std::int32_t parameterCount;
    std::int32_t inputCount;
    std::int32_t outputCount;
    std::int32_t capabilityFlags;
    HostValue reserved1;
    HostValue reserved2;
    std::int32_t latency;
    std::int32_t realtimeQuality;
    std::int32_t offlineQuality;
    float inOutRatio;
    void* owner;
    void* hostData;
    std::int32_t effectId;
    std::int32_t effectVersion;
    ProcessEntry overwriteEntry;
    // One pointer-sized slot followed by 56 bytes: 60 bytes on 32-bit targets.
    unsigned char spare[sizeof(void*) + 56];
};

#if INTPTR_MAX == INT32_MAX
static_assert(sizeof(HostRecord) == 144);
static_assert(offsetof(HostRecord, signature) == 0);
static_assert(offsetof(HostRecord, opcodeEntry) == 4);
static_assert(offsetof(HostRecord, accumulateEntry) == 8);
static_assert(offsetof(HostRecord, changeParameterEntry) == 12);
static_assert(offsetof(HostRecord, parameterValueEntry) == 16);
static_assert(offsetof(HostRecord, programCount) == 20);
static_assert(offsetof(HostRecord, parameterCount) == 24);
static_assert(offsetof(HostRecord, inputCount) == 28);
static_assert(offsetof(HostRecord, outputCount) == 32);
static_assert(offsetof(HostRecord, capabilityFlags) == 36);
static_assert(offsetof(HostRecord, reserved1) == 40);
static_assert(offsetof(HostRecord, reserved2) == 44);
static_assert(offsetof(HostRecord, latency) == 48);
static_assert(offsetof(HostRecord, realtimeQuality) == 52);
static_assert(offsetof(HostRecord, offlineQuality) == 56);
static_assert(offsetof(HostRecord, inOutRatio) == 60);
static_assert(offsetof(HostRecord, owner) == 64);
static_assert(offsetof(HostRecord, hostData) == 68);
static_assert(offsetof(HostRecord, effectId) == 72);
static_assert(offsetof(HostRecord, effectVersion) == 76);
static_assert(offsetof(HostRecord, overwriteEntry) == 80);
static_assert(offsetof(HostRecord, spare) == 84);
static_assert(sizeof(HostRecord::spare) == 60);
#elif INTPTR_MAX == INT64_MAX
static_assert(sizeof(HostRecord) == 192);
static_assert(offsetof(HostRecord, signature) == 0);
static_assert(offsetof(HostRecord, opcodeEntry) == 8);
static_assert(offsetof(HostRecord, accumulateEntry) == 16);
static_assert(offsetof(HostRecord, changeParameterEntry) == 24);
static_assert(offsetof(HostRecord, parameterValueEntry) == 32);
static_assert(offsetof(HostRecord, programCount) == 40);
static_assert(offsetof(HostRecord, parameterCount) == 44);
static_assert(offsetof(HostRecord, inputCount) == 48);
static_assert(offsetof(HostRecord, outputCount) == 52);
static_assert(offsetof(HostRecord, capabilityFlags) == 56);
static_assert(offsetof(HostRecord, reserved1) == 64);
static_assert(offsetof(HostRecord, reserved2) == 72);
static_assert(offsetof(HostRecord, latency) == 80);
static_assert(offsetof(HostRecord, realtimeQuality) == 84);
static_assert(offsetof(HostRecord, offlineQuality) == 88);
static_assert(offsetof(HostRecord, inOutRatio) == 92);
static_assert(offsetof(HostRecord, owner) == 96);
static_assert(offsetof(HostRecord, hostData) == 104);
static_assert(offsetof(HostRecord, effectId) == 112);
static_assert(offsetof(HostRecord, effectVersion) == 116);
static_assert(offsetof(HostRecord, overwriteEntry) == 120);
static_assert(offsetof(HostRecord, spare) == 128);
#else
#error "HostRecord needs a 32-bit or 64-bit target"
#endif
