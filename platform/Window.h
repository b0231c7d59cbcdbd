// Windows and window classes as the layer keeps them.
#pragma once

#include "platform/HandleTable.h"
#include "platform/Surface.h"
#include "platform/Win32Api.h"

#include <memory>
#include <string>
#include <vector>

namespace win32layer {

struct WindowClass {
    std::string name;
    std::string key; // lower-case name: class names compare without case
    WNDCLASSA description{};
    ATOM atom = 0;
    int windowCount = 0;
    // A class the layer provides itself, such as "EDIT": never unregistered, not counted as a leak.
    bool builtIn = false;
};

// What a built-in window class keeps for each of its windows. Told apart by a kind rather than by
// run-time type information, which differs between the copies of the layer in one process.
class ClassState {
public:
    enum class Kind { edit, menu };
    explicit ClassState(Kind kind) : kind_(kind) {}
    virtual ~ClassState() = default;
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// Window sizes are limited so that a client area never needs more than 64 MiB of pixels.
constexpr int maxWindowSide = 8192;
constexpr int64_t maxWindowPixels = int64_t{1} << 24;
inline void limitWindowSize(int& width, int& height) {
    width = width < 0 ? 0 : (width > maxWindowSide ? maxWindowSide : width);
    height = height < 0 ? 0 : (height > maxWindowSide ? maxWindowSide : height);
    if (width > 0 && int64_t(width) * height > maxWindowPixels)
        height = int(maxWindowPixels / width);
}

class Window : public LayerObject {
public:
    static constexpr ObjectKind objectKind = ObjectKind::window;
    Window() : LayerObject(objectKind) {}

    uintptr_t parent = 0;
    std::vector<uintptr_t> children; // back to front
    std::string classKey;
    HINSTANCE classInstance = nullptr;
    WNDPROC procedure = nullptr;
    HBRUSH classBrush = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    // Relative to the parent's client area; on the screen for a top-level window. The client area
    // is the whole window: the layer draws no frames.
    PixelRect rect;
    Surface client;
    PixelRect invalid;
    bool eraseNeeded = false;
    bool destroying = false;
    std::unique_ptr<ClassState> classState;

    bool visible() const { return (style & WS_VISIBLE) != 0; }
    bool isChild() const { return (style & WS_CHILD) != 0; }
    // The class state when it is of the kind T keeps, null otherwise.
    template <typename T> T* stateAs() const {
        return classState && classState->kind() == T::stateKind ? static_cast<T*>(classState.get())
                                                                : nullptr;
    }
    PixelRect clientRect() const { return {0, 0, rect.right - rect.left, rect.bottom - rect.top}; }
};

} // namespace win32layer
