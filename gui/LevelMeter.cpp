#include "gui/LevelMeter.h"

#include "gui/ControlTracking.h"
#include "gui/ResourceBitmap.h"

LevelMeter::LevelMeter(const Rect& size, ResourceBitmap* onBitmap, ResourceBitmap* offBitmap,
                       int ledCount, int style)
    : ValueControl(size, nullptr, 0), onBitmap(onBitmap), offBitmap(offBitmap), ledCount(ledCount),
      style(style), litRect(Rect::fromCorners(size.left, size.top, size.right, size.bottom)),
      unlitRect(litRect) {
    setFallStep(1.0f);
    ResourceBitmap::retainIfSet(onBitmap);
    ResourceBitmap::retainIfSet(offBitmap);
}

LevelMeter::~LevelMeter() {
    ResourceBitmap::releaseIfSet(onBitmap);
    ResourceBitmap::releaseIfSet(offBitmap);
}

void LevelMeter::setFallStep(float step) {
    fallStep = step;
}

void LevelMeter::draw(Canvas* canvas) {
    if (onBitmap == nullptr) {
        return;
    }
    if (getMaximum() < value) {
        value = getMaximum();
    } else if (getMinimum() > value) {
        value = getMinimum();
    }
    float floor = drawnValue - fallStep;
    if (floor < getMinimum()) {
        floor = getMinimum();
    }
    if (value < floor) {
        value = floor;
    }
    drawnValue = value;
    // Without segments there is nothing to light.
    const int segments = ledCount > 0 ? ledCount : 1;
    Point darkSource(0, 0);
    Point litSource(0, 0);
    if ((style & styleHorizontal) != 0) {
        const int lit = tracking::truncated(segments * value + 0.5f);
        const float fraction = static_cast<float>(lit) / static_cast<float>(segments);
        const int w = tracking::truncated(onBitmap->getWidth() * fraction);
        darkSource.h = w;
        unlitRect.left = bounds.left + w;
        litRect.right = bounds.left + w;
    } else {
        const int dark = tracking::truncated(segments * (getMaximum() - value) + 0.5f);
        const float fraction = static_cast<float>(dark) / static_cast<float>(segments);
        const int h = tracking::truncated(onBitmap->getHeight() * fraction);
        litSource.v = h;
        unlitRect.bottom = bounds.top + h;
        litRect.top = bounds.top + h;
    }
    if (offBitmap != nullptr) {
        offBitmap->paint(canvas, unlitRect, darkSource);
    }
    onBitmap->paint(canvas, litRect, litSource);
}
