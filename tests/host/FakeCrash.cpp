// A plug-in that crashes in its first processing call, after the host has started its output.
#include "FakePlugin.h"

namespace {

HostValue answer(HostRecord* record, std::int32_t opcode, std::int32_t, HostValue, void*, float) {
    if (opcode == 1) {
        delete record;
        return 1;
    }
    return 0;
}

void crash(HostRecord*, float**, float**, std::int32_t) {
    std::abort();
}

} // namespace

FAKE_PLUGIN_MAIN {
    (void)callback;
    HostRecord* record = fake::newRecord(2, 2);
    record->opcodeEntry = answer;
    record->overwriteEntry = crash;
    record->capabilityFlags = flagOverwrite;
    return record;
}
