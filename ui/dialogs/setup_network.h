#pragma once

// The Network page of the setup dialog (template 146): the DVR's host name, HTTP and listen ports, the
// mail-to address for alarm mails and its access through the WAN server (on or off, server, login user
// and password). Shown, it asks for the DVR's network settings; Set writes a changed record, telling first
// when a changed port or mail-to address needs the DVR program to restart, and posts the save.

#include "platform/ui/combo_box.h"
#include "ui/dialogs/setup_network_fields.h"
#include "ui/dialogs/setup_page.h"

constexpr UINT IDD_DLG_SETUP_NETWORK = 146;
constexpr UINT IDC_SETUP_NETWORK_HOST = 1208;
constexpr UINT IDC_SETUP_NETWORK_HTTP_PORT = 1209;
constexpr UINT IDC_SETUP_NETWORK_LISTEN_PORT = 1210;
constexpr UINT IDC_SETUP_NETWORK_MAIL_TO = 1212;
constexpr UINT IDC_SETUP_NETWORK_WAN = 1213;
constexpr UINT IDC_SETUP_NETWORK_SERVER = 1216;
constexpr UINT IDC_SETUP_NETWORK_USER = 1217;
constexpr UINT IDC_SETUP_NETWORK_PASSWORD = 1219;

class CDlgSetupNetwork : public CSetupPage {
public:
    explicit CDlgSetupNetwork(CWnd* pOwner);

    CComboBox m_cboServer;

    // What the controls hold now.
    SetupNetworkControls ReadControls() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyLanguage() override;
    void ResetControls() override;
    void FillFromDevice(int replyType, int index) override;
    [[nodiscard]] int Collect(int channel) override;
    bool CompletesLoad(int replyType) const override;
    BOOL OnPageCommand(UINT id, UINT code) override;

private:
    // The server list, user and password follow the WAN switch.
    void EnableWanControls(BOOL enable);
};
