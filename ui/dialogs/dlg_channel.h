#pragma once

// The channel picker (dialog 184) that "All Set" of the setup pages opens: the channels of the DVR
// selected in the device tree (g_currentDevice) with check boxes, all unchecked at the start. OK turns
// the checked rows into a channel mask (bit i % 8 of byte i / 8 = channel i) and closes with IDOK; with
// no DVR selected OK does nothing. Cancel closes with IDCANCEL. At most 256 channels are listed, the
// most a mask holds; a row whose channel the DVR no longer has leaves its bit alone.
//
// Callers construct it on the stack, run DoModal, and read m_pMask after IDOK.

#include <cstdint>
#include <memory>

#include "platform/ui/dialog.h"
#include "ui/controls/check_list_ctrl.h"
#include "ui/dialogs/device_channels.h"

constexpr UINT IDD_DLG_CHANNEL = 184;
constexpr UINT IDC_CHANNEL_LIST = 1134;

class CDlgChannel : public CDialog {
public:
    CDlgChannel();
    ~CDlgChannel() override;

    CCheckListCtrl m_listChannel;
    // 32 bytes, zero until OK.
    std::unique_ptr<uint8_t[]> m_pMask;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void ApplyLanguage();
    void FillChannels();
};
