#include "gui/Canvas.h"
#include "gui/OffscreenCanvas.h"
#include "platform/TestHooks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A colour bitmap in a memory device context, white to start with.
class MemorySurface {
public:
    MemorySurface(int width, int height) : width(width), height(height) {
        HDC screen = GetDC(nullptr);
        context = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        displaced = SelectObject(context, bitmap);
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        const RECT all{0, 0, width, height};
        FillRect(context, &all, white);
        DeleteObject(white);
    }
    ~MemorySurface() {
        SelectObject(context, displaced);
        DeleteDC(context);
        DeleteObject(bitmap);
    }
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;

    // One character a pixel: '.' white, '#' black, 'r' red, '?' anything else.
    std::vector<std::string> picture() const {
        const std::map<COLORREF, char> legend{
            {RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}, {RGB(255, 0, 0), 'r'}};
        std::vector<std::string> rows;
        for (int y = 0; y < height; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x) {
                const auto found = legend.find(GetPixel(context, x, y));
                row += found == legend.end() ? '?' : found->second;
            }
            rows.push_back(row);
        }
        return rows;
    }

    HDC context;
    HBITMAP bitmap;
    HGDIOBJ displaced;
    int width;
    int height;
};

TEST(Canvas, OutlineSurroundsTheFillExactly) {
    MemorySurface surface(13, 8);
    {
        Canvas canvas(nullptr, surface.context, nullptr);
        canvas.setPenColor(colorRed);
        canvas.outlineRect(Rect(0, 0, 10, 5));
        canvas.setBrushColor(colorBlack);
        canvas.paintRect(Rect(0, 0, 10, 5));
    }
    const std::vector<std::string> expected = {
        "rrrrrrrrrrr..", //
        "r#########r..", //
        "r#########r..", //
        "r#########r..", //
        "r#########r..", //
        "rrrrrrrrrrr..", //
        ".............", //
        ".............",
    };
    EXPECT_EQ(surface.picture(), expected);
}

TEST(Canvas, PaintRectOfOnePixelFillsNothing) {
    MemorySurface surface(6, 6);
    Canvas canvas(nullptr, surface.context, nullptr);
    canvas.paintRect(Rect(1, 1, 2, 5));
    canvas.paintRect(Rect(1, 1, 5, 2));
    canvas.paintRect(Rect(3, 3, 3, 3));
    EXPECT_EQ(surface.picture(), std::vector<std::string>(6, "......"));
}

TEST(Canvas, OnlyStyleOneDrawsDotted) {
    const struct {
        int style;
        const char* row;
    } cases[] = {{penSolid, "############...."},
                 {penDotted, "###...###...####"},
                 {2, "############...."},
                 {-1, "############...."}};
    for (const auto& c : cases) {
        MemorySurface surface(16, 1);
        Canvas canvas(nullptr, surface.context, nullptr);
        canvas.setPenColor(colorBlack);
        canvas.setPenStyle(c.style);
        canvas.moveTo(Point(0, 0));
        canvas.lineTo(Point(12, 0));
        if (c.style == penDotted) {
            canvas.setPenStyle(penSolid);
            canvas.moveTo(Point(12, 0));
            canvas.lineTo(Point(16, 0));
        }
        EXPECT_EQ(surface.picture()[0], c.row) << c.style;
    }
}

TEST(Canvas, WriteTextLeavesTheBackgroundTransparent) {
    MemorySurface surface(60, 16);
    Canvas canvas(nullptr, surface.context, nullptr);
    canvas.selectFont(fontSmall);
    canvas.setBrushColor(colorRed);
    canvas.setTextColor(colorBlack);
    canvas.writeText("88", Rect(0, 0, 60, 16), 1, alignLeft);
    EXPECT_EQ(GetBkMode(surface.context), TRANSPARENT);
    // The opaque text painted its background red.
    EXPECT_GT(surface.picture()[8].find('r'), 0u);
}

TEST(Canvas, UnknownAlignmentIsLeftWithItsOnePixelShift) {
    std::vector<std::string> left, unknown;
    for (int align : {alignLeft, 5}) {
        MemorySurface surface(40, 14);
        Canvas canvas(nullptr, surface.context, nullptr);
        canvas.selectFont(fontSmall);
        canvas.setTextColor(colorBlack);
        canvas.writeText("W", Rect(0, 0, 40, 14), 0, align);
        (align == alignLeft ? left : unknown) = surface.picture();
    }
    EXPECT_EQ(left, unknown);
    // Nothing is drawn in column 0: the text starts one pixel in.
    for (const std::string& row : left) {
        EXPECT_EQ(row[0], '.');
    }
}

TEST(Canvas, RestoresTheObjectsTheDeviceContextHad) {
    MemorySurface surface(4, 4);
    HGDIOBJ pen = GetCurrentObject(surface.context, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(surface.context, OBJ_BRUSH);
    HGDIOBJ font = GetCurrentObject(surface.context, OBJ_FONT);
    const auto before = platformtest::liveCounts();
    {
        Canvas canvas(nullptr, surface.context, nullptr);
        canvas.selectFont(fontHuge);
        canvas.setPenWidth(3);
        canvas.setBrushColor(colorRed);
        EXPECT_NE(GetCurrentObject(surface.context, OBJ_PEN), pen);
    }
    EXPECT_EQ(GetCurrentObject(surface.context, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(surface.context, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(surface.context, OBJ_FONT), font);
    EXPECT_EQ(platformtest::liveCounts().gdiObjects, before.gdiObjects);
}

TEST(Canvas, SelectFontBuildsTheTableRowOrTheGivenSize) {
    MemorySurface surface(4, 4);
    Canvas canvas(nullptr, surface.context, nullptr);
    const struct {
        FontId id;
        int size;
        LONG height;
        LONG weight;
    } cases[] = {{9, 0, -12, 700}, {fontMedium, 20, -20, 400}, {fontSmall, 0, -11, 400}};
    for (const auto& c : cases) {
        canvas.selectFont(c.id, c.size);
        LOGFONTA selected{};
        ASSERT_NE(
            GetObjectA(GetCurrentObject(surface.context, OBJ_FONT), sizeof selected, &selected), 0);
        EXPECT_EQ(selected.lfHeight, c.height) << c.id;
        EXPECT_EQ(selected.lfWeight, c.weight) << c.id;
        EXPECT_STREQ(selected.lfFaceName, "Arial") << c.id;
    }
}

TEST(Canvas, PollsButtonsAndModifiersAsOneSet) {
    Canvas canvas(nullptr, nullptr, nullptr);
    platformtest::InputSnapshot state;
    const struct {
        bool left, right, shift, control, alt;
        int expected;
    } cases[] = {{true, false, true, false, false, 9},
                 {true, false, false, false, true, 33},
                 {false, true, false, false, false, 4},
                 {true, false, false, true, false, 17},
                 {false, false, false, false, false, 0}};
    for (const auto& c : cases) {
        state.leftButton = c.left;
        state.rightButton = c.right;
        state.shift = c.shift;
        state.control = c.control;
        state.alt = c.alt;
        platformtest::setInput(state);
        EXPECT_EQ(canvas.pollButtons(), c.expected);
    }
    platformtest::setInput(platformtest::InputSnapshot{});
}

TEST(OffscreenCanvas, BlitCopiesOnlyTheDestinationsSize) {
    MemorySurface surface(8, 4);
    Canvas screen(nullptr, surface.context, nullptr);
    OffscreenCanvas offscreen(&screen, nullptr);
    EXPECT_EQ(offscreen.getWidth(), 20);
    EXPECT_EQ(offscreen.getHeight(), 20);
    offscreen.setPenColor(colorRed);
    offscreen.moveTo(Point(2, 1));
    offscreen.lineTo(Point(8, 1));
    offscreen.blitTo(&screen, Rect(1, 1, 4, 3), Point(2, 1));
    const std::vector<std::string> expected = {"........", ".rrr....", ".###....", "........"};
    EXPECT_EQ(surface.picture(), expected);
}

TEST(OffscreenCanvas, FreesItsContextAndBitmap) {
    MemorySurface surface(4, 4);
    Canvas screen(nullptr, surface.context, nullptr);
    const auto before = platformtest::liveCounts();
    {
        OffscreenCanvas offscreen(&screen, nullptr);
        EXPECT_EQ(platformtest::liveCounts().deviceContexts, before.deviceContexts + 1);
    }
    const auto after = platformtest::liveCounts();
    EXPECT_EQ(after.deviceContexts, before.deviceContexts);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
}

} // namespace
