#include "gui/Widget.h"

#include "gui/EditorFrame.h"
#include "gui/OffscreenCanvas.h"

Widget::Widget(const Rect& bounds) : bounds(bounds) {}

Widget::~Widget() = default;

void Widget::draw(Canvas*) {}

void Widget::mouseDown(Canvas*, Point&) {}

void Widget::update(Canvas*) {}

void Widget::focusLost() {}

void Widget::focusGained() {}

void Widget::attachOffscreen(OffscreenCanvas* offscreen) {
    if (offscreen != nullptr && offscreen->getWidth() >= bounds.getWidth() &&
        offscreen->getHeight() >= bounds.getHeight()) {
        borrowedOffscreen = offscreen;
    }
}

void Widget::drawNow() {
    if (frame != nullptr) {
        frame->drawWidgetNow(this);
    }
}
