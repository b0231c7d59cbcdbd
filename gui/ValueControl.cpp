#include "gui/ValueControl.h"

#include "gui/Canvas.h"
#include "gui/ControlTracking.h"
#include "gui/EditorFrame.h"
#include "gui/GuiEditor.h"

ValueControl::ValueControl(const Rect& size, ValueListener* listener, int tag)
    : Widget(size), listener(listener), tag(tag) {}

ValueControl::~ValueControl() = default;

void ValueControl::update(Canvas* canvas) {
    // An unordered comparison (a NaN on either side) counts as no change.
    if (isOutOfDate()) {
        draw(canvas);
        drawnValue = value;
    }
}

void ValueControl::idleWhileTracking() {
    if (frame != nullptr && frame->getEditor() != nullptr) {
        frame->getEditor()->pacedIdle();
    }
}

void ValueControl::notifyIfChanged(Canvas* canvas) {
    if (value != drawnValue) {
        notify(canvas);
    }
}

void ValueControl::notify(Canvas* canvas) {
    if (listener != nullptr) {
        listener->valueChanged(canvas, this);
    }
}

void ValueControl::trackFlip(Canvas* canvas, Point& where, float saved) {
    if (canvas->pollButtons() == 0) {
        value = tracking::flipped(saved);
        notify(canvas);
        return;
    }
    do {
        value = where.liesIn(bounds) ? tracking::flipped(saved) : saved;
        trackingStep(canvas, where);
    } while (canvas->pollButtons() != 0);
}

bool ValueControl::resetOnGesture(Canvas* canvas) {
    if (canvas->pollButtons() != (buttonLeft | keyAlt)) {
        return false;
    }
    value = getResetValue();
    notifyIfChanged(canvas);
    return true;
}

void ValueControl::trackingStep(Canvas* canvas, Point& where) {
    notifyIfChanged(canvas);
    canvas->pollCursor(where);
    idleWhileTracking();
}

void ValueControl::setValue(float newValue) {
    value = newValue;
}

float ValueControl::getValue() {
    return value;
}

void ValueControl::setMinimum(float newMinimum) {
    minimum = newMinimum;
}

float ValueControl::getMinimum() {
    return minimum;
}

void ValueControl::setMaximum(float newMaximum) {
    maximum = newMaximum;
}

float ValueControl::getMaximum() {
    return maximum;
}

void ValueControl::setDrawnValue(float newDrawnValue) {
    drawnValue = newDrawnValue;
}

float ValueControl::getDrawnValue() {
    return drawnValue;
}

void ValueControl::setResetValue(float newResetValue) {
    resetValue = newResetValue;
}

float ValueControl::getResetValue() {
    return resetValue;
}

void ValueControl::setMouseActive(bool active) {
    mouseActive = active;
}

bool ValueControl::isMouseActive() {
    return mouseActive;
}
