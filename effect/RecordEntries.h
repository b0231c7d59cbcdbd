// The five free functions the host reaches through the record. Each finds its effect through the
// record's owner field.
#pragma once

#include "effect/HostRecord.h"

namespace entries {

HostValue BRISOLEN_CALL opcode(HostRecord* record, std::int32_t opcode, std::int32_t index,
                               HostValue value, void* data, float opt);
void BRISOLEN_CALL accumulate(HostRecord* record, float** inputs, float** outputs,
                              std::int32_t frames);
void BRISOLEN_CALL overwrite(HostRecord* record, float** inputs, float** outputs,
                             std::int32_t frames);
void BRISOLEN_CALL changeParameter(HostRecord* record, std::int32_t index, float value);
float BRISOLEN_CALL parameterValue(HostRecord* record, std::int32_t index);

} // namespace entries
