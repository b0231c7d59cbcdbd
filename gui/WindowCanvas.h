// A canvas over a window's device context for one message or pass; releases the context last.
#pragma once

#include "gui/Canvas.h"

#include <memory>
#include <new>

class WindowCanvas {
public:
    WindowCanvas(EditorFrame* frame, HWND window)
        : window(window), context(GetDC(window)),
          canvas(context != nullptr ? new (std::nothrow) Canvas(frame, context, window) : nullptr) {
    }
    WindowCanvas(const WindowCanvas&) = delete;
    WindowCanvas& operator=(const WindowCanvas&) = delete;
    ~WindowCanvas() {
        canvas.reset();
        if (context != nullptr) {
            ReleaseDC(window, context);
        }
    }

    // Null when the window has no device context or the canvas could not be made.
    Canvas* get() const { return canvas.get(); }

private:
    HWND window;
    HDC context;
    std::unique_ptr<Canvas> canvas;
};
