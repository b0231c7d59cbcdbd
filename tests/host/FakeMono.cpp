// A well-formed plug-in with one input and one output.
#include "FakePlugin.h"

namespace {

HostValue answer(HostRecord* record, std::int32_t opcode, std::int32_t, HostValue, void*, float) {
    fake::log("opcode %g", opcode);
    if (opcode == 1) {
        delete record;
        return 1;
    }
    return 0;
}

} // namespace

FAKE_PLUGIN_MAIN {
    (void)callback;
    HostRecord* record = fake::newRecord(1, 1);
    record->opcodeEntry = answer;
    record->capabilityFlags = flagOverwrite;
    return record;
}
