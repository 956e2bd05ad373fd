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

struct _XDisplay;

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
    // Types text key by key, with Shift where the character is on a key's shifted level; a character no
    // key carries (Chinese, say) is typed on a spare key bound to it for the moment.
    void Type(const QString& text);
    // The window's title: _NET_WM_NAME (UTF-8), else WM_NAME; empty when it has none.
    QString WindowName(unsigned long window);
    // Maps a plain window of this client over rect, on top of the others (another program's window).
    unsigned long MapCover(const QRect& rect);
    // True when window a is stacked above window b (both top-level).
    bool IsAbove(unsigned long a, unsigned long b);

private:
    _XDisplay* m_display = nullptr;
};
