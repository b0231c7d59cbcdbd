// Where the layer's windows are shown. The layer tells the display about window changes; the
// display owns nothing of the layer. Calls arrive with the layer's lock held, so a display must
// not call back into the layer from them.
#pragma once

#include "platform/Surface.h"

#include <cstdint>

namespace win32layer {

class Display {
public:
    virtual ~Display() = default;

    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;

    // window is the handle value; screenRect is where its client area lies on the screen.
    virtual void windowCreated(uintptr_t window, bool topLevel, const PixelRect& screenRect) = 0;
    virtual void windowDestroyed(uintptr_t window) = 0;
    virtual void windowMoved(uintptr_t window, const PixelRect& screenRect) = 0;
    virtual void windowVisibility(uintptr_t window, bool visible) = 0;
    // New pixels of a window's client area are ready within area (client coordinates).
    virtual void windowPainted(uintptr_t window, const Surface& client, const PixelRect& area) = 0;
};

} // namespace win32layer
