// The mid/side effect: splits stereo into mid and side, applies one gain to each and recombines.
#pragma once

#include "effect/ExtendedEffect.h"
#include "midside/EffectProgram.h"

#include <atomic>
#include <memory>

class MidSideProcessor : public ExtendedEffect {
public:
    static constexpr std::int32_t parameterMid = 0;
    static constexpr std::int32_t parameterSide = 1;

    explicit MidSideProcessor(HostCallback callback);
    ~MidSideProcessor() override;

    void changeParameter(std::int32_t index, float value) override;
    float parameterValue(std::int32_t index) override;
    void processAccumulate(float** inputs, float** outputs, std::int32_t frames) override;
    void processOverwrite(float** inputs, float** outputs, std::int32_t frames) override;
    void selectProgram(std::int32_t program) override;
    void renameProgram(char* text) override;
    void copyProgramName(char* text) override;
    void copyParameterUnit(std::int32_t index, char* text) override;
    void copyParameterText(std::int32_t index, char* text) override;
    void copyParameterTitle(std::int32_t index, char* text) override;

    std::int32_t effectCategory() override;
    bool copyEffectName(char* text) override;
    bool copyVendorName(char* text) override;
    bool copyProductName(char* text) override;
    std::int32_t vendorVersionNumber() override;

    // Normalised value 0..1 to linear gain: 0.9 is unity, 1.0 about +6 dB, below 0.9 linear.
    static float gainForValue(float value);

    float midGainValue() const { return midGain.load(std::memory_order_relaxed); }
    float sideGainValue() const { return sideGain.load(std::memory_order_relaxed); }

private:
    EffectProgram* programAt(std::int32_t program) const;
    bool hasBuffers(float** inputs, float** outputs) const;

    std::unique_ptr<EffectProgram[]> programs;
    // Written by host parameter threads while a processing call may read them.
    std::atomic<float> midGain;
    std::atomic<float> midValue{0.9f};
    std::atomic<float> sideGain;
    std::atomic<float> sideValue{0.9f};
};
