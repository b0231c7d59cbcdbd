#include "HostWindow.h"

namespace testhost {
namespace {

constexpr const char* className = "BrisolenTestHostWindow";

void registerClassOnce() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = className;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

// Wine's asynchronous key state can lag some milliseconds behind a press message that SendInput
// produced, and controls poll that state as soon as the press reaches them; so the host lets it
// catch up (for half a second at most) before it dispatches a press.
void awaitPressedButton(const MSG& message) {
    int key = 0;
    if (message.message == WM_LBUTTONDOWN) {
        key = VK_LBUTTON;
    } else if (message.message == WM_RBUTTONDOWN) {
        key = VK_RBUTTON;
    } else {
        return;
    }
    for (int i = 0; i < 50 && GetAsyncKeyState(key) >= 0; ++i) {
        Sleep(10);
    }
}

bool dispatchPending() {
    bool any = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        awaitPressedButton(message);
        TranslateMessage(&message);
        DispatchMessageA(&message);
        any = true;
    }
    return any;
}

} // namespace

HostWindow::HostWindow(int x, int y, int clientWidth, int clientHeight) {
    registerClassOnce();
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{x, y, x + clientWidth, y + clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window = CreateWindowExA(0, className, "Brisolen test host", style, frame.left, frame.top,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        pumpMessages();
    }
}

HostWindow::~HostWindow() {
    destroy();
}

void HostWindow::destroy() {
    if (window != nullptr) {
        DestroyWindow(window);
        window = nullptr;
        pumpMessages();
    }
}

HWND HostWindow::editorWindow() const {
    return window != nullptr ? GetWindow(window, GW_CHILD) : nullptr;
}

void pumpMessages() {
    int quietRounds = 0;
    for (int round = 0; round < 200 && quietRounds < 3; ++round) {
        quietRounds = dispatchPending() ? 0 : quietRounds + 1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool pumpUntilSignalled(HANDLE handle, DWORD timeoutMilliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMilliseconds) {
            return false;
        }
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE,
                                                       timeoutMilliseconds - elapsed, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        dispatchPending();
    }
}

} // namespace testhost
