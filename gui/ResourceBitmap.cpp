#include "gui/ResourceBitmap.h"

#include "effect/Module.h"
#include "gui/Canvas.h"

namespace {

// A memory device context with one bitmap selected; puts the displaced object back and deletes
// the context when it goes.
class MemoryContext {
public:
    MemoryContext(HDC compatibleWith, HBITMAP bitmap)
        : context(CreateCompatibleDC(compatibleWith)), displaced(SelectObject(context, bitmap)) {}
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;
    ~MemoryContext() {
        SelectObject(context, displaced);
        DeleteDC(context);
    }

    HDC get() const { return context; }

private:
    HDC context;
    HGDIOBJ displaced;
};

// The image's size in the logical units of the context it is selected into.
POINT imageSize(HDC context, HBITMAP image) {
    BITMAP description{};
    GetObjectA(image, sizeof description, &description);
    POINT size{description.bmWidth, description.bmHeight};
    DPtoLP(context, &size, 1);
    return size;
}

void copy(HDC destination, int x, int y, int w, int h, HDC source, int sx, int sy, DWORD rop) {
    BitBlt(destination, x, y, w, h, source, sx, sy, rop);
}

} // namespace

ResourceBitmap::ResourceBitmap(std::int32_t resourceId) : resourceId(resourceId) {
    handle = LoadBitmapA(moduleHandle, MAKEINTRESOURCEA(resourceId & 0xFFFF));
    BITMAP description{};
    if (handle != nullptr && GetObjectA(handle, sizeof description, &description) != 0) {
        width = description.bmWidth;
        height = description.bmHeight;
    }
}

ResourceBitmap::ResourceBitmap(EditorFrame*, std::int32_t width, std::int32_t height)
    : resourceId(0), width(width), height(height) {}

ResourceBitmap::~ResourceBitmap() {
    if (handle != nullptr) {
        DeleteObject(handle);
    }
    if (mask != nullptr) {
        DeleteObject(mask);
    }
}

void ResourceBitmap::retain() {
    ++refCount;
}

void ResourceBitmap::release() {
    if (--refCount == 0) {
        delete this;
    }
}

void ResourceBitmap::paint(Canvas* canvas, const Rect& dest, const Point& srcOffset) {
    if (handle == nullptr) {
        return;
    }
    MemoryContext image(canvas->getDeviceContext(), handle);
    copy(canvas->getDeviceContext(), dest.left, dest.top, dest.getWidth(), dest.getHeight(),
         image.get(), srcOffset.h, srcOffset.v, SRCCOPY);
}

HBITMAP makeColorKeyMask(HDC reference, HBITMAP image, COLORREF key) {
    MemoryContext imageContext(reference, image);
    const POINT size = imageSize(imageContext.get(), image);
    HBITMAP mask = CreateBitmap(size.x, size.y, 1, 1, nullptr);
    {
        MemoryContext maskContext(reference, mask);
        SetMapMode(imageContext.get(), GetMapMode(reference));
        const COLORREF previousBackground = SetBkColor(imageContext.get(), key);
        // Colour to monochrome: pixels of the background colour become 1, all others 0.
        copy(maskContext.get(), 0, 0, size.x, size.y, imageContext.get(), 0, 0, SRCCOPY);
        SetBkColor(imageContext.get(), previousBackground);
    }
    return mask;
}

// Composes background and image in memory and copies the result in one transfer. The image's
// own pixels are blackened where it is transparent during the composition and restored after.
void ResourceBitmap::paintKeyed(Canvas* canvas, const Rect& dest, const Point& srcOffset) {
    if (handle == nullptr) {
        return;
    }
    HDC screen = canvas->getDeviceContext();
    if (mask == nullptr) {
        mask = makeColorKeyMask(screen, handle, colorTransparent.toColorRef());
    }
    const int x = dest.left + srcOffset.h;
    const int y = dest.top + srcOffset.v;

    MemoryContext image(screen, handle);
    const POINT size = imageSize(image.get(), handle);
    const int w = size.x;
    const int h = size.y;
    HBITMAP inverseBitmap = CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP composeBitmap = CreateCompatibleBitmap(screen, w, h);
    HBITMAP saveBitmap = CreateCompatibleBitmap(screen, w, h);
    {
        MemoryContext inverseMask(screen, inverseBitmap);
        MemoryContext maskContext(screen, mask);
        MemoryContext compose(screen, composeBitmap);
        MemoryContext save(screen, saveBitmap);

        copy(save.get(), 0, 0, w, h, image.get(), 0, 0, SRCCOPY);
        copy(inverseMask.get(), 0, 0, w, h, maskContext.get(), 0, 0, NOTSRCCOPY);
        copy(compose.get(), 0, 0, w, h, screen, x, y, SRCCOPY);
        copy(compose.get(), 0, 0, w, h, maskContext.get(), 0, 0, SRCAND);
        copy(image.get(), 0, 0, w, h, inverseMask.get(), 0, 0, SRCAND);
        copy(compose.get(), 0, 0, w, h, image.get(), 0, 0, SRCPAINT);
        copy(screen, x, y, dest.getWidth(), dest.getHeight(), compose.get(), srcOffset.h,
             srcOffset.v, SRCCOPY);
        copy(image.get(), 0, 0, w, h, save.get(), 0, 0, SRCCOPY);
    }
    DeleteObject(inverseBitmap);
    DeleteObject(composeBitmap);
    DeleteObject(saveBitmap);
}
