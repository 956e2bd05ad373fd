#include "platform/ui/wnd.h"

#include <QApplication>
#include <QCursor>

#include "platform/ui/gdi_objects.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/owner_draw.h"
#include "platform/ui/window_table.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {

HWND g_captureHwnd = nullptr;

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

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd != nullptr)
        FreeWindowHandle(m_hWnd);
    m_hWnd = nullptr;
    if (m_bridge != nullptr)
        m_bridge->Detach();
    m_bridge = nullptr;
    delete m_widget.data();
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd == nullptr ? nullptr : LookupWindowHandle(hwnd);
}

BOOL CWnd::Attach(QWidget* widget, CWnd* parent, UINT nID, DWORD style) {
    if (widget == nullptr || m_hWnd != nullptr)
        return FALSE;
    HWND hwnd = AllocWindowHandle(this);
    if (hwnd == nullptr) {
        delete widget;
        return FALSE;
    }
    m_hWnd = hwnd;
    m_widget = widget;
    m_nID = nID;
    m_dwStyle = style;
    m_hWndParent = nullptr;
    m_hWndOwner = nullptr;
    if (parent != nullptr && parent != this) {
        if (style & WS_CHILD) {
            m_hWndParent = parent->m_hWnd;
            if (widget->parentWidget() != parent->GetWidget())
                widget->setParent(parent->GetWidget());
        } else {
            m_hWndOwner = parent->m_hWnd;
        }
    }
    widget->setMouseTracking(true);
    m_bridge = new WndEventBridge(this, widget);
    if (style & WS_DISABLED)
        widget->setEnabled(false);
    if (style & WS_VISIBLE)
        widget->show();
    else if (style & WS_CHILD)
        widget->hide();
    OnCreate();
    return TRUE;
}

void CWnd::MoveWindowTo(CWnd& other) {
    if (m_hWnd == nullptr || other.m_hWnd != nullptr)
        return;
    // The handle keeps its value (child windows and buddies refer to it); the table entry now names the
    // other object.
    if (!RetargetWindowHandle(m_hWnd, &other))
        return;
    other.m_hWnd = m_hWnd;
    other.m_widget = m_widget;
    other.m_bridge = m_bridge;
    other.m_hWndParent = m_hWndParent;
    other.m_hWndOwner = m_hWndOwner;
    other.m_nID = m_nID;
    other.m_dwStyle = m_dwStyle;
    other.m_pFont = m_pFont;
    if (m_bridge != nullptr)
        m_bridge->Retarget(&other);
    other.TakeOverState(*this);
    m_hWnd = nullptr;
    m_widget = nullptr;
    m_bridge = nullptr;
}

void CWnd::CollectChildren(std::vector<CWnd*>& out) const {
    if (m_widget == nullptr)
        return;
    // The bridge has no meta-object of its own, so it is told apart by dynamic_cast.
    for (QObject* object : m_widget->findChildren<QObject*>()) {
        auto* bridge = dynamic_cast<WndEventBridge*>(object);
        if (bridge == nullptr)
            continue;
        CWnd* child = bridge->Wnd();
        if (child != nullptr && child != this && child->m_hWnd != nullptr)
            out.push_back(child);
    }
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    HWND self = m_hWnd;
    SendMessage(WM_DESTROY);
    if (FromHandle(self) != this)
        return TRUE;
    std::vector<CWnd*> children;
    CollectChildren(children);
    std::vector<HWND> childHandles;
    for (CWnd* child : children)
        childHandles.push_back(child->m_hWnd);
    for (HWND h : childHandles) {
        if (CWnd* child = FromHandle(h))
            child->SendMessage(WM_DESTROY);
    }
    for (HWND h : childHandles) {
        if (CWnd* child = FromHandle(h))
            child->ReleaseWindow();
    }
    QPointer<QWidget> widget = m_widget;
    ReleaseWindow();
    if (widget != nullptr) {
        widget->hide();
        if (WindowEventScope::Active())
            widget->deleteLater();
        else
            delete widget.data();
    }
    return TRUE;
}

void CWnd::ReleaseWindow() {
    if (g_captureHwnd == m_hWnd)
        g_captureHwnd = nullptr;
    if (m_hWnd != nullptr)
        FreeWindowHandle(m_hWnd);
    m_hWnd = nullptr;
    if (m_bridge != nullptr)
        m_bridge->Detach();
    m_bridge = nullptr;
    m_widget = nullptr;
}

CWnd* CWnd::GetParent() const {
    return FromHandle(m_hWndParent != nullptr ? m_hWndParent : m_hWndOwner);
}

CWnd* CWnd::GetTopLevelParent() const {
    const CWnd* wnd = this;
    while (wnd->m_hWndParent != nullptr) {
        CWnd* parent = FromHandle(wnd->m_hWndParent);
        if (parent == nullptr)
            break;
        wnd = parent;
    }
    return const_cast<CWnd*>(wnd);
}

CWnd* CWnd::GetDlgItem(UINT nID) const {
    std::vector<CWnd*> children;
    CollectChildren(children);
    for (CWnd* child : children) {
        if (child->m_nID == nID && child->m_hWndParent == m_hWnd)
            return child;
    }
    return nullptr;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam, PostPayloadDeleter deleter) {
    return ::PostMessage(m_hWnd, message, wParam, lParam, deleter);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) {
    std::vector<CWnd*> children;
    CollectChildren(children);
    std::vector<HWND> handles;
    for (CWnd* child : children)
        handles.push_back(child->m_hWnd);
    for (HWND h : handles)
        ::SendMessage(h, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    m_bDefaultAsked = true;
    return 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    UINT flags = static_cast<UINT>(wParam);
    switch (message) {
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_COMMAND: {
            // A control may handle its own notification (reflection) before the parent sees it.
            LRESULT result = 0;
            CWnd* control = FromHandle(reinterpret_cast<HWND>(lParam));
            if (control != nullptr && control->OnChildNotify(message, wParam, lParam, &result))
                return result;
            return OnCommand(wParam, lParam) ? 1 : 0;
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            CWnd* control = hdr == nullptr ? nullptr : FromHandle(hdr->hwndFrom);
            if (control != nullptr && control->OnChildNotify(message, wParam, lParam, &result))
                return result;
            OnNotify(wParam, lParam, &result);
            return result;
        }
        case WM_DRAWITEM: {
            LRESULT result = 0;
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            CWnd* control = item == nullptr ? nullptr : FromHandle(item->hwndItem);
            if (control != nullptr && control->OnChildNotify(message, wParam, lParam, &result))
                return result;
            return Default();
        }
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_SHOWWINDOW:
            OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return OnEraseBkgnd();
        case WM_SIZE:
            OnSize(flags, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_ENABLE:
            OnEnable(static_cast<BOOL>(wParam));
            return 0;
        case WM_SETFOCUS:
            OnSetFocus();
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus();
            return 0;
        case WM_CANCELMODE:
            OnCancelMode();
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged();
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(flags, point);
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(flags, point);
            return 0;
        case WM_LBUTTONDBLCLK:
            OnLButtonDblClk(flags, point);
            return 0;
        case WM_RBUTTONDOWN:
            OnRButtonDown(flags, point);
            return 0;
        case WM_RBUTTONUP:
            OnRButtonUp(flags, point);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(flags, point);
            return 0;
        case WM_MOUSEWHEEL:
            return OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), point);
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(wParam), static_cast<UINT>(lParam & 0xFFFF), 0);
            return 0;
        case WM_HSCROLL:
            OnHScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
            return 0;
        case WM_VSCROLL:
            OnVScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
            return 0;
        default:
            return Default();
    }
}

int CWnd::OnCreate() {
    return 0;
}
void CWnd::OnDestroy() {
    Default();
}
BOOL CWnd::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}
void CWnd::OnTimer(uintptr_t) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd() {
    Default();
    return FALSE;
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnSetFocus() {
    Default();
}
void CWnd::OnKillFocus() {
    Default();
}
void CWnd::OnCancelMode() {
    Default();
}
void CWnd::OnCaptureChanged() {
    Default();
}
void CWnd::OnLButtonDown(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonUp(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, POINT) {
    Default();
}
void CWnd::OnRButtonDown(UINT, POINT) {
    Default();
}
void CWnd::OnRButtonUp(UINT, POINT) {
    Default();
}
void CWnd::OnMouseMove(UINT, POINT) {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, POINT) {
    Default();
    return FALSE;
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnHScroll(UINT, UINT, CWnd*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CWnd*) {
    Default();
}
BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

void CWnd::NotifyParentCommand(WORD code) {
    CWnd* parent = GetParent();
    if (parent == nullptr)
        return;
    WindowEventScope scope;
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(m_nID), code),
                        reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CWnd::NotifyParent(NMHDR* hdr) {
    CWnd* parent = GetParent();
    if (parent == nullptr)
        return 0;
    hdr->hwndFrom = m_hWnd;
    hdr->idFrom = m_nID;
    WindowEventScope scope;
    return parent->SendMessage(WM_NOTIFY, m_nID, reinterpret_cast<LPARAM>(hdr));
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
        case SW_RESTORE:
            m_widget->showNormal();
            break;
        default:
            m_widget->show();
            break;
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

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL bRepaint) {
    if (m_widget == nullptr)
        return;
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
    if (!(flags & SWP_NOSIZE))
        m_widget->resize(cx, cy);
    if (!(flags & SWP_NOZORDER) && insertAfter == nullptr)
        m_widget->raise();
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
    if (m_widget != nullptr)
        GetPaintWidget()->update();
}

void CWnd::InvalidateRect(const RECT* rect, BOOL bErase) {
    if (m_widget == nullptr)
        return;
    if (rect == nullptr)
        Invalidate(bErase);
    else
        GetPaintWidget()->update(ToQRect(*rect));
}

void CWnd::UpdateWindow() {
    if (m_widget != nullptr && m_widget->isVisible())
        GetPaintWidget()->repaint();
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
    window->activateWindow();
    return TRUE;
}

void CWnd::BringWindowToTop() {
    if (m_widget != nullptr)
        m_widget->window()->raise();
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

// The capture is kept by the layer rather than by a pointer grab of the desktop: while a button is held
// Qt already sends every move to the pressed widget, and a captured window that the pointer leaves with
// no button held hears of it as a move outside (see the event bridge).
CWnd* CWnd::SetCapture() {
    CWnd* previous = FromHandle(g_captureHwnd);
    if (previous == this)
        return previous;
    g_captureHwnd = m_hWnd;
    if (previous != nullptr)
        previous->SendMessage(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(m_hWnd));
    return previous;
}

CWnd* CWnd::GetCapture() {
    return FromHandle(g_captureHwnd);
}

BOOL ReleaseCapture() {
    CWnd* previous = CWnd::FromHandle(g_captureHwnd);
    g_captureHwnd = nullptr;
    if (previous == nullptr)
        return TRUE;
    previous->SendMessage(WM_CAPTURECHANGED, 0, 0);
    return TRUE;
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

CWnd* WindowOfWidget(const QWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    for (QObject* child : widget->children()) {
        auto* bridge = dynamic_cast<WndEventBridge*>(child);
        if (bridge != nullptr && bridge->Wnd() != nullptr)
            return bridge->Wnd();
    }
    return nullptr;
}

CWnd* FindWindowOfWidget(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        for (QObject* child : w->children()) {
            auto* bridge = dynamic_cast<WndEventBridge*>(child);
            if (bridge != nullptr && bridge->parent() == w && bridge->Wnd() != nullptr)
                return bridge->Wnd();
        }
    }
    return nullptr;
}
