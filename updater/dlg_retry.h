#pragma once

#include <vector>

#include "platform/system/process_scan.h"
#include "platform/ui/dialog.h"
#include "platform/ui/static_ctrl.h"

// The confirmation that a client runs: "Continue" (IDOK) closes it and updates, "Exit" stops. The message
// names the clients found (program and folder).
class CDlgRetry : public CDialog {
public:
    CDlgRetry(int english, CWnd* pParent, std::vector<FoundProcess> found = {});

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void ApplyTexts();
    void SetInfoIcon();

    CStatic m_icon;
    int m_bEnglish;
    std::vector<FoundProcess> m_found;
};
