#pragma once

// Delivery of window messages on the UI thread: posts from any thread arrive later, in order, through the
// pre-translate walk and then the window's handler. The loop is installed by the application object once
// the QApplication exists; the thread that installs it is the UI thread.

#include "platform/system/window_post.h"
#include "platform/ui/ui_messages.h"

// Installs the post handler; the calling thread becomes the UI thread. Needs a QCoreApplication.
void InstallWindowMessageLoop();
// Removes the handler; posts still queued are released through their deleters.
void RemoveWindowMessageLoop();
bool IsUiThread();

// Runs the pre-translate walk and, when no window took the message, the target's handler.
void DispatchWindowMessage(MSG* msg);
// The walk alone: the target's PreTranslateMessage, then its parents and owners up to the main window
// (and the main window last when the target is not below it); TRUE when one of them took the message.
BOOL WalkPreTranslateTree(MSG* msg);

// Calls the window's handler at once. Same thread only: from any other thread, or for a window that is
// gone, nothing is called and 0 is returned.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Ends the outermost loop of the application with the given exit code, as WM_QUIT does.
void PostQuitMessage(int exitCode);
