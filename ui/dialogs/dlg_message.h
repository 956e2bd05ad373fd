#pragma once

// The notice shown after a snapshot (dialog 276): the text given to the constructor, a check box "Do not
// show next time." and OK. OK with the box checked turns the notice off for this run (the in-memory
// PopupMessage setting; the settings page is what saves it); Esc or the close box change nothing.

#include <QString>

#include "platform/ui/button.h"
#include "platform/ui/dialog.h"
#include "platform/ui/static_ctrl.h"

constexpr UINT IDD_DLG_MESSAGE = 276;
constexpr UINT IDC_MESSAGE_CHECK_SHOW = 1245;
constexpr UINT IDC_MESSAGE_TEXT = 1278;

class CDlgMessage : public CDialog {
public:
    explicit CDlgMessage(const QString& text, CWnd* pParent = nullptr);

    CButton m_checkShow;
    CStatic m_text;
    QString m_strText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void ApplyTexts();
    void FillControls();
};
