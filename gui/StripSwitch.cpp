#include "gui/StripSwitch.h"

#include "gui/Canvas.h"
#include "gui/ControlTracking.h"
#include "gui/ResourceBitmap.h"

StripSwitch::StripSwitch(Axis axis, const Rect& size, ValueListener* listener, int tag,
                         int imageHeight, int positionCount, ResourceBitmap* bitmap,
                         const Point& bitmapOffset)
    : ValueControl(size, listener, tag), bitmap(bitmap), bitmapOffset(bitmapOffset),
      imageHeight(imageHeight), positionCount(positionCount), axis(axis) {
    setResetValue(0.0f);
    ResourceBitmap::retainIfSet(bitmap);
}

StripSwitch::~StripSwitch() {
    ResourceBitmap::releaseIfSet(bitmap);
}

// The image is the number of whole steps the value reaches: 1.0 and above show the last one.
void StripSwitch::draw(Canvas* canvas) {
    int image = 0;
    if (positionCount >= 2) {
        image = positionCount - 1;
        const double step = 1.0 / (positionCount - 1);
        for (int i = 1; i <= positionCount - 1; ++i) {
            if (i * step > value) {
                image = i - 1;
                break;
            }
        }
    }
    if (bitmap != nullptr) {
        bitmap->paint(canvas, bounds, Point(0, image * imageHeight));
    }
    drawnValue = value;
}

float StripSwitch::valueAtOffset(int offset) const {
    if (positionCount < 2) {
        return 0.0f;
    }
    // The vertical switch divides its image height, the horizontal one its bitmap's width; a
    // press on a horizontal zone boundary still belongs to the zone before it.
    const bool vertical = axis == Axis::vertical;
    const int extent = vertical ? imageHeight : (bitmap != nullptr ? bitmap->getWidth() : 0);
    const double zone = static_cast<double>(extent) / positionCount;
    for (int i = 1; i <= positionCount - 1; ++i) {
        const int boundary = tracking::truncated(i * zone);
        if (vertical ? offset < boundary : offset <= boundary) {
            return static_cast<float>(i - 1) / static_cast<float>(positionCount - 1);
        }
    }
    return 1.0f;
}

void StripSwitch::mouseDown(Canvas* canvas, Point& where) {
    if (!mouseActive) {
        return;
    }
    if (resetOnGesture(canvas)) {
        return;
    }
    do {
        value =
            valueAtOffset(axis == Axis::vertical ? where.v - bounds.top : where.h - bounds.left);
        trackingStep(canvas, where);
    } while (canvas->pollButtons() != 0);
}

VerticalStripSwitch::VerticalStripSwitch(const Rect& size, ValueListener* listener, int tag,
                                         int imageHeight, int positionCount, ResourceBitmap* bitmap,
                                         const Point& bitmapOffset)
    : StripSwitch(Axis::vertical, size, listener, tag, imageHeight, positionCount, bitmap,
                  bitmapOffset) {}

HorizontalStripSwitch::HorizontalStripSwitch(const Rect& size, ValueListener* listener, int tag,
                                             int imageHeight, int positionCount,
                                             ResourceBitmap* bitmap, const Point& bitmapOffset)
    : StripSwitch(Axis::horizontal, size, listener, tag, imageHeight, positionCount, bitmap,
                  bitmapOffset) {}

TiltSwitch::TiltSwitch(const Rect& size, ValueListener* listener, int tag, int imageHeight,
                       ResourceBitmap* bitmap, const Point& bitmapOffset)
    : ValueControl(size, listener, tag), bitmap(bitmap), bitmapOffset(bitmapOffset),
      imageHeight(imageHeight) {
    ResourceBitmap::retainIfSet(bitmap);
}

TiltSwitch::~TiltSwitch() {
    ResourceBitmap::releaseIfSet(bitmap);
}

void TiltSwitch::draw(Canvas* canvas) {
    Point source = bitmapOffset;
    if (value == 1.0f) {
        source.v += 2 * imageHeight;
    } else if (value == 0.0f) {
        source.v += imageHeight;
    }
    if (bitmap != nullptr) {
        bitmap->paint(canvas, bounds, source);
    }
    drawnValue = value;
}

// The middle column belongs to the left half, which is tested first.
float TiltSwitch::valueAt(const Point& where, float saved) const {
    const int half = bounds.getWidth() / 2;
    const bool inRows = bounds.top <= where.v && where.v <= bounds.bottom;
    if (inRows && bounds.left <= where.h && where.h <= bounds.left + half) {
        return -1.0f;
    }
    if (inRows && bounds.left + half <= where.h && where.h <= bounds.right) {
        return 1.0f;
    }
    return saved;
}

// Every press ends back at rest with a report, even a click over before the first poll.
void TiltSwitch::mouseDown(Canvas* canvas, Point& where) {
    if (!mouseActive) {
        return;
    }
    const float saved = value;
    if (canvas->pollButtons() != 0) {
        do {
            value = valueAt(where, saved);
            trackingStep(canvas, where);
        } while (canvas->pollButtons() != 0);
    } else {
        value = valueAt(where, value);
        notify(canvas);
    }
    value = 0.0f;
    notify(canvas);
}
