// USER32 calls for window placement, z-order and keyboard focus.
#include "platform/Layer.h"

#include <algorithm>
#include <utility>

using namespace win32layer;

namespace {

constexpr int dialogFrameSize = 3;

void raise(Layer& layer, uintptr_t handle, const Window& window) {
    std::vector<uintptr_t>& siblings = layer.siblingsOf(window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    siblings.push_back(handle);
}

} // namespace

HWND GetParent(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    return window && window->isChild() ? asHandle<HWND>(window->parent) : nullptr;
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window || !rect)
        return FALSE;
    const PixelRect screen = layer.screenRect(*window);
    *rect = {LONG(screen.left), LONG(screen.top), LONG(screen.right), LONG(screen.bottom)};
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window || !rect)
        return FALSE;
    const PixelRect client = window->clientRect();
    *rect = {0, 0, LONG(client.right), LONG(client.bottom)};
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return FALSE;
    const uintptr_t self = handleValue(handle);
    if (!(flags & SWP_NOMOVE))
        window->rect = window->rect.offset(x - window->rect.left, y - window->rect.top);
    bool resized = false;
    if (!(flags & SWP_NOSIZE)) {
        limitWindowSize(width, height);
        resized = width != window->client.width || height != window->client.height;
        window->rect.right = window->rect.left + width;
        window->rect.bottom = window->rect.top + height;
        if (resized) {
            window->client.resize(width, height, monoWhite);
            window->invalid = window->invalid.intersect(window->clientRect());
            layer.invalidate(*window, nullptr, true);
        }
    }
    if (!(flags & SWP_NOZORDER) && !insertAfter)
        raise(layer, self, *window);
    const bool wasVisible = window->visible();
    if (flags & SWP_SHOWWINDOW)
        window->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW)
        window->style &= ~DWORD(WS_VISIBLE);
    if (window->visible() != wasVisible) {
        layer.display->windowVisibility(self, window->visible());
        if (window->visible())
            layer.invalidate(*window, nullptr, true);
    }
    layer.display->windowMoved(self, layer.screenRect(*window));
    if (resized)
        layer.callProcedure(guard, self, WM_SIZE, 0, MAKELPARAM(width, height));
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* source = layer.window(from);
    Window* destination = layer.window(to);
    if ((from && !source) || (to && !destination) || (!points && count > 0))
        return 0;
    const POINT origin = source ? layer.clientOrigin(*source) : POINT{0, 0};
    const POINT target = destination ? layer.clientOrigin(*destination) : POINT{0, 0};
    const LONG dx = LONG(int64_t(origin.x) - target.x), dy = LONG(int64_t(origin.y) - target.y);
    for (UINT i = 0; i < count; ++i) {
        points[i].x = LONG(int64_t(points[i].x) + dx);
        points[i].y = LONG(int64_t(points[i].y) + dy);
    }
    return MAKELONG(WORD(dx), WORD(dy));
}

BOOL BringWindowToTop(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return FALSE;
    raise(layer, handleValue(handle), *window);
    return TRUE;
}

BOOL IsWindowVisible(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    for (Window* window = layer.window(handle); window;
         window = window->isChild() ? layer.window(window->parent) : nullptr) {
        if (!window->visible())
            return FALSE;
        if (!window->isChild())
            return TRUE;
    }
    return FALSE;
}

HWND SetFocus(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const uintptr_t next = handleValue(handle);
    if (handle && !layer.window(handle))
        return nullptr;
    const uintptr_t previous = layer.focus;
    if (previous == next)
        return asHandle<HWND>(previous);
    layer.focus = next;
    if (previous)
        layer.callProcedure(guard, previous, WM_KILLFOCUS, WPARAM(next), 0);
    if (next && layer.focus == next)
        layer.callProcedure(guard, next, WM_SETFOCUS, WPARAM(previous), 0);
    return asHandle<HWND>(previous);
}

HWND GetFocus() {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return asHandle<HWND>(layer.focus);
}

int GetSystemMetrics(int index) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    switch (index) {
    case SM_CXSCREEN:
        return layer.display->screenWidth();
    case SM_CYSCREEN:
        return layer.display->screenHeight();
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return dialogFrameSize;
    default:
        return 0;
    }
}
