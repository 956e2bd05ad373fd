#include "platform/ui/data_exchange.h"

#include "platform/ui/button.h"
#include "platform/ui/combo_box.h"

void DDX_Control(CDataExchange* pDX, UINT nID, CWnd& control) {
    if (control.m_hWnd == nullptr)
        control.SubclassDlgItem(nID, pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, UINT nID, QString& value) {
    CWnd* control = pDX->m_pDlgWnd->GetDlgItem(nID);
    if (control == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = control->GetWindowText();
    else
        control->SetWindowText(value);
}

void DDX_Text(CDataExchange* pDX, UINT nID, int& value) {
    CWnd* control = pDX->m_pDlgWnd->GetDlgItem(nID);
    if (control == nullptr)
        return;
    if (!pDX->m_bSaveAndValidate) {
        control->SetWindowText(QString::number(value));
        return;
    }
    bool ok = false;
    int parsed = control->GetWindowText().trimmed().toInt(&ok);
    if (ok)
        value = parsed;
    else
        pDX->Fail();
}

void DDX_Check(CDataExchange* pDX, UINT nID, int& value) {
    auto* button = dynamic_cast<CButton*>(pDX->m_pDlgWnd->GetDlgItem(nID));
    if (button == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = button->GetCheck();
    else
        button->SetCheck(value);
}

void DDX_CBIndex(CDataExchange* pDX, UINT nID, int& value) {
    auto* combo = dynamic_cast<CComboBox*>(pDX->m_pDlgWnd->GetDlgItem(nID));
    if (combo == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = combo->GetCurSel();
    else
        combo->SetCurSel(value);
}

void DDX_Radio(CDataExchange* pDX, UINT nID, int& value) {
    // The group runs from nID through the following radio buttons with consecutive ids.
    int index = 0;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    for (UINT id = nID;; ++id, ++index) {
        auto* button = dynamic_cast<CButton*>(pDX->m_pDlgWnd->GetDlgItem(id));
        DWORD kind = button == nullptr ? 0 : button->GetButtonStyle();
        if (button == nullptr || (kind != BS_RADIOBUTTON && kind != BS_AUTORADIOBUTTON))
            break;
        if (pDX->m_bSaveAndValidate) {
            if (button->GetCheck() == BST_CHECKED)
                value = index;
        } else {
            button->SetCheck(index == value ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}
