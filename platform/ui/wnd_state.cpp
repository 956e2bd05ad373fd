// A window's timers, visibility, geometry, text, painting requests, focus, font and cursor.

#include <QApplication>
#include <QCursor>

#include "platform/ui/desktop_hints.h"
#include "platform/ui/gdi_objects.h"
#include "platform/ui/wnd.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {

QRect ToQRect(const RECT& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Qt::CursorShape CursorShapeOf(UINT idc) {
    switch (idc) {
        case IDC_IBEAM:
            return Qt::IBeamCursor;
        case IDC_WAIT:
            return Qt::WaitCursor;
        case IDC_CROSS:
            return Qt::CrossCursor;
        case IDC_SIZEALL:
            return Qt::SizeAllCursor;
        case IDC_HAND:
            return Qt::PointingHandCursor;
        default:
            return Qt::ArrowCursor;
    }
}

// Owned windows stay above their owner, whatever the window manager does (there may be none): after a
// window is shown or raised, its shown owned windows are raised again, each followed by its own.
void RaiseOwnedWindows(QWidget* owner) {
    const QList<QWidget*> owned = owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* window : owned) {
        if (window->isWindow() && window->isVisible()) {
            window->raise();
            RaiseOwnedWindows(window);
        }
    }
}

constexpr const char* kHiddenWithOwnerProperty = "vistalHiddenWithOwner";

// The owner is shown again: its owned windows that went with it come back, in the normal state (a window
// manager may have iconified them with their owner, and Qt would map a window it believes minimised as an
// icon again), and one the manager still holds as an icon is asked back.
void BringBackOwnedWindows(QWidget* owner) {
    for (QWidget* window : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!window->isWindow())
            continue;
        if (window->property(kHiddenWithOwnerProperty).toBool()) {
            window->setProperty(kHiddenWithOwnerProperty, false);
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->show();
        } else if (window->isVisible() && WindowIconic(window)) {
            ShowIconicWindow(window);
        }
    }
}

}  // namespace

void FollowOwnerMinimised(QWidget* owner) {
    const bool minimised = owner->isMinimized();
    if (minimised) {
        for (QWidget* window : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            // A modal box stays: hiding one would end its loop.
            if (window->isWindow() && !window->isModal() && window->isVisible()) {
                window->setProperty(kHiddenWithOwnerProperty, true);
                window->hide();
            }
        }
        // Without a window manager nobody iconifies the window: it leaves the screen itself, and Qt maps it
        // again when it leaves the minimised state.
        if (owner->isVisible() && XWithoutWindowManager())
            UnmapWithoutWindowManager(owner);
        return;
    }
    BringBackOwnedWindows(owner);
    if (owner->isVisible())
        RaiseOwnedWindows(owner);
}

void MarkOwnedTopLevel(QWidget* window) {
    FollowWindowManagerStates();
    QWidget* owner = window->parentWidget();
    if (window->isWindow() && owner != nullptr)
        MarkOwnedWindow(window, owner->window());
}

uintptr_t CWnd::SetTimer(uintptr_t nIDEvent, UINT elapseMs) {
    return m_bridge == nullptr ? 0 : m_bridge->StartTimer(nIDEvent, elapseMs);
}

BOOL CWnd::KillTimer(uintptr_t nIDEvent) {
    return m_bridge != nullptr && m_bridge->StopTimer(nIDEvent) ? TRUE : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (m_widget == nullptr)
        return FALSE;
    bool wasVisible = !m_widget->isHidden();
    bool show = nCmdShow != SW_HIDE;
    // A window the program hides stays hidden when its owner comes back.
    if (!show)
        m_widget->setProperty(kHiddenWithOwnerProperty, false);
    // Under a window manager an owned window is mapped after its owner: mapped first, the manager would
    // not know its owner yet and would stack it as a window of its own, under the owner. It comes with
    // its owner instead (a modal one shows at once: its loop waits for it).
    if (show && !wasVisible && m_widget->isWindow() && !m_widget->isModal() &&
        m_widget->parentWidget() != nullptr && !m_widget->parentWidget()->window()->isVisible() &&
        XWithWindowManager()) {
        m_widget->setProperty(kHiddenWithOwnerProperty, true);
        return FALSE;
    }
    // Only the window whose own visibility changes hears of it.
    if (show != wasVisible)
        SendMessage(WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (m_widget == nullptr)
        return wasVisible;
    switch (nCmdShow) {
        case SW_HIDE:
            m_widget->hide();
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
            m_widget->showMinimized();
            break;
        case SW_SHOWMAXIMIZED:
            m_widget->showMaximized();
            break;
        case SW_SHOWNORMAL:  // shows a minimised or maximised window in its normal placement
        case SW_RESTORE:
            m_widget->showNormal();
            break;
        default:
            m_widget->show();
            break;
    }
    if (show && m_widget->isWindow() && nCmdShow != SW_SHOWMINIMIZED && nCmdShow != SW_MINIMIZE) {
        // Qt may not know that the window manager holds the window as an icon (a minimise from the
        // desktop it missed): then the state change above did nothing, and the window is asked back.
        if (!m_widget->isMinimized()) {
            if (WindowIconic(m_widget))
                ShowIconicWindow(m_widget);
            BringBackOwnedWindows(m_widget);
        }
        RaiseOwnedWindows(m_widget);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    return m_widget != nullptr && m_widget->isVisible();
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (m_widget == nullptr)
        return FALSE;
    BOOL wasDisabled = m_widget->isEnabled() ? FALSE : TRUE;
    m_widget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_widget != nullptr && m_widget->isEnabled();
}

namespace {

constexpr const char* kFixedFrameProperty = "vistalFixedFrame";

// A fixed frame takes the program's new size as its only size.
void FollowFixedFrame(QWidget* widget, int width, int height) {
    if (widget->isWindow() && widget->property(kFixedFrameProperty).toBool())
        widget->setFixedSize(width, height);
}

}  // namespace

void SetFixedFrame(QWidget* window) {
    window->setProperty(kFixedFrameProperty, true);
    window->setFixedSize(window->size());
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL bRepaint) {
    if (m_widget == nullptr)
        return;
    FollowFixedFrame(m_widget, width, height);
    m_widget->setGeometry(x, y, width, height);
    if (bRepaint)
        m_widget->update();
}

void CWnd::MoveWindow(const RECT& rect, BOOL bRepaint) {
    MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    if (m_widget == nullptr)
        return FALSE;
    if (!(flags & SWP_NOMOVE))
        m_widget->move(x, y);
    if (!(flags & SWP_NOSIZE)) {
        FollowFixedFrame(m_widget, cx, cy);
        m_widget->resize(cx, cy);
    }
    if (!(flags & SWP_NOZORDER) && insertAfter == nullptr) {
        m_widget->raise();
        RaiseOwnedWindows(m_widget);
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(SW_SHOW);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return TRUE;
}

void CWnd::GetClientRect(RECT* rect) const {
    *rect = RECT{};
    if (m_widget == nullptr)
        return;
    QWidget* paint = GetPaintWidget();
    rect->right = paint->width();
    rect->bottom = paint->height();
}

void CWnd::GetWindowRect(RECT* rect) const {
    *rect = RECT{};
    if (m_widget == nullptr)
        return;
    QPoint origin = m_widget->mapToGlobal(QPoint(0, 0));
    if (m_widget->isWindow())
        origin = m_widget->frameGeometry().topLeft();
    rect->left = origin.x();
    rect->top = origin.y();
    rect->right = origin.x() + m_widget->frameGeometry().width();
    rect->bottom = origin.y() + m_widget->frameGeometry().height();
    if (!m_widget->isWindow()) {
        rect->right = origin.x() + m_widget->width();
        rect->bottom = origin.y() + m_widget->height();
    }
}

void CWnd::ClientToScreen(POINT* point) const {
    if (m_widget == nullptr)
        return;
    QPoint p = GetPaintWidget()->mapToGlobal(QPoint(point->x, point->y));
    point->x = p.x();
    point->y = p.y();
}

void CWnd::ClientToScreen(RECT* rect) const {
    POINT a{rect->left, rect->top};
    POINT b{rect->right, rect->bottom};
    ClientToScreen(&a);
    ClientToScreen(&b);
    *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ScreenToClient(POINT* point) const {
    if (m_widget == nullptr)
        return;
    QPoint p = GetPaintWidget()->mapFromGlobal(QPoint(point->x, point->y));
    point->x = p.x();
    point->y = p.y();
}

void CWnd::ScreenToClient(RECT* rect) const {
    POINT a{rect->left, rect->top};
    POINT b{rect->right, rect->bottom};
    ScreenToClient(&a);
    ScreenToClient(&b);
    *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::SetWindowText(const QString& text) {
    if (m_widget == nullptr)
        return;
    SetTextOfWidget(text);
    SendMessage(WM_SETTEXT, 0, 0);
}

QString CWnd::GetWindowText() const {
    return m_widget == nullptr ? QString() : TextOfWidget();
}

void CWnd::SetTextOfWidget(const QString& text) {
    m_widget->setWindowTitle(text);
}
QString CWnd::TextOfWidget() const {
    return m_widget->windowTitle();
}

void CWnd::Invalidate(BOOL) {
    if (m_widget == nullptr)
        return;
    m_updateRegion += GetPaintWidget()->rect();
    GetPaintWidget()->update();
}

void CWnd::InvalidateRect(const RECT* rect, BOOL bErase) {
    if (m_widget == nullptr)
        return;
    if (rect == nullptr) {
        Invalidate(bErase);
        return;
    }
    m_updateRegion += ToQRect(*rect);
    GetPaintWidget()->update(ToQRect(*rect));
}

void CWnd::UpdateWindow() {
    if (m_widget == nullptr || !m_widget->isVisible())
        return;
    // Only the invalid area: a small invalidated rectangle never costs a repaint of the whole window.
    QRegion region = m_updateRegion & GetPaintWidget()->rect();
    m_updateRegion = QRegion();
    if (!region.isEmpty())
        GetPaintWidget()->repaint(region);
}

BOOL CWnd::RedrawWindow(const RECT* rect, UINT flags) {
    if (m_widget == nullptr)
        return FALSE;
    if (flags & RDW_INVALIDATE)
        InvalidateRect(rect, (flags & RDW_ERASE) ? TRUE : FALSE);
    if (flags & RDW_UPDATENOW)
        UpdateWindow();
    return TRUE;
}

void CWnd::SetRedraw(BOOL bRedraw) {
    if (m_widget != nullptr)
        m_widget->setUpdatesEnabled(bRedraw != FALSE);
}

BOOL CWnd::LockWindowUpdate() {
    if (m_widget == nullptr)
        return FALSE;
    m_widget->setUpdatesEnabled(false);
    return TRUE;
}

void CWnd::UnlockWindowUpdate() {
    if (m_widget != nullptr)
        m_widget->setUpdatesEnabled(true);
}

BOOL CWnd::SetForegroundWindow() {
    if (m_widget == nullptr)
        return FALSE;
    QWidget* window = m_widget->window();
    window->raise();
    RaiseOwnedWindows(window);
    window->activateWindow();
    return TRUE;
}

void CWnd::BringWindowToTop() {
    if (m_widget != nullptr) {
        m_widget->window()->raise();
        RaiseOwnedWindows(m_widget->window());
    }
}

CWnd* CWnd::SetFocus() {
    CWnd* previous = GetFocus();
    if (m_widget != nullptr)
        m_widget->setFocus(Qt::OtherFocusReason);
    return previous;
}

CWnd* CWnd::GetFocus() {
    return FindWindowOfWidget(QApplication::focusWidget());
}

void CWnd::SetFont(CFont* font, BOOL bRedraw) {
    m_pFont = font;
    if (m_widget != nullptr && font != nullptr) {
        m_widget->setFont(font->Font());
        if (bRedraw)
            m_widget->update();
    }
}

void CWnd::SetWindowCursor(UINT idc) {
    if (m_widget != nullptr)
        GetPaintWidget()->setCursor(QCursor(CursorShapeOf(idc)));
}
