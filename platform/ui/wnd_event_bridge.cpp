#include "platform/ui/wnd_event_bridge.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTimerEvent>
#include <QWheelEvent>

#include "platform/ui/message_loop.h"
#include "platform/ui/wnd.h"

namespace {

int g_eventDepth = 0;

UINT VirtualKeyOf(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Shift:
            return VK_SHIFT;
        case Qt::Key_Control:
            return VK_CONTROL;
        default:
            break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return static_cast<UINT>(key);
    return 0;
}

WPARAM MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        keys |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

UINT MouseMessage(QEvent::Type type, Qt::MouseButton button) {
    switch (type) {
        case QEvent::MouseMove:
            return WM_MOUSEMOVE;
        case QEvent::MouseButtonPress:
            return button == Qt::LeftButton     ? WM_LBUTTONDOWN
                   : button == Qt::RightButton  ? WM_RBUTTONDOWN
                   : button == Qt::MiddleButton ? WM_MBUTTONDOWN
                                                : 0;
        case QEvent::MouseButtonRelease:
            return button == Qt::LeftButton     ? WM_LBUTTONUP
                   : button == Qt::RightButton  ? WM_RBUTTONUP
                   : button == Qt::MiddleButton ? WM_MBUTTONUP
                                                : 0;
        case QEvent::MouseButtonDblClick:
            return button == Qt::LeftButton     ? WM_LBUTTONDBLCLK
                   : button == Qt::RightButton  ? WM_RBUTTONDBLCLK
                   : button == Qt::MiddleButton ? WM_MBUTTONDBLCLK
                                                : 0;
        default:
            return 0;
    }
}

bool IsInputEvent(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::Leave:
            return true;
        default:
            return false;
    }
}

// Qt reports a widget disabled when it or any widget it sits in is; the watched object may be a part of
// the window's widget (a scrolling control's viewport).
bool InputEnabled(QObject* watched, CWnd* wnd) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && !widget->isEnabled())
        return false;
    return wnd->GetWidget() == nullptr || wnd->GetWidget()->isEnabled();
}

}  // namespace

WindowEventScope::WindowEventScope() {
    ++g_eventDepth;
}
WindowEventScope::~WindowEventScope() {
    --g_eventDepth;
}
bool WindowEventScope::Active() {
    return g_eventDepth > 0;
}

WndEventBridge::WndEventBridge(CWnd* wnd, QWidget* widget) : QObject(widget), m_wnd(wnd) {
    widget->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        Watch(area->viewport());
}

WndEventBridge::~WndEventBridge() {
    // The widget is going away under its window (deleted by its parent widget): the window is released.
    if (m_wnd != nullptr)
        m_wnd->ReleaseWindow();
}

void WndEventBridge::Watch(QObject* object) {
    object->installEventFilter(this);
}

uintptr_t WndEventBridge::StartTimer(uintptr_t id, UINT elapseMs) {
    StopTimer(id);
    int qtId = startTimer(static_cast<int>(elapseMs), Qt::PreciseTimer);
    if (qtId == 0)
        return 0;
    m_timers[id] = qtId;
    return id == 0 ? 1 : id;
}

bool WndEventBridge::StopTimer(uintptr_t id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return false;
    killTimer(it->second);
    m_timers.erase(it);
    return true;
}

void WndEventBridge::timerEvent(QTimerEvent* event) {
    for (const auto& [id, qtId] : m_timers) {
        if (qtId != event->timerId())
            continue;
        if (m_wnd == nullptr)
            return;
        WindowEventScope scope;
        MSG msg;
        msg.hwnd = m_wnd->m_hWnd;
        msg.message = WM_TIMER;
        msg.wParam = id;
        DispatchWindowMessage(&msg);
        return;
    }
}

bool WndEventBridge::eventFilter(QObject* watched, QEvent* event) {
    if (m_wnd == nullptr || m_wnd->m_hWnd == nullptr)
        return false;
    WindowEventScope scope;
    return Translate(watched, event);
}

bool WndEventBridge::Translate(QObject* watched, QEvent* event) {
    CWnd* wnd = m_wnd;
    // A disabled window, and every window inside one, hears nothing of the mouse and the keyboard.
    if (IsInputEvent(event->type()) && !InputEnabled(watched, wnd))
        return false;
    HWND hwnd = wnd->m_hWnd;
    MSG msg;
    msg.hwnd = hwnd;
    switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            msg.message = MouseMessage(event->type(), mouse->button());
            if (msg.message == 0)
                return false;
            QPoint pos = mouse->position().toPoint();
            msg.wParam = MouseKeys(mouse->buttons(), mouse->modifiers());
            msg.lParam = MAKELPARAM(pos.x(), pos.y());
            break;
        }
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            QPoint global = wheel->globalPosition().toPoint();
            msg.message = WM_MOUSEWHEEL;
            msg.wParam = MAKEWPARAM(static_cast<int>(MouseKeys(wheel->buttons(), wheel->modifiers())),
                                    wheel->angleDelta().y());
            msg.lParam = MAKELPARAM(global.x(), global.y());
            break;
        }
        case QEvent::KeyPress: {
            // A key goes through the walk once, at the window that has the focus; when the event moves on
            // to parent widgets they only give it their default processing.
            if (FindWindowOfWidget(QApplication::focusWidget()) != wnd &&
                QApplication::focusWidget() != nullptr)
                return false;
            auto* key = static_cast<QKeyEvent*>(event);
            msg.message = WM_KEYDOWN;
            msg.wParam = VirtualKeyOf(key->key());
            msg.lParam = 1;
            if (msg.wParam == 0)
                return false;
            break;
        }
        case QEvent::Paint:
            // Only the widget the window paints on: a scroll area's frame draws itself.
            if (watched != wnd->GetPaintWidget())
                return false;
            wnd->m_updateRegion -= static_cast<QPaintEvent*>(event)->region();
            wnd->m_bDefaultAsked = false;
            wnd->WindowProc(WM_PAINT, 0, 0);
            return !wnd->m_bDefaultAsked;
        case QEvent::Resize:
            if (watched == wnd->GetWidget()) {
                auto* resize = static_cast<QResizeEvent*>(event);
                wnd->WindowProc(WM_SIZE, 0, MAKELPARAM(resize->size().width(), resize->size().height()));
            }
            return false;
        case QEvent::Move:
            // A top-level window's new place (a child's place is its parent's business).
            if (watched == wnd->GetWidget() && wnd->GetWidget()->isWindow()) {
                const QPoint at = wnd->GetWidget()->pos();
                wnd->WindowProc(WM_MOVE, 0, MAKELPARAM(at.x(), at.y()));
            }
            return false;
        case QEvent::WindowStateChange:
            if (watched == wnd->GetWidget() && wnd->GetWidget()->isWindow())
                FollowOwnerMinimised(wnd->GetWidget());
            return false;
        case QEvent::Show:
            // Sent before the window is mapped: the window manager learns of the owner in time.
            if (watched == wnd->GetWidget())
                MarkOwnedTopLevel(wnd->GetWidget());
            return false;
        case QEvent::EnabledChange:
            if (watched == wnd->GetWidget())
                wnd->WindowProc(WM_ENABLE, wnd->GetWidget()->isEnabled() ? TRUE : FALSE, 0);
            return false;
        case QEvent::FocusIn:
            wnd->WindowProc(WM_SETFOCUS, 0, 0);
            return false;
        case QEvent::FocusOut:
            wnd->WindowProc(WM_KILLFOCUS, 0, 0);
            return false;
        case QEvent::Leave:
            // A captured window hears the pointer go: as a move to a point outside it.
            if (watched != wnd->GetPaintWidget() || CWnd::GetCapture() != wnd ||
                QApplication::mouseButtons() != Qt::NoButton)
                return false;
            msg.message = WM_MOUSEMOVE;
            msg.wParam = 0;
            msg.lParam = MAKELPARAM(-1, -1);
            break;
        case QEvent::Hide:
        case QEvent::WindowDeactivate:
            if (watched == wnd->GetWidget())
                wnd->WindowProc(WM_CANCELMODE, 0, 0);
            return false;
        default:
            return false;
    }
    // Input: the walk first, then the window's handler; the widget's own processing follows unless the
    // walk took the message or the handler did not ask for it.
    if (WalkPreTranslateTree(&msg))
        return true;
    CWnd* target = CWnd::FromHandle(hwnd);
    if (target == nullptr)
        return true;
    target->m_bDefaultAsked = false;
    target->WindowProc(msg.message, msg.wParam, msg.lParam);
    if (CWnd::FromHandle(hwnd) == nullptr)
        return true;
    if (!target->m_bDefaultAsked) {
        event->accept();
        return true;
    }
    // A key the control left alone would go on to its dialog (Return as OK, Escape as Cancel) unless the
    // control wants every key.
    if (msg.message == WM_KEYDOWN &&
        (target->SendMessage(WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTALLKEYS)) {
        event->accept();
        return true;
    }
    return false;
}
