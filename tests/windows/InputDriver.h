// Mouse input through SendInput from a thread of its own. A control that follows the mouse polls
// GetAsyncKeyState and GetCursorPos inside the press's message, so the moves and the release must
// arrive while that message is still being handled: the driver thread delivers them then, while
// the test's thread pumps messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testhost {

struct InputStep {
    enum class Kind { moveTo, buttonDown, buttonUp, waitFor, pause };
    Kind kind;
    int x = 0; // screen coordinates for moveTo
    int y = 0;
    bool right = false;     // the right button instead of the left
    HANDLE event = nullptr; // waitFor: the event to wait for
    DWORD milliseconds = 0; // waitFor: the longest wait; pause: the pause

    static InputStep move(POINT screen) { return {Kind::moveTo, screen.x, screen.y}; }
    static InputStep down(bool rightButton = false) {
        return {Kind::buttonDown, 0, 0, rightButton};
    }
    static InputStep up(bool rightButton = false) { return {Kind::buttonUp, 0, 0, rightButton}; }
    static InputStep waitFor(HANDLE event, DWORD timeout) {
        return {Kind::waitFor, 0, 0, false, event, timeout};
    }
    static InputStep pause(DWORD milliseconds) {
        return {Kind::pause, 0, 0, false, nullptr, milliseconds};
    }
};

// Plays the steps on a new thread and pumps this thread's messages until it is done. Returns an
// empty text on success, otherwise what went wrong (a refused SendInput, a cursor that did not
// arrive, an event that never came).
std::string playInput(const std::vector<InputStep>& steps, DWORD timeoutMilliseconds = 10000);

} // namespace testhost
