#include "host/validation/GuardedText.h"

#include "host/PluginInstance.h"
#include "host/validation/Check.h"

#include <algorithm>
#include <cstring>

namespace validation {

namespace {

constexpr unsigned char canary = 0xA5;
// Not a terminator, so a plug-in that writes nothing is told apart from one that writes an
// empty text only by the first byte, which the host sets to the terminator itself.
constexpr unsigned char unwritten = 0x5A;

} // namespace

GuardedText::GuardedText(std::size_t size) : textSize(size), storage(size + 2 * guardSize) {
    reset();
}

void GuardedText::reset() {
    std::fill(storage.begin(), storage.end(), canary);
    std::fill_n(storage.begin() + guardSize, textSize, unwritten);
    storage[guardSize] = 0;
}

std::string GuardedText::fault() const {
    const auto before = std::find_if(storage.begin(), storage.begin() + guardSize,
                                     [](unsigned char byte) { return byte != canary; });
    if (before != storage.begin() + guardSize) {
        return "wrote " + std::to_string(storage.begin() + guardSize - before) +
               " byte(s) before the start of its " + std::to_string(textSize) + "-byte buffer";
    }
    const auto afterStart = storage.begin() + static_cast<std::ptrdiff_t>(guardSize + textSize);
    const auto lastDamaged = std::find_if(storage.rbegin(), storage.rbegin() + guardSize,
                                          [](unsigned char byte) { return byte != canary; });
    if (lastDamaged != storage.rbegin() + guardSize) {
        const auto past = (storage.rend() - lastDamaged) - (afterStart - storage.begin());
        return "wrote " + std::to_string(past) + " byte(s) past the end of its " +
               std::to_string(textSize) + "-byte buffer";
    }
    if (std::memchr(storage.data() + guardSize, 0, textSize) == nullptr) {
        return "left no terminator in its " + std::to_string(textSize) + "-byte buffer";
    }
    return {};
}

std::string GuardedText::text() const {
    const char* begin = reinterpret_cast<const char*>(storage.data() + guardSize);
    return std::string(begin, strnlen(begin, textSize));
}

std::string askGuardedText(PluginInstance& plugin, const std::string& what, std::int32_t opcode,
                           std::size_t size, std::int32_t index, std::intptr_t value) {
    GuardedText buffer(size);
    plugin.send(opcode, index, value, buffer.data());
    const std::string fault = buffer.fault();
    require(fault.empty(), what + " (opcode " + std::to_string(opcode) + "): " + fault);
    return buffer.text();
}

} // namespace validation
