// Knobs that follow the angle of the cursor around their centre through 270 degrees.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

class RotaryKnob : public ValueControl {
public:
    RotaryKnob(const Rect& size, ValueListener* listener, int tag, ResourceBitmap* faceBitmap,
               ResourceBitmap* pointerBitmap, const Point& faceOffset);
    ~RotaryKnob() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;
    // The pointer's position for the current value, relative to the circle's corner.
    virtual void pointForValue(Point& out);
    // The value for a position relative to the circle's corner; the bottom quarter is a dead zone.
    virtual float valueForPoint(const Point& p);
    virtual void setFaceBitmap(ResourceBitmap* bitmap);
    virtual ResourceBitmap* getFaceBitmap();

protected:
    float radius() const;

    int inset = 5;
    ResourceBitmap* faceBitmap;
    ResourceBitmap* pointerBitmap;
    Point faceOffset;
};

// A knob drawn as one image out of a vertical strip of pre-rendered images.
class FilmstripKnob : public RotaryKnob {
public:
    FilmstripKnob(const Rect& size, ValueListener* listener, int tag, int imageCount,
                  int imageHeight, ResourceBitmap* strip, const Point& offset);
    ~FilmstripKnob() override;

    void draw(Canvas* canvas) override;

protected:
    int imageCount;
    int imageHeight;
};
