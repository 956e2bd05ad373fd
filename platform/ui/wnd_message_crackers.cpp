// The message handler of a window: standard messages cracked into the On... virtuals, whose base
// versions ask for the widget's own processing, and the notifications a control sends its parent.

#include "platform/system/copydata_endpoint.h"
#include "platform/ui/owner_draw.h"
#include "platform/ui/wnd.h"
#include "platform/ui/wnd_event_bridge.h"

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
        case WM_COPYDATA:
            return OnCopyData(nullptr, reinterpret_cast<COPYDATASTRUCT*>(lParam));
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
BOOL CWnd::OnCopyData(CWnd*, COPYDATASTRUCT*) {
    Default();
    return FALSE;
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
