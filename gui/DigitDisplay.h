// A whole number shown as bitmap digits, one image per place.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

class DigitDisplay : public ValueControl {
public:
    static constexpr int maxDigits = 7;

    // The bitmap stacks the digits 0 to 9 from the top; the range becomes 0 .. 10^digits - 1.
    DigitDisplay(const Rect& size, ValueListener* listener, int tag, int initialValue,
                 int digitCount, const int* digitLeft, const int* digitTop, int digitWidth,
                 int digitHeight, ResourceBitmap* bitmap);
    ~DigitDisplay() override;

    void draw(Canvas* canvas) override;
    // The value as a fraction of the maximum, limited to 0..1.
    virtual float normalizedValue();

    // The digit each place shows for the current value and bounds, most significant first.
    int digitAt(int place);

protected:
    ResourceBitmap* bitmap;
    int digitCount;
    int digitLeft[maxDigits] = {};
    int digitTop[maxDigits] = {};
    int digitWidth;
    int digitHeight;
};
