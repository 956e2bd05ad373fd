// A window's life (handle, widget, parent and owner, destruction), its place among other windows,
// sending and posting, and the mouse capture.

#include "platform/ui/wnd.h"

#include <QApplication>

#include "platform/ui/message_loop.h"
#include "platform/ui/window_table.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {
HWND g_captureHwnd = nullptr;
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
