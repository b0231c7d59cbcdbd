// The inner loops of the mid/side effect: split each stereo frame into mid and side, scale both
// and recombine them. Every result equals, bit for bit, the double-precision formula of
// referenceOverwriteFrames and referenceAccumulateFrames; the process functions run the widest
// vector implementation the processor offers.
//
// For each frame: M = (L + R) * midGain and S = (L - R) * sideGain in double precision, then
// left = (M + S) * 0.5 and right = (M - S) * 0.5, each rounded to float when stored (the
// accumulating form adds the existing output sample in double before rounding). Both inputs of a
// frame are read before its outputs are written, so the outputs may be the input buffers
// themselves, straight or crossed (outL == inR, outR == inL). A frame count <= 0 does nothing.
#pragma once

#include <cstdint>

namespace midside {

void processOverwriteFrames(const float* inL, const float* inR, float* outL, float* outR,
                            std::int32_t frames, float midGain, float sideGain);
void processAccumulateFrames(const float* inL, const float* inR, float* outL, float* outR,
                             std::int32_t frames, float midGain, float sideGain);

// The plain formula, one frame at a time.
void referenceOverwriteFrames(const float* inL, const float* inR, float* outL, float* outR,
                              std::int32_t frames, float midGain, float sideGain);
void referenceAccumulateFrames(const float* inL, const float* inR, float* outL, float* outR,
                               std::int32_t frames, float midGain, float sideGain);

// Name of the instruction set the process functions run on: "avx512", "avx", "sse2" or
// "scalar".
const char* kernelInstructionSet();

} // namespace midside
