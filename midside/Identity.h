// How the effect names and classifies itself to the host.
#pragma once

#include <cstdint>

namespace identity {

// The characters 4, 2, 9, 2 from the most significant byte down.
constexpr std::int32_t effectId = 0x34323932;
constexpr const char* effectName = "Brisolen";
constexpr const char* vendorName = ".tarnwick.";
constexpr const char* productName = "Brisolen";
constexpr std::int32_t vendorVersion = 1000;
constexpr std::int32_t effectCategory = 1;

} // namespace identity
