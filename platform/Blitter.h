// Bit-block transfers between surfaces, with GDI's colour/monochrome conversions.
#pragma once

#include "platform/Surface.h"

#include <cstdint>

namespace win32layer {

struct BlitColors {
    // A colour source pixel equal to this becomes 1 (white) in a monochrome destination.
    uint32_t sourceBackground = monoWhite;
    // A monochrome source's 0 and 1 bits become these in a colour destination.
    uint32_t destinationText = monoBlack;
    uint32_t destinationBackground = monoWhite;
};

enum class RasterOp {
    sourceCopy,
    notSourceCopy,
    sourceAnd,
    sourcePaint,
    sourceInvert,
    blackness,
    whiteness,
    unsupported
};

RasterOp rasterOpFromCode(uint32_t rop);
bool rasterOpNeedsSource(RasterOp op);

// Copies the width x height block at (sourceX, sourceY) of source to (x, y) of destination,
// limited to destinationClip and to the parts of the block that lie inside the source.
void blit(Surface& destination, const PixelRect& destinationClip, int64_t x, int64_t y,
          int64_t width, int64_t height, const Surface* source, int64_t sourceX, int64_t sourceY,
          RasterOp op, const BlitColors& colors);

} // namespace win32layer
