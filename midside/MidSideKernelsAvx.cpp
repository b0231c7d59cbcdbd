// Four frames per double-precision register and per pass; the last zero to three frames run
// through the same instructions with masked loads and stores, which never touch memory outside
// the block. Needs AVX only: nothing here uses 256-bit integer or fused instructions.
#include "midside/MidSideKernelsDetail.h"

#if BRISOLEN_KERNELS_X86

#include <immintrin.h>

#define AVX_KERNEL __attribute__((target("avx")))
#define AVX_INLINE __attribute__((target("avx"), always_inline)) inline

namespace midside::detail {
namespace {

struct AvxGains {
    // Both gains times 0.5: see halvedGain.
    __m256d mid;
    __m256d side;
};

struct AvxPair {
    __m256d left;
    __m256d right;
};

AVX_INLINE AvxGains broadcastGains(float midGain, float sideGain) {
    return {_mm256_set1_pd(halvedGain(midGain)), _mm256_set1_pd(halvedGain(sideGain))};
}

// Selects the first frames of a block of four: the sign bit of each lane marks a frame in use.
AVX_INLINE __m128i firstFrames(std::size_t count) {
    const __m128i lane = _mm_setr_epi32(0, 1, 2, 3);
    return _mm_cmplt_epi32(lane, _mm_set1_epi32(static_cast<int>(count)));
}

AVX_INLINE __m256d loadFourFrames(const float* samples) {
    return _mm256_cvtps_pd(_mm_loadu_ps(samples));
}

AVX_INLINE void storeFourFrames(float* samples, __m256d values) {
    _mm_storeu_ps(samples, _mm256_cvtpd_ps(values));
}

// Frames outside the mask read as zero; neither loads nor stores touch their memory.
AVX_INLINE __m256d loadFirstFrames(const float* samples, __m128i frames) {
    return _mm256_cvtps_pd(_mm_maskload_ps(samples, frames));
}

AVX_INLINE void storeFirstFrames(float* samples, __m128i frames, __m256d values) {
    _mm_maskstore_ps(samples, frames, _mm256_cvtpd_ps(values));
}

// The vector forms of addInOrder and multiplyInOrder (MidSideKernelsDetail.h): the first
// operand's NaN wins, as in the scalar formula.
AVX_INLINE __m256d addInOrder(__m256d first, __m256d second) {
    __m256d sum;
    asm("vaddpd {%2, %1, %0|%0, %1, %2}" : "=x"(sum) : "x"(first), "x"(second));
    return sum;
}

AVX_INLINE __m256d multiplyInOrder(__m256d first, __m256d second) {
    __m256d product;
    asm("vmulpd {%2, %1, %0|%0, %1, %2}" : "=x"(product) : "x"(first), "x"(second));
    return product;
}

// The outputs of four frames, before rounding to float.
AVX_INLINE AvxPair mixFrames(__m256d left, __m256d right, const AvxGains& gains) {
    const __m256d mid = multiplyInOrder(addInOrder(left, right), gains.mid);
    const __m256d side = multiplyInOrder(_mm256_sub_pd(left, right), gains.side);
    return {addInOrder(mid, side), _mm256_sub_pd(mid, side)};
}

AVX_INLINE void overwriteFourFrames(const float* inL, const float* inR, float* outL, float* outR,
                                    const AvxGains& gains) {
    const __m256d left = loadFourFrames(inL);
    const __m256d right = loadFourFrames(inR);
    const AvxPair mixed = mixFrames(left, right, gains);
    storeFourFrames(outL, mixed.left);
    storeFourFrames(outR, mixed.right);
}

AVX_INLINE void overwriteFirstFrames(const float* inL, const float* inR, float* outL, float* outR,
                                     __m128i frames, const AvxGains& gains) {
    const __m256d left = loadFirstFrames(inL, frames);
    const __m256d right = loadFirstFrames(inR, frames);
    const AvxPair mixed = mixFrames(left, right, gains);
    storeFirstFrames(outL, frames, mixed.left);
    storeFirstFrames(outR, frames, mixed.right);
}

AVX_INLINE void accumulateFourFrames(const float* inL, const float* inR, float* outL, float* outR,
                                     const AvxGains& gains) {
    const __m256d left = loadFourFrames(inL);
    const __m256d right = loadFourFrames(inR);
    const AvxPair mixed = mixFrames(left, right, gains);
    const __m256d previousLeft = loadFourFrames(outL);
    const __m256d previousRight = loadFourFrames(outR);
    storeFourFrames(outL, addInOrder(previousLeft, mixed.left));
    storeFourFrames(outR, addInOrder(previousRight, mixed.right));
}

AVX_INLINE void accumulateFirstFrames(const float* inL, const float* inR, float* outL, float* outR,
                                      __m128i frames, const AvxGains& gains) {
    const __m256d left = loadFirstFrames(inL, frames);
    const __m256d right = loadFirstFrames(inR, frames);
    const AvxPair mixed = mixFrames(left, right, gains);
    const __m256d previousLeft = loadFirstFrames(outL, frames);
    const __m256d previousRight = loadFirstFrames(outR, frames);
    storeFirstFrames(outL, frames, addInOrder(previousLeft, mixed.left));
    storeFirstFrames(outR, frames, addInOrder(previousRight, mixed.right));
}

} // namespace

AVX_KERNEL void overwriteFramesAvx(const float* inL, const float* inR, float* outL, float* outR,
                                   std::int32_t frames, float midGain, float sideGain) {
    if (frames <= 0) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>(frames);
    const std::size_t vectorEnd = count & ~std::size_t{3};
    const AvxGains gains = broadcastGains(midGain, sideGain);
    for (std::size_t i = 0; i < vectorEnd; i += 4) {
        overwriteFourFrames(inL + i, inR + i, outL + i, outR + i, gains);
    }
    if (vectorEnd < count) {
        overwriteFirstFrames(inL + vectorEnd, inR + vectorEnd, outL + vectorEnd, outR + vectorEnd,
                             firstFrames(count - vectorEnd), gains);
    }
}

AVX_KERNEL void accumulateFramesAvx(const float* inL, const float* inR, float* outL, float* outR,
                                    std::int32_t frames, float midGain, float sideGain) {
    if (frames <= 0) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>(frames);
    const std::size_t vectorEnd = count & ~std::size_t{3};
    const AvxGains gains = broadcastGains(midGain, sideGain);
    for (std::size_t i = 0; i < vectorEnd; i += 4) {
        accumulateFourFrames(inL + i, inR + i, outL + i, outR + i, gains);
    }
    if (vectorEnd < count) {
        accumulateFirstFrames(inL + vectorEnd, inR + vectorEnd, outL + vectorEnd, outR + vectorEnd,
                              firstFrames(count - vectorEnd), gains);
    }
}

} // namespace midside::detail

#endif
