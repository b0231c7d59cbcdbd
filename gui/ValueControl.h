// Base of every control that carries a value, and the interface through which controls report
// the user's edits.
#pragma once

#include "gui/Widget.h"

class ValueControl;

class ValueListener {
public:
    virtual void valueChanged(Canvas* canvas, ValueControl* control) = 0;

protected:
    ~ValueListener() = default;
};

class ValueControl : public Widget {
public:
    ValueControl(const Rect& size, ValueListener* listener, int tag);
    ~ValueControl() override;

    void draw(Canvas* canvas) override = 0;
    // Redraws when the value differs from the value last drawn. Final, so that the frame can tell
    // without drawing whether an update pass would draw anything.
    void update(Canvas* canvas) final;
    bool isOutOfDate() const { return value < drawnValue || value > drawnValue; }
    // Keeps the editor's idle work running while the control tracks the mouse.
    virtual void idleWhileTracking();
    virtual void setValue(float newValue);
    virtual float getValue();
    virtual void setMinimum(float newMinimum);
    virtual float getMinimum();
    virtual void setMaximum(float newMaximum);
    virtual float getMaximum();
    virtual void setDrawnValue(float newDrawnValue);
    virtual float getDrawnValue();
    virtual void setResetValue(float newResetValue);
    virtual float getResetValue();
    virtual void setMouseActive(bool active);
    virtual bool isMouseActive();

    ValueListener* listener;
    int tag;

protected:
    // The listener hears of an edit only when the value differs from what is on screen.
    void notifyIfChanged(Canvas* canvas);
    // The listener hears of the value whatever is on screen.
    void notify(Canvas* canvas);
    // While any button or modifier is held: the other state of `saved` with the cursor over the
    // control, `saved` elsewhere. A click over before the first poll flips once, reported.
    void trackFlip(Canvas* canvas, Point& where, float saved);
    // Alt with the left button and nothing else: back to the reset value, reported if it differs
    // from what is on screen. True when the press was that gesture.
    bool resetOnGesture(Canvas* canvas);
    // One pass of a tracking loop after the value was computed: report it, follow the cursor
    // and keep the editor's idle work running.
    void trackingStep(Canvas* canvas, Point& where);

    bool mouseActive = true;
    float drawnValue = -1.0f;
    float resetValue = 0.5f;
    float value = 0.0f;
    float minimum = 0.0f;
    float maximum = 1.0f;
};
