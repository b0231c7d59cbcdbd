// Window classes, windows, messages, painting, placement, focus and input.
#include "LayerTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace layertest;

namespace {

struct Logged {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Logged& o) const { return window == o.window && message == o.message; }
};

std::vector<Logged> messageLog;
std::vector<UINT> loggedKinds = {WM_NCCREATE,    WM_CREATE,      WM_DESTROY,  WM_NCDESTROY,
                                 WM_PAINT,       WM_ERASEBKGND,  WM_SETFOCUS, WM_KILLFOCUS,
                                 WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_USER,     WM_USER + 1,
                                 WM_SIZE};

LRESULT recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (std::find(loggedKinds.begin(), loggedKinds.end(), message) != loggedKinds.end())
        messageLog.push_back({window, message, wParam, lParam});
    if (message == WM_USER + 1)
        return 42;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Paints its whole client area red in every paint message.
LRESULT paintingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        messageLog.push_back(
            {window, WM_PAINT, 0, MAKELPARAM(paint.rcPaint.left, paint.rcPaint.top)});
        HBRUSH brush = CreateSolidBrush(red);
        RECT all{0, 0, 1000, 1000};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return recordingProcedure(window, message, wParam, lParam);
}

constexpr const char* recordingClass = "LayerTestRecording";
constexpr const char* paintingClass = "LayerTestPainting";

class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        start = platformtest::liveCounts();
        messageLog.clear();
        WNDCLASSA description{};
        description.lpfnWndProc = recordingProcedure;
        description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        description.lpszClassName = recordingClass;
        ASSERT_NE(RegisterClassA(&description), 0);
        description.lpfnWndProc = paintingProcedure;
        description.lpszClassName = paintingClass;
        ASSERT_NE(RegisterClassA(&description), 0);
        host = platformtest::createHostWindow(100, 50, 300, 200);
        ASSERT_NE(host, nullptr);
        platformtest::pumpMessages();
    }
    void TearDown() override {
        DestroyWindow(host);
        platformtest::pumpMessages();
        EXPECT_TRUE(UnregisterClassA(recordingClass, nullptr));
        EXPECT_TRUE(UnregisterClassA(paintingClass, nullptr));
        platformtest::clearInputScript();
        platformtest::useSystemClock();
        const platformtest::LiveCounts end = platformtest::liveCounts();
        EXPECT_EQ(end.windows, start.windows);
        EXPECT_EQ(end.deviceContexts, start.deviceContexts);
        EXPECT_EQ(end.gdiObjects, start.gdiObjects);
        EXPECT_EQ(end.windowClasses, start.windowClasses);
    }
    HWND child(const char* className, int x, int y, int w, int h, HWND parent = nullptr) {
        return CreateWindowExA(0, className, "Window", WS_CHILD | WS_VISIBLE, x, y, w, h,
                               parent ? parent : host, nullptr, nullptr, nullptr);
    }
    std::vector<UINT> messagesOf(HWND window) {
        std::vector<UINT> kinds;
        for (const Logged& entry : messageLog)
            if (entry.window == window)
                kinds.push_back(entry.message);
        return kinds;
    }

    platformtest::LiveCounts start;
    HWND host = nullptr;
};

TEST_F(Windows, ClassesRegisterOnceAndUnregisterOnlyWithoutWindows) {
    WNDCLASSA description{};
    description.lpfnWndProc = recordingProcedure;
    description.lpszClassName = "layertestrecording"; // names compare without case
    EXPECT_EQ(RegisterClassA(&description), 0);
    description.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassA(&description), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);
    HWND window = child(recordingClass, 0, 0, 10, 10);
    EXPECT_FALSE(UnregisterClassA(recordingClass, nullptr));
    DestroyWindow(window);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_CHILD, 0, 0, 1, 1, host, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(CreateWindowExA(0, recordingClass, "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr)
        << "a child needs a parent";
}

TEST_F(Windows, CreationSendsCreateMessagesWithTheCreationRecord) {
    int creationData = 7;
    HWND window = CreateWindowExA(0, recordingClass, "Named", WS_CHILD | WS_VISIBLE, 3, 4, 30, 20,
                                  host, nullptr, nullptr, &creationData);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(messagesOf(window), (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(messageLog[1].lParam);
    (void)create; // the record lives only during the call; its address was passed
    EXPECT_EQ(GetParent(window), host);
    EXPECT_EQ(GetParent(host), nullptr);
    DestroyWindow(window);
}

TEST_F(Windows, DestroySendsDestroyToTheWindowThenItsChildrenAndKillsTheHandles) {
    HWND parent = child(recordingClass, 0, 0, 100, 100);
    HWND inner = child(recordingClass, 10, 10, 20, 20, parent);
    messageLog.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(messageLog, (std::vector<Logged>{{parent, WM_DESTROY, 0, 0},
                                               {inner, WM_DESTROY, 0, 0},
                                               {inner, WM_NCDESTROY, 0, 0},
                                               {parent, WM_NCDESTROY, 0, 0}}));
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_EQ(GetWindowLongPtrA(inner, GWLP_USERDATA), 0);
    EXPECT_EQ(SendMessageA(parent, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(GetDC(parent), nullptr);
}

TEST_F(Windows, UserDataHoldsAPointerAndTheProcedureCanBeReplaced) {
    HWND window = child(recordingClass, 0, 0, 10, 10);
    int object = 0;
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object)), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(GetWindowLongA(window, GWL_USERDATA), LONG(reinterpret_cast<LONG_PTR>(&object)));
    EXPECT_EQ(SetWindowLongA(window, GWL_USERDATA, 0), LONG(reinterpret_cast<LONG_PTR>(&object)));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);

    static WNDPROC original = nullptr;
    static int subclassCalls = 0;
    subclassCalls = 0;
    WNDPROC subclass = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        ++subclassCalls;
        return CallWindowProcA(original, w, m, wp, lp);
    };
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass)));
    EXPECT_EQ(original, &recordingProcedure);
    EXPECT_EQ(SendMessageA(window, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(subclassCalls, 1);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(subclass));
    DestroyWindow(window);
}

TEST_F(Windows, ANewVisibleWindowIsWhollyInvalidAndPaintsWithTheClassBrushFirst) {
    HWND window = child(recordingClass, 10, 10, 40, 30);
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.right, 40);
    EXPECT_EQ(update.bottom, 30);
    messageLog.clear();
    platformtest::pumpMessages();
    EXPECT_EQ(messagesOf(window), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    const platformtest::Image image = platformtest::captureWindow(window);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(image.pixel(0, 0),
              uint32_t(GetRValue(face)) << 16 | GetGValue(face) << 8 | GetBValue(face));
    EXPECT_EQ(image.pixel(39, 29), image.pixel(0, 0));
    DestroyWindow(window);
}

TEST_F(Windows, PaintingIsLimitedToTheUpdateArea) {
    HWND window = child(paintingClass, 0, 0, 40, 30);
    platformtest::pumpMessages();
    const platformtest::Image first = platformtest::captureWindow(window);
    EXPECT_EQ(first.pixel(20, 20), 0xFF0000u);
    // Paint blue outside the paint cycle, then invalidate a part: only that part turns red.
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(blue);
    RECT all{0, 0, 40, 30};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
    RECT part{5, 5, 10, 8};
    InvalidateRect(window, &part, FALSE);
    messageLog.clear();
    platformtest::pumpMessages();
    ASSERT_EQ(messagesOf(window), std::vector<UINT>{WM_PAINT}) << "no erase was asked for";
    EXPECT_EQ(messageLog[0].lParam, MAKELPARAM(5, 5));
    const platformtest::Image image = platformtest::captureWindow(window);
    EXPECT_EQ(image.pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(image.pixel(9, 7), 0xFF0000u);
    EXPECT_EQ(image.pixel(10, 7), 0x0000FFu);
    EXPECT_EQ(image.pixel(4, 5), 0x0000FFu);
    DestroyWindow(window);
}

TEST_F(Windows, PostedMessagesAreFilteredAndRemovedOnRequest) {
    HWND window = child(recordingClass, 0, 0, 10, 10);
    platformtest::pumpMessages();
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(window, WM_USER + 5, 2, 0);
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 5, WM_USER + 5, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 2u);
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 5, WM_USER + 10, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_USER + 5, WM_USER + 10, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, host, 0, 0, PM_NOREMOVE)) << "another window's";
    EXPECT_TRUE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_USER));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(uintptr_t(0x77)), WM_USER, 0, 0));
    // Messages of a destroyed window are dropped with it.
    PostMessageA(window, WM_USER, 0, 0);
    DestroyWindow(window);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Windows, ChildrenAreDrawnOverTheirParentAndClippedToIt) {
    HWND parent = child(paintingClass, 10, 10, 50, 40);
    HWND inner = child(recordingClass, 40, 30, 30, 30, parent);
    platformtest::pumpMessages();
    const platformtest::Image host_image = platformtest::captureWindow(host);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint32_t facePixel =
        uint32_t(GetRValue(face)) << 16 | GetGValue(face) << 8 | GetBValue(face);
    EXPECT_EQ(host_image.pixel(15, 15), 0xFF0000u) << "parent";
    EXPECT_EQ(host_image.pixel(55, 45), facePixel) << "child over parent";
    EXPECT_EQ(host_image.pixel(65, 45), facePixel) << "outside the parent: the host's own face";
    EXPECT_EQ(host_image.pixel(59, 49), facePixel);
    // Clipped: the child's part beyond the parent (x >= 60) is not shown. Make the host differ.
    HDC dc = GetDC(host);
    HBRUSH brush = CreateSolidBrush(blue);
    RECT all{0, 0, 300, 200};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(host, dc);
    const platformtest::Image after = platformtest::captureWindow(host);
    EXPECT_EQ(after.pixel(60, 45), 0x0000FFu);
    EXPECT_EQ(after.pixel(59, 45), facePixel);
    DestroyWindow(inner);
    DestroyWindow(parent);
}

TEST_F(Windows, PlacementMapsBetweenScreenAndClientCoordinates) {
    HWND outer = child(recordingClass, 10, 20, 100, 80);
    HWND inner = child(recordingClass, 5, 6, 30, 40, outer);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(inner, &rect));
    EXPECT_EQ(rect.left, 100 + 10 + 5);
    EXPECT_EQ(rect.top, 50 + 20 + 6);
    EXPECT_EQ(rect.right, rect.left + 30);
    POINT point{rect.left, rect.top};
    MapWindowPoints(nullptr, outer, &point, 1);
    EXPECT_EQ(point.x, 5);
    EXPECT_EQ(point.y, 6);
    POINT back{0, 0};
    MapWindowPoints(inner, nullptr, &back, 1);
    EXPECT_EQ(back.x, rect.left);

    messageLog.clear();
    EXPECT_TRUE(SetWindowPos(inner, nullptr, 99, 99, 50, 45, SWP_NOMOVE));
    ASSERT_TRUE(GetWindowRect(inner, &rect));
    EXPECT_EQ(rect.left, 115) << "SWP_NOMOVE keeps the position";
    EXPECT_EQ(rect.right - rect.left, 50);
    EXPECT_EQ(rect.bottom - rect.top, 45);
    EXPECT_EQ(messagesOf(inner), std::vector<UINT>{WM_SIZE});
    EXPECT_GT(GetSystemMetrics(SM_CYDLGFRAME), 0);
    EXPECT_TRUE(BringWindowToTop(outer));
    EXPECT_FALSE(BringWindowToTop(nullptr));
    DestroyWindow(outer);
}

TEST_F(Windows, FocusChangesSendKillFocusThenSetFocus) {
    HWND first = child(recordingClass, 0, 0, 10, 10);
    HWND second = child(recordingClass, 20, 0, 10, 10);
    messageLog.clear();
    EXPECT_EQ(SetFocus(first), nullptr);
    EXPECT_EQ(SetFocus(second), first);
    EXPECT_EQ(GetFocus(), second);
    ASSERT_EQ(messageLog.size(), 3u);
    EXPECT_EQ(messageLog[1], (Logged{first, WM_KILLFOCUS, 0, 0}));
    EXPECT_EQ(messageLog[1].wParam, reinterpret_cast<WPARAM>(second));
    EXPECT_EQ(messageLog[2], (Logged{second, WM_SETFOCUS, 0, 0}));
    EXPECT_EQ(messageLog[2].wParam, reinterpret_cast<WPARAM>(first));
    DestroyWindow(second);
    EXPECT_EQ(GetFocus(), nullptr);
    DestroyWindow(first);
}

TEST_F(Windows, PressesGoToTheDeepestVisibleWindowInClientCoordinates) {
    HWND outer = child(recordingClass, 10, 10, 100, 100);
    HWND inner = child(recordingClass, 20, 20, 30, 30, outer);
    messageLog.clear();
    EXPECT_EQ(platformtest::pressAt(100 + 10 + 25, 50 + 10 + 26), inner);
    ASSERT_EQ(messageLog.size(), 1u);
    EXPECT_EQ(messageLog[0], (Logged{inner, WM_LBUTTONDOWN, 0, 0}));
    EXPECT_EQ(LOWORD(messageLog[0].lParam), 5);
    EXPECT_EQ(HIWORD(messageLog[0].lParam), 6);
    EXPECT_EQ(messageLog[0].wParam, WPARAM(MK_LBUTTON));
    EXPECT_EQ(platformtest::pressAt(100 + 15, 50 + 15, VK_RBUTTON), outer);
    EXPECT_EQ(messageLog.back().message, UINT(WM_RBUTTONDOWN));
    EXPECT_EQ(platformtest::pressAt(5, 5), nullptr) << "nothing lies there";
    EXPECT_GE(GetAsyncKeyState(VK_LBUTTON), 0) << "the button is up after the press";
    DestroyWindow(outer);
}

// A drag loop as the toolkit runs it inside WM_LBUTTONDOWN: poll the buttons and the cursor
// until the left button is released.
std::vector<POINT> dragPath;
std::vector<int> dragModifiers;
std::vector<DWORD> dragTicks;
LRESULT draggingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        while (GetAsyncKeyState(VK_LBUTTON) < 0) {
            POINT where;
            GetCursorPos(&where);
            MapWindowPoints(nullptr, window, &where, 1);
            dragPath.push_back(where);
            dragModifiers.push_back((GetAsyncKeyState(VK_SHIFT) < 0 ? 8 : 0) |
                                    (GetAsyncKeyState(VK_MENU) < 0 ? 32 : 0));
            dragTicks.push_back(GetTickCount());
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Windows, ScriptedInputDrivesAPollingLoopOneStatePerCursorPoll) {
    WNDCLASSA description{};
    description.lpfnWndProc = draggingProcedure;
    description.lpszClassName = "LayerTestDragging";
    ASSERT_NE(RegisterClassA(&description), 0);
    HWND window = child("LayerTestDragging", 0, 0, 100, 100);
    dragPath.clear();
    dragModifiers.clear();
    dragTicks.clear();
    platformtest::useManualClock(5000, 10);
    platformtest::InputSnapshot step;
    step.leftButton = true;
    std::vector<platformtest::InputSnapshot> script;
    for (int i = 1; i <= 3; ++i) {
        step.x = 100 + 10 * i;
        step.y = 50 + i;
        step.shift = i == 2;
        script.push_back(step);
    }
    step.leftButton = false;
    script.push_back(step);
    platformtest::scriptInput(script);
    platformtest::pressAt(105, 55);
    ASSERT_EQ(dragPath.size(), 4u) << "three held states, then the release ends the loop";
    EXPECT_EQ(dragPath[0].x, 10);
    EXPECT_EQ(dragPath[2].x, 30);
    EXPECT_EQ(dragPath[2].y, 3);
    EXPECT_EQ(dragModifiers, (std::vector<int>{0, 8, 0, 0}));
    EXPECT_EQ(dragTicks, (std::vector<DWORD>{5010, 5020, 5030, 5040}));
    platformtest::advanceClock(1000);
    EXPECT_EQ(GetTickCount(), 6040u);

    // A provider decides each poll's state instead.
    dragPath.clear();
    int polls = 0;
    platformtest::setInputProvider([&polls](platformtest::InputSnapshot& state) {
        ++polls;
        state.x = 100 + polls;
        state.alt = true;
        state.leftButton = polls < 5;
    });
    platformtest::pressAt(101, 51);
    EXPECT_EQ(polls, 5);
    EXPECT_EQ(dragPath.size(), 5u);
    EXPECT_EQ(dragModifiers.back(), 32);
    platformtest::clearInputScript();
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("LayerTestDragging", nullptr));
}

TEST_F(Windows, WindowImagesCanBeWrittenAsPng) {
    HWND window = child(paintingClass, 0, 0, 20, 10);
    platformtest::pumpMessages();
    const std::string path = ::testing::TempDir() + "layer_window.png";
    ASSERT_TRUE(platformtest::writePng(platformtest::captureWindow(window), path));
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::remove(path.c_str());
    EXPECT_FALSE(platformtest::writePng(platformtest::captureWindow(nullptr), path));
    DestroyWindow(window);
}

} // namespace
