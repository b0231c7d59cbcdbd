// A handle bitmap over a track bitmap that the user drags; one design along either axis.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

inline constexpr int styleZeroAtLeft = 0x08;
inline constexpr int styleZeroAtRight = 0x10;
inline constexpr int styleZeroAtTop = 0x20;
inline constexpr int styleZeroAtBottom = 0x40;

class ImageSlider : public ValueControl {
public:
    ~ImageSlider() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;
    virtual void setTransparentHandle(bool transparent);
    virtual void setHandleOffset(const Point& offset);

    int getHandlePos() const { return handlePos; }

protected:
    enum class Axis { vertical, horizontal };

    ImageSlider(Axis axis, const Rect& size, ValueListener* listener, int tag, int minPos,
                int maxPos, ResourceBitmap* handleBitmap, ResourceBitmap* trackBitmap,
                const Point& trackOffset, int style);

    ResourceBitmap* handleBitmap;
    ResourceBitmap* trackBitmap;
    int handleWidth = 0;
    int handleHeight = 0;
    Point trackOffset;
    Point handleOffset{0, 0};
    int minPos;
    int maxPos;
    int style;
    int handlePos = 0;
    bool transparentHandle = true;
    int minLimit = 0;
    int maxLimit = 0;
    int sliderWidth = 0;
    int sliderHeight = 0;

private:
    bool isVertical() const { return axis == Axis::vertical; }
    // Where the handle is drawn, in slider-relative coordinates.
    Rect handleRectangle() const;
    // Where a press grabs the handle, in frame coordinates.
    Rect handleHitRectangle() const;
    // The value a cursor coordinate along the axis gives, before fine adjustment and clamping.
    float valueAt(int coordinate, int grab, float range) const;
    void trackDrag(Canvas* canvas, Point& where, int state);

    Axis axis;
};

class VerticalImageSlider : public ImageSlider {
public:
    VerticalImageSlider(const Rect& size, ValueListener* listener, int tag, int minPos, int maxPos,
                        ResourceBitmap* handleBitmap, ResourceBitmap* trackBitmap,
                        const Point& trackOffset, int style);
};

class HorizontalImageSlider : public ImageSlider {
public:
    HorizontalImageSlider(const Rect& size, ValueListener* listener, int tag, int minPos,
                          int maxPos, ResourceBitmap* handleBitmap, ResourceBitmap* trackBitmap,
                          const Point& trackOffset, int style);
};
