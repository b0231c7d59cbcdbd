#include "gui/DigitDisplay.h"

#include "gui/ControlTracking.h"
#include "gui/ResourceBitmap.h"

#include <algorithm>
#include <cmath>

DigitDisplay::DigitDisplay(const Rect& size, ValueListener* listener, int tag, int initialValue,
                           int digitCount, const int* left, const int* top, int digitWidth,
                           int digitHeight, ResourceBitmap* bitmap)
    : ValueControl(size, listener, tag), bitmap(bitmap),
      digitCount(std::clamp(digitCount, 0, maxDigits)), digitWidth(digitWidth),
      digitHeight(digitHeight) {
    value = static_cast<float>(initialValue);
    for (int i = 0; i < this->digitCount; ++i) {
        digitLeft[i] = left[i];
        digitTop[i] = top[i];
    }
    ResourceBitmap::retainIfSet(bitmap);
    setMaximum(static_cast<float>(std::pow(10.0, this->digitCount) - 1.0));
    setMinimum(0.0f);
}

DigitDisplay::~DigitDisplay() {
    ResourceBitmap::releaseIfSet(bitmap);
}

float DigitDisplay::normalizedValue() {
    return tracking::clampedToUnit(value / getMaximum());
}

// Bounds changed after construction can make a place value 0 or let negative numbers through:
// such places show 0, and every digit stays within the ten images.
int DigitDisplay::digitAt(int place) {
    int n = tracking::truncated(value);
    if (getMaximum() <= static_cast<float>(n)) {
        n = tracking::truncated(getMaximum());
    } else if (getMinimum() > static_cast<float>(n)) {
        n = tracking::truncated(getMinimum());
    }
    int divisor = (tracking::truncated(getMaximum()) + 1) / 10;
    int digit = 0;
    for (int i = 0; i <= place; ++i) {
        digit = divisor != 0 ? n / divisor : 0;
        n -= digit * divisor;
        divisor /= 10;
    }
    return std::clamp(digit, 0, 9);
}

void DigitDisplay::draw(Canvas* canvas) {
    for (int i = 0; i < digitCount && bitmap != nullptr; ++i) {
        const Rect place(digitLeft[i], digitTop[i], digitLeft[i] + digitWidth,
                         digitTop[i] + digitHeight);
        bitmap->paint(canvas, place, Point(0, digitAt(i) * digitHeight));
    }
    drawnValue = value;
}
