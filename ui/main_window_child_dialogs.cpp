// The three child dialogs of the main window: playback, setup and status. Each opens after its checks,
// disables the main window's controls while it is up and closes by posting WM_CHILD_CLOSED. The setup and
// status dialogs are kept hidden between openings; the playback dialog is made anew each time.

#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"
#include "media/audio_output.h"
#include "media/main_window_state.h"
#include "ui/dialogs/dlg_playback.h"
#include "ui/dialogs/dlg_setup.h"
#include "ui/dialogs/dlg_status.h"
#include "ui/main_window.h"

namespace {

// Whether the selected DVR may be asked for what the dialog needs: the message when not, else empty.
QString MissingRightText(DVRDevice* device, uint32_t right) {
    if (device == nullptr)
        return GetLanguageText("SYSTEM_MSG_NO_DVR", "Pelease select an online DVR first!");
    if ((device->rights.load() & right) == 0)
        return GetLanguageText("SYSTEM_MSG_NO_PRIVILEGE",
                               "Sorry, you don't have privilege of this function!");
    return QString();
}

CDialog* NewPlaybackDialog(CWnd* owner) {
    return new CDlgPlayback(owner);
}

CDialog* NewSetupDialog(CWnd* owner) {
    return new CDlgSetup(owner);
}

CDialog* NewStatusDialog(CWnd* owner) {
    return new CDlgStatus(owner);
}

// Makes the dialog from its template; null (and nothing left) when it cannot be made.
CDialog* CreateChild(CDialog* dialog, UINT templateId, CWnd* owner) {
    if (dialog == nullptr)
        return nullptr;
    if (!dialog->Create(templateId, owner)) {
        delete dialog;
        return nullptr;
    }
    return dialog;
}

void CenterOver(CWnd* dialog) {
    RECT r{};
    dialog->GetWindowRect(&r);
    int w = r.right - r.left, h = r.bottom - r.top;
    dialog->MoveWindow((g_nScreenWidth - w) / 2, (g_nScreenHeight - h) / 2, w, h);
}

}  // namespace

// The buttons of the dialogs that this version does not have stay disabled, with a tip that says why.
void CTarvikDlg::MarkMissingChildDialogs() {
    struct Child {
        UINT button;
        bool available;
    };
    const Child children[] = {{1003, true}, {1004, true}, {1034, true}};
    for (const Child& c : children) {
        CBitButton* button = Button(c.button);
        if (c.available || button == nullptr)
            continue;
        button->EnableWindow(FALSE);
        button->SetToolTipText(GetLanguageText("DLGMAIN_TIP_NOT_AVAILABLE", "Not available in this version"));
    }
}

void CTarvikDlg::OpenStatusDialog() {
    if (m_pDlgStatus == nullptr)
        m_pDlgStatus = CreateChild(NewStatusDialog(this), IDD_DLG_STATUS, this);
    if (m_pDlgStatus == nullptr)
        return;
    EnableVideoWindow(FALSE);
    EnableControls(0, FALSE);
    CenterOver(m_pDlgStatus);
    m_pDlgStatus->ShowWindow(SW_SHOW);
}

void CTarvikDlg::OpenSetupDialog() {
    QString refused = MissingRightText(g_currentDevice.load(), USER_RIGHT_ADMIN);
    if (!refused.isEmpty()) {
        (void)ShowMessageBox(refused, MB_OK);
        return;
    }
    if (m_pDlgSetup == nullptr)
        m_pDlgSetup = CreateChild(NewSetupDialog(this), IDD_DLG_SETUP, this);
    if (m_pDlgSetup == nullptr)
        return;
    PublishChildDialogs(m_pDlgPlayback, m_pDlgSetup);
    EnableVideoWindow(FALSE);
    EnableControls(0, FALSE);
    CenterOver(m_pDlgSetup);
    m_pDlgSetup->ShowWindow(SW_SHOW);
}

void CTarvikDlg::OpenPlaybackDialog() {
    QString refused = MissingRightText(g_currentDevice.load(), USER_RIGHT_RECORD);
    if (!refused.isEmpty()) {
        (void)ShowMessageBox(refused, MB_OK);
        return;
    }
    if (m_pDlgPlayback == nullptr)
        m_pDlgPlayback = CreateChild(NewPlaybackDialog(this), IDD_DLG_PLAYBACK, this);
    if (m_pDlgPlayback == nullptr)
        return;
    PublishChildDialogs(m_pDlgPlayback, m_pDlgSetup);
    m_bPlaybackOpen = 1;
    g_mainWindowState.m_bPlaybackOpen = 1;
    EnableVideoWindow(FALSE);
    EnableControls(0, FALSE);
    m_pDlgPlayback->ShowWindow(SW_SHOW);
    StopAudioOutput(g_liveAudio);
}

void CTarvikDlg::OnChildClosed(WPARAM child) {
    if (child == CHILD_PLAYBACK) {
        m_bPlaybackOpen = 0;
        g_mainWindowState.m_bPlaybackOpen = 0;
        CDialog* dialog = m_pDlgPlayback;
        // Published as gone before the window goes: the connection threads post to its handle.
        PublishChildDialogs(nullptr, m_pDlgSetup);
        m_pDlgPlayback = nullptr;
        if (dialog != nullptr) {
            dialog->DestroyWindow();
            delete dialog;
        }
    } else if (child == CHILD_SETUP && m_pDlgSetup != nullptr) {
        m_pDlgSetup->ShowWindow(SW_HIDE);
    } else if (child == CHILD_STATUS && m_pDlgStatus != nullptr) {
        m_pDlgStatus->ShowWindow(SW_HIDE);
    }
    EnableVideoWindow(TRUE);
    EnableControls(0, TRUE);
}
