// A library whose record does not carry the record signature. Any call through it would be a
// fault: its entries are poisoned.
#include "FakePlugin.h"

namespace {

HostValue abortOnOpcode(HostRecord*, std::int32_t, std::int32_t, HostValue, void*, float) {
    std::abort();
}

} // namespace

// The host cannot close a record it does not recognise, so the record is static rather than
// leaked.
FAKE_PLUGIN_MAIN {
    (void)callback;
    static HostRecord record{};
    record.signature = 0x12345678;
    record.opcodeEntry = abortOnOpcode;
    record.inputCount = 2;
    record.outputCount = 2;
    return &record;
}
