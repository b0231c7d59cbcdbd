#include "gui/RotaryKnob.h"

#include "gui/Canvas.h"
#include "gui/ControlTracking.h"
#include "gui/ResourceBitmap.h"

#include <cmath>

namespace {

constexpr float threeQuarterTurn = 4.712389f;
constexpr float startAngle = 3.9269907f;
constexpr float quarterTurn = 1.5707964f;
constexpr float halfTurn = 3.1415927f;
constexpr float fullTurn = 6.2831855f;
constexpr float turnToTravel = 1.3333334f;

} // namespace

RotaryKnob::RotaryKnob(const Rect& size, ValueListener* listener, int tag,
                       ResourceBitmap* faceBitmap, ResourceBitmap* pointerBitmap,
                       const Point& faceOffset)
    : ValueControl(size, listener, tag), faceBitmap(faceBitmap), pointerBitmap(pointerBitmap),
      faceOffset(faceOffset) {
    if (pointerBitmap != nullptr) {
        inset = pointerBitmap->getWidth() / 2;
        pointerBitmap->retain();
    }
    ResourceBitmap::retainIfSet(faceBitmap);
}

RotaryKnob::~RotaryKnob() {
    ResourceBitmap::releaseIfSet(faceBitmap);
    ResourceBitmap::releaseIfSet(pointerBitmap);
}

float RotaryKnob::radius() const {
    return static_cast<float>(bounds.getWidth() - 2 * inset) / 2.0f;
}

// Clockwise from straight up: the minimum at the lower left, the maximum at the lower right.
void RotaryKnob::pointForValue(Point& out) {
    const float r = radius();
    const float range = maximum - minimum;
    const float angle = threeQuarterTurn / range * (value - minimum) + startAngle;
    out.h = tracking::truncated(std::sin(static_cast<double>(angle)) * r + r) + inset;
    out.v = tracking::truncated(r - std::cos(static_cast<double>(angle)) * r) + inset;
}

float RotaryKnob::valueForPoint(const Point& p) {
    const float r = radius();
    const float range = maximum - minimum;
    const float x = static_cast<float>(p.h - inset) - r;
    const float y = r - static_cast<float>(p.v - inset);
    float a = 0.0f;
    if (!(std::fabs(y) < 1e-12f && std::fabs(x) < 1e-12f)) {
        // Straight left or right divides by zero: the infinity's arctangent is a quarter turn.
        a = static_cast<float>(-std::atan(static_cast<double>(x / y)));
    }
    a = a + quarterTurn;
    if (y < 0.0f) {
        a = a + halfTurn;
    }
    float f = a / fullTurn;
    if (f > 0.625f && f < 0.875f) {
        return f < 0.75f ? minimum : maximum;
    }
    f = f >= 0.875f ? f - 0.875f : f + 0.125f;
    f = f * turnToTravel;
    float result = range - f * range + minimum;
    if (result > maximum) {
        result = maximum;
    } else if (result < minimum) {
        result = minimum;
    }
    return result;
}

void RotaryKnob::setFaceBitmap(ResourceBitmap* bitmap) {
    ResourceBitmap::releaseIfSet(faceBitmap);
    faceBitmap = bitmap;
    ResourceBitmap::retainIfSet(faceBitmap);
}

ResourceBitmap* RotaryKnob::getFaceBitmap() {
    return faceBitmap;
}

void RotaryKnob::draw(Canvas* canvas) {
    if (faceBitmap != nullptr) {
        faceBitmap->paint(canvas, bounds, faceOffset);
    }
    Point p(0, 0);
    pointForValue(p);
    p.h += bounds.left - inset;
    p.v += bounds.top - inset;
    if (pointerBitmap != nullptr) {
        pointerBitmap->paintKeyed(
            canvas,
            Rect(p.h, p.v, p.h + pointerBitmap->getWidth(), p.v + pointerBitmap->getHeight()),
            Point(0, 0));
    }
    drawnValue = value;
}

// The mapping is absolute: the first pass sets the value for the pressed point. The drag goes on
// while any button or modifier is held.
void RotaryKnob::mouseDown(Canvas* canvas, Point& where) {
    if (!mouseActive) {
        return;
    }
    if (resetOnGesture(canvas)) {
        return;
    }
    do {
        where.h -= bounds.left - inset;
        where.v -= bounds.top - inset;
        value = valueForPoint(where);
        trackingStep(canvas, where);
    } while (canvas->pollButtons() != 0);
}

FilmstripKnob::FilmstripKnob(const Rect& size, ValueListener* listener, int tag, int imageCount,
                             int imageHeight, ResourceBitmap* strip, const Point& offset)
    : RotaryKnob(size, listener, tag, nullptr, strip, offset), imageCount(imageCount),
      imageHeight(imageHeight) {
    inset = 0;
}

FilmstripKnob::~FilmstripKnob() = default;

// The image index is the value times (images - 1), rounded down; 1.0 shows the last image.
void FilmstripKnob::draw(Canvas* canvas) {
    int v = 0;
    if (value > 0.0f && imageHeight > 0) {
        const int total = (imageCount - 1) * imageHeight;
        int target = tracking::truncated(static_cast<double>(total) * value);
        for (int k = 0; k <= total; k += imageHeight) {
            if (target < k) {
                target = k - imageHeight;
                break;
            }
        }
        // Values above the range show the last image rather than a place beyond the strip.
        v = target < total ? target : total;
    }
    if (pointerBitmap != nullptr) {
        pointerBitmap->paint(canvas, bounds, Point(0, v));
    }
    drawnValue = value;
}
