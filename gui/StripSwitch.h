// Multi-position switches that show one image of a vertical strip per position, and the
// spring-loaded three-way tilt switch.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

// Position p of n has the value p / (n - 1). A switch needs at least two positions; with fewer
// it stays at its first position and image.
class StripSwitch : public ValueControl {
public:
    ~StripSwitch() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;

protected:
    enum class Axis { vertical, horizontal };

    StripSwitch(Axis axis, const Rect& size, ValueListener* listener, int tag, int imageHeight,
                int positionCount, ResourceBitmap* bitmap, const Point& bitmapOffset);

    // The value of the zone a press lies in, from its offset along the switch's axis.
    float valueAtOffset(int offset) const;

    ResourceBitmap* bitmap;
    Point bitmapOffset;
    int imageHeight;
    int positionCount;

private:
    Axis axis;
};

class VerticalStripSwitch : public StripSwitch {
public:
    VerticalStripSwitch(const Rect& size, ValueListener* listener, int tag, int imageHeight,
                        int positionCount, ResourceBitmap* bitmap, const Point& bitmapOffset);
};

class HorizontalStripSwitch : public StripSwitch {
public:
    HorizontalStripSwitch(const Rect& size, ValueListener* listener, int tag, int imageHeight,
                          int positionCount, ResourceBitmap* bitmap, const Point& bitmapOffset);
};

// Left half -1, right half 1 while pressed; back to 0 on release.
class TiltSwitch : public ValueControl {
public:
    TiltSwitch(const Rect& size, ValueListener* listener, int tag, int imageHeight,
               ResourceBitmap* bitmap, const Point& bitmapOffset);
    ~TiltSwitch() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;

protected:
    float valueAt(const Point& where, float saved) const;

    ResourceBitmap* bitmap;
    Point bitmapOffset;
    int imageHeight;
};
