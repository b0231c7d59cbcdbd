#include "platform/Layer.h"

#include "platform/BuiltInClasses.h"

#include "platform/MemoryDisplay.h"

#include <cstring>

#include <dlfcn.h>

// The rendezvous of the copies of the layer in one process. Executables export it (see
// CMakeLists.txt); plug-in modules keep it local and look the executable's up.
extern "C" __attribute__((visibility("default"))) void* brisolen_layer_state_v1() {
    return &win32layer::Layer::ownInstance();
}

namespace win32layer {
namespace {

uint32_t tableTag() {
    // Distinct per copy of the layer in a process, so that handles of another module's copy are
    // rejected rather than misread.
    static int anchor;
    const auto address = reinterpret_cast<uintptr_t>(&anchor);
    return static_cast<uint32_t>((address >> 4) ^ (address >> 36) ^ 0x5B150000u);
}

LOGFONTA systemFont(LONG height, LONG weight) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strcpy(font.lfFaceName, "Arial");
    return font;
}

} // namespace

Layer& Layer::ownInstance() {
    // Never destroyed: modules may still call in while the process exits.
    static Layer* const layer = new Layer();
    return *layer;
}

Layer& Layer::instance() {
    static Layer* const shared = [] {
        using StateFunction = void* (*)();
        auto found =
            reinterpret_cast<StateFunction>(dlsym(RTLD_DEFAULT, "brisolen_layer_state_v1"));
        return static_cast<Layer*>(found ? found() : brisolen_layer_state_v1());
    }();
    return *shared;
}

Layer::Layer() : fonts(), table(tableTag()), display(std::make_unique<MemoryDisplay>(1920, 1080)) {
    createStockObjects();
    registerBuiltInClasses(*this);
}

uintptr_t Layer::addStock(std::unique_ptr<LayerObject> object) {
    object->stock = true;
    return table.insert(std::move(object));
}

void Layer::createStockObjects() {
    const COLORREF brushColors[5] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                     RGB(64, 64, 64), RGB(0, 0, 0)};
    for (int i = 0; i < 5; ++i)
        stock[size_t(i)] = addStock(std::make_unique<Brush>(LOGBRUSH{BS_SOLID, brushColors[i], 0}));
    stock[NULL_BRUSH] = addStock(std::make_unique<Brush>(LOGBRUSH{BS_NULL, 0, 0}));
    stock[WHITE_PEN] =
        addStock(std::make_unique<Pen>(LOGPEN{PS_SOLID, {1, 0}, RGB(255, 255, 255)}));
    stock[BLACK_PEN] = addStock(std::make_unique<Pen>(LOGPEN{PS_SOLID, {1, 0}, RGB(0, 0, 0)}));
    stock[NULL_PEN] = addStock(std::make_unique<Pen>(LOGPEN{PS_NULL, {1, 0}, 0}));
    stock[SYSTEM_FONT] = addStock(std::make_unique<Font>(systemFont(16, FW_BOLD)));
    stock[DEFAULT_GUI_FONT] = addStock(std::make_unique<Font>(systemFont(-11, FW_NORMAL)));
    defaultBitmap = addStock(std::make_unique<Bitmap>(1, 1, true, monoBlack));
    arrowCursor = addStock(std::make_unique<Cursor>());
}

COLORREF systemColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    case COLOR_BTNFACE:
    case COLOR_MENU:
        return RGB(240, 240, 240);
    case COLOR_MENUTEXT:
        return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
        return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_BTNSHADOW:
        return RGB(160, 160, 160);
    case COLOR_GRAYTEXT:
        return RGB(109, 109, 109);
    default:
        return RGB(192, 192, 192);
    }
}

uintptr_t Layer::systemColorBrush(int index) {
    if (index < 0 || index >= int(systemColorBrushes.size()))
        return 0;
    uintptr_t& brush = systemColorBrushes[size_t(index)];
    if (!brush)
        brush = addStock(std::make_unique<Brush>(LOGBRUSH{BS_SOLID, systemColor(index), 0}));
    return brush;
}

const std::vector<int>* dashPattern(UINT penStyle) {
    static const std::vector<int> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3};
    switch (penStyle & 0x0F) {
    case PS_DASH:
        return &dash;
    case PS_DOT:
        return &dot;
    case PS_DASHDOT:
        return &dashDot;
    case PS_DASHDOTDOT:
        return &dashDotDot;
    default:
        return nullptr;
    }
}

DrawTarget Layer::targetOf(DeviceContext& context) {
    DrawTarget target;
    if (context.target == DeviceContext::Target::memory) {
        if (auto* bitmap = table.get<Bitmap>(context.bitmap)) {
            target.surface = &bitmap->surface;
            target.clip = bitmap->surface.bounds();
        }
    } else if (context.target == DeviceContext::Target::window) {
        if (Window* w = window(context.window)) {
            target.surface = &w->client;
            target.clip = w->client.bounds();
            target.window = context.window;
            if (context.limitedToPaintArea)
                target.clip = target.clip.intersect(context.paintArea);
        }
    }
    return target;
}

PenState Layer::penOf(const DeviceContext& context, const Surface& surface) {
    PenState state;
    const Pen* pen = table.get<Pen>(context.pen);
    if (!pen || (pen->logical.lopnStyle & 0x0F) == PS_NULL) {
        state.visible = false;
        return state;
    }
    state.width = std::max<LONG>(pen->logical.lopnWidth.x, 1);
    state.pixel = pixelForSurface(surface, pen->logical.lopnColor);
    state.dashes = dashPattern(pen->logical.lopnStyle);
    return state;
}

BrushState Layer::brushOf(uintptr_t handle, const Surface& surface) {
    BrushState state;
    if (handle > 0 && handle <= systemColorBrushes.size())
        handle = systemColorBrush(int(handle) - 1); // a system colour index plus one
    const Brush* brush = table.get<Brush>(handle);
    if (!brush || brush->logical.lbStyle != BS_SOLID) {
        state.visible = false;
        return state;
    }
    state.pixel = pixelForSurface(surface, brush->logical.lbColor);
    return state;
}

BackgroundState Layer::backgroundOf(const DeviceContext& context, const Surface& surface) {
    return {context.backgroundMode == OPAQUE, pixelForSurface(surface, context.backgroundColor)};
}

FontFace* Layer::faceOf(DeviceContext& context) {
    Font* font = table.get<Font>(context.font);
    if (!font)
        return nullptr;
    if (!font->resolved) {
        font->face = fonts.resolve(font->logical);
        font->resolved = true;
    }
    return font->face.get();
}

uintptr_t Layer::createDeviceContext(DeviceContext::Target target, uintptr_t windowHandle) {
    auto context = std::make_unique<DeviceContext>(target);
    context->window = windowHandle;
    context->pen = stock[BLACK_PEN];
    context->brush = stock[WHITE_BRUSH];
    context->font = stock[SYSTEM_FONT];
    if (target == DeviceContext::Target::memory)
        context->bitmap = defaultBitmap;
    for (const uintptr_t object : {context->pen, context->brush, context->font, context->bitmap}) {
        if (LayerObject* selected = table.find(object))
            ++selected->selectedCount;
    }
    return table.insert(std::move(context));
}

bool Layer::deleteDeviceContext(uintptr_t handle) {
    std::unique_ptr<LayerObject> removed = table.remove(handle);
    if (!removed)
        return false;
    auto& context = static_cast<DeviceContext&>(*removed);
    if (auto* bitmap = table.get<Bitmap>(context.bitmap); bitmap && bitmap->selectedInto == handle)
        bitmap->selectedInto = 0;
    for (const uintptr_t object : {context.pen, context.brush, context.font, context.bitmap}) {
        if (LayerObject* selected = table.find(object))
            --selected->selectedCount;
    }
    return true;
}

void Layer::fillRect(DeviceContext& context, const RECT& rect, uintptr_t brush) {
    DrawTarget target = targetOf(context);
    if (!target)
        return;
    const BrushState state = brushOf(brush, *target.surface);
    if (!state.visible)
        return;
    Rasterizer(*target.surface, target.clip)
        .fillRect({rect.left, rect.top, rect.right, rect.bottom}, state.pixel);
}

POINT Layer::clientOrigin(const Window& w) {
    // Summed in 64 bits; far-away positions wrap as 32-bit coordinates do.
    int64_t x = 0, y = 0;
    for (const Window* at = &w; at; at = at->isChild() ? window(at->parent) : nullptr) {
        x += at->rect.left;
        y += at->rect.top;
    }
    return {LONG(x), LONG(y)};
}

PixelRect Layer::screenRect(const Window& w) {
    const POINT origin = clientOrigin(w);
    return {origin.x, origin.y, int64_t(origin.x) + (w.rect.right - w.rect.left),
            int64_t(origin.y) + (w.rect.bottom - w.rect.top)};
}

void Layer::invalidate(Window& w, const PixelRect* area, bool erase) {
    const PixelRect client = w.clientRect();
    const PixelRect added = area ? area->intersect(client) : client;
    if (added.empty())
        return;
    w.invalid = w.invalid.unite(added);
    w.eraseNeeded = w.eraseNeeded || erase;
}

std::vector<uintptr_t>& Layer::siblingsOf(const Window& w) {
    if (w.isChild())
        if (Window* parent = window(w.parent))
            return parent->children;
    return topLevelWindows;
}

LRESULT Layer::callProcedure(std::unique_lock<SpinMutex>& guard, uintptr_t handle, UINT message,
                             WPARAM wParam, LPARAM lParam) {
    Window* w = window(handle);
    if (!w)
        return 0;
    WNDPROC procedure = w->procedure;
    const auto hwnd = asHandle<HWND>(handle);
    guard.unlock();
    const LRESULT result = procedure ? procedure(hwnd, message, wParam, lParam)
                                     : DefWindowProcA(hwnd, message, wParam, lParam);
    guard.lock();
    return result;
}

void Layer::notifyPainted(uintptr_t handle, const PixelRect& area) {
    if (Window* w = window(handle))
        display->windowPainted(handle, w->client, area.intersect(w->client.bounds()));
}

} // namespace win32layer
