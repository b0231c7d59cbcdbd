// A plug-in whose processing breaks the rules of the audio thread: it allocates and takes a lock
// in every call, its overwrite entry ends each block with NaN, and its accumulate entry adds the
// input twice, so the two entries disagree.
#include "FakePlugin.h"

#include <limits>
#include <mutex>
#include <vector>

namespace {

std::mutex stateLock;

HostValue answer(HostRecord* record, std::int32_t opcode, std::int32_t, HostValue, void*, float) {
    if (opcode == 1) {
        delete record;
        return 1;
    }
    return 0;
}

void overwrite(HostRecord*, float** inputs, float** outputs, std::int32_t frames) {
    if (frames <= 0) {
        return;
    }
    const std::lock_guard<std::mutex> hold(stateLock);
    std::vector<float> scratch(inputs[0], inputs[0] + frames);
    for (std::int32_t i = 0; i < frames; ++i) {
        outputs[0][i] = scratch[static_cast<std::size_t>(i)];
        outputs[1][i] = inputs[1][i];
    }
    outputs[0][frames - 1] = std::numeric_limits<float>::quiet_NaN();
}

void accumulate(HostRecord*, float** inputs, float** outputs, std::int32_t frames) {
    for (std::int32_t i = 0; i < frames; ++i) {
        outputs[0][i] += 2.0f * inputs[0][i];
        outputs[1][i] += 2.0f * inputs[1][i];
    }
}

} // namespace

FAKE_PLUGIN_MAIN {
    (void)callback;
    HostRecord* record = fake::newRecord(2, 2);
    record->opcodeEntry = answer;
    record->overwriteEntry = overwrite;
    record->accumulateEntry = accumulate;
    record->capabilityFlags = flagOverwrite;
    return record;
}
