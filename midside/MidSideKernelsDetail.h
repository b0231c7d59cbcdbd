// Internals of the mid/side kernels, shared by the per-instruction-set translation units and by
// the tests that exercise every implementation the processor supports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The vector kernels exist for x86 only; other processors run the scalar formula. Defining this
// as 0 builds that portable library on x86 as well, to check it there.
#ifndef BRISOLEN_KERNELS_X86
#if defined(__x86_64__) || defined(__i386__)
#define BRISOLEN_KERNELS_X86 1
#else
#define BRISOLEN_KERNELS_X86 0
#endif
#endif

namespace midside::detail {

using FramesFunction = void (*)(const float* inL, const float* inR, float* outL, float* outR,
                                std::int32_t frames, float midGain, float sideGain);

struct KernelSet {
    const char* name;
    bool (*isSupported)();
    FramesFunction overwrite;
    FramesFunction accumulate;
};

// Every implementation built into the library, widest first; the last one is the scalar formula
// and runs everywhere.
std::span<const KernelSet> builtKernelSets();

// The first entry of builtKernelSets() that this processor and operating system can run.
const KernelSet& widestSupportedKernelSet();

// When both operands of an addition or multiplication are NaN, an x86 processor returns the
// first one. The compiler treats both operations as commutative and orders their operands as it
// likes, which would let the NaN that comes out depend on the optimiser. These two pin the
// operand order to the order written, so that the reference and every kernel pass the same NaN
// on.
#if BRISOLEN_KERNELS_X86 && defined(__SSE2_MATH__)
[[gnu::always_inline]] inline double addInOrder(double first, double second) {
    asm("addsd {%1, %0|%0, %1}" : "+x"(first) : "x"(second));
    return first;
}

[[gnu::always_inline]] inline double multiplyInOrder(double first, double second) {
    asm("mulsd {%1, %0|%0, %1}" : "+x"(first) : "x"(second));
    return first;
}
#else
[[gnu::always_inline]] inline double addInOrder(double first, double second) {
    return first + second;
}

[[gnu::always_inline]] inline double multiplyInOrder(double first, double second) {
    return first * second;
}
#endif

// A gain times 0.5, so that the kernels can fold the final halving into the gains:
// (L + R) * (g * 0.5) rounds exactly as ((L + R) * g) * 0.5, and M' + S' as (M + S) * 0.5.
// Halving is exact and commutes with rounding unless a result is a subnormal double, and none can
// be: every non-zero product or sum of float values here lies between 2^-360 and 2^260, far from
// the subnormal range below 2^-1022 and from overflow. Infinities, signed zeros and NaN payloads
// pass through unchanged.
[[gnu::always_inline]] inline double halvedGain(float gain) {
    return static_cast<double>(gain) * 0.5;
}

// One frame of the formula; the reference loops are made of it and the narrower kernels finish
// their blocks with it. Forced inline so that the loops call nothing even in unoptimised builds.
[[gnu::always_inline]] inline void overwriteFrame(const float* inL, const float* inR, float* outL,
                                                  float* outR, std::size_t i, double midGain,
                                                  double sideGain) {
    const double left = inL[i];
    const double right = inR[i];
    const double mid = multiplyInOrder(addInOrder(left, right), midGain);
    const double side = multiplyInOrder(left - right, sideGain);
    outL[i] = static_cast<float>(addInOrder(mid, side) * 0.5);
    outR[i] = static_cast<float>((mid - side) * 0.5);
}

[[gnu::always_inline]] inline void accumulateFrame(const float* inL, const float* inR, float* outL,
                                                   float* outR, std::size_t i, double midGain,
                                                   double sideGain) {
    const double left = inL[i];
    const double right = inR[i];
    const double mid = multiplyInOrder(addInOrder(left, right), midGain);
    const double side = multiplyInOrder(left - right, sideGain);
    outL[i] = static_cast<float>(addInOrder(outL[i], addInOrder(mid, side) * 0.5));
    outR[i] = static_cast<float>(addInOrder(outR[i], (mid - side) * 0.5));
}

#if BRISOLEN_KERNELS_X86
void overwriteFramesSse2(const float* inL, const float* inR, float* outL, float* outR,
                         std::int32_t frames, float midGain, float sideGain);
void accumulateFramesSse2(const float* inL, const float* inR, float* outL, float* outR,
                          std::int32_t frames, float midGain, float sideGain);
void overwriteFramesAvx(const float* inL, const float* inR, float* outL, float* outR,
                        std::int32_t frames, float midGain, float sideGain);
void accumulateFramesAvx(const float* inL, const float* inR, float* outL, float* outR,
                         std::int32_t frames, float midGain, float sideGain);
void overwriteFramesAvx512(const float* inL, const float* inR, float* outL, float* outR,
                           std::int32_t frames, float midGain, float sideGain);
void accumulateFramesAvx512(const float* inL, const float* inR, float* outL, float* outR,
                            std::int32_t frames, float midGain, float sideGain);
#endif

} // namespace midside::detail
