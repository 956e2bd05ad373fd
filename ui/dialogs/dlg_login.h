#pragma once

// The login dialog (template 130), also the unlock dialog of the locked main window. Login mode asks for a
// user, a password and the destination (local account or WAN server) with the remember-password and
// auto-login options; lock mode asks only for the password and cannot be cancelled. The entry is checked
// with the client's login check; a refusal or an unreachable server is reported and the dialog stays
// open; an accepted login sets g_bLoggedIn, stores the choices in system.ini and ends with IDOK.

#include <QString>

#include "dvr/wan_client.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/gdi_objects.h"
#include "ui/controls/bit_button.h"

constexpr UINT IDD_DLG_LOGIN = 130;
constexpr UINT IDC_LOGIN_TITLE = 1251;
constexpr UINT IDC_LOGIN_USER_LABEL = 1030;
constexpr UINT IDC_LOGIN_PASSWORD_LABEL = 1031;
constexpr UINT IDC_LOGIN_DEST_LABEL = 1032;
constexpr UINT IDC_LOGIN_USER = 1033;
constexpr UINT IDC_LOGIN_PASSWORD = 1034;
constexpr UINT IDC_LOGIN_REMEMBER = 1035;
constexpr UINT IDC_LOGIN_AUTO = 1036;
constexpr UINT IDC_LOGIN_DEST = 1240;

// 1 after a successful login.
extern int g_bLoggedIn;

// The check the dialog runs on OK: the client's login check of the local account or the WAN server.
using LoginCheckFunction = int (*)(const QString& user, const QString& password);

class CDlgLogin : public CDialog {
public:
    CDlgLogin(const QString* user, int lockMode, int lanMode, const QString* password,
              CWnd* pParent = nullptr);

    // Set by the caller before DoModal. Without one every entry is refused as from an unreachable server.
    LoginCheckFunction m_pfnCheckLogin = nullptr;

    CComboBox m_comboDest;
    CBitButton m_btnCancel;
    CBitButton m_btnOk;
    int m_bLockMode;
    int m_bLanMode;
    QString m_strUser;
    QString m_strPassword;
    CBitmap m_bmBackground;
    int m_nWidth = 0;
    int m_nHeight = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd() override { return TRUE; }

private:
    void LoadSkin();
    void LoadButtons();
    void ApplyTexts();
    void FillControls();
    void OnDestinationChange();
};
