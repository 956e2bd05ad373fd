#include "ui/dialogs/dlg_login.h"

#include <cstdlib>

#include "core/base64.h"
#include "core/tarvik_app.h"
#include "dvr/dvr_fields.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/dc.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/field_refusal.h"

int g_bLoggedIn = 0;

namespace {

constexpr UINT kBackgroundBitmap = 189;
constexpr UINT kButtonStrip = 188;
// The English name of the WAN server destination when the language file has none.
constexpr const char* kWanServerDefaultName = "Wanserver";

// Base64 of the text's code-page bytes; empty when it cannot be encoded (also for an empty text).
QString EncodedText(const QString& text) {
    char16_t* buffer = nullptr;
    int capacity = 0;
    QString result;
    if (WideToBase64W(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int>(text.size()), &buffer,
                      &capacity) == 0 &&
        buffer != nullptr)
        result = QString::fromUtf16(buffer);
    free(buffer);
    return result;
}

}  // namespace

CDlgLogin::CDlgLogin(const QString* user, int lockMode, int lanMode, const QString* password, CWnd* pParent)
    : CDialog(IDD_DLG_LOGIN, pParent),
      m_bLockMode(lockMode),
      m_bLanMode(lanMode),
      m_strUser(user != nullptr ? *user : QString()),
      m_strPassword(password != nullptr ? *password : QString()) {}

void CDlgLogin::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGIN_DEST, m_comboDest);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDOK, m_btnOk);
}

BOOL CDlgLogin::OnInitDialog() {
    CDialog::OnInitDialog();
    LoadSkin();
    // The dialog is exactly as large as its background, at the top-left corner of the screen.
    if (m_nWidth > 0 && m_nHeight > 0)
        MoveWindow(0, 0, m_nWidth, m_nHeight);
    LoadButtons();
    ApplyTexts();
    FillControls();
    return TRUE;
}

void CDlgLogin::LoadSkin() {
    if (m_bmBackground.IsNull() && !m_bmBackground.LoadBitmap(kBackgroundBitmap))
        return;
    SIZE size = m_bmBackground.GetSize();
    m_nWidth = size.cx;
    m_nHeight = size.cy;
}

void CDlgLogin::LoadButtons() {
    (void)m_btnOk.LoadBitmap(kButtonStrip);
    (void)m_btnCancel.LoadBitmap(kButtonStrip);
}

void CDlgLogin::ApplyTexts() {
    auto setText = [this](UINT id, const char* key, const char* english) {
        if (CWnd* item = GetDlgItem(id))
            item->SetWindowText(GetLanguageText(QString::fromLatin1(key), QString::fromUtf8(english)));
    };
    if (m_bLockMode)
        setText(IDC_LOGIN_TITLE, "DLGLOGIN_TITLE_LOGOUT", "Unlock system");
    else
        setText(IDC_LOGIN_TITLE, "DLGLOGIN_TITLE_LOGIN", "User login");
    setText(IDC_LOGIN_USER_LABEL, "DLGLOGIN_STATIC_USER", "User:");
    setText(IDC_LOGIN_PASSWORD_LABEL, "DLGLOGIN_STATIC_PASSWORD", "Password:");
    setText(IDC_LOGIN_DEST_LABEL, "DLGLOGIN_STATIC_DEST", "Destination:");
    setText(IDC_LOGIN_REMEMBER, "DLGLOGIN_CHECK_PASSWORD", "Remember password");
    setText(IDC_LOGIN_AUTO, "DLGLOGIN_CHECK_AUTOLOGIN", "Auto login");
    setText(IDOK, "DLGLOGIN_BUTTON_OK", "OK");
    setText(IDCANCEL, "DLGLOGIN_BUTTON_CANCEL", "Cancel");
    m_comboDest.ResetContent();
    m_comboDest.AddString(GetLanguageText("DLGLOGIN_COMBO_DEST_0", "Localhost"));
    m_comboDest.AddString(
        GetLanguageText("DLGLOGIN_COMBO_DEST_1", QString::fromLatin1(kWanServerDefaultName)));
    m_comboDest.SetCurSel(0);
}

void CDlgLogin::FillControls() {
    CWnd* user = GetDlgItem(IDC_LOGIN_USER);
    CWnd* password = GetDlgItem(IDC_LOGIN_PASSWORD);
    if (user != nullptr)
        user->SetWindowText(m_bLanMode == 1 && m_strUser.isEmpty() ? QStringLiteral("admin") : m_strUser);
    if (password != nullptr)
        password->SetWindowText(m_strPassword);
    if (auto* remember = dynamic_cast<CButton*>(GetDlgItem(IDC_LOGIN_REMEMBER)))
        remember->SetCheck(theApp.m_bRememberPassword ? BST_CHECKED : BST_UNCHECKED);
    if (auto* autoLogin = dynamic_cast<CButton*>(GetDlgItem(IDC_LOGIN_AUTO)))
        autoLogin->SetCheck(theApp.m_bAutoLogin ? BST_CHECKED : BST_UNCHECKED);
    m_comboDest.SetCurSel(m_bLanMode == 1 ? 0 : 1);
    // Lock mode keeps the title, the password and OK; Cancel stays in sight but disabled.
    const UINT loginOnly[] = {IDC_LOGIN_USER_LABEL, IDC_LOGIN_DEST_LABEL, IDC_LOGIN_USER,
                              IDC_LOGIN_DEST,       IDC_LOGIN_REMEMBER,   IDC_LOGIN_AUTO};
    for (UINT id : loginOnly) {
        if (CWnd* item = GetDlgItem(id))
            item->ShowWindow(m_bLockMode ? SW_HIDE : SW_SHOW);
    }
    m_btnCancel.EnableWindow(m_bLockMode ? FALSE : TRUE);
    if (m_bLockMode && password != nullptr)
        password->SetFocus();
}

BOOL CDlgLogin::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_LOGIN_DEST && HIWORD(wParam) == CBN_SELCHANGE) {
        OnDestinationChange();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CDlgLogin::OnDestinationChange() {
    if (m_comboDest.GetCurSel() == 0) {
        if (CWnd* user = GetDlgItem(IDC_LOGIN_USER))
            user->SetWindowText(QStringLiteral("admin"));
    }
}

void CDlgLogin::OnOK() {
    CWnd* userItem = GetDlgItem(IDC_LOGIN_USER);
    CWnd* passwordItem = GetDlgItem(IDC_LOGIN_PASSWORD);
    QString user = userItem != nullptr ? userItem->GetWindowText() : QString();
    QString password = passwordItem != nullptr ? passwordItem->GetWindowText() : QString();

    // The destination is kept whether or not the check passes.
    int destination = m_comboDest.GetCurSel();
    theApp.m_bLanMode = destination == 0 ? 1 : 0;
    theApp.m_iniSystem.WriteInt("SYSTEM", "Destination", destination == 0 ? 0 : 1);

    int result = m_pfnCheckLogin != nullptr ? m_pfnCheckLogin(user, password) : LOGIN_NO_SERVER;
    if (result == LOGIN_FAILED) {
        MessageBox(this,
                   GetLanguageText("DLGLOGIN_MSG_LOGIN_FAILED", "Check user failed, please input again!"),
                   QString(), MB_OK);
        return;
    }
    if (result == LOGIN_NO_SERVER) {
        MessageBox(this,
                   GetLanguageText("DLGLOGIN_MSG_SERVER_FAILED",
                                   "Connect wanserver failed, please check your network!"),
                   QString(), MB_OK);
        return;
    }
    if (result == LOGIN_CREDENTIAL_TOO_LONG || result == LOGIN_CREDENTIAL_NOT_IN_CODE_PAGE) {
        // Nothing was sent: the entry itself is at fault, and the operator is told which way at once.
        MessageBox(
            this,
            FieldFaultText(result == LOGIN_CREDENTIAL_TOO_LONG ? FIELD_TOO_LONG : FIELD_NOT_IN_CODE_PAGE),
            QString(), MB_OK);
        return;
    }
    if (result != LOGIN_OK)
        return;

    g_bLoggedIn = 1;
    auto* remember = dynamic_cast<CButton*>(GetDlgItem(IDC_LOGIN_REMEMBER));
    auto* autoLogin = dynamic_cast<CButton*>(GetDlgItem(IDC_LOGIN_AUTO));
    int rememberOn = remember != nullptr && remember->GetCheck() == BST_CHECKED ? 1 : 0;
    int autoOn = autoLogin != nullptr && autoLogin->GetCheck() == BST_CHECKED ? 1 : 0;
    theApp.m_iniSystem.WriteInt("USER", "RememberPassword", rememberOn);
    theApp.m_iniSystem.WriteString("USER", "Password", rememberOn ? EncodedText(password) : QString());
    theApp.m_iniSystem.WriteInt("USER", "AutoLogin", autoOn);
    theApp.m_iniSystem.WriteString("USER", "Name", autoOn ? EncodedText(user) : QString());
    EndDialog(IDOK);
}

void CDlgLogin::OnCancel() {
    // The locked window stays locked until the password is given.
    if (!m_bLockMode)
        EndDialog(IDCANCEL);
}

void CDlgLogin::OnPaint() {
    CPaintDC dc(this);
    if (m_bmBackground.IsNull())
        return;
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc))
        return;
    CBitmap* old = memory.SelectObject(&m_bmBackground);
    dc.BitBlt(0, 0, m_nWidth, m_nHeight, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}
