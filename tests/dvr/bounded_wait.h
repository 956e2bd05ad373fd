#pragma once

// A bounded wait on a condition that nothing announces, for suites whose threads run without an event
// loop.

#include <chrono>
#include <functional>
#include <thread>

namespace harness {

// Waits up to timeoutMs for the condition, looking every 2 ms.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace harness
