// A host text buffer with canary bytes on both sides, to catch a plug-in that writes past the
// size a text is allowed, or leaves its text without a terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class PluginInstance;

namespace validation {

// Buffer sizes a host gives, terminator included.
namespace TextSize {
constexpr std::size_t parameter = 9;
constexpr std::size_t programName = 24;
constexpr std::size_t effectName = 32;
constexpr std::size_t vendorName = 64;
constexpr std::size_t productName = 64;
constexpr std::size_t errorText = 256;
} // namespace TextSize

class GuardedText {
public:
    explicit GuardedText(std::size_t size);

    // An empty text: the terminator first, the rest of the buffer and the canaries marked.
    void reset();
    char* data() { return reinterpret_cast<char*>(storage.data() + guardSize); }
    std::size_t size() const { return textSize; }
    // What went wrong, or an empty string when the buffer holds a terminated text and the
    // canaries are intact.
    std::string fault() const;
    std::string text() const;

private:
    static constexpr std::size_t guardSize = 32;
    std::size_t textSize;
    std::vector<unsigned char> storage;
};

// Sends an opcode that writes a text into a guarded buffer of the given size, fails the check
// when the plug-in damaged the buffer and gives the text. `what` names the request in the
// failure, e.g. "title of parameter 3".
std::string askGuardedText(PluginInstance& plugin, const std::string& what, std::int32_t opcode,
                           std::size_t size, std::int32_t index = 0, std::intptr_t value = 0);

} // namespace validation
