// Reading a window's pixels back from the screen, and writing them where the comparison with
// our layer's golden images picks them up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows top to bottom, three bytes per pixel

    // 0xRRGGBB of a pixel.
    std::uint32_t pixel(int x, int y) const;
};

// The client area of the window as it shows on the screen: BitBlt from the window's device
// context into a 32-bit top-down DIB section.
Capture captureWindow(HWND window);

// Writes NAME.ppm (binary RGB) into the output directory; true on success.
bool writeCapture(const Capture& capture, const std::string& name);

} // namespace testhost
