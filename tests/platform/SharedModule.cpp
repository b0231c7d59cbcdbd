// A plug-in-like module for the module-boundary tests: it carries its own copy of the layer and
// its own bitmap resources, and exports a few functions.
#include "platform/ModuleHandle.h"
#include "platform/win32.h"

namespace {

constexpr const char* moduleClassName = "LayerTestModuleWindow";

LRESULT moduleProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))

MODULE_EXPORT HWND layerTestModuleCreateChild(HWND parent) {
    WNDCLASSA description{};
    description.lpfnWndProc = moduleProcedure;
    description.hInstance = win32layer::currentModuleHandle();
    description.lpszClassName = moduleClassName;
    RegisterClassA(&description);
    return CreateWindowExA(0, moduleClassName, "Window", WS_CHILD | WS_VISIBLE, 0, 0, 20, 10,
                           parent, nullptr, win32layer::currentModuleHandle(), nullptr);
}

MODULE_EXPORT BOOL layerTestModuleDestroyChild(HWND window) {
    const BOOL destroyed = DestroyWindow(window);
    return destroyed && UnregisterClassA(moduleClassName, win32layer::currentModuleHandle());
}

MODULE_EXPORT HINSTANCE layerTestModuleHandle() {
    return win32layer::currentModuleHandle();
}

// Width of the module's own bitmap 7, or -1 when it does not load.
MODULE_EXPORT int layerTestModuleBitmapWidth() {
    HBITMAP bitmap = LoadBitmapA(win32layer::currentModuleHandle(), MAKEINTRESOURCE(7));
    BITMAP info{};
    const int width = bitmap && GetObjectA(bitmap, sizeof info, &info) ? info.bmWidth : -1;
    DeleteObject(bitmap);
    return width;
}

// Shows a three-item menu from the module's copy of the layer and returns the chosen item's id,
// 0 when the menu was dismissed.
MODULE_EXPORT int layerTestModuleTrackMenu(HWND owner, int x, int y) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 21, "One");
    AppendMenuA(menu, MF_STRING, 22, "Two");
    AppendMenuA(menu, MF_STRING, 23, "Three");
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    return chosen;
}
