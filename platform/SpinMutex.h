// The layer's lock. Calls into the layer are short and almost never contended (one thread runs
// the editor, others only change parameters), so an atomic flag is cheaper than a system mutex;
// a waiting thread yields instead of burning its time slice.
#pragma once

#include <atomic>
#include <thread>

namespace win32layer {

class SpinMutex {
public:
    void lock() noexcept {
        while (locked.exchange(true, std::memory_order_acquire)) {
            while (locked.load(std::memory_order_relaxed)) {
                std::this_thread::yield();
            }
        }
    }
    bool try_lock() noexcept {
        return !locked.load(std::memory_order_relaxed) &&
               !locked.exchange(true, std::memory_order_acquire);
    }
    void unlock() noexcept { locked.store(false, std::memory_order_release); }

private:
    std::atomic<bool> locked{false};
};

} // namespace win32layer
