#include "ui/dialogs/dlg_message.h"

#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "platform/ui/data_exchange.h"

CDlgMessage::CDlgMessage(const QString& text, CWnd* pParent)
    : CDialog(IDD_DLG_MESSAGE, pParent), m_strText(text) {}

void CDlgMessage::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MESSAGE_CHECK_SHOW, m_checkShow);
    DDX_Control(pDX, IDC_MESSAGE_TEXT, m_text);
}

BOOL CDlgMessage::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyTexts();
    FillControls();
    return TRUE;
}

void CDlgMessage::ApplyTexts() {
    m_checkShow.SetWindowText(GetLanguageText("DLGMESSAGE_CHECK_SHOW", "Do not show next time."));
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->SetWindowText(GetLanguageText("DLGMESSAGE_BUTTON_OK", "OK"));
}

void CDlgMessage::FillControls() {
    m_text.SetWindowText(m_strText);
    m_checkShow.SetCheck(g_systemSettings.PopupMessage == 0 ? BST_CHECKED : BST_UNCHECKED);
}

void CDlgMessage::OnOK() {
    g_systemSettings.PopupMessage = m_checkShow.GetCheck() == BST_CHECKED ? 0 : 1;
    CDialog::OnOK();
}

void CDlgMessage::OnCancel() {
    EndDialog(IDCANCEL);
}
