#include "gui/ResourceBitmap.h"
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "gui/OffscreenCanvas.h"
#include "platform/ModuleHandle.h"
#include "platform/TestHooks.h"

#include <gtest/gtest.h>

namespace {

// The 4 x 2 fixture: top row white, (254, 255, 255), red, black; bottom row blue.
constexpr int keyedId = 300;
constexpr int missingId = 301;

class ResourceBitmapTest : public testing::Test {
protected:
    void SetUp() override {
        moduleHandle = win32layer::currentModuleHandle();
        HDC screen = GetDC(nullptr);
        context = CreateCompatibleDC(screen);
        target = CreateCompatibleBitmap(screen, 6, 4);
        ReleaseDC(nullptr, screen);
        displaced = SelectObject(context, target);
        canvas = new Canvas(nullptr, context, nullptr);
        canvas->setBrushColor(colorGreen);
        canvas->setPenColor(colorGreen);
        canvas->paintRect(Rect(-1, -1, 6, 4));
    }
    void TearDown() override {
        delete canvas;
        SelectObject(context, displaced);
        DeleteDC(context);
        DeleteObject(target);
    }
    COLORREF pixel(int x, int y) const { return GetPixel(context, x, y); }

    HDC context = nullptr;
    HBITMAP target = nullptr;
    HGDIOBJ displaced = nullptr;
    Canvas* canvas = nullptr;
};

TEST_F(ResourceBitmapTest, KeyedDrawingLeavesOutPureWhiteOnly) {
    auto* bitmap = new ResourceBitmap(keyedId);
    ASSERT_EQ(bitmap->getWidth(), 4);
    ASSERT_EQ(bitmap->getHeight(), 2);
    bitmap->paintKeyed(canvas, Rect(1, 1, 5, 3), Point(0, 0));
    const struct {
        int x, y;
        COLORREF color;
    } expected[] = {{1, 1, RGB(0, 255, 0)}, {2, 1, RGB(254, 255, 255)}, {3, 1, RGB(255, 0, 0)},
                    {4, 1, RGB(0, 0, 0)},   {1, 2, RGB(0, 0, 255)},     {0, 0, RGB(0, 255, 0)},
                    {5, 3, RGB(0, 255, 0)}};
    for (const auto& e : expected) {
        EXPECT_EQ(pixel(e.x, e.y), e.color) << e.x << "," << e.y;
    }
    // The bitmap's own pixels are unchanged: an opaque draw shows its white as white.
    bitmap->paint(canvas, Rect(1, 1, 5, 3), Point(0, 0));
    EXPECT_EQ(pixel(1, 1), RGB(255, 255, 255));
    bitmap->release();
}

TEST_F(ResourceBitmapTest, OpaqueDrawingShowsThePartAtTheOffset) {
    auto* bitmap = new ResourceBitmap(keyedId);
    bitmap->paint(canvas, Rect(0, 0, 2, 1), Point(2, 0));
    EXPECT_EQ(pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(pixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(pixel(2, 0), RGB(0, 255, 0));
    EXPECT_EQ(pixel(0, 1), RGB(0, 255, 0));
    bitmap->release();
}

TEST_F(ResourceBitmapTest, MissingResourceDrawsNothing) {
    auto* bitmap = new ResourceBitmap(missingId);
    EXPECT_EQ(bitmap->getHandle(), nullptr);
    EXPECT_EQ(bitmap->getWidth(), 0);
    EXPECT_EQ(bitmap->getHeight(), 0);
    bitmap->paint(canvas, Rect(0, 0, 6, 4), Point(0, 0));
    bitmap->paintKeyed(canvas, Rect(0, 0, 6, 4), Point(0, 0));
    EXPECT_EQ(pixel(0, 0), RGB(0, 255, 0));
    bitmap->release();
}

TEST_F(ResourceBitmapTest, LastReleaseDeletesTheHandlesOnce) {
    const auto before = platformtest::liveCounts();
    auto* bitmap = new ResourceBitmap(keyedId);
    bitmap->paintKeyed(canvas, Rect(0, 0, 4, 2), Point(0, 0));
    EXPECT_EQ(platformtest::liveCounts().gdiObjects, before.gdiObjects + 2) << "image and mask";
    bitmap->retain();
    bitmap->release();
    EXPECT_EQ(platformtest::liveCounts().gdiObjects, before.gdiObjects + 2);
    bitmap->release();
    const auto after = platformtest::liveCounts();
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.deviceContexts, before.deviceContexts);
}

TEST_F(ResourceBitmapTest, MaskIsOneExactlyOnTheKeyColour) {
    auto* bitmap = new ResourceBitmap(keyedId);
    HBITMAP mask = makeColorKeyMask(context, bitmap->getHandle(), RGB(255, 255, 255));
    ASSERT_TRUE(platformtest::isMonochrome(mask));
    const platformtest::Image image = platformtest::captureBitmap(mask);
    const std::uint32_t expectedTop[] = {0xFFFFFF, 0, 0, 0};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(image.pixel(x, 0), expectedTop[x]) << x;
        EXPECT_EQ(image.pixel(x, 1), 0u) << x;
    }
    DeleteObject(mask);
    bitmap->release();
}

TEST(OffscreenCanvasForFrame, WithoutAWindowStaysInert) {
    const auto before = platformtest::liveCounts();
    {
        OffscreenCanvas offscreen(nullptr, 16, 250, colorBlack);
        EXPECT_EQ(offscreen.getDeviceContext(), nullptr);
        offscreen.paintRect(Rect(0, 0, 16, 250));
    }
    EXPECT_EQ(platformtest::liveCounts().gdiObjects, before.gdiObjects);
}

} // namespace
