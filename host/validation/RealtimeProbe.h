// Counts the memory allocations and lock acquisitions that a thread makes while it is marked as
// being inside a processing call. The counting lives in RealtimeProbe.cpp, which replaces the
// allocation and locking functions for the whole host executable.
#pragma once

#include <cstdint>

namespace realtimeprobe {

// False when the counting is compiled out (sanitizer builds, whose runtimes own these
// functions); then the counts stay zero and mean nothing.
bool available();
const char* unavailableReason();

struct Counts {
    std::uint64_t allocations = 0; // allocations and releases
    std::uint64_t locks = 0;
};

Counts counts();
void reset();

// Marks the calling thread for as long as it lives.
class Watch {
public:
    Watch();
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
};

} // namespace realtimeprobe
