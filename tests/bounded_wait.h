#pragma once

// The one bounded wait of the test suites: a condition that is looked at again until it holds or the time
// is up. Between two looks it runs `between` (a suite with an event loop turns it there, one with a
// repaint signal waits for that) or, without one, sleeps 2 ms.

#include <chrono>
#include <functional>
#include <thread>

namespace harness {

// Waits up to timeoutMs for the condition. True when it held (looked at once more at the end).
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000,
                      const std::function<void()>& between = nullptr) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return condition();
        if (between)
            between();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace harness
