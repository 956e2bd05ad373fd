#include "ui/dialogs/dlg_password2.h"

#include "dvr/device_list_node.h"
#include "dvr/dvr_session.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/field_refusal.h"
#include "ui/dialogs/user_accounts.h"

namespace {

const DialogText kTexts[] = {
    {1030, "DLGPASSWORD2_STATIC_USER", "User name:"},
    {1031, "DLGPASSWORD2_STATIC_PASSWORD", "User password:"},
    {1158, "DLGPASSWORD2_STATIC_PASSWORD2", "Confirm password:"},
    {IDOK, "DLGPASSWORD2_BUTTON_OK", "OK"},
    {IDCANCEL, "DLGPASSWORD2_BUTTON_CANCEL", "Cancel"},
};

void Tell(CWnd* owner, const char* key, const char* english) {
    (void)MessageBox(owner, LanguageText(key, english), QString(), MB_OK);
}

}  // namespace

CDlgPassword2::CDlgPassword2(const QString& userName, const QString& password)
    : CDialog(IDD_PASSWORD2, nullptr),
      m_strUser(userName),
      m_strPassword(password),
      m_bAddMode(userName.isEmpty()) {}

void CDlgPassword2::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PASSWORD2_USER, m_editUser);
    DDX_Control(pDX, IDC_PASSWORD2_CONFIRM, m_editPassword2);
    DDX_Control(pDX, IDC_PASSWORD2_PASSWORD, m_editPassword);
}

BOOL CDlgPassword2::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyLanguage();
    InitControls();
    return TRUE;
}

void CDlgPassword2::ApplyLanguage() {
    SetWindowText(m_bAddMode ? LanguageText("DLGPASSWORD2_TITLE_ADD", "Add new user")
                             : LanguageText("DLGPASSWORD2_TITLE_EDIT", "Modify user password"));
    ApplyDialogTexts(this, kTexts);
}

void CDlgPassword2::InitControls() {
    m_editUser.SetWindowText(m_strUser);
    m_editUser.EnableWindow(m_bAddMode ? TRUE : FALSE);
    m_editPassword.SetWindowText(m_strPassword);
    m_editPassword2.SetWindowText(m_strPassword);
}

bool CDlgPassword2::ChooseSlot() {
    const QString name = m_editUser.GetWindowText();
    DVRDevice* device = g_currentDevice.load();
    auto users = device->lists.users.Current();
    int slot = -1;
    switch (ChooseNewUserSlot(users.get(), name, &slot)) {
        case NewUserCheck::EmptyName:
            Tell(this, "DLGSETUPUSER_MSG_USER_NULL", "User name is empty, please input again!");
            m_editUser.SetFocus();
            return false;
        case NewUserCheck::NameTaken:
            Tell(this, "DLGSETUPUSER_MSG_USER_EXIST", "User already exist, please select another name!");
            m_editUser.SetFocus();
            m_editUser.SetSel(0, -1);
            return false;
        case NewUserCheck::NoFreeSlot:
            Tell(this, "DLGSETUPUSER_MSG_MAX_USERNUM", "You have got the max user number!");
            return false;
        case NewUserCheck::Ok:
            break;
    }
    m_nSlot = slot;
    m_strUser = name;
    return true;
}

void CDlgPassword2::OnOK() {
    if (g_currentDevice.load() == nullptr)
        return;
    // The name and password must reach the DVR as typed: a text the login field cannot carry is refused
    // before a slot is chosen or anything is written.
    if (m_bAddMode &&
        !AcceptFieldFault(this, IDC_PASSWORD2_USER,
                          TextFieldFaultOf(m_editUser.GetWindowText(), TextFieldKind::Credential)))
        return;
    const QString password = m_editPassword.GetWindowText();
    if (!AcceptFieldFault(this, IDC_PASSWORD2_PASSWORD,
                          TextFieldFaultOf(password, TextFieldKind::Credential)))
        return;
    if (m_bAddMode && !ChooseSlot())
        return;
    if (password != m_editPassword2.GetWindowText()) {
        Tell(this, "DLGSETUPUSER_MSG_PASSWORD2_FAILED",
             "Password you typed twice not the same, please input again!");
        m_editPassword2.SetFocus();
        return;
    }
    m_strPassword = password;
    EndDialog(IDOK);
}

void CDlgPassword2::OnCancel() {
    EndDialog(IDCANCEL);
}
