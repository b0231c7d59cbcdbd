#include "midside/MidSideKernels.h"
#include "midside/MidSideKernelsDetail.h"

#include <array>

namespace midside {

void referenceOverwriteFrames(const float* inL, const float* inR, float* outL, float* outR,
                              std::int32_t frames, float midGain, float sideGain) {
    for (std::int32_t i = 0; i < frames; ++i) {
        detail::overwriteFrame(inL, inR, outL, outR, static_cast<std::size_t>(i), midGain,
                               sideGain);
    }
}

void referenceAccumulateFrames(const float* inL, const float* inR, float* outL, float* outR,
                               std::int32_t frames, float midGain, float sideGain) {
    for (std::int32_t i = 0; i < frames; ++i) {
        detail::accumulateFrame(inL, inR, outL, outR, static_cast<std::size_t>(i), midGain,
                                sideGain);
    }
}

namespace detail {
namespace {

bool alwaysSupported() {
    return true;
}

#if BRISOLEN_KERNELS_X86
// The processor reports an instruction set only when the operating system also saves its
// registers, so these answers are safe to act on.
bool supportsSse2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
}

bool supportsAvx() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

bool supportsAvx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f");
}
#endif

constexpr std::array kernelSets {
#if BRISOLEN_KERNELS_X86
    KernelSet{"avx512", supportsAvx512, overwriteFramesAvx512, accumulateFramesAvx512},
        KernelSet{"avx", supportsAvx, overwriteFramesAvx, accumulateFramesAvx},
        KernelSet{"sse2", supportsSse2, overwriteFramesSse2, accumulateFramesSse2},
#endif
        KernelSet{"scalar", alwaysSupported, referenceOverwriteFrames, referenceAccumulateFrames},
};

} // namespace

std::span<const KernelSet> builtKernelSets() {
    return kernelSets;
}

const KernelSet& widestSupportedKernelSet() {
    for (const KernelSet& kernels : kernelSets) {
        if (kernels.isSupported()) {
            return kernels;
        }
    }
    return kernelSets.back();
}

} // namespace detail

namespace {

// Chosen once, on first use; the initialisation of a local static is thread-safe, and every
// later call only reads the reference.
const detail::KernelSet& activeKernels() {
    static const detail::KernelSet& kernels = detail::widestSupportedKernelSet();
    return kernels;
}

} // namespace

void processOverwriteFrames(const float* inL, const float* inR, float* outL, float* outR,
                            std::int32_t frames, float midGain, float sideGain) {
    activeKernels().overwrite(inL, inR, outL, outR, frames, midGain, sideGain);
}

void processAccumulateFrames(const float* inL, const float* inR, float* outL, float* outR,
                             std::int32_t frames, float midGain, float sideGain) {
    activeKernels().accumulate(inL, inR, outL, outR, frames, midGain, sideGain);
}

const char* kernelInstructionSet() {
    return activeKernels().name;
}

} // namespace midside
