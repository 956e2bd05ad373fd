#include "updater/dlg_retry.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

#include "platform/ui/data_exchange.h"
#include "updater/updater_dialog_templates.h"
#include "updater/updater_texts.h"

CDlgRetry::CDlgRetry(int english, CWnd* pParent, std::vector<FoundProcess> found)
    : CDialog(&kRetryDialogTemplate, pParent), m_bEnglish(english), m_found(std::move(found)) {}

void CDlgRetry::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RETRY_ICON, m_icon);
}

BOOL CDlgRetry::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyTexts();
    SetInfoIcon();
    return TRUE;
}

void CDlgRetry::ApplyTexts() {
    SetWindowText(UpdaterText(TEXT_RETRY_CAPTION, m_bEnglish));
    if (CWnd* text = GetDlgItem(IDC_RETRY_TEXT))
        text->SetWindowText(ClientsFoundMessage(m_found, m_bEnglish));
    if (CWnd* button = GetDlgItem(IDOK))
        button->SetWindowText(UpdaterText(TEXT_RETRY_CONTINUE, m_bEnglish));
    if (CWnd* button = GetDlgItem(IDCANCEL))
        button->SetWindowText(UpdaterText(TEXT_RETRY_EXIT, m_bEnglish));
}

void CDlgRetry::SetInfoIcon() {
    // The system's information icon.
    auto* label = qobject_cast<QLabel*>(m_icon.GetWidget());
    if (label == nullptr)
        return;
    QIcon icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
    label->setPixmap(icon.pixmap(label->size()));
}
