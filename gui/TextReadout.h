// A control that shows its value as one line of text in a box.
#pragma once

#include "gui/Canvas.h"
#include "gui/ValueControl.h"

class ResourceBitmap;

// Writes the text for a value into a 256-character buffer that starts out empty.
using ValueToTextFn = void (*)(float value, char* text);

inline constexpr int styleDropShadow = 0x04;
inline constexpr int styleBevelIn = 0x80;
inline constexpr int styleBevelOut = 0x100;

inline constexpr int readoutTextCapacity = 256;

class TextReadout : public ValueControl {
public:
    TextReadout(const Rect& size, ResourceBitmap* background, int style);
    ~TextReadout() override;

    void draw(Canvas* canvas) override;
    virtual void setFontId(int newFontId);
    virtual void setTextColor(Color color);
    virtual void setBackgroundColor(Color color);
    virtual void setBorderColor(Color color);
    virtual void setDropShadowColor(Color color);
    virtual void setTextAlign(int align);
    virtual void setBackgroundOffset(const Point& offset);
    virtual void setValueToText(ValueToTextFn function);

    // Draws the box with the given text; a background override replaces the readout's bitmap.
    void paintText(Canvas* canvas, const char* text, ResourceBitmap* backgroundOverride);

    int getFontId() const { return fontId; }
    int getStyle() const { return style; }

protected:
    // Makes the next update redraw although the value did not change.
    void markForRedraw();
    template <typename T> void changeSetting(T& setting, const T& newValue) {
        if (setting != newValue) {
            markForRedraw();
        }
        setting = newValue;
    }
    void paintBox(Canvas* canvas, const Rect& r, ResourceBitmap* backgroundOverride);
    void paintBevel(Canvas* canvas, const Rect& r);

    int textAlign = alignCenter;
    int style;
    int fontId = fontMedium;
    Color textColor = colorWhite;
    Color backgroundColor = colorBlack;
    Color borderColor = colorBlack;
    Color dropShadowColor = colorRed;
    Point backgroundOffset{0, 0};
    ResourceBitmap* background;
    ValueToTextFn valueToText = nullptr;
};
