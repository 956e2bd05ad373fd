// The operator's commands on the main window: the skin buttons' clicks, the menus, the caption buttons,
// the tray, volume and mute, login, lock and switch user, snapshot, recording, the exit question and the
// Updater's close request.

#include <QCursor>

#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "dvr/device_list_refresh.h"
#include "dvr/dvr_session.h"
#include "dvr/wan_client.h"
#include "media/audio_output.h"
#include "media/main_window_state.h"
#include "media/screen_slot.h"
#include "platform/ui/menu.h"
#include "ui/dialogs/dlg_login.h"
#include "ui/dialogs/dlg_message.h"
#include "ui/main_window.h"
#include "ui/main_window_menus.h"
#include "ui/ptz_panel.h"
#include "ui/slot_channels.h"
#include "ui/snapshot_path.h"
#include "ui/snapshot_save.h"
#include "ui/volume_control.h"
#include "updater/close_request.h"

void CTarvikDlg::OnBitButtonUp(UINT id) {
    if (PtzMotionCommandOfButton(id) != 0) {
        SendPtz(m_grid.m_nCurScreen, PTZ_STOP, 0);
        return;
    }
    if (int command = PtzPresetCommandOfButton(id); command != 0) {
        SendPtz(m_grid.m_nCurScreen, command, PresetNumber());
        return;
    }
    switch (id) {
        case 1000:
        case 1039:
            ConfirmExit();
            break;
        case 1001:
        case 1036:
            HideToTray();
            break;
        case 1003:
            OpenPlaybackDialog();
            break;
        case 1004:
            OpenSetupDialog();
            break;
        case 1006:
            OpenAllChannels();
            break;
        case 1007:
            CloseAllChannels();
            break;
        case 1015:
            SetPresetNumber(PresetNumberUp(PresetNumber()));
            break;
        case 1016:
            SetPresetNumber(PresetNumberDown(PresetNumber()));
            break;
        case 1021:
            TogglePtzAutoScan();
            break;
        case 1026:
            ToggleMute();
            break;
        case 1027:
            ToggleFullScreen();
            break;
        case 1028:
            NextPage();
            break;
        case 1029:
            PrevPage();
            break;
        case 1030:
            SendScreenAutoScan(0, 0);
            break;
        case 1031:
            TakeSnapshot();
            break;
        case 1032:
            OnLoginButton();
            break;
        case 1034:
            OpenStatusDialog();
            break;
        case 1035:
            ToggleAutoScroll();
            break;
        case 1037:
            MaximizeWindow();
            break;
        case 1038:
            RestoreWindow();
            break;
        default:
            break;
    }
}

void CTarvikDlg::OnMenuCommand(UINT id) {
    switch (id) {
        case ID_SCREEN_FULLSCREEN:
            ToggleFullScreen();
            break;
        case ID_SCREEN_START_AUTOSCAN:
            SendScreenAutoScan(1, 1);
            break;
        case ID_SCREEN_STOP_AUTOSCAN:
            SendScreenAutoScan(1, 0);
            break;
        case ID_SCREEN_START_RECORD:
            SetScreenRecording(true);
            break;
        case ID_SCREEN_STOP_RECORD:
            SetScreenRecording(false);
            break;
        case ID_SCREEN_SNAPSHOT:
            TakeSnapshot();
            break;
        case ID_TRAY_SHOW:
            OnTrayShow();
            break;
        case ID_TRAY_EXIT:
            ConfirmExit();
            break;
        case ID_LOGIN_LOCK:
            OnLockCommand();
            break;
        case ID_LOGIN_SWITCH:
            OnSwitchUser();
            break;
        default:
            break;
    }
}

// --- window state

void CTarvikDlg::HideToTray() {
    // Without a notification area a hidden window could not be brought back: it is minimised instead
    // (its video window goes and comes back with it).
    if (m_pTrayIcon == nullptr || !SystemTrayAvailable()) {
        ShowWindow(SW_MINIMIZE);
        return;
    }
    if (m_pDlgVideo != nullptr)
        m_pDlgVideo->ShowWindow(SW_HIDE);
    ShowWindow(SW_HIDE);
}

void CTarvikDlg::MaximizeWindow() {
    GetWindowRect(&m_rcRestore);
    MoveWindow(0, 0, g_nScreenWidth, g_nScreenHeight);
    ApplyWindowRegion();
    LayoutControls();
    RelayoutPage();
}

void CTarvikDlg::RestoreWindow() {
    const int w = 800, h = 600;
    RECT& r = m_rcRestore;
    if (r.right - r.left == g_nScreenWidth && r.bottom - r.top == g_nScreenHeight)
        MoveWindow(0, 0, w, h);
    else
        MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
    ApplyWindowRegion();
    LayoutControls();
    RelayoutPage();
}

void CTarvikDlg::ConfirmExit() {
    int answer = ShowMessageBox(GetLanguageText("DLGMAIN_MSG_CONFIRMEXIT", "Are you sure to exit?"),
                                MB_OKCANCEL | MB_ICONQUESTION);
    if (answer == IDOK)
        EndDialog(IDCANCEL);
}

BOOL CTarvikDlg::OnCopyData(CWnd* pWnd, COPYDATASTRUCT* data) {
    if (data != nullptr && data->dwData == COPYDATA_CLOSE_REQUEST)
        EndSession();
    return CDialog::OnCopyData(pWnd, data);
}

void CTarvikDlg::EndSession() {
    if (m_bCloseRequested)
        return;
    m_bCloseRequested = true;
    // The nested loops end first (innermost out), then this window's own; a window made without a loop
    // of its own (Create) is ended here too.
    EndModalLoops(IDCANCEL);
    EndDialog(IDCANCEL);
}

// --- tray

void CTarvikDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    if (wParam != TRAY_ICON_ID)
        return;
    if (lParam == WM_LBUTTONDBLCLK) {
        OnTrayShow();
    } else if (lParam == WM_RBUTTONDOWN) {
        CMenu menu;
        if (!menu.LoadMenu(IDR_MENU_TRAY) || menu.GetSubMenu(0) == nullptr)
            return;
        CMenu* popup = menu.GetSubMenu(0);
        PrepareTrayMenu(*popup, m_bLocked != 0);
        SetForegroundWindow();
        QPoint at = QCursor::pos();
        popup->TrackPopupMenu(TPM_LEFTALIGN, at.x(), at.y(), this);
        PostMessage(WM_NULL);
    }
}

void CTarvikDlg::OnTrayShow() {
    ShowWindow(SW_SHOW);
    SetForegroundWindow();
    BringWindowToTop();
    RelayoutPage();
}

// --- volume

void CTarvikDlg::OnSliderDragging(WPARAM id) {
    if (id != IDC_VOLUME_SLIDER)
        return;
    g_mainWindowState.m_nVolumePos = m_sliderVolume.m_nPos;
    SetAudioOutputVolume(g_liveAudio, LiveVolume(m_sliderVolume.m_nPos, 0));
}

void CTarvikDlg::OnSliderReleased(WPARAM id) {
    if (id != IDC_VOLUME_SLIDER)
        return;
    VolumeState state = VolumeAfterSliderRelease(m_sliderVolume.m_nPos);
    m_bMute = state.muted;
    g_mainWindowState.m_nVolumePos = m_sliderVolume.m_nPos;
    // The slider's own volume reaches the player even at the muted positions.
    g_mainWindowState.m_bMute = 0;
    if (CBitButton* mute = Button(1026)) {
        (void)mute->LoadBitmap(state.bitmap);
        mute->Invalidate();
    }
    SetAudioOutputVolume(g_liveAudio, state.volume);
}

void CTarvikDlg::ToggleMute() {
    VolumeState state = VolumeAfterMuteToggle(m_bMute, m_sliderVolume.m_nPos);
    m_bMute = state.muted;
    g_mainWindowState.m_bMute = state.muted;
    if (CBitButton* mute = Button(1026)) {
        (void)mute->LoadBitmap(state.bitmap);
        mute->Invalidate();
    }
    SetAudioOutputVolume(g_liveAudio, state.volume);
}

// --- login, lock, switch user

intptr_t CTarvikDlg::RunLoginDialog(const QString* user, int lockMode, const QString* password) {
    if (m_bCloseRequested)
        return IDCANCEL;
    EnableVideoWindow(FALSE);
    CDlgLogin dialog(user, lockMode, theApp.m_bLanMode, password, this);
    dialog.m_pfnCheckLogin = CheckLogin;
    intptr_t result = dialog.DoModal();
    EnableVideoWindow(TRUE);
    return result;
}

void CTarvikDlg::OnLoginButton() {
    if (!g_bLoggedIn) {
        if (RunLoginDialog(nullptr, 0, nullptr) == IDOK && !m_bCloseRequested) {
            RefreshDeviceList();
            ApplyLoginState();
        }
        return;
    }
    CMenu menu;
    if (!menu.LoadMenu(IDR_MENU_LOGIN) || menu.GetSubMenu(0) == nullptr)
        return;
    CMenu* popup = menu.GetSubMenu(0);
    PrepareLoginMenu(*popup, m_bLocked != 0);
    RECT button{};
    if (CBitButton* login = Button(1032))
        login->GetWindowRect(&button);
    popup->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, button.left, button.top, this);
}

void CTarvikDlg::UpdateTitleAndTip() {
    QString title = MainWindowTitle(m_bLocked != 0);
    SetWindowText(title);
    if (m_pTrayIcon != nullptr) {
        m_pTrayIcon->szTip = title.left(127);
        (void)Shell_NotifyIcon(NIM_MODIFY, m_pTrayIcon.get());
    }
}

void CTarvikDlg::OnLockCommand() {
    if (!m_bLocked) {
        m_bLocked = 1;
        EnableVideoWindow(FALSE);
        EnableControls(1, FALSE);
    } else {
        QString user = theApp.m_bLanMode ? theApp.m_strSystemUser : theApp.m_strWanUser;
        if (RunLoginDialog(&user, 1, nullptr) == IDOK) {
            m_bLocked = 0;
            EnableVideoWindow(TRUE);
            EnableControls(1, TRUE);
        } else {
            // The framing of the dialog enabled the video window again: a locked window keeps it disabled.
            EnableVideoWindow(FALSE);
        }
    }
    UpdateTitleAndTip();
}

void CTarvikDlg::OnSwitchUser() {
    // What the screens show is kept as each DVR's layout: the next login brings it back, and an exit
    // before that login writes it to view.dat. The recordings end with the operator who started them.
    {
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next)
            RememberAndReleaseScreens(device, false);
    }
    CloseAllChannels();
    // The sessions point at the tree items' records: they stop before the items go.
    FreeDeviceList();
    ClearDeviceTree();
    // The list is usable again whatever the login's outcome (a later switch and shut-down walk it).
    InitDeviceList();
    if (RunLoginDialog(nullptr, 0, nullptr) == IDOK && !m_bCloseRequested) {
        RefreshDeviceList();
        LoadDeviceTree();
    }
}

// --- snapshot and recording

void CTarvikDlg::TakeSnapshot() {
    // A screen the page does not show (five screens per page show none) has nothing to save.
    if (!m_grid.m_bScreenShown[m_grid.m_nCurScreen])
        return;
    ScreenSlot& slot = g_screenSlots[m_grid.m_nCurScreen];
    DVRDevice* device = nullptr;
    int channel = -1;
    QString dvrName;
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        device = slot.device;
        channel = slot.channel;
        dvrName = QString::fromUtf16(slot.dvrName);
        if (device == nullptr || slot.channels == nullptr || channel < 0 || channel >= slot.channelCount)
            return;
    }
    const QString folder = QString::fromUtf16(g_systemSettings.SnapshotPath);
    QString path = SnapshotFilePath(folder, dvrName, channel, QDateTime::currentDateTime());
    const int saved = SaveSlotSnapshot(slot, path);
    if (saved < 0)
        (void)ShowMessageBox(SnapshotFailedText(path.isEmpty() ? folder : path), MB_OK | MB_ICONWARNING);
    if (saved != 0 || g_systemSettings.PopupMessage == 0)
        return;
    EnableVideoWindow(FALSE);
    CDlgMessage message(SnapshotNoticeText(path), this);
    (void)message.DoModal();
    EnableVideoWindow(TRUE);
}

void CTarvikDlg::SetScreenRecording(bool on) {
    ScreenSlot& slot = g_screenSlots[m_grid.m_nCurScreen];
    if (SetSlotRecordWanted(m_grid.m_nCurScreen, on) != 0)
        return;
    // An empty node ends the record thread's current file.
    FrameQueue* queue = slot.recordVideoQueue.get();
    FrameNode* node = nullptr;
    if (queue != nullptr && queue->GetFreeNode(&node) == 0 && node != nullptr) {
        (void)queue->SetNodePayload(node, 0, nullptr);
        (void)queue->PushReady(node);
    }
}
