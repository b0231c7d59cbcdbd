#include "gui/FilmstripView.h"

#include "gui/Canvas.h"
#include "gui/ControlTracking.h"
#include "gui/ResourceBitmap.h"

namespace {

void paintIfSet(ResourceBitmap* bitmap, Canvas* canvas, const Rect& bounds, const Point& source) {
    if (bitmap != nullptr) {
        bitmap->paint(canvas, bounds, source);
    }
}

} // namespace

FilmstripView::FilmstripView(const Rect& size, ValueListener* listener, int tag, int imageCount,
                             int imageHeight, ResourceBitmap* bitmap, const Point& bitmapOffset)
    : ValueControl(size, listener, tag), bitmap(bitmap), bitmapOffset(bitmapOffset),
      imageCount(imageCount), imageHeight(imageHeight) {
    ResourceBitmap::retainIfSet(bitmap);
}

FilmstripView::~FilmstripView() {
    ResourceBitmap::releaseIfSet(bitmap);
}

void FilmstripView::draw(Canvas* canvas) {
    Point source = bitmapOffset;
    if (value > 1.0f) {
        value = 1.0f;
    }
    if (value > 0.0f) {
        const int image = tracking::truncated((imageCount - 1) * value + 0.5f);
        source.v += image * imageHeight;
    }
    paintIfSet(bitmap, canvas, bounds, source);
    drawnValue = value;
}

FilmstripButton::FilmstripButton(const Rect& size, ValueListener* listener, int tag,
                                 int imageHeight, ResourceBitmap* bitmap, const Point& bitmapOffset)
    : ValueControl(size, listener, tag), bitmap(bitmap), bitmapOffset(bitmapOffset),
      imageHeight(imageHeight) {
    ResourceBitmap::retainIfSet(bitmap);
}

FilmstripButton::~FilmstripButton() {
    ResourceBitmap::releaseIfSet(bitmap);
}

void FilmstripButton::draw(Canvas* canvas) {
    value = tracking::clampedToUnit(value);
    paintIfSet(bitmap, canvas, bounds, Point(0, value != 0.0f ? imageHeight : 0));
    drawnValue = value;
}

void FilmstripButton::mouseDown(Canvas* canvas, Point& where) {
    if (!mouseActive) {
        return;
    }
    // Unlike the momentary button, the state the press ended in stays.
    trackFlip(canvas, where, value);
}

FrameAnimation::FrameAnimation(const Rect& size, ValueListener* listener, int tag, int imageCount,
                               int imageHeight, ResourceBitmap* bitmap, const Point& bitmapOffset)
    : ValueControl(size, listener, tag), bitmap(bitmap), bitmapOffset(bitmapOffset),
      imageCount(imageCount), imageHeight(imageHeight), stripHeight(imageCount * imageHeight) {
    ResourceBitmap::retainIfSet(bitmap);
}

FrameAnimation::~FrameAnimation() {
    ResourceBitmap::releaseIfSet(bitmap);
}

int FrameAnimation::frameOffset() const {
    if (imageHeight <= 0 || imageCount <= 0) {
        return 0;
    }
    const int lastFrame = stripHeight - imageHeight;
    const int offset = tracking::truncated(value);
    if (offset <= 0) {
        return 0;
    }
    return offset >= lastFrame ? lastFrame : offset / imageHeight * imageHeight;
}

// Only a running animation draws; the last frame drawn stays until something covers it.
void FrameAnimation::draw(Canvas* canvas) {
    if (!running) {
        return;
    }
    paintIfSet(bitmap, canvas, bounds, Point(bitmapOffset.h, frameOffset() + bitmapOffset.v));
    drawnValue = value;
}

void FrameAnimation::mouseDown(Canvas* canvas, Point&) {
    if (!mouseActive) {
        return;
    }
    value = 0.0f;
    if (!running) {
        startAnimation();
        drawnValue = -1.0f;
        notify(canvas);
    } else {
        draw(canvas);
        stopAnimation();
    }
}

void FrameAnimation::startAnimation() {
    running = true;
}

void FrameAnimation::stopAnimation() {
    running = false;
}

// Whole frames only, and every frame in turn: after the last comes the first again.
void FrameAnimation::nextFrame() {
    const int next = frameOffset() + imageHeight;
    value = static_cast<float>(next < stripHeight ? next : 0);
}

void FrameAnimation::previousFrame() {
    const int previous = frameOffset() - imageHeight;
    const int lastFrame = stripHeight - imageHeight;
    value = static_cast<float>(previous >= 0 ? previous : (lastFrame > 0 ? lastFrame : 0));
}
