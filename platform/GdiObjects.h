// The GDI objects of the layer: pens, brushes, fonts, bitmaps, cursors and device contexts.
#pragma once

#include "platform/HandleTable.h"
#include "platform/Surface.h"
#include "platform/TextRenderer.h"
#include "platform/Win32Api.h"

#include <memory>
#include <vector>

namespace win32layer {

class Pen : public LayerObject {
public:
    static constexpr ObjectKind objectKind = ObjectKind::pen;
    explicit Pen(const LOGPEN& description) : LayerObject(objectKind), logical(description) {}
    LOGPEN logical;
};

class Brush : public LayerObject {
public:
    static constexpr ObjectKind objectKind = ObjectKind::brush;
    explicit Brush(const LOGBRUSH& description) : LayerObject(objectKind), logical(description) {}
    LOGBRUSH logical;
};

class Font : public LayerObject {
public:
    static constexpr ObjectKind objectKind = ObjectKind::font;
    explicit Font(const LOGFONTA& description) : LayerObject(objectKind), logical(description) {}
    LOGFONTA logical;
    // Found at the first text call, so that creating a font costs no file-system search.
    std::shared_ptr<FontFace> face;
    bool resolved = false;
};

class Bitmap : public LayerObject {
public:
    static constexpr ObjectKind objectKind = ObjectKind::bitmap;
    Bitmap(int width, int height, bool monochrome, uint32_t fill)
        : LayerObject(objectKind), surface(width, height, monochrome, fill) {}
    Surface surface;
    // The one memory device context the bitmap is selected into (stock bitmaps excepted).
    uintptr_t selectedInto = 0;
};

class Cursor : public LayerObject {
public:
    static constexpr ObjectKind objectKind = ObjectKind::cursor;
    Cursor() : LayerObject(objectKind) {}
};

class DeviceContext : public LayerObject {
public:
    enum class Target { memory, window, screen };
    static constexpr ObjectKind objectKind = ObjectKind::deviceContext;
    explicit DeviceContext(Target target) : LayerObject(objectKind), target(target) {}

    Target target;
    uintptr_t window = 0;
    // Inside BeginPaint a window device context draws only into the update area.
    bool limitedToPaintArea = false;
    PixelRect paintArea;

    uintptr_t bitmap = 0;
    uintptr_t pen = 0;
    uintptr_t brush = 0;
    uintptr_t font = 0;
    COLORREF backgroundColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    int backgroundMode = OPAQUE;
    POINT position{0, 0};
    int64_t dashPosition = 0;
};

} // namespace win32layer
