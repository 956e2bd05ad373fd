#include "ui/dialogs/setup_network.h"

#include <new>

#include "core/window_messages.h"
#include "dvr/device_list_node.h"
#include "dvr/dvr_device.h"
#include "dvr/wan_client.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/field_refusal.h"
#include "ui/dialogs/setup_combo.h"

namespace {

const DialogText kTexts[] = {
    {IDC_SETUP_SAVED_NOTICE, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
    {1203, "DLGSETUPNETWORK_STATIC_NETWORK_PARAM", "Network parameters"},
    {1205, "DLGSETUPNETWORK_STATIC_HOST_NAME", "Host name:"},
    {1206, "DLGSETUPNETWORK_STATIC_HTTP_PORT", "Http port:"},
    {1207, "DLGSETUPNETWORK_STATIC_LISTEN_PORT", "Listen port:"},
    {1211, "DLGSETUPNETWORK_STATIC_MAIL_TO", "Mail to:"},
    {IDC_SETUP_NETWORK_WAN, "DLGSETUPNETWORK_CHECK_ENABLE_WAN", "Enable WAN access"},
    {1214, "DLGSETUPNETWORK_STATIC_WAN_SERVER", "WAN server:"},
    {1215, "DLGSETUPNETWORK_STATIC_WAN_USER", "Login user:"},
    {1218, "DLGSETUPNETWORK_STATIC_WAN_PASSWORD", "Login password:"},
    {IDOK, "DLGSETUPNETWORK_BUTTON_OK", "Set"},
    {IDCANCEL, "DLGSETUPNETWORK_BUTTON_CANCEL", "Exit"},
};

constexpr UINT kLeftEdits[] = {IDC_SETUP_NETWORK_HOST, IDC_SETUP_NETWORK_HTTP_PORT,
                               IDC_SETUP_NETWORK_LISTEN_PORT, IDC_SETUP_NETWORK_MAIL_TO};

}  // namespace

CSetupPage* NewSetupNetworkPage(CWnd* owner) {
    return new (std::nothrow) CDlgSetupNetwork(owner);
}

CDlgSetupNetwork::CDlgSetupNetwork(CWnd* pOwner)
    : CSetupPage(IDD_DLG_SETUP_NETWORK, pOwner, SETUP_PAGE_NETWORK, SetupPageKind::Plain) {}

void CDlgSetupNetwork::DoDataExchange(CDataExchange* pDX) {
    CSetupPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SETUP_NETWORK_SERVER, m_cboServer);
}

void CDlgSetupNetwork::ApplyLanguage() {
    ApplyDialogTexts(this, kTexts);
}

void CDlgSetupNetwork::ResetControls() {
    for (UINT id : kLeftEdits)
        SetItemText(this, id, QString());
    CheckItem(this, IDC_SETUP_NETWORK_WAN, 0);
    m_cboServer.ResetContent();
    AddComboItem(m_cboServer, QString::fromLatin1(WAN_SERVER_HOST), 0);
    SetItemText(this, IDC_SETUP_NETWORK_USER, QString());
    SetItemText(this, IDC_SETUP_NETWORK_PASSWORD, QString());
    EnableWanControls(FALSE);
}

void CDlgSetupNetwork::EnableWanControls(BOOL enable) {
    for (UINT id : {IDC_SETUP_NETWORK_SERVER, IDC_SETUP_NETWORK_USER, IDC_SETUP_NETWORK_PASSWORD}) {
        if (CWnd* item = GetDlgItem(id))
            item->EnableWindow(enable);
    }
}

void CDlgSetupNetwork::FillFromDevice(int replyType, int index) {
    (void)index;
    DVRDevice* device = CurrentDevice();
    if (replyType != SETUP_REPLY_NETWORK || device == nullptr || device->networkParams == nullptr)
        return;
    const DVRNetworkParams& n = *device->networkParams;
    SetItemText(this, IDC_SETUP_NETWORK_HOST, NodeText(n.hostName));
    SetItemText(this, IDC_SETUP_NETWORK_HTTP_PORT, QString::number(n.httpPort));
    SetItemText(this, IDC_SETUP_NETWORK_LISTEN_PORT, QString::number(n.listenPort));
    SetItemText(this, IDC_SETUP_NETWORK_MAIL_TO, NodeText(n.mailTo));
    CheckItem(this, IDC_SETUP_NETWORK_WAN, n.wanEnabled != 0 ? 1 : 0);
    SelectComboData(m_cboServer, n.wanServer);
    SetItemText(this, IDC_SETUP_NETWORK_USER, NodeText(n.wanUser));
    SetItemText(this, IDC_SETUP_NETWORK_PASSWORD, NodeText(n.wanPassword));
    EnableWanControls(n.wanEnabled != 0 ? TRUE : FALSE);
}

bool CDlgSetupNetwork::CompletesLoad(int replyType) const {
    return replyType == SETUP_REPLY_NETWORK;
}

SetupNetworkControls CDlgSetupNetwork::ReadControls() const {
    SetupNetworkControls c;
    c.hostName = ItemText(this, IDC_SETUP_NETWORK_HOST);
    c.httpPort = ItemText(this, IDC_SETUP_NETWORK_HTTP_PORT);
    c.listenPort = ItemText(this, IDC_SETUP_NETWORK_LISTEN_PORT);
    c.mailTo = ItemText(this, IDC_SETUP_NETWORK_MAIL_TO);
    c.wanEnabled = ItemChecked(this, IDC_SETUP_NETWORK_WAN);
    c.wanServer = SelectedComboData(m_cboServer);
    c.wanUser = ItemText(this, IDC_SETUP_NETWORK_USER);
    c.wanPassword = ItemText(this, IDC_SETUP_NETWORK_PASSWORD);
    return c;
}

int CDlgSetupNetwork::Collect(int channel) {
    (void)channel;
    DVRDevice* device = CurrentDevice();
    if (device == nullptr || device->networkParams == nullptr)
        return -1;
    // Every text must reach the DVR as typed: nothing is written while one does not fit its field.
    static constexpr TextFieldRule kFields[] = {
        {IDC_SETUP_NETWORK_HOST, TextFieldKind::Text},
        {IDC_SETUP_NETWORK_MAIL_TO, TextFieldKind::Text},
        {IDC_SETUP_NETWORK_USER, TextFieldKind::Credential},
        {IDC_SETUP_NETWORK_PASSWORD, TextFieldKind::Credential},
    };
    if (!CheckFieldTexts(this, kFields))
        return COLLECT_REFUSED;
    int restart = 0;
    if (CollectSetupNetwork(ReadControls(), device->networkParams.get(), &restart) != SETUP_NETWORK_CHANGED)
        return -1;
    // Told before the save goes out.
    if (restart)
        AfxMessageBox(LanguageText("DLGSETUPNETWORK_MSG_NEED_RESTART",
                                   "You need to restart this program to make these settings take affect!"),
                      MB_OK);
    return 0;
}

BOOL CDlgSetupNetwork::OnPageCommand(UINT id, UINT code) {
    if (id != IDC_SETUP_NETWORK_WAN || code != BN_CLICKED)
        return FALSE;
    EnableWanControls(ItemChecked(this, IDC_SETUP_NETWORK_WAN) ? TRUE : FALSE);
    return TRUE;
}
