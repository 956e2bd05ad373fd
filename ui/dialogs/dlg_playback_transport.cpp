// The playback dialog's transport: the skin buttons, the state a screen's reports show, the position
// slider and time text, volume and mute, and the snapshot of the selected screen.

#include <QDateTime>
#include <new>

#include "core/safe_path.h"
#include "core/system_settings.h"
#include "core/window_messages.h"
#include "dvr/device_tree_node.h"
#include "dvr/dvr_session.h"
#include "media/main_window_state.h"
#include "platform/ui/message_box.h"
#include "ui/controls/dlg_video.h"
#include "ui/dialogs/dlg_message.h"
#include "ui/dialogs/dlg_playback.h"
#include "ui/snapshot_save.h"

namespace {
constexpr UINT kMutedPicture = 152;
constexpr UINT kSoundPicture = 153;
constexpr int kJumpSeconds = 60;
// Volume slider positions whose volume is this low or lower count as muted.
constexpr int kMutedVolume = -4800;

QString FieldText(const char16_t* field, int size) {
    int length = 0;
    while (length < size && field[length] != 0)
        ++length;
    return QString::fromUtf16(field, length);
}
}  // namespace

PlaybackValues CDlgPlayback::SlotValues(int screen) const {
    PlaybackValues v;
    if (screen < 0 || screen >= PLAYBACK_SCREEN_COUNT)
        return v;
    ScreenSlot& slot = g_playbackChannels[screen];
    std::lock_guard<std::mutex> guard(slot.lock);
    v.state = slot.playState;
    v.speed = slot.playSpeed;
    v.begin = slot.playBegin;
    v.duration = slot.playDuration;
    v.position = slot.playPosition;
    v.dayStart = slot.playDayStart;
    return v;
}

LRESULT CDlgPlayback::OnBitButtonUp(UINT id) {
    switch (id) {
        case IDC_PB_PLAY:
            PlayOrResume();
            break;
        case IDC_PB_PAUSE:
            SendControl(PLAYBACK_CMD_PAUSE, 0);
            break;
        case IDC_PB_STOP:
            SendControl(PLAYBACK_CMD_STOP, 0);
            break;
        case IDC_PB_STEP:
            SendControl(PLAYBACK_CMD_STEP, 0);
            break;
        case IDC_PB_FAST:
            SendControl(PLAYBACK_CMD_SPEED, 1);
            break;
        case IDC_PB_SLOW:
            SendControl(PLAYBACK_CMD_SPEED, -1);
            break;
        case IDC_PB_FORWARD:
            JumpForward();
            break;
        case IDC_PB_BACKWARD:
            JumpBackward();
            break;
        case IDC_PB_MUTE:
            ToggleMute();
            break;
        case IDC_PB_FULLSCREEN:
            ToggleFullScreen();
            break;
        case IDC_PB_SNAPSHOT:
            TakeSnapshot();
            break;
        case IDC_PB_SEARCH:
            SearchFiles();
            break;
        case IDC_PB_EXIT:
            ExitDialog();
            break;
        default:
            break;
    }
    return 0;
}

void CDlgPlayback::SendControl(int command, int parameter) {
    PostRecord(WM_PLAYBACK_CONTROL, new (std::nothrow) PlaybackControl{m_nCurScreen, command, parameter},
               m_nMode);
    StopAudio();
}

void CDlgPlayback::ShowButton(CBitButton& button, bool shown, bool enabled) {
    button.ShowWindow(shown ? SW_SHOW : SW_HIDE);
    button.EnableWindow(enabled);
}

void CDlgPlayback::UpdateButtons(int screen) {
    int state = SlotValues(screen).state;
    TransportButtons b = TransportButtonsFor(state);
    ShowButton(m_btnPlay, b.playShown, b.playEnabled);
    ShowButton(m_btnPause, b.pauseShown, b.pauseEnabled);
    m_btnStop.EnableWindow(b.stopEnabled);
    m_btnStep.EnableWindow(b.stepEnabled);
    for (CBitButton* move : {&m_btnFast, &m_btnSlow, &m_btnForward, &m_btnBackward})
        move->EnableWindow(b.movesEnabled);
    if (state != PLAYBACK_STATE_PLAYING)
        StopAudio();
}

void CDlgPlayback::SetPositionSlider(int pos) {
    m_sliderPos.SetPos(pos);
}

void CDlgPlayback::UpdateTimeText(int screen) {
    // A report must not move the thumb the operator holds: a press without a drag sets no seeking flag,
    // and its release would seek to wherever the report put the thumb instead of where it was pressed.
    if (m_bSeeking || m_sliderPos.IsPressed())
        return;
    QString text;
    int pos = 0;
    PositionText(m_nMode, SlotValues(screen), &text, &pos);
    m_timeText.SetWindowText(text);
    SetPositionSlider(pos);
}

void CDlgPlayback::PlayOrResume() {
    const int s = m_nCurScreen;
    if (s < 0 || s >= PLAYBACK_SCREEN_COUNT || m_threadIds[s] == 0)
        return;
    int state = SlotValues(s).state;
    if (PlaybackInactive(state)) {
        OpenSelected(m_nMode);
    } else if (state == PLAYBACK_STATE_PAUSED || state == PLAYBACK_STATE_STEPPING ||
               state == PLAYBACK_STATE_SPEED) {
        PostRecord(WM_PLAYBACK_CONTROL, new (std::nothrow) PlaybackControl{s, PLAYBACK_CMD_PLAY, 0}, m_nMode);
    }
}

void CDlgPlayback::JumpForward() {
    int32_t target = JumpTarget(m_nMode, kJumpSeconds, SlotValues(m_nCurScreen));
    PostRecord(WM_PLAYBACK_CONTROL,
               new (std::nothrow) PlaybackControl{m_nCurScreen, PLAYBACK_CMD_SEEK, target}, m_nMode);
}

void CDlgPlayback::JumpBackward() {
    int32_t target = JumpTarget(m_nMode, -kJumpSeconds, SlotValues(m_nCurScreen));
    PostRecord(WM_PLAYBACK_CONTROL,
               new (std::nothrow) PlaybackControl{m_nCurScreen, PLAYBACK_CMD_SEEK, target}, m_nMode);
}

LRESULT CDlgPlayback::OnSliderDragging(UINT id, int position) {
    if (id == IDC_PB_VOLUME) {
        m_view.m_nVolumePos.store(position);
        SetAudioOutputVolume(m_view.audio, (position - 50) * 100);
        return 0;
    }
    if (id != IDC_PB_POSITION)
        return 0;
    m_bSeeking = 1;
    const int s = m_nCurScreen;
    PlaybackValues v = SlotValues(s);
    if (m_threadIds[s] == 0 || PlaybackInactive(v.state))
        return -1;
    m_timeText.SetWindowText(ClockText(SliderDragSeconds(m_nMode, position, v.duration)));
    return 0;
}

LRESULT CDlgPlayback::OnSliderReleased(UINT id, int position) {
    if (id == IDC_PB_VOLUME) {
        int volume = (position - 50) * 100;
        m_bMuted = volume <= kMutedVolume;
        m_view.m_nVolumePos.store(position);
        m_view.m_bMuted.store(m_bMuted);
        (void)m_btnMute.LoadBitmap(m_bMuted ? kMutedPicture : kSoundPicture);
        m_btnMute.Invalidate();
        SetAudioOutputVolume(m_view.audio, volume);
        return 0;
    }
    if (id != IDC_PB_POSITION)
        return 0;
    m_bSeeking = 0;
    const int s = m_nCurScreen;
    PlaybackValues v = SlotValues(s);
    if (m_threadIds[s] == 0 || PlaybackInactive(v.state))
        return -1;
    PostRecord(WM_PLAYBACK_CONTROL,
               new (std::nothrow)
                   PlaybackControl{s, PLAYBACK_CMD_SEEK, SliderSeekTarget(m_nMode, position, v)},
               m_nMode);
    return 0;
}

void CDlgPlayback::ToggleMute() {
    (void)m_btnMute.LoadBitmap(m_bMuted ? kSoundPicture : kMutedPicture);
    m_btnMute.Invalidate();
    m_bMuted = !m_bMuted;
    m_view.m_bMuted.store(m_bMuted);
    SetAudioOutputVolume(m_view.audio, LiveVolume(m_sliderVolume.GetPos(), m_bMuted));
}

void CDlgPlayback::TakeSnapshot() {
    const int s = m_nCurScreen;
    if (s < 0 || s >= PLAYBACK_SCREEN_COUNT)
        return;
    ScreenSlot& slot = g_playbackChannels[s];
    DVRDevice* device = nullptr;
    int channel = -1;
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        device = slot.device;
        channel = slot.channel;
    }
    // Only the DVR that is still the current one is looked at: its record is alive while it is current.
    if (device == nullptr || device != g_currentDevice.load() || channel < 0 ||
        channel >= device->channelCount.load())
        return;
    QString dvrName = device->node != nullptr ? FieldText(device->node->name, 256) : QString();
    QString path = FieldText(g_systemSettings.SnapshotPath, 256) + MakeSafePathComponent(dvrName) +
                   QStringLiteral("\\CH%1_%2_old.jpg")
                       .arg(channel + 1, 3, 10, QLatin1Char('0'))
                       .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")));
    const int saved = SaveSlotSnapshot(slot, path);
    if (saved < 0)
        (void)ShowMessageBox(SnapshotFailedText(path), MB_OK | MB_ICONWARNING);
    if (saved != 0 || g_systemSettings.PopupMessage == 0)
        return;
    EnableVideoWindow(FALSE);
    CDlgMessage message(SnapshotNoticeText(path), this);
    message.DoModal();
    EnableVideoWindow(TRUE);
}

int CDlgPlayback::ShowMessageBox(const QString& text, UINT type) {
    EnableVideoWindow(FALSE);
    int result = MessageBox(this, text, QString(), type);
    EnableVideoWindow(TRUE);
    return result;
}

void CDlgPlayback::EnableVideoWindow(BOOL enable) {
    if (m_pVideoWnd != nullptr)
        m_pVideoWnd->EnableWindow(enable);
}
