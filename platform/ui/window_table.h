#pragma once

// The table behind window handles. A handle is an index into the table together with the generation of
// that entry: when a window is destroyed its entry's generation moves on, so an old handle never finds the
// window that later reuses the entry. Handles may be checked from any thread; the window object behind a
// handle is only touched on the UI thread.

#include "platform/system/win_types.h"

class CWnd;

// Gives wnd a new handle.
HWND AllocWindowHandle(CWnd* wnd);
// Retires the handle; later lookups of it fail. Unknown or stale handles are ignored.
void FreeWindowHandle(HWND hwnd);
// The handle now names wnd (another object takes over the window); FALSE for a stale handle.
bool RetargetWindowHandle(HWND hwnd, CWnd* wnd);
// The window of a live handle, else nullptr.
CWnd* LookupWindowHandle(HWND hwnd);
// True while the handle names a live window (any thread).
bool IsWindowHandleLive(HWND hwnd);
