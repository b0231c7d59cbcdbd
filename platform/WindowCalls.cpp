// USER32 calls for window classes, windows, messages and painting.
#include "platform/BuiltInClasses.h"
#include "platform/Layer.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <utility>

using namespace win32layer;

namespace {

constexpr int defaultWidth = 640;
constexpr int defaultHeight = 480;
constexpr size_t maxClassNameLength = 256;
constexpr size_t maxQueueLength = 10000;
// Window texts longer than this are cut when they are set.
constexpr size_t maxWindowTextLength = 1 << 16;

std::string lowerCase(const char* text) {
    std::string result(text, strnlen(text, maxClassNameLength + 1));
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return result;
}

std::string classKey(const std::string& lowerName, HINSTANCE instance) {
    return lowerName + '\n' + std::to_string(reinterpret_cast<uintptr_t>(instance));
}

bool validName(LPCSTR name) {
    return name && !IS_INTRESOURCE(name) &&
           strnlen(name, maxClassNameLength + 1) <= maxClassNameLength;
}

WindowClass* findClass(Layer& layer, LPCSTR name, HINSTANCE instance) {
    const std::string lower = lowerCase(name);
    auto exact = layer.classes.find(classKey(lower, instance));
    if (exact != layer.classes.end())
        return &exact->second;
    for (auto& [key, windowClass] : layer.classes)
        if (key.compare(0, lower.size() + 1, lower + '\n') == 0)
            return &windowClass;
    return nullptr;
}

LRESULT callProcedure(std::unique_lock<SpinMutex>& guard, uintptr_t handle, UINT message,
                      WPARAM wParam, LPARAM lParam) {
    return Layer::instance().callProcedure(guard, handle, message, wParam, lParam);
}

void collectSubtree(Layer& layer, uintptr_t handle, std::vector<uintptr_t>& out) {
    Window* window = layer.window(handle);
    if (!window)
        return;
    out.push_back(handle);
    for (uintptr_t child : window->children)
        collectSubtree(layer, child, out);
}

// Takes a window and whatever children it still has out of the layer.
void removeWindow(Layer& layer, uintptr_t handle) {
    Window* window = layer.window(handle);
    if (!window)
        return;
    const std::vector<uintptr_t> children = window->children;
    for (uintptr_t child : children)
        removeWindow(layer, child);
    std::vector<uintptr_t>& siblings = layer.siblingsOf(*window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    if (auto found = layer.classes.find(window->classKey); found != layer.classes.end())
        --found->second.windowCount;
    if (layer.focus == handle)
        layer.focus = 0;
    layer.queue.erase(
        std::remove_if(layer.queue.begin(), layer.queue.end(),
                       [handle](const MSG& m) { return handleValue(m.hwnd) == handle; }),
        layer.queue.end());
    layer.display->windowDestroyed(handle);
    layer.table.remove(handle);
}

bool messageInRange(UINT message, UINT low, UINT high) {
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

bool visibleWithAncestors(Layer& layer, const Window& window) {
    if (!window.visible())
        return false;
    if (!window.isChild())
        return true;
    const Window* parent = layer.window(window.parent);
    return parent && visibleWithAncestors(layer, *parent);
}

uintptr_t windowNeedingPaint(Layer& layer, uintptr_t filter) {
    uintptr_t found = 0;
    layer.table.forEach(ObjectKind::window, [&](uintptr_t handle, LayerObject& object) {
        auto& window = static_cast<Window&>(object);
        if (found || (filter && filter != handle) || window.invalid.empty() || window.destroying)
            return;
        if (visibleWithAncestors(layer, window))
            found = handle;
    });
    return found;
}

RECT toRect(const PixelRect& r) {
    return {LONG(r.left), LONG(r.top), LONG(r.right), LONG(r.bottom)};
}

} // namespace

void win32layer::registerBuiltInClasses(Layer& layer) {
    const struct {
        const char* name;
        WNDPROC procedure;
    } builtIns[] = {{editClassName, editWindowProcedure},
                    {menuWindowClassName, menuWindowProcedure}};
    for (const auto& builtIn : builtIns) {
        const std::string key = classKey(lowerCase(builtIn.name), nullptr);
        WindowClass& windowClass = layer.classes[key];
        windowClass.name = builtIn.name;
        windowClass.key = key;
        windowClass.description.lpfnWndProc = builtIn.procedure;
        windowClass.atom = layer.nextAtom++;
        windowClass.builtIn = true;
    }
}

ATOM RegisterClassA(const WNDCLASSA* description) {
    if (!description || !validName(description->lpszClassName) || !description->lpfnWndProc)
        return 0;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const std::string key = classKey(lowerCase(description->lpszClassName), description->hInstance);
    if (layer.classes.count(key))
        return 0;
    WindowClass& windowClass = layer.classes[key];
    windowClass.name = description->lpszClassName;
    windowClass.key = key;
    windowClass.description = *description;
    windowClass.description.lpszClassName = nullptr;
    windowClass.description.lpszMenuName = nullptr;
    windowClass.atom = layer.nextAtom++;
    if (layer.nextAtom == 0)
        layer.nextAtom = 0xC000;
    return windowClass.atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    if (!validName(className))
        return FALSE;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    auto found = layer.classes.find(classKey(lowerCase(className), instance));
    if (found == layer.classes.end() || found->second.windowCount > 0 || found->second.builtIn)
        return FALSE;
    layer.classes.erase(found);
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    if (!validName(className))
        return nullptr;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    WindowClass* windowClass = findClass(layer, className, instance);
    const bool child = (style & WS_CHILD) != 0;
    Window* parentWindow = layer.window(parent);
    if (!windowClass || (child && !parentWindow) || (parent && !parentWindow))
        return nullptr;
    if (parentWindow && parentWindow->destroying)
        return nullptr;
    if (x == CW_USEDEFAULT)
        x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = defaultWidth;
        height = defaultHeight;
    }
    limitWindowSize(width, height);

    auto window = std::make_unique<Window>();
    window->parent = child ? handleValue(parent) : 0;
    window->classKey = windowClass->key;
    window->procedure = windowClass->description.lpfnWndProc;
    window->classBrush = windowClass->description.hbrBackground;
    window->instance = instance;
    window->id = child ? LONG_PTR(reinterpret_cast<uintptr_t>(menu)) : 0;
    window->style = style;
    window->exStyle = exStyle;
    window->rect = {x, y, int64_t(x) + width, int64_t(y) + height};
    window->client = Surface(width, height, false, monoWhite);
    const uintptr_t handle = layer.table.insert(std::move(window));
    if (!handle)
        return nullptr;
    ++windowClass->windowCount;
    if (child)
        parentWindow->children.push_back(handle);
    else
        layer.topLevelWindows.push_back(handle);
    Window* created = layer.window(handle);
    layer.display->windowCreated(handle, !child, layer.screenRect(*created));

    CREATESTRUCTA create{param,       instance,   menu,      child ? parent : nullptr,
                         height,      width,      y,         x,
                         LONG(style), windowName, className, exStyle};
    const auto lParam = reinterpret_cast<LPARAM>(&create);
    const HWND result = asHandle<HWND>(handle);
    if (!callProcedure(guard, handle, WM_NCCREATE, 0, lParam) ||
        callProcedure(guard, handle, WM_CREATE, 0, lParam) == -1) {
        guard.unlock();
        DestroyWindow(result);
        return nullptr;
    }
    if (Window* window = layer.window(handle); window && window->visible()) {
        layer.invalidate(*window, nullptr, true);
        layer.display->windowVisibility(handle, true);
    }
    return layer.window(handle) ? result : nullptr;
}

BOOL DestroyWindow(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window || window->destroying)
        return FALSE;
    std::vector<uintptr_t> subtree;
    collectSubtree(layer, handleValue(handle), subtree);
    for (uintptr_t member : subtree)
        layer.window(member)->destroying = true;
    if (std::find(subtree.begin(), subtree.end(), layer.focus) != subtree.end()) {
        const uintptr_t focused = std::exchange(layer.focus, 0);
        callProcedure(guard, focused, WM_KILLFOCUS, 0, 0);
    }
    layer.display->windowVisibility(handleValue(handle), false);
    // The window hears of its destruction before its children do; the final message goes to the
    // children first.
    for (uintptr_t member : subtree)
        callProcedure(guard, member, WM_DESTROY, 0, 0);
    for (auto member = subtree.rbegin(); member != subtree.rend(); ++member)
        callProcedure(guard, *member, WM_NCDESTROY, 0, 0);
    removeWindow(layer, handleValue(handle));
    return TRUE;
}

BOOL IsWindow(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return layer.window(handle) ? TRUE : FALSE;
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return 0;
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWLP_USERDATA:
        return window->userData;
    case GWLP_ID:
        return window->id;
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT:
        return LONG_PTR(window->parent);
    case GWL_STYLE:
        return LONG_PTR(LONG(window->style));
    case GWL_EXSTYLE:
        return LONG_PTR(LONG(window->exStyle));
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return 0;
    switch (index) {
    case GWLP_WNDPROC: {
        if (!value)
            return 0;
        const WNDPROC previous = window->procedure;
        window->procedure = reinterpret_cast<WNDPROC>(value);
        return reinterpret_cast<LONG_PTR>(previous);
    }
    case GWLP_USERDATA:
        return std::exchange(window->userData, value);
    case GWLP_ID:
        return std::exchange(window->id, value);
    case GWL_STYLE:
        return LONG_PTR(LONG(std::exchange(window->style, DWORD(value))));
    case GWL_EXSTYLE:
        return LONG_PTR(LONG(std::exchange(window->exStyle, DWORD(value))));
    default:
        return 0;
    }
}

LONG GetWindowLongA(HWND handle, int index) {
    // A procedure address does not fit a 32-bit value on 64-bit systems; the Ptr form serves it.
    if (index == GWL_WNDPROC && sizeof(LONG_PTR) > sizeof(LONG))
        return 0;
    return LONG(GetWindowLongPtrA(handle, index));
}

LONG SetWindowLongA(HWND handle, int index, LONG value) {
    if (index == GWL_WNDPROC && sizeof(LONG_PTR) > sizeof(LONG))
        return 0;
    return LONG(SetWindowLongPtrA(handle, index, LONG_PTR(value)));
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        if (Window* window = layer.window(handle); window && create && create->lpszName)
            window->text.assign(create->lpszName, strnlen(create->lpszName, maxWindowTextLength));
        return TRUE;
    }
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const char*>(lParam);
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        Window* window = layer.window(handle);
        if (!window)
            return FALSE;
        window->text.assign(text ? text : "", text ? strnlen(text, maxWindowTextLength) : 0);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* out = reinterpret_cast<char*>(lParam);
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        Window* window = layer.window(handle);
        if (!window || !out || wParam == 0)
            return 0;
        const size_t copied = std::min(window->text.size(), size_t(wParam) - 1);
        std::memcpy(out, window->text.data(), copied);
        out[copied] = '\0';
        return LRESULT(copied);
    }
    case WM_GETTEXTLENGTH: {
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        Window* window = layer.window(handle);
        return window ? LRESULT(window->text.size()) : 0;
    }
    case WM_ERASEBKGND: {
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        Window* window = layer.window(handle);
        DeviceContext* context = layer.dc(reinterpret_cast<HDC>(wParam));
        if (!window || !context || !window->classBrush)
            return 0;
        layer.fillRect(*context, toRect(window->clientRect()), handleValue(window->classBrush));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        if (BeginPaint(handle, &paint))
            EndPaint(handle, &paint);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    default:
        return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND handle, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    return procedure ? procedure(handle, message, wParam, lParam) : 0;
}

int GetWindowTextA(HWND handle, LPSTR text, int capacity) {
    if (!text || capacity <= 0)
        return 0;
    text[0] = '\0';
    return int(SendMessageA(handle, WM_GETTEXT, WPARAM(capacity), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND handle) {
    return int(SendMessageA(handle, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
    return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return callProcedure(guard, handleValue(handle), message, wParam, lParam);
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    if ((handle && !layer.window(handle)) || layer.queue.size() >= maxQueueLength)
        return FALSE;
    const InputSnapshot& input = layer.input.current();
    layer.queue.push_back(
        {handle, message, wParam, lParam, layer.input.ticks(), {input.x, input.y}});
    return TRUE;
}

BOOL PeekMessageA(LPMSG message, HWND handle, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!message)
        return FALSE;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const uintptr_t filter = handleValue(handle);
    for (auto queued = layer.queue.begin(); queued != layer.queue.end(); ++queued) {
        if ((filter && handleValue(queued->hwnd) != filter) ||
            !messageInRange(queued->message, filterMin, filterMax))
            continue;
        *message = *queued;
        if (removeFlags & PM_REMOVE)
            layer.queue.erase(queued);
        return TRUE;
    }
    // Paint messages are never queued: they come from invalid areas whenever the queue is empty.
    if (!messageInRange(WM_PAINT, filterMin, filterMax))
        return FALSE;
    const uintptr_t needing = windowNeedingPaint(layer, filter);
    if (!needing)
        return FALSE;
    const InputSnapshot& input = layer.input.current();
    *message = {asHandle<HWND>(needing), WM_PAINT, 0, 0, layer.input.ticks(), {input.x, input.y}};
    return TRUE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd)
        return 0;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return callProcedure(guard, handleValue(message->hwnd), message->message, message->wParam,
                         message->lParam);
}

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    PixelRect area;
    if (rect)
        area = {rect->left, rect->top, rect->right, rect->bottom};
    if (!handle) {
        for (uintptr_t top : layer.topLevelWindows)
            layer.invalidate(*layer.window(top), rect ? &area : nullptr, erase != FALSE);
        return TRUE;
    }
    Window* window = layer.window(handle);
    if (!window)
        return FALSE;
    layer.invalidate(*window, rect ? &area : nullptr, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT* rect) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return FALSE;
    // The update area is kept as one rectangle: only a rectangle that covers it validates it.
    const PixelRect area =
        rect ? PixelRect{rect->left, rect->top, rect->right, rect->bottom} : window->clientRect();
    if (area.intersect(window->invalid).left == window->invalid.left &&
        area.intersect(window->invalid).right == window->invalid.right &&
        area.intersect(window->invalid).top == window->invalid.top &&
        area.intersect(window->invalid).bottom == window->invalid.bottom) {
        window->invalid = {};
        window->eraseNeeded = false;
    }
    return TRUE;
}

BOOL UpdateWindow(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return FALSE;
    if (!window->invalid.empty() && window->visible())
        callProcedure(guard, handleValue(handle), WM_PAINT, 0, 0);
    return TRUE;
}

BOOL GetUpdateRect(HWND handle, LPRECT rect, BOOL erase) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return FALSE;
    const PixelRect area = window->invalid.intersect(window->clientRect());
    if (rect)
        *rect = area.empty() ? RECT{0, 0, 0, 0} : toRect(area);
    if (erase && window->eraseNeeded && !area.empty()) {
        window->eraseNeeded = false;
        const uintptr_t dc =
            layer.createDeviceContext(DeviceContext::Target::window, handleValue(handle));
        callProcedure(guard, handleValue(handle), WM_ERASEBKGND, WPARAM(dc), 0);
        layer.deleteDeviceContext(dc);
    }
    return area.empty() ? FALSE : TRUE;
}

HDC BeginPaint(HWND handle, PAINTSTRUCT* paint) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window || !paint)
        return nullptr;
    const PixelRect area = window->invalid.intersect(window->clientRect());
    const bool erase = window->eraseNeeded;
    window->invalid = {};
    window->eraseNeeded = false;
    const uintptr_t dc =
        layer.createDeviceContext(DeviceContext::Target::window, handleValue(handle));
    if (!dc)
        return nullptr;
    auto* context = layer.table.get<DeviceContext>(dc);
    context->limitedToPaintArea = true;
    context->paintArea = area;
    *paint = PAINTSTRUCT{};
    paint->hdc = asHandle<HDC>(dc);
    paint->rcPaint = area.empty() ? RECT{0, 0, 0, 0} : toRect(area);
    paint->fErase = FALSE;
    if (erase && !area.empty())
        paint->fErase =
            callProcedure(guard, handleValue(handle), WM_ERASEBKGND, WPARAM(dc), 0) == 0;
    return asHandle<HDC>(dc);
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    if (!paint)
        return FALSE;
    DeviceContext* context = layer.dc(paint->hdc);
    if (!context || context->target != DeviceContext::Target::window)
        return FALSE;
    if (context->window == handleValue(handle))
        layer.notifyPainted(context->window, context->paintArea);
    layer.deleteDeviceContext(handleValue(paint->hdc));
    return TRUE;
}

HDC GetDC(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    if (!handle)
        return asHandle<HDC>(layer.createDeviceContext(DeviceContext::Target::screen, 0));
    if (!layer.window(handle))
        return nullptr;
    return asHandle<HDC>(
        layer.createDeviceContext(DeviceContext::Target::window, handleValue(handle)));
}

int ReleaseDC(HWND, HDC dc) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context || context->target == DeviceContext::Target::memory)
        return 0;
    if (Window* window = layer.window(context->window))
        layer.notifyPainted(context->window, window->clientRect());
    layer.deleteDeviceContext(handleValue(dc));
    return 1;
}
