#include "platform/InputState.h"

#include "platform/Win32Api.h"

namespace win32layer {

InputState::InputState() : start_(std::chrono::steady_clock::now()) {}

void InputState::poll() {
    ++polls_;
    if (!script_.empty()) {
        current_ = script_.front();
        script_.pop_front();
    }
    if (manualClock_)
        manualTicks_ += ticksPerPoll_;
}

bool InputState::keyDown(int virtualKey) const {
    switch (virtualKey) {
    case VK_LBUTTON:
        return current_.leftButton;
    case VK_MBUTTON:
        return current_.middleButton;
    case VK_RBUTTON:
        return current_.rightButton;
    case VK_SHIFT:
        return current_.shift;
    case VK_CONTROL:
        return current_.control;
    case VK_MENU:
        return current_.alt;
    default:
        return false;
    }
}

uint32_t InputState::ticks() const {
    if (manualClock_)
        return manualTicks_;
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    // Starts at an arbitrary, non-zero count as the system's does; wraps after 49.7 days.
    return static_cast<uint32_t>(
        1000000 + std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

} // namespace win32layer
