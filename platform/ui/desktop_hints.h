#pragma once

// What the X desktop's window manager is told about the program's top-level windows, and what is read back
// from the server. On another platform (the offscreen one of the tests) every call does nothing and every
// question is answered "no".

class QWidget;

// True on X when no window manager runs: the root window's _NET_SUPPORTING_WM_CHECK does not name a window
// that names itself again (the standard's test for a live manager). Nobody then iconifies a window.
bool XWithoutWindowManager();

// True on X when a window manager runs.
bool XWithWindowManager();

// Marks window as owned by owner (both top-level): transient for it, and without a taskbar or pager entry
// of its own. The manager drops _NET_WM_STATE when a window is withdrawn, so this runs before every map.
void MarkOwnedWindow(QWidget* window, QWidget* owner);

// True when the server holds the window as an icon (its WM_STATE is IconicState), whatever Qt believes.
bool WindowIconic(QWidget* window);

// Brings an iconic window back: a map request (how a client leaves the iconic state) and an activation
// request, which window managers also take as "show this window".
void ShowIconicWindow(QWidget* window);

// From the first call on, a top-level window that the window manager iconifies or brings back without Qt
// noticing (Qt may miss a restore that follows a minimise the program asked for) has its Qt state set to
// match, so that the state-change handling (the owned windows going and coming with it) runs.
void FollowWindowManagerStates();

// Takes a window off the screen without a window manager, as an iconify would (Qt maps it again when it
// leaves the minimised state).
void UnmapWithoutWindowManager(QWidget* window);
