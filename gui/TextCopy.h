// Copying a text into a fixed-size buffer of the toolkit's controls.
#pragma once

#include <cstddef>
#include <cstring>

// Copies at most capacity - 1 characters of source and the terminator; a null source gives the
// empty text. Longer texts are cut.
inline void copyTextCut(char* destination, const char* source, std::size_t capacity) {
    const std::size_t length = source != nullptr ? strnlen(source, capacity - 1) : 0;
    if (length > 0) {
        std::memcpy(destination, source, length);
    }
    destination[length] = '\0';
}
