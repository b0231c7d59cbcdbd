// An image from the module's bitmap resources, shared by reference count and drawn opaque or
// with pure white left out.
#pragma once

#include "gui/Geometry.h"
#include "platform/win32.h"

class Canvas;
class EditorFrame;

class ResourceBitmap {
public:
    explicit ResourceBitmap(std::int32_t resourceId);
    // A bitmap of a given size without an image; it draws nothing.
    ResourceBitmap(EditorFrame* frame, std::int32_t width, std::int32_t height);
    ResourceBitmap(const ResourceBitmap&) = delete;
    ResourceBitmap& operator=(const ResourceBitmap&) = delete;

    HBITMAP getHandle() const { return handle; }
    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }
    std::int32_t getResourceId() const { return resourceId; }

    void retain();
    // Destroys the bitmap when the last holder lets go.
    void release();
    // For holders whose bitmap may be missing.
    static void retainIfSet(ResourceBitmap* bitmap) {
        if (bitmap != nullptr) {
            bitmap->retain();
        }
    }
    static void releaseIfSet(ResourceBitmap* bitmap) {
        if (bitmap != nullptr) {
            bitmap->release();
        }
    }

    void paint(Canvas* canvas, const Rect& dest, const Point& srcOffset);
    void paintKeyed(Canvas* canvas, const Rect& dest, const Point& srcOffset);

private:
    ~ResourceBitmap();

    std::int32_t resourceId;
    HBITMAP handle = nullptr;
    HBITMAP mask = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t refCount = 1;
};

// A monochrome mask that is 1 exactly where the image has the key colour; the caller owns it.
HBITMAP makeColorKeyMask(HDC reference, HBITMAP image, COLORREF key);
