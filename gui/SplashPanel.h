// A clickable area that shows an image over the editor until the next press inside the image.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

class SplashPanel : public ValueControl {
public:
    SplashPanel(const Rect& size, ValueListener* listener, int tag, ResourceBitmap* splashBitmap,
                const Rect& splashRect, const Point& bitmapOffset);
    ~SplashPanel() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;

protected:
    void show(Canvas* canvas);
    void hide(Canvas* canvas);

    Rect splashRect;
    Rect savedRect{0, 0, 0, 0};
    ResourceBitmap* splashBitmap;
    Point bitmapOffset;
};
