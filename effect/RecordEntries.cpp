#include "effect/RecordEntries.h"

#include "effect/EffectBase.h"

namespace entries {
namespace {

constexpr std::int32_t opcodeClose = 1;

EffectBase* effectOf(HostRecord* record) {
    return static_cast<EffectBase*>(record->owner);
}

} // namespace

HostValue BRISOLEN_CALL opcode(HostRecord* record, std::int32_t opcode, std::int32_t index,
                               HostValue value, void* data, float opt) {
    EffectBase* effect = effectOf(record);
    if (opcode != opcodeClose) {
        return effect->handleOpcode(opcode, index, value, data, opt);
    }
    // The close handling runs first; the effect and its record are gone once this returns.
    effect->handleOpcode(opcode, index, value, data, opt);
    delete effect;
    return 1;
}

void BRISOLEN_CALL accumulate(HostRecord* record, float** inputs, float** outputs,
                              std::int32_t frames) {
    effectOf(record)->processAccumulate(inputs, outputs, frames);
}

void BRISOLEN_CALL overwrite(HostRecord* record, float** inputs, float** outputs,
                             std::int32_t frames) {
    effectOf(record)->processOverwrite(inputs, outputs, frames);
}

void BRISOLEN_CALL changeParameter(HostRecord* record, std::int32_t index, float value) {
    effectOf(record)->changeParameter(index, value);
}

float BRISOLEN_CALL parameterValue(HostRecord* record, std::int32_t index) {
    return effectOf(record)->parameterValue(index);
}

} // namespace entries
