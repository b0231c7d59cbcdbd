#include "midside/LogoSplash.h"

LogoSplash::LogoSplash(const Rect& bounds, ValueListener* listener, int tag,
                       ResourceBitmap* splashBitmap, const Rect& splashRect,
                       const Point& bitmapOffset)
    : SplashPanel(bounds, listener, tag, splashBitmap, splashRect, bitmapOffset) {}

LogoSplash::~LogoSplash() = default;

void LogoSplash::draw(Canvas* canvas) {
    if (getValue() != 0.0f) {
        SplashPanel::draw(canvas);
    }
}
