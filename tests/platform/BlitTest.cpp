// Bit-block transfers: raster operations, colour/monochrome conversions, clipping, colour keys.
#include "LayerTestSupport.h"

#include "platform/ModuleHandle.h"

#include <gtest/gtest.h>

using namespace layertest;

namespace {

struct RopCase {
    DWORD rop;
    COLORREF source;
    COLORREF destination;
    COLORREF expected;
};

class RasterOps : public ::testing::TestWithParam<RopCase> {};

TEST_P(RasterOps, CombineSourceAndDestinationBitwise) {
    const RopCase& c = GetParam();
    MemoryCanvas source(3, 2, c.source);
    MemoryCanvas destination(3, 2, c.destination);
    ASSERT_TRUE(BitBlt(destination.dc, 0, 0, 3, 2, source.dc, 0, 0, c.rop));
    EXPECT_EQ(destination.count(c.expected), 6);
}

INSTANTIATE_TEST_SUITE_P(
    Colour, RasterOps,
    ::testing::Values(
        RopCase{SRCCOPY, RGB(0x0F, 0xF0, 0x33), RGB(0x55, 0x55, 0xAA), RGB(0x0F, 0xF0, 0x33)},
        RopCase{NOTSRCCOPY, RGB(0x0F, 0xF0, 0x33), RGB(0x55, 0x55, 0xAA), RGB(0xF0, 0x0F, 0xCC)},
        RopCase{SRCAND, RGB(0x0F, 0xF0, 0x33), RGB(0x55, 0x55, 0xAA), RGB(0x05, 0x50, 0x22)},
        RopCase{SRCPAINT, RGB(0x0F, 0xF0, 0x33), RGB(0x55, 0x55, 0xAA), RGB(0x5F, 0xF5, 0xBB)}));

class MonochromeCanvas {
public:
    MonochromeCanvas(int width, int height) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(width, height, 1, 1, nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~MonochromeCanvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

TEST(Conversions, ColourToMonochromeIsWhiteExactlyWhereTheSourceHasItsBackgroundColour) {
    MemoryCanvas source(4, 1);
    SetPixel(source.dc, 0, 0, red);
    SetPixel(source.dc, 1, 0, green);
    SetPixel(source.dc, 2, 0, RGB(0, 254, 0));
    SetPixel(source.dc, 3, 0, green);
    SetBkColor(source.dc, green);
    MonochromeCanvas mask(4, 1);
    BitBlt(mask.dc, 0, 0, 4, 1, source.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mask.dc, 0, 0), black);
    EXPECT_EQ(GetPixel(mask.dc, 1, 0), white);
    EXPECT_EQ(GetPixel(mask.dc, 2, 0), black) << "a near match is not the background colour";
    EXPECT_EQ(GetPixel(mask.dc, 3, 0), white);
}

TEST(Conversions, MonochromeToColourUsesTheDestinationTextAndBackgroundColours) {
    const unsigned char bits[] = {0xA0, 0x00}; // 1 0 1 0, rows padded to 16 bits
    HBITMAP pattern = CreateBitmap(4, 1, 1, 1, bits);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, pattern);
    MemoryCanvas destination(4, 1);
    SetTextColor(destination.dc, blue);
    SetBkColor(destination.dc, red);
    BitBlt(destination.dc, 0, 0, 4, 1, source, 0, 0, SRCCOPY);
    EXPECT_EQ(destination.picture({{red, 'r'}, {blue, 'b'}}), std::vector<std::string>{"rbrb"});

    // With the defaults of a fresh context (black text, white background) SRCAND keeps the
    // destination under 1 bits and clears it under 0 bits.
    MemoryCanvas fresh(4, 1, RGB(10, 20, 30));
    BitBlt(fresh.dc, 0, 0, 4, 1, source, 0, 0, SRCAND);
    EXPECT_EQ(fresh.picture({{RGB(10, 20, 30), 'k'}, {black, '0'}}),
              std::vector<std::string>{"k0k0"});
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(pattern);
}

TEST(Conversions, NewMemoryContextHoldsAOneByOneMonochromeBitmap) {
    HDC memory = CreateCompatibleDC(nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(GetCurrentObject(memory, OBJ_BITMAP), sizeof info, &info),
              int(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmPlanes, 1);

    HBITMAP fromMemory = CreateCompatibleBitmap(memory, 8, 8);
    EXPECT_TRUE(platformtest::isMonochrome(fromMemory));
    HDC screen = GetDC(nullptr);
    HBITMAP fromScreen = CreateCompatibleBitmap(screen, 8, 8);
    EXPECT_FALSE(platformtest::isMonochrome(fromScreen));
    HGDIOBJ old = SelectObject(memory, fromScreen);
    HBITMAP fromColourMemory = CreateCompatibleBitmap(memory, 8, 8);
    EXPECT_FALSE(platformtest::isMonochrome(fromColourMemory));
    ASSERT_EQ(GetObjectA(fromColourMemory, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 32);

    SelectObject(memory, old);
    DeleteObject(fromMemory);
    DeleteObject(fromScreen);
    DeleteObject(fromColourMemory);
    ReleaseDC(nullptr, screen);
    DeleteDC(memory);
}

TEST(Clipping, TransfersCopyOnlyWhatLiesInsideBothBitmaps) {
    MemoryCanvas source(3, 3, red);
    MemoryCanvas destination(5, 5);
    BitBlt(destination.dc, -2, -2, 3, 3, source.dc, 0, 0, SRCCOPY);
    BitBlt(destination.dc, 4, 4, 3, 3, source.dc, 0, 0, SRCCOPY);
    // The source block starting at (2, 1) has one column and two rows inside the source.
    BitBlt(destination.dc, 2, 2, 3, 3, source.dc, 2, 1, SRCCOPY);
    EXPECT_EQ(destination.picture({{white, '.'}, {red, 'o'}}),
              (std::vector<std::string>{"o....", ".....", "..o..", "..o..", "....o"}));
    EXPECT_TRUE(BitBlt(destination.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, source.dc, INT_MAX,
                       INT_MAX, SRCCOPY));
    EXPECT_TRUE(BitBlt(destination.dc, 0, 0, -3, -3, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(destination.count(red), 4);
}

TEST(Clipping, OverlappingCopyWithinOneBitmapMovesTheBlockWhole) {
    MemoryCanvas canvas(6, 1);
    for (int x = 0; x < 4; ++x)
        SetPixel(canvas.dc, x, 0, RGB(x + 1, 0, 0));
    BitBlt(canvas.dc, 2, 0, 4, 1, canvas.dc, 0, 0, SRCCOPY);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(GetPixel(canvas.dc, x + 2, 0), RGB(x + 1, 0, 0));
}

TEST(Clipping, UnsupportedOperationsAndMissingSourcesFail) {
    MemoryCanvas canvas(2, 2);
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 2, 2, canvas.dc, 0, 0, 0x00AA0029));
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, canvas.dc, 0, 0, SRCCOPY));
}

// The colour-keyed handle draw of the toolkit, step by step, over an 8-bit palettized image.
TEST(ColorKey, KeyColouredPixelsLetTheBackgroundThroughAndTheImageSurvives) {
    HBITMAP image = LoadBitmapA(win32layer::currentModuleHandle(), MAKEINTRESOURCE(3));
    ASSERT_NE(image, nullptr);
    const platformtest::Image before = platformtest::captureBitmap(image);
    MemoryCanvas canvas(7, 5, blue);
    HBITMAP mask = nullptr;
    paintKeyed(canvas.dc, image, mask, 1, 1);

    const platformtest::Image maskImage = platformtest::captureBitmap(mask);
    EXPECT_TRUE(platformtest::isMonochrome(mask));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint32_t pixel = before.pixel(x, y);
            const bool key = pixel == 0xFFFFFF;
            EXPECT_EQ(maskImage.pixel(x, y), key ? 0xFFFFFFu : 0u) << x << "," << y;
            const COLORREF shown = GetPixel(canvas.dc, x + 1, y + 1);
            const COLORREF drawn = RGB(pixel >> 16, (pixel >> 8) & 0xFF, pixel & 0xFF);
            EXPECT_EQ(shown, key ? blue : drawn) << x << "," << y;
        }
    EXPECT_EQ(GetPixel(canvas.dc, 3 + 1, 0 + 1), RGB(254, 255, 255)) << "near-white is drawn";
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), blue) << "outside the image nothing changes";
    EXPECT_EQ(platformtest::captureBitmap(image).rgb, before.rgb) << "the image is restored";

    // The mask is reused, and the image can be selected again: deleting its context freed it.
    paintKeyed(canvas.dc, image, mask, 1, 1);
    EXPECT_EQ(GetPixel(canvas.dc, 1, 1), blue);
    EXPECT_EQ(GetPixel(canvas.dc, 2, 1), RGB(200, 10, 10));
    DeleteObject(mask);
    DeleteObject(image);
}

} // namespace
