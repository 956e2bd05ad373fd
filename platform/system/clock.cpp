#include "platform/system/clock.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<MonotonicClockFn> g_clock{nullptr};
}

uint64_t MonotonicMs() {
    MonotonicClockFn fn = g_clock.load(std::memory_order_acquire);
    if (fn != nullptr) {
        return fn();
    }
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SetMonotonicClock(MonotonicClockFn clock) {
    g_clock.store(clock, std::memory_order_release);
}
