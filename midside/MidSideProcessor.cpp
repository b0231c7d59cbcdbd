#include "midside/MidSideProcessor.h"

#include "effect/TextFormat.h"
#include "midside/Identity.h"
#include "midside/MidSideKernels.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr std::int32_t midSidePrograms = 1;
constexpr std::int32_t midSideParameters = 2;
constexpr std::int32_t stereoChannels = 2;

// The knee of the gain law, and the slope below it (10/9 rounded to float).
const float kneeValue = std::bit_cast<float>(0x3F666666u);
const float lowerSlope = std::bit_cast<float>(0x3F8E38E4u);

// Programs named exactly this show their number after the name.
constexpr char numberedName[] = "Zelk";

float clampedToUnit(float value) {
    if (value < 0.0f) {
        return 0.0f;
    }
    return value > 1.0f ? 1.0f : value;
}

} // namespace

MidSideProcessor::MidSideProcessor(HostCallback callback)
    : ExtendedEffect(callback, midSidePrograms, midSideParameters), midGain(kneeValue),
      sideGain(kneeValue) {
    programs.reset(new (std::nothrow) EffectProgram[static_cast<std::size_t>(numberOfPrograms)]);
    currentProgramIndex = 0;
    // Without programs the parameters still start at their defaults, so the effect stays usable.
    const EffectProgram defaults;
    const EffectProgram& first = programs ? programs[0] : defaults;
    changeParameter(parameterMid, first.mid);
    changeParameter(parameterSide, first.side);
    assignInputCount(stereoChannels);
    assignOutputCount(stereoChannels);
    declareOverwrite(true);
    assignEffectId(identity::effectId);
}

MidSideProcessor::~MidSideProcessor() = default;

float MidSideProcessor::gainForValue(float value) {
    const double v = value;
    const double gain = v > 0.9 ? (v - static_cast<double>(kneeValue)) * 10.0 + 1.0
                                : v * static_cast<double>(lowerSlope);
    return static_cast<float>(gain);
}

void MidSideProcessor::changeParameter(std::int32_t index, float value) {
    // A value that is not a finite number would poison the audio; the parameter keeps its value.
    if (std::isfinite(value)) {
        const float clamped = clampedToUnit(value);
        const float gain = gainForValue(clamped);
        if (index == parameterMid) {
            midGain.store(gain, std::memory_order_relaxed);
            midValue.store(clamped, std::memory_order_relaxed);
        } else if (index == parameterSide) {
            sideGain.store(gain, std::memory_order_relaxed);
            sideValue.store(clamped, std::memory_order_relaxed);
        }
    }
    if (attachedEditor != nullptr) {
        attachedEditor->requestUpdate();
    }
}

float MidSideProcessor::parameterValue(std::int32_t index) {
    if (index == parameterMid) {
        return midValue.load(std::memory_order_relaxed);
    }
    if (index == parameterSide) {
        return sideValue.load(std::memory_order_relaxed);
    }
    return 0.0f;
}

bool MidSideProcessor::hasBuffers(float** inputs, float** outputs) const {
    return inputs != nullptr && outputs != nullptr && inputs[0] != nullptr &&
           inputs[1] != nullptr && outputs[0] != nullptr && outputs[1] != nullptr;
}

void MidSideProcessor::processAccumulate(float** inputs, float** outputs, std::int32_t frames) {
    if (frames <= 0 || !hasBuffers(inputs, outputs)) {
        return;
    }
    midside::processAccumulateFrames(inputs[0], inputs[1], outputs[0], outputs[1], frames,
                                     midGain.load(std::memory_order_relaxed),
                                     sideGain.load(std::memory_order_relaxed));
}

void MidSideProcessor::processOverwrite(float** inputs, float** outputs, std::int32_t frames) {
    if (frames <= 0 || !hasBuffers(inputs, outputs)) {
        return;
    }
    midside::processOverwriteFrames(inputs[0], inputs[1], outputs[0], outputs[1], frames,
                                    midGain.load(std::memory_order_relaxed),
                                    sideGain.load(std::memory_order_relaxed));
}

EffectProgram* MidSideProcessor::programAt(std::int32_t program) const {
    if (!programs || program < 0 || program >= numberOfPrograms) {
        return nullptr;
    }
    return &programs[static_cast<std::size_t>(program)];
}

void MidSideProcessor::selectProgram(std::int32_t program) {
    const EffectProgram* selected = programAt(program);
    if (selected == nullptr) {
        return;
    }
    currentProgramIndex = program;
    changeParameter(parameterMid, selected->mid);
    changeParameter(parameterSide, selected->side);
}

void MidSideProcessor::renameProgram(char* text) {
    EffectProgram* current = programAt(currentProgramIndex);
    if (current != nullptr) {
        textformat::copyLimited(text, current->name, EffectProgram::nameCapacity - 1);
    }
}

void MidSideProcessor::copyProgramName(char* text) {
    const EffectProgram* current = programAt(currentProgramIndex);
    if (current == nullptr) {
        text[0] = '\0';
    } else if (std::memcmp(current->name, numberedName, sizeof numberedName) == 0) {
        std::snprintf(text, EffectProgram::nameCapacity, "%s %d", numberedName,
                      static_cast<int>(currentProgramIndex + 1));
    } else {
        textformat::copy(current->name, text);
    }
}

void MidSideProcessor::copyParameterUnit(std::int32_t index, char* text) {
    if (index == parameterMid || index == parameterSide) {
        textformat::copy("percent", text);
    }
}

void MidSideProcessor::copyParameterText(std::int32_t index, char* text) {
    if (index == parameterMid || index == parameterSide) {
        const double percent = static_cast<double>(parameterValue(index)) * 100.0;
        formatInteger(static_cast<std::int32_t>(percent), text);
    }
}

void MidSideProcessor::copyParameterTitle(std::int32_t index, char* text) {
    if (index == parameterMid) {
        textformat::copy("Mid", text);
    } else if (index == parameterSide) {
        textformat::copy("Side", text);
    }
}

std::int32_t MidSideProcessor::effectCategory() {
    return identity::effectCategory;
}

bool MidSideProcessor::copyEffectName(char* text) {
    textformat::copy(identity::effectName, text);
    return true;
}

bool MidSideProcessor::copyVendorName(char* text) {
    textformat::copy(identity::vendorName, text);
    return true;
}

bool MidSideProcessor::copyProductName(char* text) {
    textformat::copy(identity::productName, text);
    return true;
}

std::int32_t MidSideProcessor::vendorVersionNumber() {
    return identity::vendorVersion;
}
