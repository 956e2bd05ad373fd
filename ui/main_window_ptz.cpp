// The PTZ panel of the main window: motion buttons that move the selected screen's camera while held,
// the preset number with set, clear and goto, the camera's auto scan and the DVR's channel sequence.

#include "core/tarvik_app.h"
#include "dvr/dvr_device.h"
#include "dvr/playback_requests.h"
#include "media/screen_slot.h"
#include "ui/main_window.h"
#include "ui/ptz_panel.h"

namespace {

// The program-wide camera auto-scan toggle.
int g_bPtzAutoScan = 0;

QString NoPrivilegeText() {
    return GetLanguageText("SYSTEM_MSG_NO_PRIVILEGE", "Sorry, you don't have privilege of this function!");
}

}  // namespace

void CTarvikDlg::SendPtz(int screen, int command, int parameter) {
    if (screen < 0 || screen >= GRID_SCREENS)
        return;
    DVRDevice* device = nullptr;
    int channel = -1;
    if (!SlotShows(g_screenSlots[screen], &device, &channel))
        return;
    if ((device->rights.load() & USER_RIGHT_PTZ) == 0) {
        (void)ShowMessageBox(NoPrivilegeText(), MB_OK);
        return;
    }
    (void)SendChannelPtz(device, channel, command, parameter, 0);
}

void CTarvikDlg::SendScreenAutoScan(int mode, int on) {
    DVRDevice* device = nullptr;
    int channel = -1;
    if (!SlotShows(g_screenSlots[m_grid.m_nCurScreen], &device, &channel))
        return;
    if ((device->rights.load() & USER_RIGHT_PTZ) == 0) {
        (void)ShowMessageBox(NoPrivilegeText(), MB_OK);
        return;
    }
    uint32_t modeAndSwitch =
        (static_cast<uint32_t>(on & 0xFFFF) << 16) | static_cast<uint32_t>(mode & 0xFFFF);
    (void)SendAutoScan(modeAndSwitch, device, channel);
}

void CTarvikDlg::TogglePtzAutoScan() {
    int command = TogglePtzAutoScanCommand(g_bPtzAutoScan);
    SendPtz(m_grid.m_nCurScreen, command, 0);
}

void CTarvikDlg::OnBitButtonDown(UINT id) {
    if (int command = PtzMotionCommandOfButton(id); command != 0) {
        SendPtz(m_grid.m_nCurScreen, command, 0);
        return;
    }
    // Paging by hand ends the automatic scroll before the page changes on release.
    if (id == 1028 || id == 1029)
        StopAutoScroll();
}

int CTarvikDlg::PresetNumber() const {
    return ParsePresetNumber(m_editPreset.GetWindowText());
}

void CTarvikDlg::SetPresetNumber(int value) {
    m_editPreset.SetWindowText(QString::number(value));
}
