// The plug-in library under test, loaded once with LoadLibraryA and kept for the whole run, as a
// host keeps it.
#pragma once

#include "effect/HostRecord.h"

#include <windows.h>

namespace testhost {

class PluginLibrary {
public:
    // The library named in the settings; null handle and entries when it does not load.
    static PluginLibrary& instance();

    HMODULE handle() const { return module; }
    MainEntry mainByName() const { return byName; }
    MainEntry mainByOrdinal() const { return byOrdinal; }

private:
    PluginLibrary();

    HMODULE module = nullptr;
    MainEntry byName = nullptr;
    MainEntry byOrdinal = nullptr;
};

// An opcode through the record's opcode entry.
HostValue send(HostRecord* record, std::int32_t opcode, std::int32_t index = 0, HostValue value = 0,
               void* data = nullptr, float opt = 0.0f);

} // namespace testhost
