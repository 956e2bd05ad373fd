#pragma once

// The "Saved." notice of the settings pages: a one-second timer counts it down after a save.

#include <cstdint>

constexpr uintptr_t TIMER_SAVED_NOTICE = 4097;
// Ticks of the notice: shown from the next tick, hidden again at the third.
constexpr int SAVED_NOTICE_TICKS = 3;
