#pragma once

// Window properties: named values that a window carries. A property that marks a program's instance
// window is also what other processes of the same user find it by: while a window carries property
// `name` with the value 1,
// - the raise request of a second start (RequestInstanceRaise, platform/system/instance_endpoint.h)
//   shows that window in its normal placement and brings it to the front;
// - WM_COPYDATA sent to this process (SendCopyData, platform/system/copydata_endpoint.h) is sent to that
//   window, as the desktop sends it to a program's top-level windows (the Updater's close request).
// Both arrive on the UI thread through the event loop (nested loops of modal dialogs included); the sender
// waits until the window has handled the message. The endpoints close when the last window carrying the
// property removes it. Set the property only in the process that holds the instance lock.

#include <QString>

#include "platform/system/win_types.h"

using HANDLE = void*;

// Sets (or changes) the property; a value of 1 on a live window publishes it as above. FALSE for a
// window that is gone or an empty name.
BOOL SetProp(HWND hwnd, const QString& name, HANDLE data);
// The value, or nullptr when the window does not carry the property (or is gone).
HANDLE GetProp(HWND hwnd, const QString& name);
// Removes the property and returns the value it had (nullptr when none).
HANDLE RemoveProp(HWND hwnd, const QString& name);
