#include "gui/ImageSlider.h"

#include "gui/Canvas.h"
#include "gui/ControlTracking.h"
#include "gui/OffscreenCanvas.h"
#include "gui/ResourceBitmap.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int plainDrag = buttonLeft;
constexpr int fineDrag = buttonLeft | keyShift;

bool isDragState(int state) {
    return state == plainDrag || state == fineDrag;
}

} // namespace

ImageSlider::ImageSlider(Axis axis, const Rect& size, ValueListener* listener, int tag, int minPos,
                         int maxPos, ResourceBitmap* handleBitmap, ResourceBitmap* trackBitmap,
                         const Point& trackOffset, int style)
    : ValueControl(size, listener, tag), handleBitmap(handleBitmap), trackBitmap(trackBitmap),
      trackOffset(trackOffset), minPos(minPos), maxPos(maxPos), style(style), axis(axis) {
    setTransparentHandle(true);
    if (handleBitmap != nullptr) {
        handleWidth = handleBitmap->getWidth();
        handleHeight = handleBitmap->getHeight();
        handleBitmap->retain();
    }
    ResourceBitmap::retainIfSet(trackBitmap);
    if (isVertical()) {
        minLimit = minPos - size.top;
        maxLimit = maxPos + handleHeight - size.top;
        handlePos = maxPos;
    } else {
        minLimit = minPos - size.left;
        maxLimit = maxPos + handleWidth - size.left;
    }
    sliderWidth = size.getWidth();
    sliderHeight = size.getHeight();
}

ImageSlider::~ImageSlider() {
    ResourceBitmap::releaseIfSet(handleBitmap);
    ResourceBitmap::releaseIfSet(trackBitmap);
}

void ImageSlider::setTransparentHandle(bool transparent) {
    transparentHandle = transparent;
}

void ImageSlider::setHandleOffset(const Point& offset) {
    handleOffset = offset;
}

Rect ImageSlider::handleRectangle() const {
    const int zeroBit = isVertical() ? styleZeroAtTop : styleZeroAtLeft;
    const float p = (style & zeroBit) != 0 ? value : 1.0f - value;
    const float range = static_cast<float>(maxPos - minPos);
    const int travel = tracking::truncated(p * range);
    Rect handle;
    if (isVertical()) {
        handle.left = handleOffset.h;
        handle.right = handle.left + handleWidth;
        handle.top = std::max(travel + handleOffset.v, minLimit);
        handle.bottom = std::min(handle.top + handleHeight, maxLimit);
    } else {
        handle.top = handleOffset.v;
        handle.bottom = handle.top + handleHeight;
        handle.left = std::max(travel + handleOffset.h, minLimit);
        handle.right = std::min(handle.left + handleWidth, maxLimit);
    }
    return handle;
}

void ImageSlider::draw(Canvas* canvas) {
    const Rect handle = handleRectangle();
    {
        // The whole picture is composed offscreen and reaches the window in one copy.
        OffscreenCanvas offscreen(frame, sliderWidth, sliderHeight, colorBlack);
        if (trackBitmap != nullptr) {
            trackBitmap->paint(&offscreen, Rect(0, 0, sliderWidth, sliderHeight), trackOffset);
        }
        if (handleBitmap != nullptr) {
            if (transparentHandle) {
                handleBitmap->paintKeyed(&offscreen, handle, Point(0, 0));
            } else {
                handleBitmap->paint(&offscreen, handle, Point(0, 0));
            }
        }
        offscreen.blitTo(canvas, bounds, Point(0, 0));
    }
    handlePos = isVertical() ? handle.top + bounds.top : handle.left + bounds.left;
    drawnValue = value;
}

Rect ImageSlider::handleHitRectangle() const {
    if (isVertical()) {
        return Rect(bounds.left, handlePos, bounds.left + handleWidth, handlePos + handleHeight);
    }
    return Rect(handlePos, bounds.top, handlePos + handleWidth, bounds.top + handleHeight);
}

void ImageSlider::mouseDown(Canvas* canvas, Point& where) {
    if (!mouseActive) {
        return;
    }
    if (resetOnGesture(canvas)) {
        return;
    }
    const int state = canvas->pollButtons();
    // The handle never jumps to a press beside it.
    if (!isDragState(state) || !where.liesIn(handleHitRectangle())) {
        return;
    }
    trackDrag(canvas, where, state);
}

float ImageSlider::valueAt(int coordinate, int grab, float range) const {
    float position = static_cast<float>(coordinate - minPos - grab) / range;
    const int invertBit = isVertical() ? styleZeroAtBottom : styleZeroAtRight;
    if ((style & invertBit) != 0) {
        position = 1.0f - position;
    }
    return position;
}

// The drag is relative: the point where the handle was grabbed stays under the cursor. With
// Shift the value moves a tenth as fast, anchored where Shift was first pressed.
void ImageSlider::trackDrag(Canvas* canvas, Point& where, int state) {
    const float range = static_cast<float>(maxPos - minPos);
    const int grab = (isVertical() ? where.v : where.h) - handlePos;
    float anchorValue = value;
    int anchorState = state;
    int current = state;
    do {
        value = valueAt(isVertical() ? where.v : where.h, grab, range);
        if ((current & keyShift) != 0) {
            const float change = value - anchorValue;
            value = static_cast<float>(anchorValue + change / 10.0);
        }
        value = tracking::clampedToUnit(value);
        trackingStep(canvas, where);
        current = canvas->pollButtons();
        if (current != anchorState && (current & keyShift) != 0) {
            anchorValue = value;
            anchorState = current;
        }
    } while (isDragState(current));
}

VerticalImageSlider::VerticalImageSlider(const Rect& size, ValueListener* listener, int tag,
                                         int minPos, int maxPos, ResourceBitmap* handleBitmap,
                                         ResourceBitmap* trackBitmap, const Point& trackOffset,
                                         int style)
    : ImageSlider(Axis::vertical, size, listener, tag, minPos, maxPos, handleBitmap, trackBitmap,
                  trackOffset, style) {}

HorizontalImageSlider::HorizontalImageSlider(const Rect& size, ValueListener* listener, int tag,
                                             int minPos, int maxPos, ResourceBitmap* handleBitmap,
                                             ResourceBitmap* trackBitmap, const Point& trackOffset,
                                             int style)
    : ImageSlider(Axis::horizontal, size, listener, tag, minPos, maxPos, handleBitmap, trackBitmap,
                  trackOffset, style) {}
