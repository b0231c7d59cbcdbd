// Helpers of the layer's tests: a memory bitmap to draw into and its pixels as a picture.
#pragma once

#include "platform/TestHooks.h"
#include "platform/win32.h"

#include <map>
#include <string>
#include <vector>

namespace layertest {

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF green = RGB(0, 255, 0);
constexpr COLORREF blue = RGB(0, 0, 255);

// A colour bitmap selected into a memory device context, cleared to a colour.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height, COLORREF background = white)
        : width_(width), height_(height) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        previousBitmap = SelectObject(dc, bitmap);
        clear(background);
    }
    ~MemoryCanvas() {
        SelectObject(dc, previousBitmap);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    void clear(COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        RECT all{0, 0, width_, height_};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }

    // One character a pixel, rows top to bottom; colours missing from the legend show as '?'.
    std::vector<std::string> picture(const std::map<COLORREF, char>& legend) const {
        std::vector<std::string> rows;
        for (int y = 0; y < height_; ++y) {
            std::string row;
            for (int x = 0; x < width_; ++x) {
                auto found = legend.find(GetPixel(dc, x, y));
                row += found == legend.end() ? '?' : found->second;
            }
            rows.push_back(row);
        }
        return rows;
    }

    int count(COLORREF color) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                n += GetPixel(dc, x, y) == color;
        return n;
    }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;

private:
    int width_;
    int height_;
};

} // namespace layertest

namespace layertest {

// The colour-key drawing the toolkit does: a monochrome mask that is 1 where the image has the
// key colour, made once per image.
inline HBITMAP makeColorKeyMask(HDC reference, HBITMAP image, COLORREF key) {
    HDC imageDc = CreateCompatibleDC(reference);
    SelectObject(imageDc, image);
    BITMAP info{};
    GetObjectA(image, sizeof info, &info);
    POINT size{info.bmWidth, info.bmHeight};
    DPtoLP(imageDc, &size, 1);
    HDC maskDc = CreateCompatibleDC(reference);
    HBITMAP mask = CreateBitmap(size.x, size.y, 1, 1, nullptr);
    HGDIOBJ displaced = SelectObject(maskDc, mask);
    SetMapMode(imageDc, GetMapMode(reference));
    const COLORREF previous = SetBkColor(imageDc, key);
    BitBlt(maskDc, 0, 0, size.x, size.y, imageDc, 0, 0, SRCCOPY);
    SetBkColor(imageDc, previous);
    SelectObject(maskDc, displaced);
    DeleteDC(maskDc);
    DeleteDC(imageDc);
    return mask;
}

// Draws image at (x, y) of target leaving out its key-coloured pixels: five memory device
// contexts, three bitmaps, eight transfers.
inline void paintKeyed(HDC target, HBITMAP image, HBITMAP& mask, int x, int y) {
    if (!mask)
        mask = makeColorKeyMask(target, image, RGB(255, 255, 255));
    HDC imageDc = CreateCompatibleDC(target);
    HGDIOBJ imageOld = SelectObject(imageDc, image);
    BITMAP info{};
    GetObjectA(image, sizeof info, &info);
    POINT size{info.bmWidth, info.bmHeight};
    DPtoLP(imageDc, &size, 1);
    const int w = size.x, h = size.y;
    HDC inverseDc = CreateCompatibleDC(target);
    HDC maskDc = CreateCompatibleDC(target);
    HDC composeDc = CreateCompatibleDC(target);
    HDC saveDc = CreateCompatibleDC(target);
    HBITMAP inverse = CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP compose = CreateCompatibleBitmap(target, w, h);
    HBITMAP save = CreateCompatibleBitmap(target, w, h);
    HGDIOBJ inverseOld = SelectObject(inverseDc, inverse);
    HGDIOBJ composeOld = SelectObject(composeDc, compose);
    HGDIOBJ saveOld = SelectObject(saveDc, save);
    HGDIOBJ maskOld = SelectObject(maskDc, mask);
    BitBlt(saveDc, 0, 0, w, h, imageDc, 0, 0, SRCCOPY);
    BitBlt(inverseDc, 0, 0, w, h, maskDc, 0, 0, NOTSRCCOPY);
    BitBlt(composeDc, 0, 0, w, h, target, x, y, SRCCOPY);
    BitBlt(composeDc, 0, 0, w, h, maskDc, 0, 0, SRCAND);
    BitBlt(imageDc, 0, 0, w, h, inverseDc, 0, 0, SRCAND);
    BitBlt(composeDc, 0, 0, w, h, imageDc, 0, 0, SRCPAINT);
    BitBlt(target, x, y, w, h, composeDc, 0, 0, SRCCOPY);
    BitBlt(imageDc, 0, 0, w, h, saveDc, 0, 0, SRCCOPY);
    DeleteObject(SelectObject(inverseDc, inverseOld));
    DeleteObject(SelectObject(composeDc, composeOld));
    DeleteObject(SelectObject(saveDc, saveOld));
    SelectObject(maskDc, maskOld);
    SelectObject(imageDc, imageOld);
    DeleteDC(composeDc);
    DeleteDC(inverseDc);
    DeleteDC(maskDc);
    DeleteDC(saveDc);
    DeleteDC(imageDc);
}

} // namespace layertest
