// Text through outline fonts: sizes, alignment, clipping and background painting.
#include "LayerTestSupport.h"
#include "platform/TextRenderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace layertest;

namespace {

HFONT makeFont(LONG height, LONG weight = FW_NORMAL, const char* face = "Arial") {
    LOGFONTA description{};
    description.lfHeight = height;
    description.lfWeight = weight;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    std::strncpy(description.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&description);
}

SIZE extentOf(HDC dc, HFONT font, const char* text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &size));
    SelectObject(dc, old);
    return size;
}

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool any() const { return right >= 0; }
};

Ink inkOf(const MemoryCanvas& canvas, int width, int height, COLORREF background) {
    Ink ink;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (GetPixel(canvas.dc, x, y) != background) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

TEST(TextMetrics, NegativeHeightIsCharacterHeightAndPositiveIsCellHeight) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT character = makeFont(-20);
    HFONT cell = makeFont(20);
    const SIZE byCharacter = extentOf(dc, character, "Hg");
    const SIZE byCell = extentOf(dc, cell, "Hg");
    EXPECT_EQ(byCell.cy, 20);
    EXPECT_GT(byCharacter.cy, 20) << "the cell adds internal leading to the character height";
    EXPECT_LT(byCharacter.cy, 26);
    EXPECT_GT(byCharacter.cx, byCell.cx);
    DeleteObject(character);
    DeleteObject(cell);
    DeleteDC(dc);
}

// Cell heights of character heights as the system reports them for Arial: the scaled ascent and
// descent are each rounded to the nearest pixel. Vertically centred text depends on them.
TEST(TextMetrics, CharacterHeightsGiveTheSystemsCellHeights) {
    HDC dc = CreateCompatibleDC(nullptr);
    const struct {
        LONG height;
        LONG cell;
    } cases[] = {{-11, 12}, {-12, 14}, {-18, 20}};
    for (const auto& c : cases) {
        HFONT font = makeFont(c.height);
        EXPECT_EQ(extentOf(dc, font, "Hg").cy, c.cell) << "height " << c.height;
        DeleteObject(font);
    }
    DeleteDC(dc);
}

// Fonts made and deleted at ever new sizes leave only a few faces open, and a face's glyph cache
// stays within its budget however large its glyphs.
TEST(TextCaches, StayBoundedAcrossSizes) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (LONG height = -40; height > -80; --height) {
        HFONT font = makeFont(height);
        EXPECT_GT(extentOf(dc, font, "Sized text").cx, 0);
        DeleteObject(font);
    }
    EXPECT_LE(platformtest::liveCounts().fontFaces, 16u) << "only recently used faces stay open";
    DeleteDC(dc);

    win32layer::FontResolver resolver;
    LOGFONTA huge{};
    huge.lfHeight = -2048;
    std::strcpy(huge.lfFaceName, "Arial");
    const std::shared_ptr<win32layer::FontFace> face = resolver.resolve(huge);
    ASSERT_NE(face, nullptr);
    std::vector<int> advances;
    for (int c = 32; c < 256; ++c)
        advances.push_back(face->glyph(static_cast<unsigned char>(c)).advance);
    EXPECT_LE(face->cachedBytes(), win32layer::FontFace::glyphCacheBudget);
    for (int c = 32; c < 256; ++c)
        EXPECT_EQ(face->glyph(static_cast<unsigned char>(c)).advance, advances[size_t(c - 32)])
            << "glyphs beyond the budget render the same again";
}

TEST(TextMetrics, WidthsFollowTheTextTheWeightAndTheFace) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT regular = makeFont(-50);
    HFONT bold = makeFont(-50, FW_BOLD);
    EXPECT_GT(extentOf(dc, regular, "WWWW").cx, extentOf(dc, regular, "iiii").cx);
    EXPECT_GT(extentOf(dc, bold, "Mid Side").cx, extentOf(dc, regular, "Mid Side").cx);
    EXPECT_EQ(extentOf(dc, regular, "").cx, 0);
    // Arial stands for a face with Arial's metrics: "0" is 0.556 em wide there.
    HFONT large = makeFont(-100);
    EXPECT_NEAR(extentOf(dc, large, "0").cx, 56, 1);
    HFONT small = makeFont(-9, FW_NORMAL, "Small Fonts");
    HFONT symbol = makeFont(-13, FW_NORMAL, "Symbol");
    EXPECT_GT(extentOf(dc, small, "abc").cx, 0);
    EXPECT_GT(extentOf(dc, symbol, "abc").cx, 0);
    SIZE size{};
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", -1, &size));
    EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "x", 1, &size));
    for (HFONT font : {regular, bold, large, small, symbol})
        DeleteObject(font);
    DeleteDC(dc);
}

std::vector<std::string> rendered(const char* face, const char* text) {
    MemoryCanvas canvas(40, 40, black);
    HFONT font = makeFont(-30, FW_NORMAL, face);
    HGDIOBJ old = SelectObject(canvas.dc, font);
    SetTextColor(canvas.dc, white);
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT rect{0, 0, 40, 40};
    DrawTextA(canvas.dc, text, -1, &rect, DT_LEFT | DT_TOP | DT_SINGLELINE);
    SelectObject(canvas.dc, old);
    DeleteObject(font);
    std::vector<std::string> rows;
    for (int y = 0; y < 40; ++y) {
        std::string row;
        for (int x = 0; x < 40; ++x)
            row += char('0' + (GetPixel(canvas.dc, x, y) & 0xFF) / 32);
        rows.push_back(row);
    }
    return rows;
}

// The Symbol face shows Greek letters where the text has Latin ones; other characters stay.
TEST(TextFaces, SymbolLettersAreGreekAndItsDigitsAreDigits) {
    EXPECT_NE(rendered("Symbol", "a"), rendered("DejaVu Sans", "a"));
    EXPECT_EQ(rendered("Symbol", "1"), rendered("DejaVu Sans", "1"));
}

class DrawText : public ::testing::Test {
protected:
    DrawText() : canvas(80, 30, black) {
        font = makeFont(-12);
        old = SelectObject(canvas.dc, font);
        SetTextColor(canvas.dc, white);
        SetBkMode(canvas.dc, TRANSPARENT);
    }
    ~DrawText() override {
        SelectObject(canvas.dc, old);
        DeleteObject(font);
    }
    Ink draw(const char* text, RECT rect, UINT format) {
        canvas.clear(black);
        DrawTextA(canvas.dc, text, -1, &rect, format);
        return inkOf(canvas, 80, 30, black);
    }
    MemoryCanvas canvas;
    HFONT font;
    HGDIOBJ old;
};

TEST_F(DrawText, AlignsLeftCentreAndRightWithinTheRectangle) {
    const RECT rect{10, 5, 70, 25};
    const Ink left = draw("-6.0dB", rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    const Ink centre = draw("-6.0dB", rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const Ink right = draw("-6.0dB", rect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    ASSERT_TRUE(left.any() && centre.any() && right.any());
    EXPECT_LE(left.left, 12);
    EXPECT_GE(right.right, 66);
    EXPECT_LE(right.right, 69);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 39.5, 2.0);
    EXPECT_NEAR((centre.top + centre.bottom) / 2.0, 14.5, 2.5) << "vertically centred";
    EXPECT_EQ(left.right - left.left, right.right - right.left);
}

TEST_F(DrawText, ClipsToTheRectangleUnlessAskedNotTo) {
    const RECT narrow{10, 5, 20, 25};
    const Ink clipped = draw("Wide text here", narrow, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_GE(clipped.left, 10);
    EXPECT_LE(clipped.right, 19);
    const Ink unclipped =
        draw("Wide text here", narrow, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(unclipped.right, 30);
}

TEST_F(DrawText, PaintsTheBackgroundOnlyInOpaqueMode) {
    SetBkColor(canvas.dc, red);
    RECT rect{0, 0, 80, 30};
    canvas.clear(black);
    DrawTextA(canvas.dc, "Mid", -1, &rect, DT_LEFT | DT_SINGLELINE);
    EXPECT_EQ(canvas.count(red), 0);
    SetBkMode(canvas.dc, OPAQUE);
    DrawTextA(canvas.dc, "Mid", -1, &rect, DT_LEFT | DT_SINGLELINE);
    EXPECT_GT(canvas.count(red), 0);
    EXPECT_EQ(GetPixel(canvas.dc, 79, 29), black) << "only behind the text";
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), red);
}

TEST_F(DrawText, CountLimitsTheTextAndBadArgumentsDrawNothing) {
    RECT rect{0, 0, 80, 30};
    canvas.clear(black);
    EXPECT_GT(DrawTextA(canvas.dc, "Mid", 0, &rect, DT_LEFT | DT_SINGLELINE), 0);
    EXPECT_EQ(canvas.count(black), 80 * 30);
    EXPECT_EQ(DrawTextA(canvas.dc, nullptr, 3, &rect, DT_LEFT), 0);
    EXPECT_EQ(DrawTextA(canvas.dc, "Mid", 3, nullptr, DT_LEFT), 0);
    EXPECT_EQ(DrawTextA(nullptr, "Mid", 3, &rect, DT_LEFT), 0);
    RECT calc{0, 0, 0, 0};
    EXPECT_GT(DrawTextA(canvas.dc, "Mid", -1, &calc, DT_CALCRECT | DT_SINGLELINE), 0);
    EXPECT_GT(calc.right, 10);
    EXPECT_EQ(canvas.count(black), 80 * 30) << "measuring draws nothing";
}

} // namespace
