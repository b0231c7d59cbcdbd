// A plug-in with four inputs and four outputs and no accumulate entry: it passes the first two
// inputs through, adds the other two in (the host must feed them silence) and writes all four
// outputs.
#include "FakePlugin.h"

namespace {

HostValue answer(HostRecord* record, std::int32_t opcode, std::int32_t, HostValue, void*, float) {
    if (opcode == 1) {
        delete record;
        return 1;
    }
    return 0;
}

void overwrite(HostRecord*, float** inputs, float** outputs, std::int32_t frames) {
    for (std::int32_t i = 0; i < frames; ++i) {
        outputs[0][i] = inputs[0][i] + inputs[2][i];
        outputs[1][i] = inputs[1][i] + inputs[3][i];
        outputs[2][i] = 1.0f;
        outputs[3][i] = -1.0f;
    }
}

} // namespace

FAKE_PLUGIN_MAIN {
    (void)callback;
    HostRecord* record = fake::newRecord(4, 4);
    record->opcodeEntry = answer;
    record->overwriteEntry = overwrite;
    record->accumulateEntry = nullptr;
    record->capabilityFlags = flagOverwrite;
    return record;
}
