#include "gui/SplashPanel.h"

#include "gui/EditorFrame.h"
#include "gui/ResourceBitmap.h"

SplashPanel::SplashPanel(const Rect& size, ValueListener* listener, int tag,
                         ResourceBitmap* splashBitmap, const Rect& splashRect,
                         const Point& bitmapOffset)
    : ValueControl(size, listener, tag), splashRect(splashRect), splashBitmap(splashBitmap),
      bitmapOffset(bitmapOffset) {
    ResourceBitmap::retainIfSet(splashBitmap);
}

SplashPanel::~SplashPanel() {
    ResourceBitmap::releaseIfSet(splashBitmap);
}

void SplashPanel::draw(Canvas* canvas) {
    if (value != 0.0f && splashBitmap != nullptr) {
        splashBitmap->paint(canvas, splashRect, bitmapOffset);
    }
}

void SplashPanel::mouseDown(Canvas* canvas, Point&) {
    if (!mouseActive) {
        return;
    }
    // Any routed press toggles, whatever the buttons; a value that is no number counts as hidden.
    const bool hidden = value == 0.0f || value != value;
    value = hidden ? 1.0f : 0.0f;
    if (hidden) {
        show(canvas);
    } else {
        hide(canvas);
    }
}

void SplashPanel::show(Canvas* canvas) {
    // Outside a frame, or when another widget is modal, the image cannot take over the editor:
    // the panel stays hidden.
    if (frame == nullptr || !frame->setModalWidget(this)) {
        value = 0.0f;
        return;
    }
    savedRect = bounds;
    bounds = splashRect;
    draw(canvas);
    notify(canvas);
}

void SplashPanel::hide(Canvas* canvas) {
    // Only a panel that took over the editor has a rectangle to give back; one whose value was
    // merely set keeps its own.
    if (frame != nullptr && frame->getModalWidget() == this) {
        bounds = savedRect;
        frame->setModalWidget(nullptr);
    }
    if (frame != nullptr) {
        frame->draw(canvas);
    }
    notify(canvas);
}
