#pragma once

// CListBox: a list of texts. A click by the user notifies the parent with LBN_SELCHANGE (and a double
// click with LBN_DBLCLK) when the list box has LBS_NOTIFY.

#include "platform/ui/wnd.h"

constexpr int LB_ERR = -1;

class CListBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    int AddString(const QString& text);
    int InsertString(int index, const QString& text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetText(int index, QString& text) const;
    int SetItemData(int index, uintptr_t data);
    uintptr_t GetItemData(int index) const;
    int GetSel(int index) const;
    int SetSel(int index, BOOL select = TRUE);
};
