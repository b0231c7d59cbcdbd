// Base of everything drawn inside the editor's frame window.
#pragma once

#include "gui/Geometry.h"

class Canvas;
class EditorFrame;
class OffscreenCanvas;

class Widget {
public:
    explicit Widget(const Rect& bounds);
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual ~Widget();
    virtual void draw(Canvas* canvas);
    virtual void mouseDown(Canvas* canvas, Point& where);
    virtual void update(Canvas* canvas);
    virtual void focusLost();
    virtual void focusGained();
    // Keeps an offscreen canvas large enough to hold the widget; smaller ones are ignored.
    virtual void attachOffscreen(OffscreenCanvas* offscreen);

    EditorFrame* getFrame() const { return frame; }
    const Rect& getBounds() const { return bounds; }
    OffscreenCanvas* getBorrowedOffscreen() const { return borrowedOffscreen; }
    // Draws the widget at once through a fresh device context of its frame's window.
    void drawNow();

protected:
    friend class EditorFrame;

    Rect bounds;
    EditorFrame* frame = nullptr;
    OffscreenCanvas* borrowedOffscreen = nullptr;
};
