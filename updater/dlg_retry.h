#pragma once

#include "platform/ui/dialog.h"
#include "platform/ui/static_ctrl.h"

// The confirmation that a client runs: "Continue" (IDOK) closes it and updates, "Exit" stops.
class CDlgRetry : public CDialog {
public:
    CDlgRetry(int english, CWnd* pParent);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void ApplyTexts();
    void SetInfoIcon();

    CStatic m_icon;
    int m_bEnglish;
};
