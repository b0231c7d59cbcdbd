// A two-state bitmap button: every press flips it.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

class ToggleButton : public ValueControl {
public:
    // The bitmap holds the off image above the on image, each half its height.
    ToggleButton(const Rect& size, ValueListener* listener, int tag, ResourceBitmap* bitmap);
    ~ToggleButton() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;

protected:
    ResourceBitmap* bitmap;
};
