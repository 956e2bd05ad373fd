#pragma once

// CWnd: a window of the program. It owns one Qt widget, has a handle in the window table, a parent or an
// owner (both found through handles, so a destroyed parent is never touched), a control id, timers, and a
// message handler (WindowProc) that cracks the standard messages into the On... virtuals below. Input
// and paint events of the widget reach WindowProc as messages; a handler that calls the base handler
// (Default) lets the widget do its own processing afterwards.

#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <map>

#include "platform/system/window_post.h"
#include "platform/ui/ui_messages.h"
#include "platform/ui/ui_styles.h"

class WndEventBridge;
class CFont;
class CRgn;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hwnd);
    QWidget* GetWidget() const { return m_widget.data(); }

    // Takes ownership of widget and gives the window its handle. parent is the parent window of a child
    // (the widget is placed in the parent's widget) or the owner of a top-level window.
    BOOL Attach(QWidget* widget, CWnd* parent, UINT nID, DWORD style = 0);
    // Hands the widget and handle over to other (which must have none); this window is left empty.
    void MoveWindowTo(CWnd& other);
    // Binds this object to the control nID of parent (a dialog's template control): the object takes over
    // the control's window, or puts its own widget (CreateSubclassWidget) in the control's place.
    BOOL SubclassDlgItem(UINT nID, CWnd* parent);
    // Binds this object to the window hwnd (a control's part, such as a list view's header).
    BOOL SubclassWindow(HWND hwnd);
    // Sends WM_DESTROY here and to every child window, retires the handles and deletes the widget.
    virtual BOOL DestroyWindow();

    // Parent of a child window, owner of a top-level one.
    CWnd* GetParent() const;
    CWnd* GetOwner() const { return FromHandle(m_hWndOwner); }
    void SetOwner(CWnd* owner) { m_hWndOwner = owner == nullptr ? nullptr : owner->m_hWnd; }
    CWnd* GetTopLevelParent() const;
    UINT GetDlgCtrlID() const { return m_nID; }
    void SetDlgCtrlID(UINT nID) { m_nID = nID; }
    CWnd* GetDlgItem(UINT nID) const;
    DWORD GetStyle() const { return m_dwStyle; }
    void ModifyStyle(DWORD remove, DWORD add) { m_dwStyle = (m_dwStyle & ~remove) | add; }

    // --- messages
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                     PostPayloadDeleter deleter = nullptr);
    // Sends the message to every child window.
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The widget's own processing of the message being handled.
    LRESULT Default();

    // --- timers: one per id; setting an id again restarts it.
    uintptr_t SetTimer(uintptr_t nIDEvent, UINT elapseMs);
    BOOL KillTimer(uintptr_t nIDEvent);

    // --- state and geometry
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void MoveWindow(int x, int y, int width, int height, BOOL bRepaint = TRUE);
    void MoveWindow(const RECT& rect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetClientRect(RECT* rect) const;
    // In screen coordinates.
    void GetWindowRect(RECT* rect) const;
    void ClientToScreen(POINT* point) const;
    void ClientToScreen(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ScreenToClient(RECT* rect) const;
    void SetWindowText(const QString& text);
    QString GetWindowText() const;
    void GetWindowText(QString& text) const { text = GetWindowText(); }
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL bErase = TRUE);
    // Paints at once what was invalidated and not yet painted (nothing when nothing was).
    void UpdateWindow();
    BOOL RedrawWindow(const RECT* rect = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void SetRedraw(BOOL bRedraw = TRUE);
    // Holds every redraw of the window until UnlockWindowUpdate.
    BOOL LockWindowUpdate();
    void UnlockWindowUpdate();
    BOOL SetForegroundWindow();
    void BringWindowToTop();
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    void SetFont(CFont* font, BOOL bRedraw = TRUE);
    CFont* GetFont() const { return m_pFont; }
    // Only the region's part of the window is drawn and takes the mouse (nullptr: the whole window).
    int SetWindowRgn(const CRgn* region, BOOL bRedraw);
    // IDC_ARROW, IDC_SIZEALL, ... for this window.
    void SetWindowCursor(UINT idc);

    // The widget that is painted and receives the mouse (the viewport of a scrolling control).
    virtual QWidget* GetPaintWidget() const { return m_widget.data(); }

protected:
    // A control class that draws itself gives the widget that stands in for the template's control;
    // nullptr keeps the control's own widget.
    virtual QWidget* CreateSubclassWidget() { return nullptr; }
    // A control that takes over another's window takes over the state that control keeps beside it.
    virtual void TakeOverState(const CWnd& from) { (void)from; }

    // Message crackers: each base version runs the default processing.
    virtual int OnCreate();
    virtual void OnDestroy();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnTimer(uintptr_t nIDEvent);
    virtual void OnShowWindow(BOOL bShow, UINT nStatus);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd();
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnEnable(BOOL bEnable);
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    virtual void OnCancelMode();
    virtual void OnCaptureChanged();
    virtual void OnLButtonDown(UINT nFlags, POINT point);
    virtual void OnLButtonUp(UINT nFlags, POINT point);
    virtual void OnLButtonDblClk(UINT nFlags, POINT point);
    virtual void OnRButtonDown(UINT nFlags, POINT point);
    virtual void OnRButtonUp(UINT nFlags, POINT point);
    virtual void OnMouseMove(UINT nFlags, POINT point);
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, POINT point);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    virtual void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);

    // Reflected notifications: a control that handles its own WM_COMMAND or WM_NOTIFY returns TRUE here,
    // and its parent then does not see it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Sends WM_COMMAND (id, code) from this control to its parent, after offering it to the control.
    void NotifyParentCommand(WORD code);
    // Sends WM_NOTIFY with hdr (hwndFrom, idFrom filled in here) to the parent.
    LRESULT NotifyParent(NMHDR* hdr);
    // The text of the widget as the window text (a caption, a button's label, an edit's contents).
    virtual void SetTextOfWidget(const QString& text);
    virtual QString TextOfWidget() const;

private:
    friend class WndEventBridge;
    void ReleaseWindow();
    void CollectChildren(std::vector<CWnd*>& out) const;

    QPointer<QWidget> m_widget;
    WndEventBridge* m_bridge = nullptr;
    HWND m_hWndParent = nullptr;
    HWND m_hWndOwner = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    CFont* m_pFont = nullptr;
    // Default processing asked for by the handler of the event being translated.
    bool m_bDefaultAsked = false;
    // What Invalidate and InvalidateRect marked and no paint has covered yet (paint-widget coordinates).
    QRegion m_updateRegion;
};

// The window whose widget is widget or the nearest ancestor of it with a window.
CWnd* FindWindowOfWidget(QWidget* widget);
// The window object that holds widget now (not an ancestor's). A control's notifications are sent
// through it, so that an object that took the control over (DDX_Control, SubclassWindow) hears them.
CWnd* WindowOfWidget(const QWidget* widget);
template <typename T>
T* CurrentWindow(const QWidget* widget) {
    return dynamic_cast<T*>(WindowOfWidget(widget));
}
// Makes a top-level window's frame fixed at its present size: the operator cannot drag it to another size;
// MoveWindow and SetWindowPos still size it, and it stays fixed at the new size.
void SetFixedFrame(QWidget* window);
// Mouse capture without a window object (ReleaseCapture).
BOOL ReleaseCapture();
