#pragma once

// CTabCtrl: a row of tabs. A tab chosen by the user notifies the parent with TCN_SELCHANGING and then
// TCN_SELCHANGE; SetCurSel notifies nothing.

#include "platform/ui/image_list.h"
#include "platform/ui/wnd.h"

class CTabCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    int InsertItem(int index, const QString& text);
    BOOL SetItemText(int index, const QString& text);
    QString GetItemText(int index) const;
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    BOOL GetItemRect(int index, RECT* rect) const;
};
