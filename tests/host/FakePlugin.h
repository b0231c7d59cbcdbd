// Shared pieces of the small fake plug-in libraries the host tests load. Each fake exports one
// function under the symbol name main, which C++ would otherwise not allow to return a pointer.
#pragma once

#include "effect/HostRecord.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#define FAKE_PLUGIN_MAIN                                                                           \
    extern "C" __attribute__((visibility("default"))) HostRecord* fakeMain(                        \
        HostCallback callback) __asm__("main");                                                    \
    extern "C" HostRecord* fakeMain(HostCallback callback)

namespace fake {

// Appends one line to the file named by BRISOLEN_FAKE_LOG, when it is set, so tests can see
// what the host called and in which order.
inline void log(const char* format, double a = 0.0, double b = 0.0, double c = 0.0) {
    const char* path = std::getenv("BRISOLEN_FAKE_LOG");
    if (path == nullptr) {
        return;
    }
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, format, a, b, c);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

inline HostValue ignoreOpcode(HostRecord*, std::int32_t, std::int32_t, HostValue, void*, float) {
    return 0;
}

inline void doNothing(HostRecord*, float**, float**, std::int32_t) {}

inline void ignoreParameter(HostRecord*, std::int32_t, float) {}

inline float zeroParameter(HostRecord*, std::int32_t) {
    return 0.0f;
}

// A record with every entry filled and the given pin counts; fakes change what they test.
inline HostRecord* newRecord(std::int32_t inputs, std::int32_t outputs) {
    auto* record = new HostRecord{};
    record->signature = recordSignature;
    record->opcodeEntry = ignoreOpcode;
    record->accumulateEntry = doNothing;
    record->overwriteEntry = doNothing;
    record->changeParameterEntry = ignoreParameter;
    record->parameterValueEntry = zeroParameter;
    record->inputCount = inputs;
    record->outputCount = outputs;
    record->programCount = 1;
    record->inOutRatio = 1.0f;
    return record;
}

inline void copyText(void* data, const char* text) {
    std::memcpy(data, text, std::strlen(text) + 1);
}

} // namespace fake
