// A level shown as a bar of lit segments that rises at once and falls at most a step per draw.
#pragma once

#include "gui/ValueControl.h"

class ResourceBitmap;

inline constexpr int styleHorizontal = 1;

class LevelMeter : public ValueControl {
public:
    LevelMeter(const Rect& size, ResourceBitmap* onBitmap, ResourceBitmap* offBitmap, int ledCount,
               int style);
    ~LevelMeter() override;

    void draw(Canvas* canvas) override;
    virtual void setFallStep(float step);

    const Rect& getLitRect() const { return litRect; }
    const Rect& getUnlitRect() const { return unlitRect; }

protected:
    ResourceBitmap* onBitmap;
    ResourceBitmap* offBitmap;
    int ledCount;
    int style;
    float fallStep = 1.0f;
    Rect litRect;
    Rect unlitRect;
};
