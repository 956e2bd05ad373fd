#pragma once

// CEdit: single-line or multi-line text field. Typing notifies the parent with EN_CHANGE; SetWindowText
// notifies nothing.

#include "platform/ui/wnd.h"

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    void LimitText(int maxChars);
    void SetReadOnly(BOOL readOnly = TRUE);
    void SetSel(int start, int end);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(const QString& text);
    int GetLineCount() const;

protected:
    void SetTextOfWidget(const QString& text) override;
    QString TextOfWidget() const override;
};
