#pragma once

// Dialog data exchange: binding control objects to a dialog's controls and moving values between the
// controls and the dialog's members, in (bSaveAndValidate FALSE) or out (TRUE).

#include <QString>

#include "platform/ui/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL bSaveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    // A value that did not convert stops UpdateData with FALSE.
    void Fail() { m_failed = true; }
    bool Failed() const { return m_failed; }

private:
    bool m_failed = false;
};

// Binds control to the dialog's control nID (once).
void DDX_Control(CDataExchange* pDX, UINT nID, CWnd& control);
void DDX_Text(CDataExchange* pDX, UINT nID, QString& value);
void DDX_Text(CDataExchange* pDX, UINT nID, int& value);
// Check box: 0, 1 or 2.
void DDX_Check(CDataExchange* pDX, UINT nID, int& value);
// Combo box selection index (-1: none).
void DDX_CBIndex(CDataExchange* pDX, UINT nID, int& value);
// The first radio button of a group: the index of the checked one (-1: none).
void DDX_Radio(CDataExchange* pDX, UINT nID, int& value);
