#pragma once

#include "platform/system/win_types.h"

// Messages between the updater's dialog and its worker thread. The two requests are thread messages to
// the worker; the replies are posted to the dialog window.
constexpr UINT WM_UPDATE_CHECK = WM_USER + 1;     // dialog to worker: run the update check
constexpr UINT WM_UPDATE_CHECKED = WM_USER + 2;   // worker to dialog: wParam = check result
constexpr UINT WM_UPDATE_START = WM_USER + 3;     // dialog to worker: run the update
constexpr UINT WM_UPDATE_DONE = WM_USER + 4;      // worker to dialog: wParam = 1 done, 0 failed
constexpr UINT WM_UPDATE_PROGRESS = WM_USER + 5;  // worker to dialog: wParam = progress position

// Results of the update check.
constexpr int CHECK_RESULT_NEWER = 0;
constexpr int CHECK_RESULT_FAILED = 1;
constexpr int CHECK_RESULT_CURRENT = 2;

// The progress bar's range is 0 to this; the update posts it when unpacking has ended.
constexpr int UPDATE_PROGRESS_MAX = 20;
