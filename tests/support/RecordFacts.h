// What a host sees of a fresh mid/side instance: its record, the answers to the opcodes that ask
// for facts, and the texts it writes. Shared by the native tests and the Windows test host, so
// that both check the library against the same table.
#pragma once

#include "effect/HostRecord.h"

#include <cstdint>

namespace recordfacts {

constexpr std::int32_t signature = 0x56737450;
constexpr std::int32_t programCount = 1;
constexpr std::int32_t parameterCount = 2;
constexpr std::int32_t inputCount = 2;
constexpr std::int32_t outputCount = 2;
constexpr std::int32_t capabilityFlags = flagEditor | flagOverwrite;
constexpr float inOutRatio = 1.0f;
constexpr std::int32_t effectId = 0x34323932;
constexpr std::int32_t effectVersion = 1;
constexpr float defaultParameterValue = 0.9f;

// The editor's rectangle as the host reads it.
constexpr std::int16_t editorTop = 0;
constexpr std::int16_t editorLeft = 0;
constexpr std::int16_t editorBottom = 420;
constexpr std::int16_t editorRight = 250;

// Text buffers start with this, so that an opcode that must not write is seen to leave them.
constexpr const char* untouchedText = "untouched";

// An opcode sent to a fresh instance with a text buffer as data (or the given data text), its
// answer, and what the buffer holds afterwards (null: not looked at).
struct OpcodeAnswer {
    const char* what;
    std::int32_t opcode;
    std::int32_t index;
    HostValue value;
    const char* dataText;
    HostValue answer;
    const char* text;
};

inline constexpr OpcodeAnswer opcodeAnswers[] = {
    {"current program", 3, 0, 0, nullptr, 0, nullptr},
    {"program name", 5, 0, 0, nullptr, 0, "MS1"},
    {"unit of Mid", 6, 0, 0, nullptr, 0, "percent"},
    {"unit of Side", 6, 1, 0, nullptr, 0, "percent"},
    {"unit of a third parameter", 6, 2, 0, nullptr, 0, untouchedText},
    {"value text of Mid: 0.9 times 100 lies just below 90", 7, 0, 0, nullptr, 0, "     89"},
    {"value text of Side", 7, 1, 0, nullptr, 0, "     89"},
    {"value text of a third parameter", 7, 2, 0, nullptr, 0, untouchedText},
    {"title of Mid", 8, 0, 0, nullptr, 0, "Mid"},
    {"title of Side", 8, 1, 0, nullptr, 0, "Side"},
    {"title of a third parameter", 8, 2, 0, nullptr, 0, untouchedText},
    {"meter", 9, 0, 0, nullptr, 0, nullptr},
    {"unhandled 16", 16, 0, 0, nullptr, 0, untouchedText},
    {"identify, whatever the arguments", 22, 7, 9, nullptr, 0x4E764566, untouchedText},
    {"state block", 23, 0, 0, nullptr, 0, nullptr},
    {"category", 35, 0, 0, nullptr, 1, nullptr},
    {"effect name", 45, 0, 0, nullptr, 1, "Brisolen"},
    {"error text stays unanswered", 46, 0, 0, nullptr, 0, untouchedText},
    {"vendor name", 47, 0, 0, nullptr, 1, ".tarnwick."},
    {"product name", 48, 0, 0, nullptr, 1, "Brisolen"},
    {"vendor version", 49, 0, 0, nullptr, 1000, nullptr},
    {"no capability", 51, 0, 0, "bypass", 0, "bypass"},
    {"interface version", 58, 0, 0, nullptr, 2, nullptr},
    {"beyond the last opcode", 59, 0, 0, nullptr, 0, untouchedText},
    {"negative opcode", -1, 0, 0, nullptr, 0, untouchedText},
};

// Renaming the program, and the name the host reads back.
struct ProgramName {
    const char* given;
    const char* shown;
};

inline constexpr ProgramName programNames[] = {
    {"Zelk", "Zelk 1"},
    {"Zelk2", "Zelk2"},
    {"", ""},
    {"Twenty-three characters", "Twenty-three characters"},
    // Longer names are cut to the 23 characters a program name holds.
    {"A name far longer than the program record holds", "A name far longer than "},
};

} // namespace recordfacts
