// A host's top-level window, in which the plug-in opens its editor, and the message pump a host
// runs for it.
#pragma once

#include <windows.h>

namespace testhost {

class HostWindow {
public:
    // A visible top-level window whose client area starts at (x, y) on the screen.
    HostWindow(int x, int y, int clientWidth, int clientHeight);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window; }
    // Destroys the window now, as a host that closes its window before the editor does.
    void destroy();
    // The first child window: the editor's frame once the editor is open.
    HWND editorWindow() const;

private:
    HWND window = nullptr;
};

// Dispatches the thread's messages until the queue has stayed empty for a short while, so that
// paints caused by the display server's events are done too.
void pumpMessages();

// Dispatches messages until the handle is signalled or the timeout passes; true when signalled.
bool pumpUntilSignalled(HANDLE handle, DWORD timeoutMilliseconds);

} // namespace testhost
