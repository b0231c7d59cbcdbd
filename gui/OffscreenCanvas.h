// A canvas over a memory bitmap, for composing a widget's picture before one copy to the screen.
#pragma once

#include "gui/Canvas.h"

class ResourceBitmap;

class OffscreenCanvas : public Canvas {
public:
    // A copy of the bitmap's image, or a 20 x 20 black square without one.
    OffscreenCanvas(Canvas* source, ResourceBitmap* bitmap);
    // A width x height bitmap compatible with the frame's window, cleared to background.
    OffscreenCanvas(EditorFrame* frame, int width, int height, Color background);
    ~OffscreenCanvas() override;

    void blitTo(Canvas* destination, Rect destRect, Point srcOffset);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    HBITMAP getBitmap() const { return bitmap; }

private:
    void createBitmap(HDC compatibleWith);

    HBITMAP bitmap = nullptr;
    bool ownsBitmap = false;
    int height = 0;
    int width = 0;
    Color background = colorBlack;
};
