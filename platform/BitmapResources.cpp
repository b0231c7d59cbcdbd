#include "platform/BitmapResources.h"

#include "platform/Layer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace win32layer {
namespace {

uint32_t readLE(const unsigned char* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

constexpr size_t fileHeaderSize = 14;
constexpr int64_t maxBmpPixels = int64_t{1} << 26;

} // namespace

void registerEmbeddedBitmaps(HINSTANCE module, const EmbeddedBitmap* table, size_t count) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    layer.moduleBitmaps.push_back({module, table, count});
}

void unregisterEmbeddedBitmaps(const EmbeddedBitmap* table) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    auto& all = layer.moduleBitmaps;
    all.erase(std::remove_if(all.begin(), all.end(),
                             [table](const ModuleBitmaps& entry) { return entry.table == table; }),
              all.end());
}

bool decodeBmp(const unsigned char* data, size_t size, Surface& out) {
    if (!data || size < fileHeaderSize + 40 || data[0] != 'B' || data[1] != 'M')
        return false;
    const uint32_t pixelOffset = readLE(data + 10, 4);
    const unsigned char* info = data + fileHeaderSize;
    const uint32_t infoSize = readLE(info, 4);
    if (infoSize < 40 || fileHeaderSize + infoSize > size)
        return false;
    const auto width = static_cast<int32_t>(readLE(info + 4, 4));
    const auto rawHeight = static_cast<int32_t>(readLE(info + 8, 4));
    const uint32_t bitCount = readLE(info + 14, 2);
    const uint32_t compression = readLE(info + 16, 4);
    uint32_t paletteSize = readLE(info + 32, 4);
    const bool topDown = rawHeight < 0;
    const int64_t height = std::llabs(int64_t(rawHeight));
    if (width <= 0 || height <= 0 || int64_t(width) * height > maxBmpPixels)
        return false;
    const bool bitfields = compression == 3 && (bitCount == 32 || bitCount == 16);
    if (compression != 0 && !bitfields)
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return false;
    if (bitCount <= 8 && paletteSize == 0)
        paletteSize = 1u << bitCount;
    // Offsets, not pointers: a palette that claims to run past the data must be refused without
    // forming an address beyond it.
    const size_t paletteOffset = fileHeaderSize + infoSize + (bitfields && infoSize == 40 ? 12 : 0);
    if (bitCount <= 8 && (paletteSize > 256 || paletteOffset + size_t(paletteSize) * 4 > size))
        return false;
    const unsigned char* palette = data + std::min(paletteOffset, size);
    const size_t stride = ((size_t(width) * bitCount + 31) / 32) * 4;
    if (pixelOffset > size || stride * size_t(height) > size - pixelOffset)
        return false;

    Surface image(width, int(height), false, 0);
    for (int64_t row = 0; row < height; ++row) {
        const unsigned char* in = data + pixelOffset + size_t(row) * stride;
        uint32_t* pixels = image.row(topDown ? row : height - 1 - row);
        for (int32_t x = 0; x < width; ++x) {
            if (bitCount >= 24) {
                const unsigned char* p = in + size_t(x) * (bitCount / 8);
                pixels[x] = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
                continue;
            }
            const size_t bit = size_t(x) * bitCount;
            const uint32_t index =
                (in[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
            if (index >= paletteSize) {
                pixels[x] = 0;
                continue;
            }
            const unsigned char* entry = palette + index * 4;
            pixels[x] = (uint32_t(entry[2]) << 16) | (uint32_t(entry[1]) << 8) | entry[0];
        }
    }
    out = std::move(image);
    return true;
}

} // namespace win32layer
