// GDI32 calls: device contexts, objects, drawing and transfers.
#include "platform/Blitter.h"
#include "platform/Layer.h"

#include <cstring>
#include <utility>
#include <vector>

using namespace win32layer;

namespace {

// Larger bitmaps are refused rather than risk exhausting memory.
constexpr int64_t maxBitmapPixels = int64_t{1} << 24;
constexpr int maxPolygonPoints = 1 << 16;

struct Drawing {
    Layer& layer = Layer::instance();
    std::unique_lock<SpinMutex> guard = layer.lock();
    DeviceContext* context = nullptr;
    DrawTarget target;

    explicit Drawing(HDC dc) {
        context = layer.dc(dc);
        if (context)
            target = layer.targetOf(*context);
    }
    Rasterizer rasterizer() { return Rasterizer(*target.surface, target.clip); }
    PenState pen() { return layer.penOf(*context, *target.surface); }
    BrushState brush() { return layer.brushOf(context->brush, *target.surface); }
    BackgroundState background() { return layer.backgroundOf(*context, *target.surface); }
};

bool validBitmapSize(int width, int height) {
    return width > 0 && height > 0 && int64_t(width) * int64_t(height) <= maxBitmapPixels;
}

HBITMAP insertBitmap(Layer& layer, std::unique_ptr<Bitmap> bitmap) {
    return asHandle<HBITMAP>(layer.table.insert(std::move(bitmap)));
}

PixelRect box(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}

} // namespace

HDC CreateCompatibleDC(HDC dc) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    if (dc && !layer.dc(dc))
        return nullptr;
    return asHandle<HDC>(layer.createDeviceContext(DeviceContext::Target::memory, 0));
}

BOOL DeleteDC(HDC dc) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context || context->target != DeviceContext::Target::memory)
        return FALSE;
    return layer.deleteDeviceContext(handleValue(dc)) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    LayerObject* selected = layer.table.find(handleValue(object));
    if (!context || !selected)
        return nullptr;
    const uintptr_t handle = handleValue(object);
    uintptr_t previous = 0;
    switch (selected->kind()) {
    case ObjectKind::pen:
        previous = std::exchange(context->pen, handle);
        break;
    case ObjectKind::brush:
        previous = std::exchange(context->brush, handle);
        break;
    case ObjectKind::font:
        previous = std::exchange(context->font, handle);
        break;
    case ObjectKind::bitmap: {
        auto* bitmap = static_cast<Bitmap*>(selected);
        const uintptr_t dcHandle = handleValue(dc);
        if (context->target != DeviceContext::Target::memory)
            return nullptr;
        if (!bitmap->stock && bitmap->selectedInto && bitmap->selectedInto != dcHandle)
            return nullptr;
        previous = std::exchange(context->bitmap, handle);
        if (auto* old = layer.table.get<Bitmap>(previous); old && old->selectedInto == dcHandle)
            old->selectedInto = 0;
        if (!bitmap->stock)
            bitmap->selectedInto = dcHandle;
        break;
    }
    default:
        return nullptr;
    }
    ++selected->selectedCount;
    if (LayerObject* displaced = layer.table.find(previous))
        --displaced->selectedCount;
    return reinterpret_cast<HGDIOBJ>(previous);
}

BOOL DeleteObject(HGDIOBJ object) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const uintptr_t handle = handleValue(object);
    LayerObject* found = layer.table.find(handle);
    if (!found)
        return FALSE;
    switch (found->kind()) {
    case ObjectKind::pen:
    case ObjectKind::brush:
    case ObjectKind::font:
    case ObjectKind::bitmap:
        break;
    default:
        return FALSE;
    }
    if (found->stock)
        return TRUE;
    // An object still selected into a device context stays alive: deleting it would leave the
    // context drawing with a dead object.
    if (found->selectedCount > 0)
        return FALSE;
    layer.table.remove(handle);
    return TRUE;
}

HGDIOBJ GetStockObject(int index) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    if (index < 0 || index >= int(layer.stock.size()))
        return nullptr;
    return reinterpret_cast<HGDIOBJ>(layer.stock[size_t(index)]);
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return reinterpret_cast<HGDIOBJ>(context->pen);
    case OBJ_BRUSH:
        return reinterpret_cast<HGDIOBJ>(context->brush);
    case OBJ_FONT:
        return reinterpret_cast<HGDIOBJ>(context->font);
    case OBJ_BITMAP:
        return reinterpret_cast<HGDIOBJ>(context->bitmap);
    default:
        return nullptr;
    }
}

DWORD GetObjectType(HGDIOBJ object) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    LayerObject* found = layer.table.find(handleValue(object));
    if (!found)
        return 0;
    switch (found->kind()) {
    case ObjectKind::pen:
        return OBJ_PEN;
    case ObjectKind::brush:
        return OBJ_BRUSH;
    case ObjectKind::font:
        return OBJ_FONT;
    case ObjectKind::bitmap:
        return OBJ_BITMAP;
    case ObjectKind::deviceContext:
        return static_cast<DeviceContext*>(found)->target == DeviceContext::Target::memory
                   ? OBJ_MEMDC
                   : OBJ_DC;
    default:
        return 0;
    }
}

namespace {

template <typename T> int copyOut(const T& value, int size, LPVOID buffer) {
    if (!buffer)
        return int(sizeof(T));
    if (size < int(sizeof(T)))
        return 0;
    std::memcpy(buffer, &value, sizeof(T));
    return int(sizeof(T));
}

} // namespace

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    LayerObject* found = layer.table.find(handleValue(object));
    if (!found)
        return 0;
    switch (found->kind()) {
    case ObjectKind::bitmap: {
        const Surface& s = static_cast<Bitmap*>(found)->surface;
        BITMAP info{};
        info.bmWidth = s.width;
        info.bmHeight = s.height;
        info.bmWidthBytes = s.monochrome ? ((s.width + 15) / 16) * 2 : s.width * 4;
        info.bmPlanes = 1;
        info.bmBitsPixel = s.monochrome ? 1 : 32;
        return copyOut(info, size, buffer);
    }
    case ObjectKind::pen:
        return copyOut(static_cast<Pen*>(found)->logical, size, buffer);
    case ObjectKind::brush:
        return copyOut(static_cast<Brush*>(found)->logical, size, buffer);
    case ObjectKind::font:
        return copyOut(static_cast<Font*>(found)->logical, size, buffer);
    default:
        return 0;
    }
}

HPEN CreatePen(int style, int width, COLORREF color) {
    const LOGPEN pen{UINT(style), {width, 0}, color};
    return CreatePenIndirect(&pen);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
    // Style, end-cap, join and type fields; anything else is no pen style.
    constexpr UINT knownStyleBits = 0x000F0F0F;
    if (!pen || (pen->lopnStyle & ~knownStyleBits) || (pen->lopnStyle & 0x0F) > PS_INSIDEFRAME)
        return nullptr;
    LOGPEN description = *pen;
    description.lopnWidth.x = std::clamp<LONG>(description.lopnWidth.x, 0, 1024);
    description.lopnWidth.y = 0;
    description.lopnColor &= 0xFFFFFF;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return asHandle<HPEN>(layer.table.insert(std::make_unique<Pen>(description)));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    const LOGBRUSH brush{BS_SOLID, color, 0};
    return CreateBrushIndirect(&brush);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
    if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL))
        return nullptr;
    LOGBRUSH description = *brush;
    description.lbColor &= 0xFFFFFF;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return asHandle<HBRUSH>(layer.table.insert(std::make_unique<Brush>(description)));
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
    if (!font)
        return nullptr;
    LOGFONTA description = *font;
    description.lfFaceName[LF_FACESIZE - 1] = '\0';
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return asHandle<HFONT>(layer.table.insert(std::make_unique<Font>(description)));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (!validBitmapSize(width, height) || planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32))
        return nullptr;
    const bool monochrome = bitsPerPixel == 1;
    auto bitmap = std::make_unique<Bitmap>(width, height, monochrome, monoBlack);
    if (bits) {
        const auto* bytes = static_cast<const unsigned char*>(bits);
        const size_t stride = monochrome ? size_t((width + 15) / 16) * 2 : size_t(width) * 4;
        for (int y = 0; y < height; ++y) {
            const unsigned char* row = bytes + size_t(y) * stride;
            uint32_t* out = bitmap->surface.row(y);
            for (int x = 0; x < width; ++x) {
                if (monochrome) {
                    out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? monoWhite : monoBlack;
                } else {
                    const unsigned char* p = row + size_t(x) * 4;
                    out[x] = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
                }
            }
        }
    }
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return insertBitmap(layer, std::move(bitmap));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context || !validBitmapSize(width, height))
        return nullptr;
    bool monochrome = false;
    if (context->target == DeviceContext::Target::memory)
        if (const auto* selected = layer.table.get<Bitmap>(context->bitmap))
            monochrome = selected->surface.monochrome;
    return insertBitmap(layer, std::make_unique<Bitmap>(width, height, monochrome, monoBlack));
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    return context ? std::exchange(context->backgroundColor, color & 0xFFFFFF) : CLR_INVALID;
}

COLORREF GetBkColor(HDC dc) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    return context ? context->backgroundColor : CLR_INVALID;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    return context ? std::exchange(context->textColor, color & 0xFFFFFF) : CLR_INVALID;
}

COLORREF GetTextColor(HDC dc) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    return context ? context->textColor : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(context->backgroundMode, mode);
}

int GetBkMode(HDC dc) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    return context ? context->backgroundMode : 0;
}

// Only the text mapping mode exists: one logical unit is one pixel, y grows downwards.
int SetMapMode(HDC dc, int mode) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return layer.dc(dc) && mode == MM_TEXT ? MM_TEXT : 0;
}

int GetMapMode(HDC dc) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return layer.dc(dc) ? MM_TEXT : 0;
}

BOOL DPtoLP(HDC dc, LPPOINT points, int count) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return layer.dc(dc) && count >= 0 && (points || count == 0) ? TRUE : FALSE;
}

BOOL LPtoDP(HDC dc, LPPOINT points, int count) {
    return DPtoLP(dc, points, count);
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context)
        return FALSE;
    if (previous)
        *previous = context->position;
    context->position = {x, y};
    context->dashPosition = 0;
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC dc, LPPOINT position) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context || !position)
        return FALSE;
    *position = context->position;
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    Drawing drawing(dc);
    if (!drawing.context)
        return FALSE;
    const POINT from = drawing.context->position;
    drawing.context->position = {x, y};
    if (drawing.target)
        drawing.rasterizer().line(from.x, from.y, x, y, drawing.pen(), drawing.background(),
                                  drawing.context->dashPosition);
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    Drawing drawing(dc);
    if (!drawing.context || !points || count < 2 || count > maxPolygonPoints)
        return FALSE;
    if (!drawing.target)
        return TRUE;
    Rasterizer rasterizer = drawing.rasterizer();
    const PenState pen = drawing.pen();
    const BackgroundState background = drawing.background();
    int64_t dash = 0;
    for (int i = 0; i + 1 < count; ++i)
        rasterizer.line(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, pen, background,
                        dash);
    return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    Drawing drawing(dc);
    if (!drawing.context || !points || count < 2 || count > maxPolygonPoints)
        return FALSE;
    if (!drawing.target)
        return TRUE;
    std::vector<PointD> vertices;
    vertices.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        vertices.push_back({double(points[i].x), double(points[i].y)});
    drawing.rasterizer().polygon(vertices, drawing.pen(), drawing.brush(), drawing.background());
    return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    Drawing drawing(dc);
    if (!drawing.context)
        return FALSE;
    if (drawing.target)
        drawing.rasterizer().ellipse(box(left, top, right, bottom), drawing.pen(), drawing.brush());
    return TRUE;
}

BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd) {
    Drawing drawing(dc);
    if (!drawing.context)
        return FALSE;
    if (drawing.target)
        drawing.rasterizer().arc(box(left, top, right, bottom), {double(xStart), double(yStart)},
                                 {double(xEnd), double(yEnd)}, drawing.pen());
    return TRUE;
}

BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd) {
    Drawing drawing(dc);
    if (!drawing.context)
        return FALSE;
    if (drawing.target)
        drawing.rasterizer().pie(box(left, top, right, bottom), {double(xStart), double(yStart)},
                                 {double(xEnd), double(yEnd)}, drawing.pen(), drawing.brush());
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    Drawing drawing(dc);
    if (!drawing.target || !drawing.target.clip.contains(x, y))
        return CLR_INVALID;
    const uint32_t pixel = pixelForSurface(*drawing.target.surface, color);
    drawing.target.surface->at(x, y) = pixel;
    return colorRefFromPixel(pixel);
}

COLORREF GetPixel(HDC dc, int x, int y) {
    Drawing drawing(dc);
    if (!drawing.target || !drawing.target.clip.contains(x, y))
        return CLR_INVALID;
    return colorRefFromPixel(drawing.target.surface->at(x, y));
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const RasterOp op = rasterOpFromCode(rop);
    DeviceContext* to = layer.dc(destination);
    DeviceContext* from = layer.dc(source);
    if (!to || op == RasterOp::unsupported || (rasterOpNeedsSource(op) && !from))
        return FALSE;
    DrawTarget target = layer.targetOf(*to);
    if (!target)
        return TRUE;
    const Surface* sourceSurface = nullptr;
    BlitColors colors;
    if (from) {
        sourceSurface = layer.targetOf(*from).surface;
        colors.sourceBackground = pixelFromColorRef(from->backgroundColor);
    }
    colors.destinationText = pixelFromColorRef(to->textColor);
    colors.destinationBackground = pixelFromColorRef(to->backgroundColor);
    blit(*target.surface, target.clip, x, y, width, height, sourceSurface, sourceX, sourceY, op,
         colors);
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    const uintptr_t brushHandle = handleValue(brush);
    const bool systemColor = brushHandle > 0 && brushHandle <= layer.systemColorBrushes.size();
    if (!context || !rect || (!systemColor && !layer.table.get<Brush>(brushHandle)))
        return 0;
    layer.fillRect(*context, *rect, brushHandle);
    return 1;
}
