#pragma once

// CComboBox: a drop-down list (CBS_DROPDOWNLIST) or an editable combo box. A choice made by the user
// notifies the parent with CBN_SELCHANGE; SetCurSel notifies nothing.

#include "platform/ui/wnd.h"

constexpr int CB_ERR = -1;

class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    int AddString(const QString& text);
    int InsertString(int index, const QString& text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    void GetLBText(int index, QString& text) const;
    int GetLBTextLen(int index) const;
    int SetItemData(int index, uintptr_t data);
    uintptr_t GetItemData(int index) const;
    int FindStringExact(int startAfter, const QString& text) const;

protected:
    void SetTextOfWidget(const QString& text) override;
    QString TextOfWidget() const override;
};
