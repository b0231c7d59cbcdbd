// A plug-in with only the accumulate entry in use (no overwrite flag), three parameters and two
// programs. It logs what the host calls. Processing: left += a*L + b*R, right += c*(L - R), with
// a, b, c the three parameter values.
#include "FakePlugin.h"

namespace {

struct Effect {
    HostRecord record{};
    float values[3] = {0.5f, 0.25f, 1.0f};
    std::int32_t program = 0;
};

Effect& effectOf(HostRecord* record) {
    return *static_cast<Effect*>(record->owner);
}

const char* const titles[3] = {"Alpha", "Beta", "Gamma"};
const char* const units[3] = {"dB", "Hz", ""};
const char* const programs[2] = {"First", "Second"};

HostValue answer(HostRecord* record, std::int32_t opcode, std::int32_t index, HostValue value,
                 void* data, float opt) {
    Effect& effect = effectOf(record);
    fake::log("opcode %g index %g value %g", opcode, index, static_cast<double>(value));
    const bool validParameter = index >= 0 && index < 3;
    switch (opcode) {
    case 1:
        fake::log("close");
        delete &effect;
        return 1;
    case 2:
        if (value >= 0 && value < 2) {
            effect.program = static_cast<std::int32_t>(value);
        }
        return 0;
    case 3:
        return effect.program;
    case 5:
        fake::copyText(data, programs[effect.program]);
        return 0;
    case 6:
        if (validParameter) {
            fake::copyText(data, units[index]);
        }
        return 0;
    case 7:
        if (validParameter) {
            std::snprintf(static_cast<char*>(data), 9, "%.3f",
                          static_cast<double>(effect.values[index]));
        }
        return 0;
    case 8:
        if (validParameter) {
            fake::copyText(data, titles[index]);
        }
        return 0;
    case 10:
        fake::log("sample rate %g", opt);
        return 0;
    case 29:
        if (index >= 0 && index < 2) {
            fake::copyText(data, programs[index]);
            return 1;
        }
        return 0;
    case 35:
        return 2;
    case 45:
        fake::copyText(data, "Fake Acc");
        return 1;
    case 47:
        fake::copyText(data, "Test Vendor");
        return 1;
    case 49:
        return 7;
    case 58:
        return 2;
    default:
        return 0;
    }
}

void accumulate(HostRecord* record, float** inputs, float** outputs, std::int32_t frames) {
    const Effect& effect = effectOf(record);
    fake::log("accumulate %g", frames);
    const double a = effect.values[0];
    const double b = effect.values[1];
    const double c = effect.values[2];
    for (std::int32_t i = 0; i < frames; ++i) {
        const double left = inputs[0][i];
        const double right = inputs[1][i];
        outputs[0][i] = static_cast<float>(outputs[0][i] + a * left + b * right);
        outputs[1][i] = static_cast<float>(outputs[1][i] + c * (left - right));
    }
}

// Without the overwrite flag a host must not call this.
void overwrite(HostRecord*, float**, float** outputs, std::int32_t frames) {
    fake::log("overwrite %g", frames);
    for (std::int32_t i = 0; i < frames; ++i) {
        outputs[0][i] = 99.0f;
        outputs[1][i] = 99.0f;
    }
}

void changeParameter(HostRecord* record, std::int32_t index, float value) {
    fake::log("parameter %g = %g", index, value);
    if (index >= 0 && index < 3) {
        effectOf(record).values[index] = value;
    }
}

float parameterValue(HostRecord* record, std::int32_t index) {
    return index >= 0 && index < 3 ? effectOf(record).values[index] : 0.0f;
}

} // namespace

FAKE_PLUGIN_MAIN {
    if (callback(nullptr, 1, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    auto* effect = new Effect;
    HostRecord& record = effect->record;
    record.signature = recordSignature;
    record.opcodeEntry = answer;
    record.accumulateEntry = accumulate;
    record.overwriteEntry = overwrite;
    record.changeParameterEntry = changeParameter;
    record.parameterValueEntry = parameterValue;
    record.programCount = 2;
    record.parameterCount = 3;
    record.inputCount = 2;
    record.outputCount = 2;
    record.capabilityFlags = flagLevelMeter;
    record.latency = 12;
    record.inOutRatio = 1.0f;
    record.owner = effect;
    record.effectId = 0x46616b65;
    record.effectVersion = 3;
    return &record;
}
