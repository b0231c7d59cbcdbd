// The live mouse and keyboard state that polling code sees, and the millisecond tick clock; both
// can be driven by tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>

namespace win32layer {

struct InputSnapshot {
    int32_t x = 0; // screen coordinates
    int32_t y = 0;
    bool leftButton = false;
    bool middleButton = false;
    bool rightButton = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

class InputState {
public:
    InputState();

    const InputSnapshot& current() const { return current_; }
    void set(const InputSnapshot& state) { current_ = state; }

    // Scripted states are taken one per cursor poll; the last one stays once the script ends.
    void script(std::deque<InputSnapshot> states) { script_ = std::move(states); }
    void setProvider(std::function<void(InputSnapshot&)> provider) {
        provider_ = std::move(provider);
    }
    void clearScript() {
        script_.clear();
        provider_ = nullptr;
    }
    // One poll of the cursor: advances the script and the manual clock. The provider, if any, is
    // then consulted by the caller, outside the layer's lock.
    void poll();
    const std::function<void(InputSnapshot&)>& provider() const { return provider_; }
    // Whether a script or a provider will change the state at later polls.
    bool driven() const { return !script_.empty() || provider_ != nullptr; }
    // Whether the virtual key is down now.
    bool keyDown(int virtualKey) const;

    uint32_t ticks() const;
    void useManualClock(uint32_t start) {
        manualClock_ = true;
        manualTicks_ = start;
    }
    void useSystemClock() { manualClock_ = false; }
    void advanceClock(uint32_t milliseconds) { manualTicks_ += milliseconds; }
    void setTicksPerPoll(uint32_t milliseconds) { ticksPerPoll_ = milliseconds; }
    uint64_t pollCount() const { return polls_; }

private:
    InputSnapshot current_;
    std::deque<InputSnapshot> script_;
    std::function<void(InputSnapshot&)> provider_;
    bool manualClock_ = false;
    uint32_t manualTicks_ = 0;
    uint32_t ticksPerPoll_ = 0;
    uint64_t polls_ = 0;
    std::chrono::steady_clock::time_point start_;
};

} // namespace win32layer
