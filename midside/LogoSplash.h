// The logo strip: shows the information image over the editor while clicked on.
#pragma once

#include "gui/SplashPanel.h"

class LogoSplash : public SplashPanel {
public:
    LogoSplash(const Rect& bounds, ValueListener* listener, int tag, ResourceBitmap* splashBitmap,
               const Rect& splashRect, const Point& bitmapOffset);
    ~LogoSplash() override;

    // Hidden, it draws nothing: the background's logo shows through.
    void draw(Canvas* canvas) override;
};
