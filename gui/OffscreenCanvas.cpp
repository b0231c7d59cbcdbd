#include "gui/OffscreenCanvas.h"

#include "gui/EditorFrame.h"
#include "gui/ResourceBitmap.h"

namespace {

constexpr int defaultSide = 20;

} // namespace

OffscreenCanvas::OffscreenCanvas(Canvas* source, ResourceBitmap* image)
    : Canvas(source->getFrame(), nullptr, nullptr), height(defaultSide), width(defaultSide) {
    if (image != nullptr) {
        width = image->getWidth();
        height = image->getHeight();
    }
    createBitmap(source->getDeviceContext());
    const Rect whole(0, 0, width, height);
    if (image != nullptr) {
        image->paint(this, whole, Point(0, 0));
    } else {
        setBrushColor(colorBlack);
        paintRect(whole);
    }
}

OffscreenCanvas::OffscreenCanvas(EditorFrame* frame, int width, int height, Color background)
    : Canvas(frame, nullptr, nullptr), height(height), width(width), background(background) {
    HWND frameWindow = frame != nullptr ? frame->getWindow() : nullptr;
    // Without a window there is nothing to be compatible with (and the whole screen is no
    // substitute): the canvas stays inert.
    if (frameWindow == nullptr) {
        return;
    }
    HDC windowContext = GetDC(frameWindow);
    createBitmap(windowContext);
    ReleaseDC(frameWindow, windowContext);
    const Rect whole(0, 0, width, height);
    setBrushColor(background);
    setPenColor(background);
    paintRect(whole);
    outlineRect(whole);
}

void OffscreenCanvas::createBitmap(HDC compatibleWith) {
    deviceContext = CreateCompatibleDC(compatibleWith);
    bitmap = CreateCompatibleBitmap(compatibleWith, width, height);
    ownsBitmap = true;
    SelectObject(deviceContext, bitmap);
}

OffscreenCanvas::~OffscreenCanvas() {
    if (deviceContext != nullptr) {
        DeleteDC(deviceContext);
        deviceContext = nullptr;
    }
    if (ownsBitmap && bitmap != nullptr) {
        DeleteObject(bitmap);
    }
}

void OffscreenCanvas::blitTo(Canvas* destination, Rect destRect, Point srcOffset) {
    BitBlt(destination->getDeviceContext(), destRect.left, destRect.top, destRect.getWidth(),
           destRect.getHeight(), deviceContext, srcOffset.h, srcOffset.v, SRCCOPY);
}
