#include "gui/MomentaryButton.h"

#include "gui/Canvas.h"
#include "gui/ControlTracking.h"
#include "gui/ResourceBitmap.h"

MomentaryButton::MomentaryButton(const Rect& size, ValueListener* listener, int tag,
                                 int imageHeight, ResourceBitmap* bitmap, const Point& bitmapOffset)
    : ValueControl(size, listener, tag), bitmap(bitmap), bitmapOffset(bitmapOffset),
      imageHeight(imageHeight) {
    ResourceBitmap::retainIfSet(bitmap);
}

MomentaryButton::~MomentaryButton() {
    ResourceBitmap::releaseIfSet(bitmap);
}

void MomentaryButton::draw(Canvas* canvas) {
    value = tracking::clampedToUnit(value);
    const Point source(bitmapOffset.h, bitmapOffset.v + (value != 0.0f ? imageHeight : 0));
    if (bitmap != nullptr) {
        bitmap->paint(canvas, bounds, source);
    }
    drawnValue = value;
}

// On while the cursor is over the held button; every press ends back at off, and a click that is
// over before the first poll still reports on and then off.
void MomentaryButton::mouseDown(Canvas* canvas, Point& where) {
    if (!mouseActive) {
        return;
    }
    trackFlip(canvas, where, value);
    value = 0.0f;
    notify(canvas);
}
