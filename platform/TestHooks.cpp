#include "platform/TestHooks.h"

#include "platform/Layer.h"

#include <png.h>

#include <cstdio>

using namespace win32layer;

namespace platformtest {
namespace {

constexpr const char* hostClassName = "BrisolenLayerHostWindow";

LRESULT hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// The deepest visible window under a screen point: topmost first at each level.
uintptr_t windowAt(Layer& layer, const std::vector<uintptr_t>& candidates, int64_t x, int64_t y) {
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
        Window* window = layer.window(*it);
        if (!window || !window->visible() || !window->rect.contains(x, y))
            continue;
        const int64_t localX = x - window->rect.left, localY = y - window->rect.top;
        const uintptr_t deeper = windowAt(layer, window->children, localX, localY);
        return deeper ? deeper : *it;
    }
    return 0;
}

void compose(Layer& layer, const Window& window, Surface& out, int64_t originX, int64_t originY,
             const PixelRect& visible) {
    const PixelRect area = window.client.bounds().offset(originX, originY).intersect(visible);
    for (int64_t y = area.top; y < area.bottom; ++y)
        for (int64_t x = area.left; x < area.right; ++x)
            out.at(x, y) = window.client.at(x - originX, y - originY);
    for (uintptr_t child : window.children) {
        const Window* childWindow = layer.window(child);
        if (childWindow && childWindow->visible())
            compose(layer, *childWindow, out, originX + childWindow->rect.left,
                    originY + childWindow->rect.top, area);
    }
}

Image imageOf(const Surface& surface) {
    Image image;
    image.width = surface.width;
    image.height = surface.height;
    image.rgb.reserve(surface.pixels.size() * 3);
    for (uint32_t pixel : surface.pixels) {
        image.rgb.push_back(uint8_t(pixel >> 16));
        image.rgb.push_back(uint8_t(pixel >> 8));
        image.rgb.push_back(uint8_t(pixel));
    }
    return image;
}

UINT messageFor(int button) {
    switch (button) {
    case VK_RBUTTON:
        return WM_RBUTTONDOWN;
    case VK_MBUTTON:
        return WM_MBUTTONDOWN;
    default:
        return WM_LBUTTONDOWN;
    }
}

// The key that types a character on a plain keyboard, 0 when none does.
int virtualKeyOf(char character) {
    if (character >= 'a' && character <= 'z')
        return character - 'a' + 'A';
    if ((character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9') ||
        character == ' ')
        return character;
    return 0;
}

int characterOf(int virtualKey) {
    switch (virtualKey) {
    case VK_RETURN:
    case VK_BACK:
    case VK_ESCAPE:
    case VK_TAB:
    case VK_SPACE:
        return virtualKey;
    default:
        return 0;
    }
}

// Posts one key stroke to the focused window and runs the message loop over it.
void strike(int virtualKey, int character) {
    HWND focus = GetFocus();
    if (!focus)
        return;
    PostMessageA(focus, WM_KEYDOWN, WPARAM(virtualKey), 1);
    if (character)
        PostMessageA(focus, WM_CHAR, WPARAM(static_cast<unsigned char>(character)), 1);
    PostMessageA(focus, WM_KEYUP, WPARAM(virtualKey), LPARAM(0xC0000001u));
    pumpMessages();
}

} // namespace

uint32_t Image::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xFFFFFFFF;
    const size_t at = (size_t(y) * size_t(width) + size_t(x)) * 3;
    return (uint32_t(rgb[at]) << 16) | (uint32_t(rgb[at + 1]) << 8) | rgb[at + 2];
}

HWND createHostWindow(int x, int y, int width, int height) {
    WNDCLASSA description{};
    description.lpfnWndProc = hostWindowProcedure;
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = hostClassName;
    RegisterClassA(&description); // fails harmlessly once the class exists
    return CreateWindowExA(0, hostClassName, "Host", WS_OVERLAPPED | WS_VISIBLE, x, y, width,
                           height, nullptr, nullptr, nullptr, nullptr);
}

int pumpMessages(int limit) {
    int dispatched = 0;
    MSG message;
    while (dispatched < limit && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        ++dispatched;
    }
    return dispatched;
}

HWND pressAt(int screenX, int screenY, int button, const InputSnapshot* modifiers) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const uintptr_t target = windowAt(layer, layer.topLevelWindows, screenX, screenY);
    InputSnapshot state = modifiers ? *modifiers : InputSnapshot{};
    state.x = screenX;
    state.y = screenY;
    state.leftButton = button == VK_LBUTTON;
    state.rightButton = button == VK_RBUTTON;
    state.middleButton = button == VK_MBUTTON;
    if (!target) {
        state.leftButton = state.rightButton = state.middleButton = false;
        layer.input.set(state);
        return nullptr;
    }
    layer.input.set(state);
    const POINT origin = layer.clientOrigin(*layer.window(target));
    WPARAM keys = state.leftButton ? MK_LBUTTON : state.rightButton ? MK_RBUTTON : MK_MBUTTON;
    keys |= (state.shift ? MK_SHIFT : 0) | (state.control ? MK_CONTROL : 0);
    const LPARAM position = MAKELPARAM(int64_t(screenX) - origin.x, int64_t(screenY) - origin.y);
    guard.unlock();
    SendMessageA(asHandle<HWND>(target), messageFor(button), keys, position);
    guard.lock();
    InputSnapshot after = layer.input.current();
    after.leftButton = after.rightButton = after.middleButton = false;
    layer.input.set(after);
    return asHandle<HWND>(target);
}

void typeText(const std::string& text) {
    for (char character : text)
        strike(virtualKeyOf(character), character);
}

void pressKey(int virtualKey) {
    strike(virtualKey, characterOf(virtualKey));
}

void setMenuHandler(std::function<int(const TrackedMenu&)> handler) {
    auto guard = Layer::instance().lock();
    Layer::instance().menuHandler = std::move(handler);
}

void clearMenuHandler() {
    setMenuHandler(nullptr);
}

void setInput(const InputSnapshot& state) {
    auto guard = Layer::instance().lock();
    Layer::instance().input.set(state);
}

InputSnapshot currentInput() {
    auto guard = Layer::instance().lock();
    return Layer::instance().input.current();
}

void scriptInput(std::vector<InputSnapshot> states) {
    auto guard = Layer::instance().lock();
    Layer::instance().input.script(std::deque<InputSnapshot>(states.begin(), states.end()));
}

void setInputProvider(std::function<void(InputSnapshot&)> provider) {
    auto guard = Layer::instance().lock();
    Layer::instance().input.setProvider(std::move(provider));
}

void clearInputScript() {
    auto guard = Layer::instance().lock();
    Layer::instance().input.clearScript();
}

uint64_t cursorPollCount() {
    auto guard = Layer::instance().lock();
    return Layer::instance().input.pollCount();
}

void useManualClock(uint32_t start, uint32_t perPoll) {
    auto guard = Layer::instance().lock();
    Layer::instance().input.useManualClock(start);
    Layer::instance().input.setTicksPerPoll(perPoll);
}

void advanceClock(uint32_t milliseconds) {
    auto guard = Layer::instance().lock();
    Layer::instance().input.advanceClock(milliseconds);
}

void useSystemClock() {
    auto guard = Layer::instance().lock();
    Layer::instance().input.useSystemClock();
}

Image captureWindow(HWND handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return {};
    Surface composed(window->client.width, window->client.height, false, 0);
    compose(layer, *window, composed, 0, 0, composed.bounds());
    return imageOf(composed);
}

Image captureBitmap(HBITMAP handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const auto* bitmap = layer.table.get<Bitmap>(handleValue(handle));
    return bitmap ? imageOf(bitmap->surface) : Image{};
}

bool isMonochrome(HBITMAP handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const auto* bitmap = layer.table.get<Bitmap>(handleValue(handle));
    return bitmap && bitmap->surface.monochrome;
}

bool writePng(const Image& image, const std::string& path) {
    if (image.width <= 0 || image.height <= 0)
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    description.width = png_uint_32(image.width);
    description.height = png_uint_32(image.height);
    description.format = PNG_FORMAT_RGB;
    const int written =
        png_image_write_to_stdio(&description, file, 0, image.rgb.data(), image.width * 3, nullptr);
    const bool closed = std::fclose(file) == 0;
    return written != 0 && closed;
}

LiveCounts liveCounts() {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    LiveCounts counts;
    counts.windows = layer.table.liveCount(ObjectKind::window);
    counts.deviceContexts = layer.table.liveCount(ObjectKind::deviceContext);
    counts.gdiObjects =
        layer.table.liveCount(ObjectKind::bitmap) + layer.table.liveCount(ObjectKind::pen) +
        layer.table.liveCount(ObjectKind::brush) + layer.table.liveCount(ObjectKind::font);
    counts.fontFaces = FontFace::liveCount();
    for (const auto& [key, windowClass] : layer.classes)
        if (windowClass.name != hostClassName && !windowClass.builtIn)
            ++counts.windowClasses;
    return counts;
}

} // namespace platformtest
