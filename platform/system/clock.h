#pragma once

#include <cstdint>

// Milliseconds of a monotonic clock. Intervals, retries and time-outs use it; wall-clock time is used only
// where a date is shown or sent.
uint64_t MonotonicMs();

// Tests replace the clock with their own (nullptr restores the real one).
using MonotonicClockFn = uint64_t (*)();
void SetMonotonicClock(MonotonicClockFn clock);

// Milliseconds from now until the monotonic time deadline, as a poll time-out: 0 once it has passed. A
// replaced clock moves only when its owner moves it and cannot wake a sleeper, so under one the wait is
// cut to REPLACED_CLOCK_WAIT_MS and the caller looks at the clock again after it.
[[nodiscard]] int WaitMsUntil(int64_t deadline);
constexpr int REPLACED_CLOCK_WAIT_MS = 100;
