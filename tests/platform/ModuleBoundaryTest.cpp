// A loaded module with its own copy of the layer shares the program's windows and objects, and
// keeps its own bitmap resources.
#include "platform/ModuleHandle.h"
#include "platform/TestHooks.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override {
        module = dlopen(LAYER_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
    }
    void TearDown() override {
        if (module)
            dlclose(module);
    }
    template <typename F> F find(const char* name) {
        return reinterpret_cast<F>(dlsym(module, name));
    }
    void* module = nullptr;
};

TEST_F(LoadedModule, CreatesItsWindowInsideTheProgramsWindow) {
    const platformtest::LiveCounts start = platformtest::liveCounts();
    HWND host = platformtest::createHostWindow(0, 0, 100, 100);
    auto create = find<HWND (*)(HWND)>("layerTestModuleCreateChild");
    auto destroy = find<BOOL (*)(HWND)>("layerTestModuleDestroyChild");
    ASSERT_NE(create, nullptr);
    HWND child = create(host);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(IsWindow(child));
    EXPECT_EQ(GetParent(child), host);
    EXPECT_EQ(platformtest::liveCounts().windows, start.windows + 2);
    EXPECT_TRUE(destroy(child));
    EXPECT_FALSE(IsWindow(child));
    DestroyWindow(host);
    EXPECT_EQ(platformtest::liveCounts().windows, start.windows);
}

TEST_F(LoadedModule, KeepsItsOwnBitmapResourcesUnderItsOwnHandle) {
    auto handle = find<HINSTANCE (*)()>("layerTestModuleHandle");
    auto width = find<int (*)()>("layerTestModuleBitmapWidth");
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(handle(), win32layer::currentModuleHandle());
    EXPECT_EQ(width(), 3);
    EXPECT_EQ(LoadBitmapA(win32layer::currentModuleHandle(), MAKEINTRESOURCE(7)), nullptr)
        << "the program does not carry the module's bitmaps";
    HBITMAP loaded = LoadBitmapA(handle(), MAKEINTRESOURCE(7));
    EXPECT_NE(loaded, nullptr) << "the layer finds a module's bitmaps by its handle";
    DeleteObject(loaded);
}

TEST_F(LoadedModule, AnUnloadedModulesBitmapsAreGone) {
    auto handle = find<HINSTANCE (*)()>("layerTestModuleHandle");
    ASSERT_NE(handle, nullptr);
    HINSTANCE unloaded = handle();
    ASSERT_EQ(dlclose(module), 0);
    module = nullptr;
    EXPECT_EQ(LoadBitmapA(unloaded, MAKEINTRESOURCE(7)), nullptr);
}

// The program answers, or the mouse works, a menu that the module shows: the menu's window and
// its state belong to the program's copy of the layer.
TEST_F(LoadedModule, ShowsMenusThatTheProgramCanAnswer) {
    const platformtest::LiveCounts start = platformtest::liveCounts();
    HWND host = platformtest::createHostWindow(0, 0, 100, 100);
    auto track = find<int (*)(HWND, int, int)>("layerTestModuleTrackMenu");
    ASSERT_NE(track, nullptr);

    platformtest::TrackedMenu seen;
    platformtest::setMenuHandler([&](const platformtest::TrackedMenu& menu) {
        seen = menu;
        return 2;
    });
    EXPECT_EQ(track(host, 200, 200), 23);
    platformtest::clearMenuHandler();
    ASSERT_EQ(seen.items.size(), 3u);

    const RECT& two = seen.itemRects[1];
    platformtest::InputSnapshot over;
    over.x = seen.screenRect.left + (two.left + two.right) / 2;
    over.y = seen.screenRect.top + (two.top + two.bottom) / 2;
    platformtest::InputSnapshot pressed = over;
    pressed.leftButton = true;
    platformtest::setInput(platformtest::InputSnapshot{});
    platformtest::scriptInput({over, pressed, over});
    EXPECT_EQ(track(host, 200, 200), 22);
    platformtest::clearInputScript();

    DestroyWindow(host);
    EXPECT_EQ(platformtest::liveCounts().windows, start.windows);
}

} // namespace
