// Two frames per double-precision register; four frames per pass.
#include "midside/MidSideKernelsDetail.h"

#if BRISOLEN_KERNELS_X86

#include <immintrin.h>

#define SSE2_KERNEL __attribute__((target("sse2")))
#define SSE2_INLINE __attribute__((target("sse2"), always_inline)) inline

namespace midside::detail {
namespace {

struct Sse2Gains {
    // Both gains times 0.5: see halvedGain.
    __m128d mid;
    __m128d side;
};

struct Sse2Quad {
    __m128d low;
    __m128d high;
};

struct Sse2Pair {
    __m128d left;
    __m128d right;
};

SSE2_INLINE Sse2Gains broadcastGains(float midGain, float sideGain) {
    return {_mm_set1_pd(halvedGain(midGain)), _mm_set1_pd(halvedGain(sideGain))};
}

// The vector forms of addInOrder and multiplyInOrder (MidSideKernelsDetail.h): the first
// operand's NaN wins, as in the scalar formula.
SSE2_INLINE __m128d addInOrder(__m128d first, __m128d second) {
    asm("addpd {%1, %0|%0, %1}" : "+x"(first) : "x"(second));
    return first;
}

SSE2_INLINE __m128d multiplyInOrder(__m128d first, __m128d second) {
    asm("mulpd {%1, %0|%0, %1}" : "+x"(first) : "x"(second));
    return first;
}

// The outputs of two frames, before rounding to float.
SSE2_INLINE Sse2Pair mixTwoFrames(__m128d left, __m128d right, const Sse2Gains& gains) {
    const __m128d mid = multiplyInOrder(addInOrder(left, right), gains.mid);
    const __m128d side = multiplyInOrder(_mm_sub_pd(left, right), gains.side);
    return {addInOrder(mid, side), _mm_sub_pd(mid, side)};
}

// Four frames widened to double, loaded in one go.
SSE2_INLINE Sse2Quad loadFourFrames(const float* samples) {
    const __m128 narrow = _mm_loadu_ps(samples);
    const __m128d low = _mm_cvtps_pd(narrow);
    const __m128d high = _mm_cvtps_pd(_mm_movehl_ps(narrow, narrow));
    return {low, high};
}

SSE2_INLINE void storeFourFrames(float* samples, __m128d low, __m128d high) {
    _mm_storeu_ps(samples, _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)));
}

} // namespace

SSE2_KERNEL void overwriteFramesSse2(const float* inL, const float* inR, float* outL, float* outR,
                                     std::int32_t frames, float midGain, float sideGain) {
    if (frames <= 0) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>(frames);
    const std::size_t vectorEnd = count & ~std::size_t{3};
    const Sse2Gains gains = broadcastGains(midGain, sideGain);
    for (std::size_t i = 0; i < vectorEnd; i += 4) {
        const Sse2Quad left = loadFourFrames(inL + i);
        const Sse2Quad right = loadFourFrames(inR + i);
        const Sse2Pair low = mixTwoFrames(left.low, right.low, gains);
        const Sse2Pair high = mixTwoFrames(left.high, right.high, gains);
        storeFourFrames(outL + i, low.left, high.left);
        storeFourFrames(outR + i, low.right, high.right);
    }
    for (std::size_t i = vectorEnd; i < count; ++i) {
        overwriteFrame(inL, inR, outL, outR, i, midGain, sideGain);
    }
}

SSE2_KERNEL void accumulateFramesSse2(const float* inL, const float* inR, float* outL, float* outR,
                                      std::int32_t frames, float midGain, float sideGain) {
    if (frames <= 0) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>(frames);
    const std::size_t vectorEnd = count & ~std::size_t{3};
    const Sse2Gains gains = broadcastGains(midGain, sideGain);
    for (std::size_t i = 0; i < vectorEnd; i += 4) {
        const Sse2Quad left = loadFourFrames(inL + i);
        const Sse2Quad right = loadFourFrames(inR + i);
        const Sse2Pair low = mixTwoFrames(left.low, right.low, gains);
        const Sse2Pair high = mixTwoFrames(left.high, right.high, gains);
        const Sse2Quad previousLeft = loadFourFrames(outL + i);
        const Sse2Quad previousRight = loadFourFrames(outR + i);
        storeFourFrames(outL + i, addInOrder(previousLeft.low, low.left),
                        addInOrder(previousLeft.high, high.left));
        storeFourFrames(outR + i, addInOrder(previousRight.low, low.right),
                        addInOrder(previousRight.high, high.right));
    }
    for (std::size_t i = vectorEnd; i < count; ++i) {
        accumulateFrame(inL, inR, outL, outR, i, midGain, sideGain);
    }
}

} // namespace midside::detail

#endif
