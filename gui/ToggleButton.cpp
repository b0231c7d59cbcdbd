#include "gui/ToggleButton.h"

#include "gui/ResourceBitmap.h"

#include <cmath>

ToggleButton::ToggleButton(const Rect& size, ValueListener* listener, int tag,
                           ResourceBitmap* bitmap)
    : ValueControl(size, listener, tag), bitmap(bitmap) {
    ResourceBitmap::retainIfSet(bitmap);
}

ToggleButton::~ToggleButton() {
    ResourceBitmap::releaseIfSet(bitmap);
}

void ToggleButton::draw(Canvas* canvas) {
    if (bitmap != nullptr) {
        const int v = value != 0.0f ? bitmap->getHeight() / 2 : 0;
        bitmap->paint(canvas, bounds, Point(0, v));
    }
    drawnValue = value;
}

// Any routed press flips the button, whatever the buttons and modifiers.
void ToggleButton::mouseDown(Canvas* canvas, Point&) {
    if (!mouseActive) {
        return;
    }
    // A value that truncates to 0 counts as off here: 0.5 turns on, although it draws as on.
    const bool truncatesToZero = std::fabs(value) < 1.0f || std::isnan(value);
    value = truncatesToZero ? 1.0f : 0.0f;
    draw(canvas);
    notify(canvas);
}
