// Helpers of the toolkit's tests: a host window, presses in frame coordinates, and a widget that
// records what happens to it.
#pragma once

#include "gui/EditorFrame.h"
#include "gui/Widget.h"
#include "platform/TestHooks.h"

#include <string>

namespace guitest {

// A top-level window standing in for the host's editor window; destroyed with the fixture.
class HostWindow {
public:
    HostWindow(int width = 400, int height = 500)
        : window(platformtest::createHostWindow(40, 30, width, height)) {}
    ~HostWindow() {
        if (window != nullptr && IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND window;
};

inline POINT toScreen(HWND window, int x, int y) {
    POINT point{x, y};
    MapWindowPoints(window, nullptr, &point, 1);
    return point;
}

// Presses at a point given in the client coordinates of the window.
inline void pressIn(HWND window, int x, int y, int button = VK_LBUTTON,
                    const platformtest::InputSnapshot* modifiers = nullptr) {
    const POINT screen = toScreen(window, x, y);
    platformtest::pressAt(screen.x, screen.y, button, modifiers);
}

class RecordingWidget : public Widget {
public:
    RecordingWidget(const Rect& bounds, std::string name, std::string* log)
        : Widget(bounds), name(std::move(name)), log(log) {}
    ~RecordingWidget() override { record("deleted"); }

    void draw(Canvas*) override { record("draw"); }
    void mouseDown(Canvas*, Point& where) override {
        record("press@" + std::to_string(where.h) + "," + std::to_string(where.v));
    }
    void update(Canvas*) override { record("update"); }
    void focusLost() override { record("focusLost"); }

private:
    void record(const std::string& what) { *log += name + "." + what + ";"; }

    std::string name;
    std::string* log;
};

} // namespace guitest
