// Reading .bmp bytes that lie about themselves: sizes, offsets and palettes that point past the
// data must be refused without reading or addressing beyond it (these headers are what the
// bitmap fuzzer produces first).
#include "platform/BitmapResources.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put(Bytes& bytes, size_t offset, uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[offset + size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

// A bottom-up bitmap with a 40-byte header, the palette right after it and the given pixel rows.
Bytes makeBmp(int32_t width, int32_t height, uint32_t bitCount,
              const std::vector<uint32_t>& palette, const Bytes& pixels) {
    const size_t pixelOffset = 14 + 40 + palette.size() * 4;
    Bytes bytes(pixelOffset + pixels.size(), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, uint32_t(bytes.size()), 4);
    put(bytes, 10, uint32_t(pixelOffset), 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, uint32_t(width), 4);
    put(bytes, 22, uint32_t(height), 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, bitCount, 2);
    put(bytes, 46, uint32_t(palette.size()), 4);
    for (size_t i = 0; i < palette.size(); ++i)
        put(bytes, 54 + i * 4, palette[i], 4);
    std::copy(pixels.begin(), pixels.end(), bytes.begin() + long(pixelOffset));
    return bytes;
}

// One 8-bit pixel of index 1 through a two-entry palette: red, then green.
Bytes paletted() {
    return makeBmp(1, 1, 8, {0x00FF0000, 0x0000FF00}, {1, 0, 0, 0});
}

struct DamagedCase {
    std::string name;
    std::function<void(Bytes&)> damage;
};

class DamagedBitmaps : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedBitmaps, AreRefused) {
    Bytes bytes = paletted();
    GetParam().damage(bytes);
    win32layer::Surface out;
    // Copied into a buffer of exactly its size, so any read past it is caught by the sanitizers.
    const std::vector<unsigned char> exact(bytes.begin(), bytes.end());
    EXPECT_FALSE(win32layer::decodeBmp(exact.data(), exact.size(), out));
    EXPECT_EQ(out.width, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, DamagedBitmaps,
    testing::Values(
        DamagedCase{"PaletteRunningPastTheData", [](Bytes& b) { put(b, 46, 256, 4); }},
        DamagedCase{"PaletteOfMoreThan256Entries", [](Bytes& b) { put(b, 46, 257, 4); }},
        DamagedCase{"PixelOffsetPastTheData", [](Bytes& b) { put(b, 10, 0xFFFFFFF0u, 4); }},
        DamagedCase{"PixelsCutShort", [](Bytes& b) { b.resize(b.size() - 1); }},
        DamagedCase{"HeaderSizeLargerThanTheFile", [](Bytes& b) { put(b, 14, 0xFFFFFFFFu, 4); }},
        DamagedCase{"MostNegativeHeight", [](Bytes& b) { put(b, 22, uint32_t(INT32_MIN), 4); }},
        DamagedCase{"HugeWidth", [](Bytes& b) { put(b, 18, 0x7FFFFFFF, 4); }},
        DamagedCase{"ZeroWidth", [](Bytes& b) { put(b, 18, 0, 4); }},
        DamagedCase{"RunLengthCompression", [](Bytes& b) { put(b, 30, 1, 4); }},
        DamagedCase{"SixteenBitsPerPixel", [](Bytes& b) { put(b, 28, 16, 2); }}),
    [](const testing::TestParamInfo<DamagedCase>& info) { return info.param.name; });

TEST(BitmapDecode, PaletteEndingExactlyAtThePixelsIsRead) {
    const Bytes bytes = paletted();
    win32layer::Surface out;
    ASSERT_TRUE(win32layer::decodeBmp(bytes.data(), bytes.size(), out));
    ASSERT_EQ(out.width, 1);
    ASSERT_EQ(out.height, 1);
    EXPECT_EQ(out.at(0, 0), 0x00FF00u);
}

TEST(BitmapDecode, IndexBeyondTheGivenPaletteReadsBlack) {
    const Bytes bytes = makeBmp(1, 1, 8, {0x00FFFFFF}, {7, 0, 0, 0});
    win32layer::Surface out;
    ASSERT_TRUE(win32layer::decodeBmp(bytes.data(), bytes.size(), out));
    EXPECT_EQ(out.at(0, 0), 0u);
}

} // namespace
