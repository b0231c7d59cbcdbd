// Eight-character texts for the host's parameter displays.
#pragma once

#include <cstdint>

namespace textformat {

// Longest text a formatter writes, without the terminator.
constexpr int textBudget = 8;

// Copies a zero-terminated text; a null destination is left alone.
void copy(const char* source, char* text);

// Copies at most maxLength characters and always terminates.
void copyLimited(const char* source, char* text, int maxLength);

// Fixed budget of eight characters counting sign and point; digits are cut, never rounded.
void decimal(float value, char* text);

// Right-aligned in seven characters, cut to eight.
void integer(std::int32_t value, char* text);

} // namespace textformat
