// Bitmap resources built into the test program, cursors and system colour brushes.
#include "LayerTestSupport.h"

#include "platform/ModuleHandle.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

HINSTANCE self() {
    return win32layer::currentModuleHandle();
}

TEST(ModuleHandle, IsTheLoadAddressOfTheProgram) {
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&self), &info), 0);
    EXPECT_EQ(self(), static_cast<HINSTANCE>(info.dli_fbase));
}

struct BitmapCase {
    int id;
    const char* name;
};

class BitmapFormats : public ::testing::TestWithParam<BitmapCase> {};

// Both 24-bit files hold the same 3 x 2 image, one stored bottom-up and one top-down.
TEST_P(BitmapFormats, LoadAsColourBitmapsWithRowsInImageOrder) {
    HBITMAP bitmap = LoadBitmapA(self(), MAKEINTRESOURCE(GetParam().id));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmBitsPixel, 32);
    const platformtest::Image image = platformtest::captureBitmap(bitmap);
    EXPECT_EQ(image.pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(image.pixel(1, 0), 0x00FF00u);
    EXPECT_EQ(image.pixel(2, 0), 0x0000FFu);
    EXPECT_EQ(image.pixel(0, 1), 0x010203u);
    EXPECT_EQ(image.pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(image.pixel(2, 1), 0xFEFFFFu);
    DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(Resources, BitmapFormats,
                         ::testing::Values(BitmapCase{1, "bottomUp"}, BitmapCase{2, "topDown"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Resources, PalettizedBitmapLoadsThroughItsPalette) {
    HBITMAP bitmap = LoadBitmapA(self(), MAKEINTRESOURCE(3));
    ASSERT_NE(bitmap, nullptr);
    const platformtest::Image image = platformtest::captureBitmap(bitmap);
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    EXPECT_EQ(image.pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(image.pixel(1, 0), 0xC80A0Au);
    EXPECT_EQ(image.pixel(3, 0), 0xFEFFFFu);
    EXPECT_EQ(image.pixel(0, 1), 0x0A0AC8u);
    EXPECT_EQ(image.pixel(2, 2), 0x808080u);
    EXPECT_FALSE(platformtest::isMonochrome(bitmap));
    DeleteObject(bitmap);
}

TEST(Resources, UnknownIdsOtherModulesAndDamagedFilesGiveNull) {
    EXPECT_EQ(LoadBitmapA(self(), MAKEINTRESOURCE(128)), nullptr);
    EXPECT_EQ(LoadBitmapA(self(), MAKEINTRESOURCE(4)), nullptr) << "truncated file";
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCE(1)), nullptr);
    int elsewhere = 0;
    EXPECT_EQ(LoadBitmapA(reinterpret_cast<HINSTANCE>(&elsewhere), MAKEINTRESOURCE(1)), nullptr);
    EXPECT_EQ(LoadBitmapA(self(), "named"), nullptr);
}

TEST(Resources, ArrowCursorAndButtonFaceBrushExist) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_EQ(LoadCursorA(self(), MAKEINTRESOURCE(1)), nullptr);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_NE(face, nullptr);
    LOGBRUSH description{};
    ASSERT_EQ(GetObjectA(face, sizeof description, &description), int(sizeof description));
    EXPECT_EQ(description.lbColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face) << "system brushes are never deleted";
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
}

} // namespace
