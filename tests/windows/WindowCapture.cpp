#include "WindowCapture.h"

#include "TestSettings.h"

#include <cstdio>
#include <memory>

namespace testhost {

std::uint32_t Capture::pixel(int x, int y) const {
    const std::uint8_t* p = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

Capture captureWindow(HWND window) {
    Capture capture;
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) {
        return capture;
    }
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib != nullptr && bits != nullptr) {
        HGDIOBJ previous = SelectObject(memoryDc, dib);
        if (BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY)) {
            GdiFlush();
            capture.width = width;
            capture.height = height;
            capture.rgb.resize(static_cast<std::size_t>(width * height * 3));
            const auto* pixels = static_cast<const std::uint8_t*>(bits);
            for (int i = 0; i < width * height; ++i) {
                // A 32-bit DIB holds blue, green, red and an unused byte.
                capture.rgb[static_cast<std::size_t>(i * 3)] = pixels[i * 4 + 2];
                capture.rgb[static_cast<std::size_t>(i * 3 + 1)] = pixels[i * 4 + 1];
                capture.rgb[static_cast<std::size_t>(i * 3 + 2)] = pixels[i * 4];
            }
        }
        SelectObject(memoryDc, previous);
        DeleteObject(dib);
    }
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return capture;
}

bool writeCapture(const Capture& capture, const std::string& name) {
    const std::string path = settings().outputDirectory + "\\" + name + ".ppm";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    if (!file || capture.width == 0) {
        return false;
    }
    std::fprintf(file.get(), "P6\n%d %d\n255\n", capture.width, capture.height);
    return std::fwrite(capture.rgb.data(), 1, capture.rgb.size(), file.get()) == capture.rgb.size();
}

} // namespace testhost
