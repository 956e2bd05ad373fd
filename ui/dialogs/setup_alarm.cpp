#include "ui/dialogs/setup_alarm.h"

#include <QWidget>
#include <algorithm>
#include <mutex>
#include <new>

#include "core/window_messages.h"
#include "platform/ui/data_exchange.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/setup_combo.h"
#include "ui/dialogs/setup_page_table.h"

namespace {

constexpr int kSensitivityCount = 5;

const DialogText kTexts[] = {
    {1136, "DLGSETUPALARM_STATIC_CHANNEL", "Please select channel:"},
    {1201, "DLGSETUPALARM_STATIC_ALARM_PARAM", "Alarm parameters"},
    {1198, "DLGSETUPALARM_STATIC_SENSITIVITY", "Motion sensitivity"},
    {IDC_ALARM_EMAIL, "DLGSETUPALARM_CHECK_EMAIL", "Send e-mail to user when alarm detected"},
    {IDC_ALARM_CLIENT, "DLGSETUPALARM_CHECK_VISTAL", "Send message to vistal when alarm detected"},
    {IDC_ALARM_MOBILE, "DLGSETUPALARM_CHECK_MESSAGE", "Send message to mobile phone when alarm detected"},
    {IDC_ALARM_MMS, "DLGSETUPALARM_RADIO_MMS", "Send by MMS type"},
    {IDC_ALARM_SMS, "DLGSETUPALARM_RADIO_SMS", "Send by SMS type"},
    {IDC_ALARM_CLEAR_MOTION, "DLGSETUPALARM_BUTTON_CLEAR_MOTION", "Clear Motion-detection"},
    {IDC_ALARM_SAVE_MOTION, "DLGSETUPALARM_BUTTON_SAVE_MOTION", "Save Motion-detection"},
    {IDOK, "DLGSETUPALARM_BUTTON_OK", "Set"},
    {1107, "DLGSETUPALARM_BUTTON_SETALL", "All Set"},
    {IDCANCEL, "DLGSETUPALARM_BUTTON_CANCEL", "Exit"},
    {1307, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
};

const char kNoteDefault[] = "Note:\b  You can set motion-detection area with mouse click on the video area.";

// Controls that are never shown: the page does not offer the mobile-phone message.
const UINT kHiddenIds[] = {IDC_ALARM_MOBILE, IDC_ALARM_MMS, IDC_ALARM_SMS};

// Controls over the zone grid and its neighbourhood that let clicks through to the page.
const UINT kClickThroughIds[] = {IDC_ALARM_PREVIEW, IDC_ALARM_NOTE, 1201, 1198, 1136};

DVRChannel* ChannelOf(DVRDevice* device, int channel) {
    if (channel < 0 || channel >= CSetupPage::AddressableChannels(device))
        return nullptr;
    return &device->channels[channel];
}

}  // namespace

CSetupPage* NewSetupAlarmPage(CWnd* owner) {
    return new (std::nothrow) CDlgSetupAlarm(owner);
}

CDlgSetupAlarm::CDlgSetupAlarm(CWnd* pOwner)
    : CSetupPage(IDD_SETUP_ALARM, pOwner, SETUP_PAGE_ALARM, SetupPageKind::Channel, ALARM_PREVIEW_VIEW) {}

void CDlgSetupAlarm::DoDataExchange(CDataExchange* pDX) {
    CSetupPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ALARM_SENSITIVITY, m_cboSensitivity);
}

void CDlgSetupAlarm::ApplyLanguage() {
    ApplyDialogTexts(this, kTexts);
    // The note's 0x08 bytes stand for line breaks.
    QString note = LanguageText("DLGSETUPALARM_STATIC_NOTE", kNoteDefault);
    note.replace(QChar(0x08), QChar(u'\n'));
    SetItemText(this, IDC_ALARM_NOTE, note);
    RebuildKeyedCombo(m_cboSensitivity, "DLGSETUPALARM_COMBO_SENSITIVITY_", kSensitivityCount);
}

void CDlgSetupAlarm::ResetControls() {
    for (UINT id : kClickThroughIds) {
        if (CWnd* item = GetDlgItem(id); item != nullptr && item->GetWidget() != nullptr)
            item->GetWidget()->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    ComputeMaskGrid();
    if (CWnd* frame = GetDlgItem(IDC_ALARM_PREVIEW))
        m_hPreview = frame->GetSafeHwnd();
}

void CDlgSetupAlarm::ComputeMaskGrid() {
    for (UINT id : kHiddenIds) {
        if (CWnd* item = GetDlgItem(id))
            item->ShowWindow(SW_HIDE);
    }
    CWnd* frame = GetDlgItem(IDC_ALARM_PREVIEW);
    if (frame == nullptr)
        return;
    RECT frameRect;
    RECT pageRect;
    frame->GetWindowRect(&frameRect);
    GetWindowRect(&pageRect);
    RECT relative = {frameRect.left - pageRect.left, frameRect.top - pageRect.top,
                     frameRect.right - pageRect.left, frameRect.bottom - pageRect.top};
    m_grid = ComputeMotionGrid(relative);
}

void CDlgSetupAlarm::OnShown() {
    ComputeMaskGrid();
}

void CDlgSetupAlarm::OnHidden() {
    RestoreMaskCopy();
    m_nAlarmChannel = -1;
    m_bDragging = false;
}

void CDlgSetupAlarm::OnChannelChange(int /*ch*/) {
    RestoreMaskCopy();
    m_nAlarmChannel = -1;
}

void CDlgSetupAlarm::RestoreMaskCopy() {
    if (DVRChannel* channel = ChannelOf(CurrentDevice(), m_nMaskChannel)) {
        std::lock_guard<std::mutex> guard(channel->lock);
        channel->motionMask = m_maskCopy;
    }
    m_nMaskChannel = -1;
    m_maskCopy = MotionZoneMask{};
}

bool CDlgSetupAlarm::ChannelReady() const {
    return m_nCurChannel >= 0 && m_nAlarmChannel == m_nCurChannel && m_nMaskChannel == m_nCurChannel;
}

bool CDlgSetupAlarm::CompletesLoad(int replyType) const {
    return (replyType == SETUP_REPLY_ALARM || replyType == SETUP_REPLY_MOTION_MASK) && ChannelReady();
}

void CDlgSetupAlarm::FillFromDevice(int replyType, int index) {
    DVRChannel* channel = ChannelOf(CurrentDevice(), index);
    if (channel == nullptr)
        return;
    if (replyType == SETUP_REPLY_ALARM) {
        // A sensitivity the list lacks leaves it without a selection, so Set keeps the DVR's value.
        SelectComboData(m_cboSensitivity, channel->motionSensitivity, false);
        uint32_t actions = channel->alarmActions;
        CheckItem(this, IDC_ALARM_EMAIL, (actions & ALARM_ACTION_EMAIL) != 0);
        CheckItem(this, IDC_ALARM_MOBILE, (actions & (ALARM_ACTION_MMS | ALARM_ACTION_SMS)) != 0);
        CheckItem(this, IDC_ALARM_MMS, (actions & ALARM_ACTION_MMS) != 0);
        CheckItem(this, IDC_ALARM_SMS, (actions & ALARM_ACTION_MMS) == 0);
        EnableRadios();
        CheckItem(this, IDC_ALARM_CLIENT, (actions & ALARM_ACTION_CLIENT) != 0);
        m_nAlarmChannel = index;
    } else if (replyType == SETUP_REPLY_MOTION_MASK) {
        std::lock_guard<std::mutex> guard(channel->lock);
        m_maskCopy = channel->motionMask;
        m_nMaskChannel = index;
    }
}

void CDlgSetupAlarm::EnableRadios() {
    BOOL enable = ItemChecked(this, IDC_ALARM_MOBILE) ? TRUE : FALSE;
    for (UINT id : {IDC_ALARM_MMS, IDC_ALARM_SMS}) {
        if (CWnd* item = GetDlgItem(id))
            item->EnableWindow(enable);
    }
}

AlarmControls CDlgSetupAlarm::ReadControls() const {
    AlarmControls controls;
    int selected = m_cboSensitivity.GetCurSel();
    controls.sensitivity = selected >= 0 ? static_cast<int>(m_cboSensitivity.GetItemData(selected)) : -1;
    controls.email = ItemChecked(this, IDC_ALARM_EMAIL) != 0;
    controls.client = ItemChecked(this, IDC_ALARM_CLIENT) != 0;
    return controls;
}

int CDlgSetupAlarm::CollectChannel(int channel) {
    DVRChannel* record = ChannelOf(CurrentDevice(), channel);
    if (record == nullptr || !ChannelReady())
        return -1;
    AlarmValues values{record->motionSensitivity, record->alarmActions};
    if (CollectAlarmValues(ReadControls(), &values) != 0)
        return -1;
    record->motionSensitivity = values.sensitivity;
    record->alarmActions = values.actions;
    return 0;
}

int CDlgSetupAlarm::Collect(int channel) {
    return CollectChannel(channel);
}

BOOL CDlgSetupAlarm::OnPageCommand(UINT id, UINT code) {
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
        case IDC_ALARM_MOBILE:
            EnableRadios();
            return TRUE;
        case IDC_ALARM_CLEAR_MOTION:
            SaveMotion(true);
            return TRUE;
        case IDC_ALARM_SAVE_MOTION:
            SaveMotion(false);
            return TRUE;
        default:
            return FALSE;
    }
}

void CDlgSetupAlarm::SaveMotion(bool clear) {
    DVRChannel* channel = ChannelOf(CurrentDevice(), m_nCurChannel);
    if (channel == nullptr || !ChannelReady())
        return;
    {
        std::lock_guard<std::mutex> guard(channel->lock);
        if (clear)
            channel->motionMask = MotionZoneMask{};
        m_maskCopy = channel->motionMask;
    }
    (void)PostToOwner(WM_SETUP_SAVE, SETUP_PAGE_ALARM, m_nCurChannel);
}

void CDlgSetupAlarm::ToggleMaskCells(const RECT& selection) {
    DVRChannel* channel = ChannelOf(CurrentDevice(), m_nCurChannel);
    if (channel == nullptr || !ChannelReady())
        return;
    // The preview's decode thread reads the zones under the channel's lock for every picture it draws.
    std::lock_guard<std::mutex> guard(channel->lock);
    ToggleMotionCells(m_grid, selection, &channel->motionMask);
}

void CDlgSetupAlarm::OnLButtonDown(UINT nFlags, POINT point) {
    m_bDragging = true;
    m_ptDragStart = point;
    SetWindowCursor(IDC_CROSS);
    CSetupPage::OnLButtonDown(nFlags, point);
}

void CDlgSetupAlarm::OnMouseMove(UINT nFlags, POINT point) {
    SetWindowCursor(m_bDragging ? IDC_CROSS : IDC_ARROW);
    CSetupPage::OnMouseMove(nFlags, point);
}

void CDlgSetupAlarm::OnLButtonUp(UINT nFlags, POINT point) {
    if (m_bDragging) {
        RECT selection = {std::min(m_ptDragStart.x, point.x), std::min(m_ptDragStart.y, point.y),
                          std::max(m_ptDragStart.x, point.x), std::max(m_ptDragStart.y, point.y)};
        ToggleMaskCells(selection);
    }
    SetWindowCursor(IDC_ARROW);
    m_bDragging = false;
    CSetupPage::OnLButtonUp(nFlags, point);
}
