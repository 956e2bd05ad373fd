#include "ui/dialogs/dlg_channel.h"

#include <algorithm>

#include "core/tarvik_app.h"
#include "dvr/dvr_session.h"
#include "platform/ui/data_exchange.h"
#include "ui/dialogs/device_channels.h"

namespace {

constexpr DWORD kListExStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
constexpr int kColumnWidth = 240;

}  // namespace

CDlgChannel::CDlgChannel()
    : CDialog(IDD_DLG_CHANNEL, nullptr), m_pMask(std::make_unique<uint8_t[]>(CHANNEL_MASK_BYTES)) {}

CDlgChannel::~CDlgChannel() = default;

void CDlgChannel::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CHANNEL_LIST, m_listChannel);
}

BOOL CDlgChannel::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyLanguage();
    FillChannels();
    return TRUE;
}

void CDlgChannel::ApplyLanguage() {
    SetWindowText(GetLanguageText("DLGCHANNEL_TITLE", "Please select channels"));
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->SetWindowText(GetLanguageText("DLGCHANNEL_BUTTON_OK", "OK"));
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->SetWindowText(GetLanguageText("DLGCHANNEL_BUTTON_CANCEL", "Cancel"));
}

void CDlgChannel::FillChannels() {
    m_listChannel.SetExtendedStyle(kListExStyle);
    m_listChannel.InsertColumn(0, GetLanguageText("DLGCHANNEL_LIST_CHANNELS", "Check all channels"),
                               LVCFMT_LEFT, kColumnWidth);
    // Without a heading row the list simply has no check-all box.
    (void)m_listChannel.InitHeaderCheck();
    DVRDevice* device = g_currentDevice.load();
    int count = DeviceChannelCount(device);
    for (int i = 0; i < count; ++i) {
        int row = m_listChannel.InsertItem(i, DeviceChannelName(device->channels[i]));
        if (row >= 0)
            m_listChannel.SetItemData(row, static_cast<uintptr_t>(i));
    }
}

void CDlgChannel::OnOK() {
    DVRDevice* device = g_currentDevice.load();
    if (device == nullptr)
        return;
    int count = DeviceChannelCount(device);
    for (int row = 0; row < m_listChannel.GetItemCount(); ++row) {
        auto channel = static_cast<int>(m_listChannel.GetItemData(row));
        if (channel < 0 || channel >= count)
            continue;
        auto bit = static_cast<uint8_t>(1u << (channel % 8));
        uint8_t& byte = m_pMask[static_cast<size_t>(channel / 8)];
        byte = m_listChannel.GetCheck(row) > 0 ? static_cast<uint8_t>(byte | bit)
                                               : static_cast<uint8_t>(byte & ~bit);
    }
    CDialog::OnOK();
}

void CDlgChannel::OnCancel() {
    EndDialog(IDCANCEL);
}
