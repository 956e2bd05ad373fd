#pragma once

// Posting a message to a window from any thread. The window layer installs the handler that delivers it
// later on the UI thread; code outside the window layer (sessions, media threads) only posts.

#include "platform/system/win_types.h"

// Releases the heap payload of a post that is dropped (window gone, no window layer).
using PostPayloadDeleter = void (*)(LPARAM lParam);

// The delivery behind PostMessage: returns TRUE when the post was queued for the window. A handler that
// returns FALSE has not taken the payload.
using WindowPostHandler = BOOL (*)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                   PostPayloadDeleter deleter);
void SetWindowPostHandler(WindowPostHandler handler);

// Queues msg for hwnd. When it cannot be queued (no such window, no window layer) the payload is released
// through deleter (when given) and FALSE is returned.
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, PostPayloadDeleter deleter = nullptr);
