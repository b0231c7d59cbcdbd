#include "gui/TextReadout.h"

#include "gui/Canvas.h"
#include "gui/ResourceBitmap.h"

#include <cstdio>

TextReadout::TextReadout(const Rect& size, ResourceBitmap* background, int style)
    : ValueControl(size, nullptr, 0), style(style), background(background) {
    ResourceBitmap::retainIfSet(background);
}

TextReadout::~TextReadout() {
    ResourceBitmap::releaseIfSet(background);
}

void TextReadout::markForRedraw() {
    drawnValue = value + 0.1f;
}

void TextReadout::setFontId(int newFontId) {
    changeSetting(fontId, newFontId);
}

void TextReadout::setTextColor(Color color) {
    changeSetting(textColor, color);
}

void TextReadout::setBackgroundColor(Color color) {
    changeSetting(backgroundColor, color);
}

void TextReadout::setBorderColor(Color color) {
    changeSetting(borderColor, color);
}

void TextReadout::setDropShadowColor(Color color) {
    changeSetting(dropShadowColor, color);
}

void TextReadout::setTextAlign(int align) {
    changeSetting(textAlign, align);
}

void TextReadout::setBackgroundOffset(const Point& offset) {
    backgroundOffset = offset;
}

void TextReadout::setValueToText(ValueToTextFn function) {
    valueToText = function;
}

void TextReadout::draw(Canvas* canvas) {
    char text[readoutTextCapacity] = "";
    if (valueToText != nullptr) {
        valueToText(value, text);
    } else {
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(value));
    }
    paintText(canvas, text, nullptr);
}

void TextReadout::paintText(Canvas* canvas, const char* text, ResourceBitmap* backgroundOverride) {
    const Rect r = bounds;
    paintBox(canvas, r, backgroundOverride);
    if ((style & (styleBevelIn | styleBevelOut)) != 0) {
        paintBevel(canvas, r);
    }
    canvas->selectFont(fontId);
    if ((style & styleDropShadow) != 0) {
        canvas->setTextColor(dropShadowColor);
        canvas->writeText(text, Rect(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1), 0,
                          textAlign);
    }
    canvas->setTextColor(textColor);
    canvas->writeText(text, r, 0, textAlign);
    drawnValue = value;
}

void TextReadout::paintBox(Canvas* canvas, const Rect& r, ResourceBitmap* backgroundOverride) {
    ResourceBitmap* image = backgroundOverride != nullptr ? backgroundOverride : background;
    if (image != nullptr) {
        image->paint(canvas, r, backgroundOffset);
        return;
    }
    canvas->setBrushColor(backgroundColor);
    canvas->paintRect(r);
    if ((style & (styleBevelIn | styleBevelOut)) == 0) {
        canvas->setPenColor(borderColor);
        canvas->outlineRect(r);
    }
}

void TextReadout::paintBevel(Canvas* canvas, const Rect& r) {
    const bool bevelIn = (style & styleBevelIn) != 0;
    canvas->setPenColor(bevelIn ? backgroundColor : borderColor);
    canvas->moveTo(Point(r.left, r.bottom));
    canvas->lineTo(Point(r.left, r.top));
    canvas->lineTo(Point(r.right + 1, r.top));
    canvas->setPenColor(bevelIn ? borderColor : backgroundColor);
    canvas->moveTo(Point(r.right, r.top + 1));
    canvas->lineTo(Point(r.right, r.bottom));
    canvas->lineTo(Point(r.left, r.bottom));
}
