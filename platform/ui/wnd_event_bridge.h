#pragma once

// Turns the Qt events of a window's widget into window messages for its CWnd, and runs its timers.

#include <QObject>
#include <map>

#include "platform/ui/ui_messages.h"

class CWnd;
class QEvent;
class QTimerEvent;

class WndEventBridge : public QObject {
public:
    WndEventBridge(CWnd* wnd, QWidget* widget);
    ~WndEventBridge() override;

    CWnd* Wnd() const { return m_wnd; }
    // The window no longer listens (it is being destroyed or handed over).
    void Detach() { m_wnd = nullptr; }
    void Retarget(CWnd* wnd) { m_wnd = wnd; }
    // Also translates the events of another widget (the viewport of a scrolling control).
    void Watch(QObject* object);

    uintptr_t StartTimer(uintptr_t id, UINT elapseMs);
    bool StopTimer(uintptr_t id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    bool Translate(QObject* watched, QEvent* event);
    CWnd* m_wnd;
    std::map<uintptr_t, int> m_timers;
};

// A minimised window's shown owned windows are hidden with it and shown again when it is restored, as the
// platform does with owned windows.
void FollowOwnerMinimised(QWidget* owner);

// A top-level window with an owner is marked as owned for the window manager (desktop_hints.h) each time
// it is about to be shown.
void MarkOwnedTopLevel(QWidget* window);

// While an event handler of any window runs, widgets are deleted later rather than at once, so that a
// handler may destroy the window whose event is being delivered.
class WindowEventScope {
public:
    WindowEventScope();
    ~WindowEventScope();
    static bool Active();
};
