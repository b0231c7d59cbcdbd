// Calls the layer for a few seconds with random handles, sizes and coordinates: live, deleted,
// wrong-kind and made-up handles alike. Nothing may crash, and after cleanup nothing may leak.
#include "platform/TestHooks.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

class RandomCaller {
public:
    explicit RandomCaller(uint32_t seed) : random_(seed) {}

    void step() {
        switch (pick(24)) {
        case 0:
            remember(CreateCompatibleDC(handleAs<HDC>()));
            break;
        case 1:
            remember(CreateCompatibleBitmap(handleAs<HDC>(), size(), size()));
            break;
        case 2:
            remember(CreateBitmap(size(), size(), UINT(pick(3)), pick(2) ? 1u : 32u, nullptr));
            break;
        case 3:
            remember(CreatePen(pick(8), size() % 5, color()));
            break;
        case 4:
            remember(CreateSolidBrush(color()));
            break;
        case 5: {
            LOGFONTA font{};
            font.lfHeight = coordinate() % 64;
            font.lfWeight = pick(2) ? FW_BOLD : FW_NORMAL;
            const char* faces[] = {"Arial", "Small Fonts", "Symbol", "Nonexistent"};
            std::snprintf(font.lfFaceName, LF_FACESIZE, "%s", faces[pick(4)]);
            remember(CreateFontIndirectA(&font));
            break;
        }
        case 6:
            SelectObject(handleAs<HDC>(), handleAs<HGDIOBJ>());
            break;
        case 7:
            DeleteObject(handleAs<HGDIOBJ>());
            break;
        case 8:
            DeleteDC(handleAs<HDC>());
            break;
        case 9: {
            const POINT points[] = {point(), point(), point(), point(), point()};
            Polygon(handleAs<HDC>(), points, pick(7) - 1);
            Polyline(handleAs<HDC>(), points, pick(7) - 1);
            break;
        }
        case 10:
            MoveToEx(handleAs<HDC>(), coordinate(), coordinate(), nullptr);
            LineTo(handleAs<HDC>(), coordinate(), coordinate());
            break;
        case 11:
            Ellipse(handleAs<HDC>(), coordinate(), coordinate(), coordinate(), coordinate());
            break;
        case 12:
            Arc(handleAs<HDC>(), coordinate(), coordinate(), coordinate(), coordinate(),
                coordinate(), coordinate(), coordinate(), coordinate());
            Pie(handleAs<HDC>(), coordinate(), coordinate(), coordinate(), coordinate(),
                coordinate(), coordinate(), coordinate(), coordinate());
            break;
        case 13: {
            const RECT r{coordinate(), coordinate(), coordinate(), coordinate()};
            FillRect(handleAs<HDC>(), &r, handleAs<HBRUSH>());
            break;
        }
        case 14: {
            const DWORD rops[] = {SRCCOPY, NOTSRCCOPY, SRCAND, SRCPAINT, 0x12345678};
            BitBlt(handleAs<HDC>(), coordinate(), coordinate(), coordinate(), coordinate(),
                   handleAs<HDC>(), coordinate(), coordinate(), rops[pick(5)]);
            break;
        }
        case 15:
            SetPixel(handleAs<HDC>(), coordinate(), coordinate(), color());
            GetPixel(handleAs<HDC>(), coordinate(), coordinate());
            break;
        case 16: {
            RECT r{coordinate(), coordinate(), coordinate(), coordinate()};
            const char* texts[] = {"-6.0dB", "", "Wide\ntext\r\nlines", "\xff\x80\x01"};
            const char* text = texts[pick(4)];
            // Counts up to the text's length, or -1 for "up to the terminating zero".
            const int count = int(pick(uint32_t(std::strlen(text)) + 2)) - 1;
            DrawTextA(handleAs<HDC>(), text, count, &r, UINT(random_()));
            SIZE s;
            GetTextExtentPoint32A(handleAs<HDC>(), text, count, &s);
            break;
        }
        case 17:
            remember(CreateWindowExA(0, "RandomCalls", "w",
                                     pick(2) ? WS_CHILD | WS_VISIBLE : WS_VISIBLE,
                                     coordinate() % 500, coordinate() % 500, size(), size(),
                                     handleAs<HWND>(), nullptr, nullptr, nullptr));
            break;
        case 18:
            DestroyWindow(handleAs<HWND>());
            break;
        case 19: {
            const HWND window = handleAs<HWND>();
            remember(GetDC(window));
            ReleaseDC(window, handleAs<HDC>());
            break;
        }
        case 20: {
            RECT r{coordinate(), coordinate(), coordinate(), coordinate()};
            InvalidateRect(handleAs<HWND>(), pick(2) ? &r : nullptr, pick(2));
            platformtest::pumpMessages(50);
            break;
        }
        case 21:
            SetWindowPos(handleAs<HWND>(), nullptr, coordinate(), coordinate(), coordinate(),
                         coordinate(), UINT(pick(256)));
            break;
        case 22: {
            POINT points[3] = {point(), point(), point()};
            MapWindowPoints(handleAs<HWND>(), handleAs<HWND>(), points, UINT(pick(4)));
            SetFocus(handleAs<HWND>());
            GetParent(handleAs<HWND>());
            break;
        }
        default: {
            // Room for the largest description, a font's; the size passed varies around it.
            alignas(8) unsigned char description[sizeof(LOGFONTA)];
            GetObjectA(handleAs<HGDIOBJ>(), int(pick(sizeof description + 1)), description);
            SetBkColor(handleAs<HDC>(), color());
            SetBkMode(handleAs<HDC>(), pick(4));
            platformtest::captureWindow(handleAs<HWND>());
            break;
        }
        }
    }

    void cleanUp() {
        for (uintptr_t handle : handles_)
            DestroyWindow(reinterpret_cast<HWND>(handle));
        // Contexts first, so that their objects are no longer selected.
        for (uintptr_t handle : handles_) {
            DeleteDC(reinterpret_cast<HDC>(handle));
            ReleaseDC(nullptr, reinterpret_cast<HDC>(handle));
        }
        for (uintptr_t handle : handles_)
            DeleteObject(reinterpret_cast<HGDIOBJ>(handle));
    }

private:
    uint32_t pick(uint32_t n) { return n ? random_() % n : 0; }
    int size() { return pick(4) == 0 ? int(random_()) : int(pick(300)) - 5; }
    int coordinate() {
        switch (pick(4)) {
        case 0:
            return int(random_());
        case 1:
            return pick(2) ? INT_MAX : INT_MIN;
        default:
            return int(pick(400)) - 50;
        }
    }
    POINT point() { return {coordinate(), coordinate()}; }
    COLORREF color() { return COLORREF(random_()); }

    template <typename H> void remember(H handle) {
        if (handle)
            handles_.push_back(reinterpret_cast<uintptr_t>(handle));
    }
    template <typename H> H handleAs() {
        switch (pick(8)) {
        case 0:
            return nullptr;
        case 1:
            return reinterpret_cast<H>(uintptr_t(random_()) | (uintptr_t(random_()) << 16));
        case 2:
            return reinterpret_cast<H>(uintptr_t(pick(40)));
        default:
            if (handles_.empty())
                return nullptr;
            return reinterpret_cast<H>(handles_[pick(uint32_t(handles_.size()))]);
        }
    }

    std::mt19937 random_;
    std::vector<uintptr_t> handles_;
};

LRESULT randomProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(RandomCalls, NothingCrashesAndNothingLeaks) {
    WNDCLASSA description{};
    description.lpfnWndProc = randomProcedure;
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = "RandomCalls";
    ASSERT_NE(RegisterClassA(&description), 0);
    const platformtest::LiveCounts start = platformtest::liveCounts();
    const char* budget = std::getenv("LAYER_RANDOM_SECONDS");
    const auto seconds = std::chrono::seconds(budget ? std::atoi(budget) : 3);
    const auto deadline = std::chrono::steady_clock::now() + seconds;
    uint32_t seed = 1;
    long steps = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        RandomCaller caller(seed++);
        for (int i = 0; i < 300; ++i, ++steps)
            caller.step();
        caller.cleanUp();
        platformtest::pumpMessages();
        const platformtest::LiveCounts now = platformtest::liveCounts();
        ASSERT_EQ(now.windows, start.windows) << "seed " << seed - 1;
        ASSERT_EQ(now.deviceContexts, start.deviceContexts) << "seed " << seed - 1;
        ASSERT_EQ(now.gdiObjects, start.gdiObjects) << "seed " << seed - 1;
    }
    EXPECT_GT(steps, 0);
    EXPECT_TRUE(UnregisterClassA("RandomCalls", nullptr));
}

} // namespace
