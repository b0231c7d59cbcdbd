#include "InputDriver.h"

#include "HostWindow.h"

namespace testhost {
namespace {

struct Playback {
    const std::vector<InputStep>* steps;
    std::string problem;
};

// Absolute coordinates run from 0 to 65535 over the primary screen; the system scales them by
// (coordinate * size) >> 16, so rounding up lands exactly on the wanted pixel.
LONG normalised(int pixel, int screenSize) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}

bool sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    return SendInput(1, &input, sizeof input) == 1;
}

std::string play(const InputStep& step) {
    switch (step.kind) {
    case InputStep::Kind::moveTo: {
        const LONG dx = normalised(step.x, GetSystemMetrics(SM_CXSCREEN));
        const LONG dy = normalised(step.y, GetSystemMetrics(SM_CYSCREEN));
        if (!sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy)) {
            return "SendInput refused a move";
        }
        POINT cursor{};
        GetCursorPos(&cursor);
        if (cursor.x != step.x || cursor.y != step.y) {
            return "the cursor went to (" + std::to_string(cursor.x) + ", " +
                   std::to_string(cursor.y) + ") instead of (" + std::to_string(step.x) + ", " +
                   std::to_string(step.y) + ")";
        }
        return {};
    }
    case InputStep::Kind::buttonDown:
        return sendMouse(step.right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN)
                   ? std::string()
                   : "SendInput refused a button press";
    case InputStep::Kind::buttonUp:
        return sendMouse(step.right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)
                   ? std::string()
                   : "SendInput refused a button release";
    case InputStep::Kind::waitFor:
        return WaitForSingleObject(step.event, step.milliseconds) == WAIT_OBJECT_0
                   ? std::string()
                   : "the awaited event did not come";
    case InputStep::Kind::pause:
        Sleep(step.milliseconds);
        return {};
    }
    return {};
}

DWORD WINAPI playbackThread(void* argument) {
    auto* playback = static_cast<Playback*>(argument);
    for (const InputStep& step : *playback->steps) {
        std::string problem = play(step);
        if (!problem.empty() && playback->problem.empty()) {
            playback->problem = problem;
        }
        // Give the other thread time to see each state: the control polls, it is not told.
        Sleep(30);
    }
    return 0;
}

} // namespace

std::string playInput(const std::vector<InputStep>& steps, DWORD timeoutMilliseconds) {
    Playback playback{&steps, {}};
    HANDLE thread = CreateThread(nullptr, 0, &playbackThread, &playback, 0, nullptr);
    if (thread == nullptr) {
        return "could not start the input thread";
    }
    const bool finished = pumpUntilSignalled(thread, timeoutMilliseconds);
    if (!finished) {
        // The thread only sends input and sleeps; releasing the button ends any tracking loop.
        sendMouse(MOUSEEVENTF_LEFTUP);
        WaitForSingleObject(thread, INFINITE);
    }
    CloseHandle(thread);
    pumpMessages();
    if (!finished) {
        return "the input thread did not finish in time";
    }
    return playback.problem;
}

} // namespace testhost
