// A press-and-hold bitmap button: on while held over it, back to off when released.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

class MomentaryButton : public ValueControl {
public:
    MomentaryButton(const Rect& size, ValueListener* listener, int tag, int imageHeight,
                    ResourceBitmap* bitmap, const Point& bitmapOffset);
    ~MomentaryButton() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;

protected:
    ResourceBitmap* bitmap;
    Point bitmapOffset;
    int imageHeight;
};
