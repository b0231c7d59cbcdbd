// A plug-in whose texts break the host's buffers: a parameter title longer than 8 characters, a
// unit without terminator, a program name longer than 23 characters, and an open that switches
// the process's numeric locale.
#include "FakePlugin.h"

#include <clocale>

namespace {

HostValue answer(HostRecord* record, std::int32_t opcode, std::int32_t index, HostValue, void* data,
                 float) {
    switch (opcode) {
    case 0:
        std::setlocale(LC_NUMERIC, "C.UTF-8");
        return 0;
    case 1:
        delete record;
        return 1;
    case 5:
        fake::copyText(data, "A program name of thirty chars");
        return 0;
    case 6:
        // Exactly the nine bytes of the buffer, none of them a terminator.
        std::memcpy(data, "123456789", 9);
        return 0;
    case 7:
        fake::copyText(data, "0.5");
        return 0;
    case 8:
        fake::copyText(data, index == 0 ? "Overlong title" : "Fine");
        return 0;
    case 45:
        fake::copyText(data, "Bad Texts");
        return 1;
    default:
        return 0;
    }
}

} // namespace

FAKE_PLUGIN_MAIN {
    (void)callback;
    HostRecord* record = fake::newRecord(2, 2);
    record->opcodeEntry = answer;
    record->capabilityFlags = flagOverwrite;
    record->parameterCount = 2;
    return record;
}
