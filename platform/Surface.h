// Pixel storage shared by bitmaps and windows, and the integer rectangle the layer computes with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace win32layer {

// Half-open rectangle: columns left..right-1, rows top..bottom-1.
struct PixelRect {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int64_t x, int64_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    PixelRect intersect(const PixelRect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    PixelRect unite(const PixelRect& other) const {
        if (empty())
            return other;
        if (other.empty())
            return *this;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }
    PixelRect offset(int64_t dx, int64_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
};

// Pixels are 0x00RRGGBB. A monochrome surface holds only black (0) and white (0xFFFFFF), so the
// bitwise raster operations work on both kinds alike.
constexpr uint32_t monoBlack = 0x000000;
constexpr uint32_t monoWhite = 0xFFFFFF;

struct Surface {
    int width = 0;
    int height = 0;
    bool monochrome = false;
    std::vector<uint32_t> pixels;

    Surface() = default;
    Surface(int w, int h, bool mono, uint32_t fill)
        : width(w), height(h), monochrome(mono),
          pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

    PixelRect bounds() const { return {0, 0, width, height}; }
    uint32_t* row(int64_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* row(int64_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
    uint32_t& at(int64_t x, int64_t y) { return row(y)[x]; }
    uint32_t at(int64_t x, int64_t y) const { return row(y)[x]; }

    // Keeps the overlapping part of the old content, as a resized window does.
    void resize(int w, int h, uint32_t fill) {
        Surface next(w, h, monochrome, fill);
        const int rows = std::min(h, height);
        const int cols = std::min(w, width);
        for (int y = 0; y < rows; ++y)
            std::copy_n(row(y), cols, next.row(y));
        *this = std::move(next);
    }
};

// COLORREF is 0x00BBGGRR; surfaces store 0x00RRGGBB.
inline uint32_t pixelFromColorRef(uint32_t colorRef) {
    return ((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}
inline uint32_t colorRefFromPixel(uint32_t pixel) {
    return pixelFromColorRef(pixel);
}

// A colour drawn into a monochrome surface becomes black or white by its brightness.
inline uint32_t monoFromPixel(uint32_t pixel) {
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return (r * 30 + g * 59 + b * 11) >= 128 * 100 ? monoWhite : monoBlack;
}

inline uint32_t pixelForSurface(const Surface& surface, uint32_t colorRef) {
    const uint32_t pixel = pixelFromColorRef(colorRef & 0xFFFFFF);
    return surface.monochrome ? monoFromPixel(pixel) : pixel;
}

} // namespace win32layer
