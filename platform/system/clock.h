#pragma once

#include <cstdint>

// Milliseconds of a monotonic clock. Intervals, retries and time-outs use it; wall-clock time is used only
// where a date is shown or sent.
uint64_t MonotonicMs();

// Tests replace the clock with their own (nullptr restores the real one).
using MonotonicClockFn = uint64_t (*)();
void SetMonotonicClock(MonotonicClockFn clock);
