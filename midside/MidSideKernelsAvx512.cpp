// Eight frames per double-precision register and per pass; the last zero to seven frames run
// through the same instructions with masked loads and stores, which never touch memory outside
// the block.
#include "midside/MidSideKernelsDetail.h"

#if BRISOLEN_KERNELS_X86

// GCC 12 reports its own AVX-512 intrinsics, which start from deliberately undefined registers,
// as reading uninitialised values once they are inlined.
#pragma GCC diagnostic push
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#define AVX512_KERNEL __attribute__((target("avx512f")))
#define AVX512_INLINE __attribute__((target("avx512f"), always_inline)) inline

namespace midside::detail {
namespace {

struct Avx512Gains {
    // Both gains times 0.5: see halvedGain.
    __m512d mid;
    __m512d side;
};

struct Avx512Pair {
    __m512d left;
    __m512d right;
};

// Selects the first frames of a block of eight.
using FrameMask = __mmask16;

AVX512_INLINE FrameMask firstFrames(std::size_t count) {
    return static_cast<FrameMask>((1u << count) - 1u);
}

AVX512_INLINE Avx512Gains broadcastGains(float midGain, float sideGain) {
    return {_mm512_set1_pd(halvedGain(midGain)), _mm512_set1_pd(halvedGain(sideGain))};
}

AVX512_INLINE __m512d loadEightFrames(const float* samples) {
    return _mm512_cvtps_pd(_mm256_loadu_ps(samples));
}

AVX512_INLINE void storeEightFrames(float* samples, __m512d values) {
    _mm256_storeu_ps(samples, _mm512_cvtpd_ps(values));
}

// Frames outside the mask read as zero; neither loads nor stores touch their memory.
AVX512_INLINE __m512d loadFirstFrames(const float* samples, FrameMask frames) {
    return _mm512_cvtps_pd(_mm512_castps512_ps256(_mm512_maskz_loadu_ps(frames, samples)));
}

AVX512_INLINE void storeFirstFrames(float* samples, FrameMask frames, __m512d values) {
    _mm512_mask_storeu_ps(samples, frames, _mm512_castps256_ps512(_mm512_cvtpd_ps(values)));
}

// The vector forms of addInOrder and multiplyInOrder (MidSideKernelsDetail.h): the first
// operand's NaN wins, as in the scalar formula.
AVX512_INLINE __m512d addInOrder(__m512d first, __m512d second) {
    __m512d sum;
    asm("vaddpd {%2, %1, %0|%0, %1, %2}" : "=v"(sum) : "v"(first), "v"(second));
    return sum;
}

AVX512_INLINE __m512d multiplyInOrder(__m512d first, __m512d second) {
    __m512d product;
    asm("vmulpd {%2, %1, %0|%0, %1, %2}" : "=v"(product) : "v"(first), "v"(second));
    return product;
}

// The outputs of eight frames, before rounding to float.
AVX512_INLINE Avx512Pair mixFrames(__m512d left, __m512d right, const Avx512Gains& gains) {
    const __m512d mid = multiplyInOrder(addInOrder(left, right), gains.mid);
    const __m512d side = multiplyInOrder(_mm512_sub_pd(left, right), gains.side);
    return {addInOrder(mid, side), _mm512_sub_pd(mid, side)};
}

AVX512_INLINE void overwriteEightFrames(const float* inL, const float* inR, float* outL,
                                        float* outR, const Avx512Gains& gains) {
    const __m512d left = loadEightFrames(inL);
    const __m512d right = loadEightFrames(inR);
    const Avx512Pair mixed = mixFrames(left, right, gains);
    storeEightFrames(outL, mixed.left);
    storeEightFrames(outR, mixed.right);
}

AVX512_INLINE void overwriteFirstFrames(const float* inL, const float* inR, float* outL,
                                        float* outR, FrameMask frames, const Avx512Gains& gains) {
    const __m512d left = loadFirstFrames(inL, frames);
    const __m512d right = loadFirstFrames(inR, frames);
    const Avx512Pair mixed = mixFrames(left, right, gains);
    storeFirstFrames(outL, frames, mixed.left);
    storeFirstFrames(outR, frames, mixed.right);
}

AVX512_INLINE void accumulateEightFrames(const float* inL, const float* inR, float* outL,
                                         float* outR, const Avx512Gains& gains) {
    const __m512d left = loadEightFrames(inL);
    const __m512d right = loadEightFrames(inR);
    const Avx512Pair mixed = mixFrames(left, right, gains);
    const __m512d previousLeft = loadEightFrames(outL);
    const __m512d previousRight = loadEightFrames(outR);
    storeEightFrames(outL, addInOrder(previousLeft, mixed.left));
    storeEightFrames(outR, addInOrder(previousRight, mixed.right));
}

AVX512_INLINE void accumulateFirstFrames(const float* inL, const float* inR, float* outL,
                                         float* outR, FrameMask frames, const Avx512Gains& gains) {
    const __m512d left = loadFirstFrames(inL, frames);
    const __m512d right = loadFirstFrames(inR, frames);
    const Avx512Pair mixed = mixFrames(left, right, gains);
    const __m512d previousLeft = loadFirstFrames(outL, frames);
    const __m512d previousRight = loadFirstFrames(outR, frames);
    storeFirstFrames(outL, frames, addInOrder(previousLeft, mixed.left));
    storeFirstFrames(outR, frames, addInOrder(previousRight, mixed.right));
}

} // namespace

AVX512_KERNEL void overwriteFramesAvx512(const float* inL, const float* inR, float* outL,
                                         float* outR, std::int32_t frames, float midGain,
                                         float sideGain) {
    if (frames <= 0) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>(frames);
    const std::size_t vectorEnd = count & ~std::size_t{7};
    const Avx512Gains gains = broadcastGains(midGain, sideGain);
    for (std::size_t i = 0; i < vectorEnd; i += 8) {
        overwriteEightFrames(inL + i, inR + i, outL + i, outR + i, gains);
    }
    if (vectorEnd < count) {
        overwriteFirstFrames(inL + vectorEnd, inR + vectorEnd, outL + vectorEnd, outR + vectorEnd,
                             firstFrames(count - vectorEnd), gains);
    }
}

AVX512_KERNEL void accumulateFramesAvx512(const float* inL, const float* inR, float* outL,
                                          float* outR, std::int32_t frames, float midGain,
                                          float sideGain) {
    if (frames <= 0) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>(frames);
    const std::size_t vectorEnd = count & ~std::size_t{7};
    const Avx512Gains gains = broadcastGains(midGain, sideGain);
    for (std::size_t i = 0; i < vectorEnd; i += 8) {
        accumulateEightFrames(inL + i, inR + i, outL + i, outR + i, gains);
    }
    if (vectorEnd < count) {
        accumulateFirstFrames(inL + vectorEnd, inR + vectorEnd, outL + vectorEnd, outR + vectorEnd,
                              firstFrames(count - vectorEnd), gains);
    }
}

} // namespace midside::detail

#pragma GCC diagnostic pop

#endif
