#pragma once

// A private X server for the end-to-end suite and the few things the suite does through it: find a
// program's top-level window by its process id, grab what the server shows, and press and release mouse
// buttons and keys as a person would (XTest). Every wait is bounded; the server is ended by its pid.

#include <sys/types.h>

#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { Stop(); }

    // Starts Xvfb on a display number it picks itself (-displayfd), screen width x height x 24, no TCP.
    // 0, or -1 when Xvfb is not installed or did not report a display within timeoutMs.
    [[nodiscard]] int Start(int width, int height, int timeoutMs = 10000);
    void Stop();
    // ":N" once started.
    QString Display() const { return m_display; }

private:
    pid_t m_pid = -1;
    QString m_display;
};

// True when an Xvfb binary is on PATH.
bool XvfbInstalled();

// A window manager (openbox) on the private X server, as operators run one: it frames, stacks, iconifies
// and restores the windows. Ended by its pid.
class WindowManager {
public:
    WindowManager() = default;
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;
    ~WindowManager() { Stop(); }

    // Starts it on display with a configuration folder of its own (configHome) and waits until it has
    // taken the screen: the root window's _NET_SUPPORTING_WM_CHECK names its check window. 0, or -1 when
    // it is not installed or did not take the screen within timeoutMs.
    [[nodiscard]] int Start(const QString& display, const QString& configHome, int timeoutMs = 10000);
    void Stop();

private:
    pid_t m_pid = -1;
};

// True when openbox is on PATH.
bool OpenboxInstalled();

struct _XDisplay;
struct xcb_connection_t;

class XClient {
public:
    XClient() = default;
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;
    ~XClient();

    [[nodiscard]] int Open(const QString& display);
    // The largest viewable top-level window whose _NET_WM_PID is pid, or 0.
    unsigned long FindWindowOfProcess(pid_t pid);
    // The viewable top-level windows whose _NET_WM_PID is pid, bottom to top.
    std::vector<unsigned long> WindowsOfProcess(pid_t pid);
    // True while the window exists and is mapped and viewable.
    bool IsShown(unsigned long window);
    // The window's rectangle in root coordinates (empty when it is gone).
    QRect WindowRect(unsigned long window);
    // What the screen shows in rect (root coordinates), as RGB32.
    QImage Grab(const QRect& rect);
    void MoveMouse(int x, int y);
    // Presses button 1 at point, holds it for holdMs and releases it.
    void Click(QPoint point, int holdMs = 50);
    void Button(int button, bool press);
    void Key(const char* keysymName);
    // Presses modifier (a keysym name such as "Control_L"), then key, and releases both.
    void KeyWith(const char* modifier, const char* keysymName);
    // Types text key by key, with Shift where the character is on a key's shifted level. A character no
    // key carries (Chinese, say) is bound to a spare key of its own for the rest of the session: the server
    // tells the program of the new binding ahead of the press, and no key changes its meaning while a press
    // of it may still wait in the program's queue.
    void Type(const QString& text);
    // The window's title: _NET_WM_NAME (UTF-8), else WM_NAME; empty when it has none.
    QString WindowName(unsigned long window);
    // Maps a plain window of this client over rect, on top of the others (another program's window).
    unsigned long MapCover(const QRect& rect);
    // True when window a is stacked above window b (both top-level).
    bool IsAbove(unsigned long a, unsigned long b);
    // True when the window is a tool tip (its _NET_WM_WINDOW_TYPE says so).
    bool IsToolTip(unsigned long window);
    // True when the window's _NET_WM_STATE holds the atom named state (such as _NET_WM_STATE_SKIP_TASKBAR).
    bool HasState(unsigned long window, const char* state);
    // The window the window is transient for (WM_TRANSIENT_FOR), or 0.
    unsigned long TransientFor(unsigned long window);
    // True when the window is iconic (its WM_STATE says so, as the window manager sets it).
    bool IsIconic(unsigned long window);
    // What a desktop's minimise does: asks the window manager to iconify the window (WM_CHANGE_STATE).
    void Minimise(unsigned long window);
    // What a click on a taskbar entry does: asks the window manager to show and activate the window.
    void Activate(unsigned long window);

    // The topmost viewable top-level window at point (root coordinates), or 0.
    unsigned long TopLevelAt(QPoint point);
    // The top-level window that holds the keyboard focus (the focus window or its top-level ancestor), or
    // 0 when the focus is on no window of a client (None, or following the pointer).
    unsigned long FocusedTopLevel();

    // The waits on what input and checks need. Each looks again every few milliseconds until its condition
    // holds or timeoutMs has passed, and says whether it held.

    // Waits until window (top-level) holds the keyboard focus: key events sent from then on go to it (XTest
    // keys go to whatever holds the focus when they are sent). A program takes the focus when it handles a
    // click in an inactive window or shows a modal one.
    bool WaitForKeyboard(unsigned long window, int timeoutMs = 10000);
    // Clicks point, then waits until the program has handled the click: the picture in changed (when it is
    // not empty: what the click changes, such as a selection) differs from before the click, and the
    // top-level window at point holds the keyboard focus, so keys sent next reach it.
    bool ClickForKeys(QPoint point, const QRect& changed = QRect(), int timeoutMs = 10000);
    // Waits until the picture in rect differs from before.
    bool WaitForChange(const QRect& rect, const QImage& before, int timeoutMs = 10000);
    // Waits until the picture in rect is the same in three grabs intervalMs apart (what the program draws
    // there has settled, and no caret blinks in it); *last (when given) is the last grab.
    bool WaitForStill(const QRect& rect, int intervalMs = 300, int timeoutMs = 10000, QImage* last = nullptr);
    // Waits until another client holds the keyboard grabbed, as a popup menu does while it is open: key
    // events go to it from then on, wherever the focus is (so WaitForKeyboard does not apply to a menu).
    // It is seen from this client's own grab, which the server then refuses; a grab that succeeds (nobody
    // holds the keyboard yet) is released in the same batch of requests, so that the program's own grab is
    // not refused for it.
    bool WaitForKeyboardGrab(int timeoutMs = 10000);
    // Waits until the picture in rect shows more than one colour (a new window is first filled with its
    // background colour alone) and then holds still (WaitForStill); *last (when given) is the last grab.
    bool WaitForDrawn(const QRect& rect, int timeoutMs = 10000, QImage* last = nullptr);
    // Waits until window stands at the same place in two looks intervalMs apart, away from the screen's
    // left edge where it is first mapped before the program centres it; that place, or an empty rectangle.
    QRect WaitForPlaced(unsigned long window, int intervalMs = 300, int timeoutMs = 10000);

private:
    _XDisplay* m_display = nullptr;
    // A second connection to the server for the keyboard grab test, whose requests can be sent together.
    xcb_connection_t* m_grabTest = nullptr;
};
