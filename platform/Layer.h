// The layer's state: the object table, stock objects, windows, message queue, input and display.
// Every call takes the one mutex; window procedures are always called with it released.
#pragma once

#include "platform/BitmapResources.h"
#include "platform/Display.h"
#include "platform/GdiObjects.h"
#include "platform/HandleTable.h"
#include "platform/InputState.h"
#include "platform/Menu.h"
#include "platform/Rasterizer.h"
#include "platform/SpinMutex.h"
#include "platform/TextRenderer.h"
#include "platform/Window.h"

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace win32layer {

template <typename H> uintptr_t handleValue(H handle) {
    return reinterpret_cast<uintptr_t>(handle);
}
template <typename H> H asHandle(uintptr_t value) {
    return reinterpret_cast<H>(value);
}

// Where a device context draws: a surface and the part of it that may change.
struct DrawTarget {
    Surface* surface = nullptr;
    PixelRect clip;
    uintptr_t window = 0;
    explicit operator bool() const { return surface != nullptr && !clip.empty(); }
};

// A process has one layer even when several modules carry a copy of its code: the first copy
// that the dynamic linker can see (the executable's) owns the state, and the copies in loaded
// plug-in modules find it and use it, so that windows and objects pass between modules.
class Layer {
public:
    static Layer& instance();
    // The state of this copy of the code; instance() prefers the executable's.
    static Layer& ownInstance();

    std::unique_lock<SpinMutex> lock() { return std::unique_lock<SpinMutex>(mutex_); }

    // Declared first so that it outlives the fonts in the table, which share its faces.
    FontResolver fonts;
    HandleTable table;
    InputState input;
    std::unique_ptr<Display> display;
    std::map<std::string, WindowClass> classes; // key: lower-case name + '\n' + instance
    std::vector<uintptr_t> topLevelWindows;     // back to front
    std::deque<MSG> queue;
    uintptr_t focus = 0;
    std::vector<ModuleBitmaps> moduleBitmaps;
    ATOM nextAtom = 0xC000;
    // Answers tracked menus in place of the user when set (tests): the item to choose, or -1.
    std::function<int(const TrackedMenu&)> menuHandler;
    bool menuTracking = false;

    // Stock objects, by GetStockObject index (0 where there is none).
    std::array<uintptr_t, 18> stock{};
    std::array<uintptr_t, 31> systemColorBrushes{};
    uintptr_t defaultBitmap = 0;
    uintptr_t arrowCursor = 0;

    // --- helpers; the caller holds the lock ---
    DeviceContext* dc(HDC handle) { return table.get<DeviceContext>(handleValue(handle)); }
    Window* window(HWND handle) { return table.get<Window>(handleValue(handle)); }
    Window* window(uintptr_t handle) { return table.get<Window>(handle); }
    DrawTarget targetOf(DeviceContext& context);
    PenState penOf(const DeviceContext& context, const Surface& surface);
    BrushState brushOf(uintptr_t brush, const Surface& surface);
    BackgroundState backgroundOf(const DeviceContext& context, const Surface& surface);
    FontFace* faceOf(DeviceContext& context);
    uintptr_t systemColorBrush(int index);
    uintptr_t createDeviceContext(DeviceContext::Target target, uintptr_t window);
    bool deleteDeviceContext(uintptr_t handle);
    void fillRect(DeviceContext& context, const RECT& rect, uintptr_t brush);
    // Screen position of a window's client origin.
    POINT clientOrigin(const Window& window);
    PixelRect screenRect(const Window& window);
    void invalidate(Window& window, const PixelRect* area, bool erase);
    // The list of windows, back to front, that the window is one of.
    std::vector<uintptr_t>& siblingsOf(const Window& window);
    // Calls the window's procedure with the lock released, so that the procedure may call the
    // layer itself; the lock is held again on return. Returns 0 for a dead window.
    LRESULT callProcedure(std::unique_lock<SpinMutex>& guard, uintptr_t window, UINT message,
                          WPARAM wParam, LPARAM lParam);
    void notifyPainted(uintptr_t window, const PixelRect& area);

private:
    Layer();
    void createStockObjects();
    uintptr_t addStock(std::unique_ptr<LayerObject> object);

    SpinMutex mutex_;
};

COLORREF systemColor(int index);
const std::vector<int>* dashPattern(UINT penStyle);

} // namespace win32layer
