#include "platform/Blitter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace win32layer {
namespace {

// Copies fewer than 32 pixels in fixed 16-byte steps, which the compiler turns into plain moves;
// a library call per row would cost more than the pixels.
void copyShortRow(uint32_t* destination, const uint32_t* source, size_t count) {
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        std::memcpy(destination + i, source + i, 4 * sizeof(uint32_t));
    }
    for (; i < count; ++i) {
        destination[i] = source[i];
    }
}

constexpr uint32_t rgbMask = 0xFFFFFF;

template <typename Convert, typename Combine>
void transferRows(Surface& destination, const PixelRect& area, const uint32_t* source,
                  size_t sourceStride, Convert convert, Combine combine) {
    const auto width = static_cast<size_t>(area.right - area.left);
    for (int64_t y = area.top; y < area.bottom; ++y) {
        uint32_t* out = destination.row(y) + area.left;
        const uint32_t* in = source + static_cast<size_t>(y - area.top) * sourceStride;
        for (size_t i = 0; i < width; ++i)
            out[i] = combine(out[i], convert(in[i]));
    }
}

template <typename Convert>
void transferWithOp(Surface& destination, const PixelRect& area, const uint32_t* source,
                    size_t stride, RasterOp op, Convert convert) {
    switch (op) {
    case RasterOp::sourceCopy:
        transferRows(destination, area, source, stride, convert,
                     [](uint32_t, uint32_t s) { return s; });
        break;
    case RasterOp::notSourceCopy:
        transferRows(destination, area, source, stride, convert,
                     [](uint32_t, uint32_t s) { return ~s & rgbMask; });
        break;
    case RasterOp::sourceAnd:
        transferRows(destination, area, source, stride, convert,
                     [](uint32_t d, uint32_t s) { return d & s; });
        break;
    case RasterOp::sourcePaint:
        transferRows(destination, area, source, stride, convert,
                     [](uint32_t d, uint32_t s) { return d | s; });
        break;
    case RasterOp::sourceInvert:
        transferRows(destination, area, source, stride, convert,
                     [](uint32_t d, uint32_t s) { return d ^ s; });
        break;
    default:
        break;
    }
}

void fillArea(Surface& destination, const PixelRect& area, uint32_t pixel) {
    for (int64_t y = area.top; y < area.bottom; ++y)
        std::fill(destination.row(y) + area.left, destination.row(y) + area.right, pixel);
}

} // namespace

RasterOp rasterOpFromCode(uint32_t rop) {
    switch (rop) {
    case 0x00CC0020:
        return RasterOp::sourceCopy;
    case 0x00330008:
        return RasterOp::notSourceCopy;
    case 0x008800C6:
        return RasterOp::sourceAnd;
    case 0x00EE0086:
        return RasterOp::sourcePaint;
    case 0x00660046:
        return RasterOp::sourceInvert;
    case 0x00000042:
        return RasterOp::blackness;
    case 0x00FF0062:
        return RasterOp::whiteness;
    default:
        return RasterOp::unsupported;
    }
}

bool rasterOpNeedsSource(RasterOp op) {
    return op != RasterOp::blackness && op != RasterOp::whiteness;
}

void blit(Surface& destination, const PixelRect& destinationClip, int64_t x, int64_t y,
          int64_t width, int64_t height, const Surface* source, int64_t sourceX, int64_t sourceY,
          RasterOp op, const BlitColors& colors) {
    if (width <= 0 || height <= 0 || op == RasterOp::unsupported)
        return;
    PixelRect area = PixelRect{x, y, x + width, y + height}.intersect(destinationClip);
    area = area.intersect(destination.bounds());
    if (!rasterOpNeedsSource(op)) {
        if (!area.empty())
            fillArea(destination, area, op == RasterOp::blackness ? monoBlack : monoWhite);
        return;
    }
    if (!source)
        return;
    const PixelRect sourceArea = PixelRect{sourceX, sourceY, sourceX + width, sourceY + height}
                                     .intersect(source->bounds())
                                     .offset(x - sourceX, y - sourceY);
    area = area.intersect(sourceArea);
    if (area.empty())
        return;

    const int64_t fromX = area.left - x + sourceX, fromY = area.top - y + sourceY;
    const auto areaWidth = static_cast<size_t>(area.right - area.left);
    const uint32_t* rows = source->row(fromY) + fromX;
    size_t stride = static_cast<size_t>(source->width);
    // A copy within one surface reads from a snapshot, so overlapping blocks come out whole.
    std::vector<uint32_t> snapshot;
    if (source == &destination) {
        snapshot.resize(areaWidth * static_cast<size_t>(area.bottom - area.top));
        for (int64_t row = 0; row < area.bottom - area.top; ++row)
            std::memcpy(snapshot.data() + static_cast<size_t>(row) * areaWidth,
                        source->row(fromY + row) + fromX, areaWidth * sizeof(uint32_t));
        rows = snapshot.data();
        stride = areaWidth;
    }

    if (source->monochrome == destination.monochrome) {
        if (op == RasterOp::sourceCopy) {
            // Whole rows of equally wide surfaces lie one after the other: one copy moves them.
            if (areaWidth == size_t(destination.width) && stride == areaWidth) {
                std::memcpy(destination.row(area.top) + area.left, rows,
                            areaWidth * size_t(area.bottom - area.top) * sizeof(uint32_t));
                return;
            }
            // Narrow blocks (slider strips, small images) copy their short rows in place rather
            // than through a library call per row.
            if (areaWidth < 32) {
                for (int64_t row = area.top; row < area.bottom; ++row)
                    copyShortRow(destination.row(row) + area.left,
                                 rows + static_cast<size_t>(row - area.top) * stride, areaWidth);
                return;
            }
            for (int64_t row = area.top; row < area.bottom; ++row)
                std::memcpy(destination.row(row) + area.left,
                            rows + static_cast<size_t>(row - area.top) * stride,
                            areaWidth * sizeof(uint32_t));
            return;
        }
        transferWithOp(destination, area, rows, stride, op, [](uint32_t s) { return s; });
    } else if (destination.monochrome) {
        const uint32_t key = colors.sourceBackground;
        transferWithOp(destination, area, rows, stride, op,
                       [key](uint32_t s) { return s == key ? monoWhite : monoBlack; });
    } else {
        const uint32_t zero = colors.destinationText, one = colors.destinationBackground;
        transferWithOp(destination, area, rows, stride, op,
                       [zero, one](uint32_t s) { return s == monoBlack ? zero : one; });
    }
}

} // namespace win32layer
