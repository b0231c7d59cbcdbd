// Controls that show one image out of a vertical strip of equally tall images: a display, a
// two-image toggle that follows the cursor, and a stepped animation.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

// Shows the image nearest to value x (images - 1); ignores the mouse.
class FilmstripView : public ValueControl {
public:
    FilmstripView(const Rect& size, ValueListener* listener, int tag, int imageCount,
                  int imageHeight, ResourceBitmap* bitmap, const Point& bitmapOffset);
    ~FilmstripView() override;

    void draw(Canvas* canvas) override;

protected:
    ResourceBitmap* bitmap;
    Point bitmapOffset;
    int imageCount;
    int imageHeight;
};

// Shows the flipped state while the cursor is over the held button, and keeps it if released
// there.
class FilmstripButton : public ValueControl {
public:
    FilmstripButton(const Rect& size, ValueListener* listener, int tag, int imageHeight,
                    ResourceBitmap* bitmap, const Point& bitmapOffset);
    ~FilmstripButton() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;

protected:
    ResourceBitmap* bitmap;
    Point bitmapOffset;
    int imageHeight;
};

// The value is the pixel offset of the current frame in the strip; a press starts or stops it.
class FrameAnimation : public ValueControl {
public:
    FrameAnimation(const Rect& size, ValueListener* listener, int tag, int imageCount,
                   int imageHeight, ResourceBitmap* bitmap, const Point& bitmapOffset);
    ~FrameAnimation() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;
    virtual void startAnimation();
    virtual void stopAnimation();
    // Steps forward by one frame, from the last frame back to the first.
    virtual void nextFrame();
    // Steps back by one frame, from the first frame round to the last.
    virtual void previousFrame();

    bool isRunning() const { return running; }

protected:
    // The offset of the whole frame the value lies in, inside the strip.
    int frameOffset() const;

    ResourceBitmap* bitmap;
    Point bitmapOffset;
    int imageCount;
    int imageHeight;
    bool running = false;
    int stripHeight;
};
