#pragma once

// The "Saved." notice of the settings pages: a one-second timer counts it down after a save.

#include <cstdint>

#include "platform/ui/wnd.h"

constexpr uintptr_t TIMER_SAVED_NOTICE = 4097;
// Ticks of the notice: shown from the next tick, hidden again at the third.
constexpr int SAVED_NOTICE_TICKS = 3;

// Ends the countdown and hides the notice (control noticeId of page) at once: a refused or unsent save
// must not leave an earlier "Saved." standing.
void WithdrawSavedNotice(CWnd* page, UINT noticeId, int* countdown);
