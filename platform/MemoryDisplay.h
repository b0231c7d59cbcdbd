// A display without a display server: windows live only in memory, on a screen of fixed size.
#pragma once

#include "platform/Display.h"

namespace win32layer {

class MemoryDisplay : public Display {
public:
    MemoryDisplay(int width, int height) : width_(width), height_(height) {}

    int screenWidth() const override { return width_; }
    int screenHeight() const override { return height_; }
    void windowCreated(uintptr_t, bool, const PixelRect&) override {}
    void windowDestroyed(uintptr_t) override {}
    void windowMoved(uintptr_t, const PixelRect&) override {}
    void windowVisibility(uintptr_t, bool) override {}
    void windowPainted(uintptr_t, const Surface&, const PixelRect&) override { ++paints_; }

    long paintCount() const { return paints_; }

private:
    int width_;
    int height_;
    long paints_ = 0;
};

} // namespace win32layer
