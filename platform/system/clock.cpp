#include "platform/system/clock.h"

#include <atomic>
#include <chrono>
#include <climits>

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

int WaitMsUntil(int64_t deadline) {
    const int64_t now = static_cast<int64_t>(MonotonicMs());
    const int64_t wait = deadline > now ? deadline - now : 0;
    const int64_t limit =
        g_clock.load(std::memory_order_acquire) != nullptr ? REPLACED_CLOCK_WAIT_MS : INT_MAX;
    return static_cast<int>(wait < limit ? wait : limit);
}
