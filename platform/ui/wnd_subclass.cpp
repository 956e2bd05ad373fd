#include "platform/ui/wnd.h"

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* parent) {
    if (m_hWnd != nullptr || parent == nullptr)
        return FALSE;
    CWnd* control = parent->GetDlgItem(nID);
    if (control == nullptr)
        return FALSE;
    QWidget* own = CreateSubclassWidget();
    if (own == nullptr) {
        control->MoveWindowTo(*this);
        return TRUE;
    }
    // The new widget takes the place, state and text of the template's control.
    QWidget* old = control->GetWidget();
    bool shown = !old->isHidden();
    bool enabled = old->isEnabled();
    QString text = control->GetWindowText();
    DWORD style = control->GetStyle();
    own->setParent(old->parentWidget());
    own->setGeometry(old->geometry());
    own->stackUnder(old);
    control->DestroyWindow();
    if (!Attach(own, parent, nID, (style & ~WS_VISIBLE) | WS_CHILD))
        return FALSE;
    own->setEnabled(enabled);
    own->setVisible(shown);
    SetTextOfWidget(text);
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    CWnd* current = FromHandle(hwnd);
    if (current == nullptr || m_hWnd != nullptr || current == this)
        return FALSE;
    current->MoveWindowTo(*this);
    return TRUE;
}
