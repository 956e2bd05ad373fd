#pragma once

// CIPAddressCtrl: four number fields of an IPv4 address. The address is a DWORD with the first field in
// the top byte.

#include "platform/ui/wnd.h"

class CIPAddressCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    void SetAddress(DWORD address);
    void SetAddress(BYTE f0, BYTE f1, BYTE f2, BYTE f3);
    // The number of fields that are not blank.
    int GetAddress(DWORD& address) const;
    int GetAddress(BYTE& f0, BYTE& f1, BYTE& f2, BYTE& f3) const;
    void ClearAddress();
    BOOL IsBlank() const;

protected:
    void SetTextOfWidget(const QString& text) override;
    QString TextOfWidget() const override;
};
