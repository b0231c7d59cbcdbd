// Pixel rules of the drawing calls: which pixels each call sets, and that nothing else changes.
#include "LayerTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace layertest;

namespace {

const std::map<COLORREF, char> legend{{white, '.'}, {black, '#'}, {red, 'o'}, {blue, 'b'}};

struct DrawCase {
    const char* name;
    std::function<void(HDC)> draw;
    std::vector<std::string> expected;
};

void PrintTo(const DrawCase& c, std::ostream* out) {
    *out << c.name;
}

class DrawingRules : public ::testing::TestWithParam<DrawCase> {};

// Every case starts with a black one-pixel pen, a red brush and a blue opaque background.
TEST_P(DrawingRules, SetsExactlyThePixelsOfTheRule) {
    const DrawCase& c = GetParam();
    MemoryCanvas canvas(12, 7);
    HPEN pen = CreatePen(PS_SOLID, 1, black);
    HBRUSH brush = CreateSolidBrush(red);
    HGDIOBJ oldPen = SelectObject(canvas.dc, pen);
    HGDIOBJ oldBrush = SelectObject(canvas.dc, brush);
    SetBkColor(canvas.dc, blue);
    c.draw(canvas.dc);
    EXPECT_EQ(canvas.picture(legend), c.expected) << c.name;
    DeleteObject(SelectObject(canvas.dc, oldPen));
    DeleteObject(SelectObject(canvas.dc, oldBrush));
    // Cases that selected a stock object left the originals unselected but alive.
    DeleteObject(pen);
    DeleteObject(brush);
}

void selectPen(HDC dc, int style, int width) {
    DeleteObject(SelectObject(dc, CreatePen(style, width, black)));
}

INSTANTIATE_TEST_SUITE_P(
    Conformance, DrawingRules,
    ::testing::Values(
        DrawCase{"line leaves out its end point",
                 [](HDC dc) {
                     MoveToEx(dc, 1, 1, nullptr);
                     LineTo(dc, 5, 1);
                 },
                 {"............", ".####.......", "............", "............", "............",
                  "............", "............"}},
        DrawCase{"vertical line leaves out its end point",
                 [](HDC dc) {
                     MoveToEx(dc, 2, 0, nullptr);
                     LineTo(dc, 2, 4);
                 },
                 {"..#.........", "..#.........", "..#.........", "..#.........", "............",
                  "............", "............"}},
        DrawCase{"diagonal line",
                 [](HDC dc) {
                     MoveToEx(dc, 0, 0, nullptr);
                     LineTo(dc, 4, 4);
                 },
                 {"#...........", ".#..........", "..#.........", "...#........", "............",
                  "............", "............"}},
        DrawCase{"polyline leaves out only its last point",
                 [](HDC dc) {
                     const POINT points[] = {{1, 1}, {4, 1}, {4, 4}};
                     Polyline(dc, points, 3);
                 },
                 {"............", ".####.......", "....#.......", "....#.......", "............",
                  "............", "............"}},
        DrawCase{"FillRect covers left..right-1 and top..bottom-1",
                 [](HDC dc) {
                     const RECT r{1, 1, 4, 3};
                     HBRUSH b = CreateSolidBrush(red);
                     FillRect(dc, &r, b);
                     DeleteObject(b);
                 },
                 {"............", ".ooo........", ".ooo........", "............", "............",
                  "............", "............"}},
        DrawCase{"outline of (0,0,10,5) surrounds the fill (1,1,10,5) exactly",
                 [](HDC dc) {
                     MoveToEx(dc, 0, 0, nullptr);
                     LineTo(dc, 10, 0);
                     LineTo(dc, 10, 5);
                     LineTo(dc, 0, 5);
                     LineTo(dc, 0, 0);
                     const RECT inside{1, 1, 10, 5};
                     HBRUSH b = CreateSolidBrush(red);
                     FillRect(dc, &inside, b);
                     DeleteObject(b);
                 },
                 {"###########.", "#ooooooooo#.", "#ooooooooo#.", "#ooooooooo#.", "#ooooooooo#.",
                  "###########.", "............"}},
        DrawCase{"polygon with the null pen is filled only, right and bottom edges outside",
                 [](HDC dc) {
                     SelectObject(dc, GetStockObject(NULL_PEN));
                     const POINT points[] = {{2, 1}, {8, 1}, {8, 4}, {2, 4}};
                     Polygon(dc, points, 4);
                 },
                 {"............", "..oooooo....", "..oooooo....", "..oooooo....", "............",
                  "............", "............"}},
        DrawCase{"polygon is filled with the brush and outlined through every vertex",
                 [](HDC dc) {
                     const POINT points[] = {{2, 1}, {8, 1}, {8, 4}, {2, 4}};
                     Polygon(dc, points, 4);
                 },
                 {"............", "..#######...", "..#ooooo#...", "..#ooooo#...", "..#######...",
                  "............", "............"}},
        DrawCase{"dotted pen: three on, three off, gaps in the background colour when opaque",
                 [](HDC dc) {
                     selectPen(dc, PS_DOT, 1);
                     MoveToEx(dc, 0, 1, nullptr);
                     LineTo(dc, 12, 1);
                 },
                 {"............", "###bbb###bbb", "............", "............", "............",
                  "............", "............"}},
        DrawCase{"dotted pen leaves its gaps alone when transparent",
                 [](HDC dc) {
                     selectPen(dc, PS_DOT, 1);
                     SetBkMode(dc, TRANSPARENT);
                     MoveToEx(dc, 0, 1, nullptr);
                     LineTo(dc, 12, 1);
                 },
                 {"............", "###...###...", "............", "............", "............",
                  "............", "............"}},
        DrawCase{"null pen draws no line",
                 [](HDC dc) {
                     SelectObject(dc, GetStockObject(NULL_PEN));
                     MoveToEx(dc, 0, 1, nullptr);
                     LineTo(dc, 12, 1);
                 },
                 {"............", "............", "............", "............", "............",
                  "............", "............"}},
        DrawCase{"lines are clipped to the bitmap, even from far outside",
                 [](HDC dc) {
                     MoveToEx(dc, INT_MIN + 1, 2, nullptr);
                     LineTo(dc, INT_MAX, 2);
                     MoveToEx(dc, 3, -2000000000, nullptr);
                     LineTo(dc, 3, 2000000000);
                 },
                 {"...#........", "...#........", "############", "...#........", "...#........",
                  "...#........", "...#........"}},
        DrawCase{"FillRect with extreme coordinates fills the whole bitmap",
                 [](HDC dc) {
                     const RECT r{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
                     HBRUSH b = CreateSolidBrush(red);
                     FillRect(dc, &r, b);
                     DeleteObject(b);
                 },
                 {"oooooooooooo", "oooooooooooo", "oooooooooooo", "oooooooooooo", "oooooooooooo",
                  "oooooooooooo", "oooooooooooo"}},
        DrawCase{"reversed or empty FillRect fills nothing",
                 [](HDC dc) {
                     const RECT reversed{5, 5, 1, 1}, flat{1, 1, 5, 1};
                     HBRUSH b = CreateSolidBrush(red);
                     FillRect(dc, &reversed, b);
                     FillRect(dc, &flat, b);
                     DeleteObject(b);
                 },
                 {"............", "............", "............", "............", "............",
                  "............", "............"}}),
    [](const ::testing::TestParamInfo<DrawCase>& info) {
        return "case" + std::to_string(info.index);
    });

// ---- Ellipses, arcs and pies: bounding-box, symmetry and sector properties ----

struct Bounds {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
};

Bounds boundsOf(const MemoryCanvas& canvas, int width, int height, COLORREF color) {
    Bounds b;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (GetPixel(canvas.dc, x, y) == color) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

class Shapes : public ::testing::Test {
protected:
    Shapes() : canvas(20, 20) {
        pen = CreatePen(PS_SOLID, 1, black);
        brush = CreateSolidBrush(red);
        oldPen = SelectObject(canvas.dc, pen);
        oldBrush = SelectObject(canvas.dc, brush);
    }
    ~Shapes() override {
        SelectObject(canvas.dc, oldPen);
        SelectObject(canvas.dc, oldBrush);
        DeleteObject(pen);
        DeleteObject(brush);
    }
    MemoryCanvas canvas;
    HPEN pen;
    HBRUSH brush;
    HGDIOBJ oldPen, oldBrush;
};

TEST_F(Shapes, EllipseFillsItsBoxWithoutTheRightAndBottomEdgesAndIsSymmetric) {
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    Ellipse(canvas.dc, 2, 3, 15, 12);
    const Bounds b = boundsOf(canvas, 20, 20, red);
    EXPECT_EQ(b.left, 2);
    EXPECT_EQ(b.right, 14);
    EXPECT_EQ(b.top, 3);
    EXPECT_EQ(b.bottom, 11);
    for (int y = 0; y < 20; ++y)
        for (int x = 2; x <= 14; ++x) {
            EXPECT_EQ(GetPixel(canvas.dc, x, y), GetPixel(canvas.dc, 16 - x, y)) << x << "," << y;
            if (y >= 3 && y <= 11) {
                EXPECT_EQ(GetPixel(canvas.dc, x, y), GetPixel(canvas.dc, x, 14 - y))
                    << x << "," << y;
            }
        }
    EXPECT_EQ(GetPixel(canvas.dc, 2, 3), white) << "corners lie outside the ellipse";
    EXPECT_EQ(canvas.count(black), 0);
}

TEST_F(Shapes, EllipseIsOutlinedWithThePenAndFilledWithTheBrush) {
    Ellipse(canvas.dc, 2, 3, 15, 12);
    EXPECT_EQ(GetPixel(canvas.dc, 2, 7), black);
    EXPECT_EQ(GetPixel(canvas.dc, 14, 7), black);
    EXPECT_EQ(GetPixel(canvas.dc, 8, 3), black);
    EXPECT_EQ(GetPixel(canvas.dc, 8, 11), black);
    EXPECT_EQ(GetPixel(canvas.dc, 8, 7), red);
    const Bounds outline = boundsOf(canvas, 20, 20, black);
    EXPECT_EQ(outline.left, 2);
    EXPECT_EQ(outline.right, 14);
    const Bounds fill = boundsOf(canvas, 20, 20, red);
    EXPECT_GT(fill.left, 2);
    EXPECT_LT(fill.right, 14);
}

TEST_F(Shapes, ArcWithEqualStartAndEndDrawsTheWholeOutline) {
    MemoryCanvas reference(20, 20);
    SelectObject(reference.dc, GetStockObject(NULL_BRUSH));
    SelectObject(reference.dc, GetStockObject(BLACK_PEN));
    Ellipse(reference.dc, 0, 0, 11, 6);
    Arc(canvas.dc, 0, 0, 11, 6, 5, 0, 5, 0);
    EXPECT_EQ(canvas.picture(legend), reference.picture(legend));
    // A box with right + 1 and bottom + 1, as an outline of (0,0,10,5) uses, covers columns 0..10.
    const Bounds b = boundsOf(canvas, 20, 20, black);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.right, 10);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.bottom, 5);
    EXPECT_EQ(canvas.count(red), 0) << "an arc is never filled";
}

TEST_F(Shapes, ArcRunsCounterClockwiseFromStartToEnd) {
    // East radial to north radial: the upper right quarter only.
    Arc(canvas.dc, 0, 0, 19, 19, 19, 9, 9, 0);
    Bounds b = boundsOf(canvas, 20, 20, black);
    EXPECT_GE(b.left, 9);
    EXPECT_LE(b.bottom, 10);
    EXPECT_EQ(b.right, 18);
    EXPECT_EQ(b.top, 0);
    // North to east the other way round: three quarters, through the lower left.
    canvas.clear(white);
    Arc(canvas.dc, 0, 0, 19, 19, 9, 0, 19, 9);
    b = boundsOf(canvas, 20, 20, black);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.bottom, 18);
    EXPECT_EQ(GetPixel(canvas.dc, 16, 3), white) << "the upper right quarter stays empty";
}

TEST_F(Shapes, PieWithNullPenFillsOnlyItsSector) {
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    Pie(canvas.dc, 0, 0, 19, 19, 19, 9, 9, 0);
    const Bounds b = boundsOf(canvas, 20, 20, red);
    EXPECT_GE(b.left, 9);
    EXPECT_LE(b.bottom, 10);
    EXPECT_EQ(GetPixel(canvas.dc, 13, 5), red);
    EXPECT_EQ(GetPixel(canvas.dc, 5, 13), white);
    EXPECT_EQ(canvas.count(black), 0);
}

TEST_F(Shapes, PieWithPenOutlinesArcAndRadii) {
    Pie(canvas.dc, 0, 0, 19, 19, 19, 9, 9, 0);
    EXPECT_EQ(GetPixel(canvas.dc, 14, 9), black) << "east radius";
    EXPECT_EQ(GetPixel(canvas.dc, 9, 4), black) << "north radius";
    EXPECT_EQ(GetPixel(canvas.dc, 13, 5), red);
}

TEST_F(Shapes, PolygonUsesTheAlternateFillRule) {
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    const POINT star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    Polygon(canvas.dc, star, 5);
    EXPECT_EQ(GetPixel(canvas.dc, 10, 3), red) << "a point of the star";
    EXPECT_EQ(GetPixel(canvas.dc, 10, 11), white) << "the centre is enclosed twice";
}

TEST_F(Shapes, WidePenCoversItsWidthAcrossTheLine) {
    HPEN wide = CreatePen(PS_SOLID, 3, black);
    SelectObject(canvas.dc, wide);
    MoveToEx(canvas.dc, 4, 10, nullptr);
    LineTo(canvas.dc, 14, 10);
    SelectObject(canvas.dc, pen);
    DeleteObject(wide);
    for (int x = 4; x < 14; ++x)
        for (int y = 9; y <= 11; ++y)
            EXPECT_EQ(GetPixel(canvas.dc, x, y), black) << x << "," << y;
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(GetPixel(canvas.dc, x, 8), white);
        EXPECT_EQ(GetPixel(canvas.dc, x, 12), white);
    }
}

TEST_F(Shapes, ShapesFarOutsideAreClippedSafely) {
    Ellipse(canvas.dc, INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2);
    EXPECT_EQ(canvas.count(red), 400);
    Arc(canvas.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 5, 5);
    Pie(canvas.dc, -100000, -100000, 100000, 100000, INT_MAX, 0, 0, INT_MIN);
    const POINT far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}};
    EXPECT_TRUE(Polygon(canvas.dc, far, 3));
    EXPECT_TRUE(Polyline(canvas.dc, far, 3));
}

TEST(Pixels, SetPixelAndGetPixelStayInsideTheBitmap) {
    MemoryCanvas canvas(4, 3);
    EXPECT_EQ(SetPixel(canvas.dc, 3, 2, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(canvas.dc, 3, 2), RGB(10, 20, 30));
    EXPECT_EQ(SetPixel(canvas.dc, 4, 0, red), CLR_INVALID);
    EXPECT_EQ(SetPixel(canvas.dc, -1, 0, red), CLR_INVALID);
    EXPECT_EQ(GetPixel(canvas.dc, 0, 3), CLR_INVALID);
    EXPECT_EQ(GetPixel(canvas.dc, INT_MIN, INT_MAX), CLR_INVALID);
    EXPECT_EQ(canvas.count(red), 0);
}

TEST(Pixels, ColoursDrawnIntoAMonochromeBitmapBecomeBlackOrWhite) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(dc, mono);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(250, 250, 250)), white);
    EXPECT_EQ(SetPixel(dc, 1, 0, RGB(20, 20, 20)), black);
    SelectObject(dc, old);
    DeleteObject(mono);
    DeleteDC(dc);
}

} // namespace
