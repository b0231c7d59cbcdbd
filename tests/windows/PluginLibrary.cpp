#include "PluginLibrary.h"

#include "TestSettings.h"

namespace testhost {

PluginLibrary& PluginLibrary::instance() {
    static PluginLibrary library;
    return library;
}

PluginLibrary::PluginLibrary() : module(LoadLibraryA(settings().libraryPath.c_str())) {
    if (module == nullptr) {
        return;
    }
    // GetProcAddress hands out a generic function pointer; the export's real type is MainEntry.
    byName = reinterpret_cast<MainEntry>(reinterpret_cast<void*>(GetProcAddress(module, "main")));
    byOrdinal = reinterpret_cast<MainEntry>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(1))));
}

HostValue send(HostRecord* record, std::int32_t opcode, std::int32_t index, HostValue value,
               void* data, float opt) {
    return record->opcodeEntry(record, opcode, index, value, data, opt);
}

} // namespace testhost
