// The playback dialog's modes, search and opening: the tab, the calendar and its day states, the channel
// and file lists, the day-record bar, and the search, open and query requests.

#include <QDateTime>
#include <cstdlib>
#include <new>

#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/dvr_session.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/dlg_playback.h"
#include "ui/playback_search.h"

namespace {

constexpr int kListColumnWidth = 255;
constexpr int kDayBarFirstColumnWidth = 20;

int32_t LocalMidnight(const QDate& date) {
    return static_cast<int32_t>(QDateTime(date, QTime(0, 0)).toSecsSinceEpoch());
}

// A date from one picker and a time of day from another, as local time.
int64_t PickedTime(const CDateTimeCtrl& date, const CDateTimeCtrl& time) {
    return QDateTime(date.GetDateTime().date(), time.GetDateTime().time()).toSecsSinceEpoch();
}

void FreeDayRecordMap(DayRecordMap* map) {
    std::free(map);
}

}  // namespace

void CDlgPlayback::SetMode(int mode) {
    const bool time = mode == PLAYBACK_MODE_TIME;
    m_channelList.ShowWindow(time ? SW_SHOW : SW_HIDE);
    m_calendar.ShowWindow(time ? SW_SHOW : SW_HIDE);
    for (UINT id :
         {IDC_PB_LABEL_CHANNEL, IDC_PB_LABEL_BEGIN, IDC_PB_LABEL_END, IDC_PB_CHANNEL, IDC_PB_BEGIN_DATE,
          IDC_PB_BEGIN_TIME, IDC_PB_END_DATE, IDC_PB_END_TIME, IDC_PB_SEARCH, IDC_PB_FILE_LIST}) {
        if (CWnd* item = GetDlgItem(id))
            item->ShowWindow(mode == PLAYBACK_MODE_FILE ? SW_SHOW : SW_HIDE);
    }
    m_tab.SetCurSel(mode);
    m_nMode = mode;
}

void CDlgPlayback::OnTabChange() {
    int tab = m_tab.GetCurSel();
    if (tab < 0)
        return;
    bool playing = false;
    for (int i = 0; i < PLAYBACK_SCREEN_COUNT && !playing; ++i)
        playing = !PlaybackInactive(SlotValues(i).state);
    if (playing) {
        int answer = ShowMessageBox(Text("DLGPLAYBACK_MSG_SWITCHMODE",
                                         "Are you sure to stop current playing and switch to another mode?"),
                                    MB_OKCANCEL | MB_ICONQUESTION);
        if (answer != IDOK) {
            m_tab.SetCurSel(m_nMode);
            return;
        }
        PostStopAll(m_nMode);
        StopAudio();
    }
    SetMode(tab);
}

void CDlgPlayback::QueryMonth() {
    QDate date = m_calendar.GetDate();
    if (!date.isValid() || m_pOwner == nullptr)
        return;
    m_pOwner->PostMessage(WM_PLAYBACK_QUERY_MONTH,
                          static_cast<WPARAM>(static_cast<uint32_t>(LocalMidnight(date))), 0);
}

void CDlgPlayback::QueryDay(int screen, int channel, int32_t day) {
    if (m_pOwner == nullptr)
        return;
    WPARAM which = static_cast<WPARAM>((static_cast<uint32_t>(channel) << 16) |
                                       (static_cast<uint32_t>(screen) & 0xFFFF));
    m_pOwner->PostMessage(WM_PLAYBACK_QUERY_DAY, which, static_cast<LPARAM>(day));
}

void CDlgPlayback::SearchFiles() {
    int item = m_comboChannel.GetCurSel();
    if (item < 0)
        return;
    int channel = static_cast<int>(static_cast<intptr_t>(m_comboChannel.GetItemData(item)));
    int64_t begin = PickedTime(m_beginDate, m_beginTime);
    int64_t end = PickedTime(m_endDate, m_endTime);
    if (!SearchSpanValid(begin, end)) {
        ShowMessageBox(Text("DLGPLAYBACK_MSG_INVALID_INTERVAL",
                            "The interval between begin time and end time must "
                            "greater than 1 minute and less than 7 days!"),
                       MB_OK);
        return;
    }
    PostRecord(WM_PLAYBACK_SEARCH,
               new (std::nothrow)
                   PlaybackSearch{channel, static_cast<int32_t>(begin), static_cast<int32_t>(end)},
               0);
}

void CDlgPlayback::OpenSelected(int mode) {
    const int s = m_nCurScreen;
    if (s < 0 || s >= PLAYBACK_SCREEN_COUNT || m_threadIds[s] == 0)
        return;
    if (!PlaybackInactive(SlotValues(s).state)) {
        PostRecord(WM_PLAYBACK_CONTROL, new (std::nothrow) PlaybackControl{s, PLAYBACK_CMD_STOP, 0}, m_nMode);
        StopAudio();
    }
    int channel = -1;
    if (mode == PLAYBACK_MODE_TIME) {
        int row = m_channelList.GetNextItem(-1, LVNI_SELECTED);
        if (row >= 0) {
            channel = static_cast<int>(m_channelList.GetItemData(row));
            int32_t day = LocalMidnight(m_calendar.GetDate());
            QueryDay(s, channel, day);
            PostRecord(WM_PLAYBACK_OPEN,
                       new (std::nothrow) PlaybackOpen{PLAYBACK_MODE_TIME, s, channel, day, {}}, 0);
        }
    } else {
        int row = m_fileList.GetNextItem(-1, LVNI_SELECTED);
        const QString& name = row >= 0 ? FileRowName(row) : m_noName;
        if (!name.isEmpty() && ChannelFromFileName(reinterpret_cast<const char16_t*>(name.utf16()),
                                                   static_cast<int>(name.size()), &channel)) {
            auto* open = new (std::nothrow) PlaybackOpen{PLAYBACK_MODE_FILE, s, 0, 0, {}};
            if (open != nullptr) {
                int length = std::min<int>(static_cast<int>(name.size()), 255);
                for (int i = 0; i < length; ++i)
                    open->path[i] = name.at(i).unicode();
            }
            PostRecord(WM_PLAYBACK_OPEN, open, 0);
        }
    }
    // The screen's frames and snapshots belong to this DVR's channel (also when nothing was posted).
    ScreenSlot& slot = g_playbackChannels[s];
    std::lock_guard<std::mutex> guard(slot.lock);
    slot.device = g_currentDevice.load();
    slot.channel = channel;
}

const QString& CDlgPlayback::FileRowName(int row) const {
    uintptr_t index = m_fileList.GetItemData(row);
    return index < m_fileNames.size() ? m_fileNames[index] : m_noName;
}

void CDlgPlayback::ResetDayBar() {
    m_dayBar.DeleteAllColumns();
    m_dayBar.DeleteAllItems();
    m_dayBar.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES);
    m_dayBar.InsertColumn(0, QString(), LVCFMT_LEFT, kDayBarFirstColumnWidth);
    for (int h = 0; h < 24; ++h)
        m_dayBar.InsertColumn(h + 1, QString::number(h), LVCFMT_LEFT, m_nPosWidth / 24);
    for (int r = 0; r < PLAYBACK_SCREEN_COUNT; ++r) {
        int item = m_dayBar.InsertItem(r, QString::number(r + 1));
        m_dayBar.SetItemData(item, static_cast<uintptr_t>(r));
    }
}

COLORREF CDlgPlayback::DayBarColour(int screen, int column) const {
    int row = m_dayBar.FindItemByData(static_cast<uintptr_t>(screen));
    return row < 0 ? CLR_DEFAULT : m_dayBar.GetItemBkColor(row, column);
}

void CDlgPlayback::ResetControls() {
    m_calendar.SetDate(QDate::currentDate());
    while (m_channelList.GetColumnCount() > 0)
        m_channelList.DeleteColumn(0);
    m_channelList.DeleteAllItems();
    m_channelList.InsertColumn(0, QStringLiteral("ID"), LVCFMT_LEFT, kListColumnWidth);
    DVRDevice* device = g_currentDevice.load();
    if (device != nullptr && device->channels) {
        int count = device->channelCount.load();
        for (int i = 0; i < count; ++i) {
            int item = m_channelList.InsertItem(i, QString::fromUtf16(device->channels[i].name));
            m_channelList.SetItemData(item, static_cast<uintptr_t>(i));
        }
    }
    while (m_fileList.GetColumnCount() > 0)
        m_fileList.DeleteColumn(0);
    m_fileList.DeleteAllItems();
    m_fileNames.clear();
    m_fileList.InsertColumn(0, QStringLiteral("FILE"), LVCFMT_LEFT, kListColumnWidth);
    m_comboChannel.SetCurSel(0);
    QDate today = QDate::currentDate();
    m_beginDate.SetDateTime(QDateTime(today, QTime(0, 0, 0)));
    m_beginTime.SetDateTime(QDateTime(today, QTime(0, 0, 0)));
    m_endDate.SetDateTime(QDateTime(today, QTime(23, 59, 59)));
    m_endTime.SetDateTime(QDateTime(today, QTime(23, 59, 59)));
    (void)m_btnMute.LoadBitmap(153);
    m_sliderVolume.SetRange(50);
    m_sliderVolume.SetPageSize(5);
    m_sliderVolume.SetPos(40);
    m_view.m_nVolumePos.store(40);
    m_sliderPos.SetRange(POSITION_SLIDER_MAX);
    m_sliderPos.SetPageSize(100);
    ResetDayBar();
    SetMode(PLAYBACK_MODE_TIME);
    QueryMonth();
    UpdateButtons(0);
    UpdateTimeText(0);
}

void CDlgPlayback::FillFileList() {
    m_fileList.DeleteAllItems();
    m_fileNames.clear();
    DVRDevice* device = g_currentDevice.load();
    if (device == nullptr)
        return;
    // The rows copy the names: the DVR's list may be replaced by the next search at any time.
    std::shared_ptr<std::vector<RemoteFileNode>> files = device->lists.remoteFiles.Current();
    if (!files)
        return;
    m_fileList.LockWindowUpdate();
    for (const RemoteFileNode& node : *files) {
        int length = 0;
        while (length < 256 && node.name[length] != 0)
            ++length;
        m_fileNames.push_back(QString::fromUtf16(node.name, length));
        int row = m_fileList.InsertItem(m_fileList.GetItemCount(), m_fileNames.back());
        m_fileList.SetItemData(row, m_fileNames.size() - 1);
    }
    m_fileList.UnlockWindowUpdate();
}

void CDlgPlayback::ApplyDayRecords(DayRecordMap* map) {
    // A row outside the bar's 16 rows is dropped (the map is freed by the caller). The row is found by its
    // data word, so a sorted bar still colours the screen's own row.
    if (map->value1 < 0 || map->value1 >= PLAYBACK_SCREEN_COUNT)
        return;
    int row = m_dayBar.FindItemByData(static_cast<uintptr_t>(map->value1));
    if (row < 0)
        return;
    COLORREF hours[24];
    DayBarColours(*map, hours);
    m_dayBar.LockWindowUpdate();
    for (int h = 0; h < 24; ++h)
        m_dayBar.SetItemBkColor(row, h + 1, DAY_BAR_EMPTY);
    for (int h = 0; h < 24; ++h)
        m_dayBar.SetItemBkColor(row, h + 1, hours[h]);
    m_dayBar.UnlockWindowUpdate();
}

void CDlgPlayback::OnPlaybackData(int code, LPARAM lParam) {
    // The day map is the dialog's on every path.
    std::unique_ptr<DayRecordMap, void (*)(DayRecordMap*)> map(
        code == PLAYBACK_DATA_DAY_RECORDS ? reinterpret_cast<DayRecordMap*>(lParam) : nullptr,
        FreeDayRecordMap);
    // A state notice only says that a screen's slot changed, which the slot itself shows: also the stop
    // of the playbacks of a lost session, which leaves no DVR current.
    if (g_currentDevice.load() == nullptr && code != PLAYBACK_DATA_STATE)
        return;
    switch (code) {
        case PLAYBACK_DATA_FILE_LIST:
            FillFileList();
            break;
        case PLAYBACK_DATA_MONTH_RECORDS:
            if (m_dayState != nullptr) {
                m_dayState[0] = 0;
                m_dayState[1] = static_cast<MONTHDAYSTATE>(lParam);
                m_dayState[2] = 0;
                m_calendar.SetDayState(3, m_dayState);
            }
            break;
        case PLAYBACK_DATA_STATE: {
            int screen = static_cast<int>(lParam & 0xFFFF);
            int change = static_cast<int>((lParam >> 16) & 0xFFFF);
            if (screen != m_nCurScreen)
                break;
            if (change == PLAYBACK_CHANGE_STATE || change == PLAYBACK_CHANGE_BOTH)
                UpdateButtons(screen);
            if (change == PLAYBACK_CHANGE_POSITION || change == PLAYBACK_CHANGE_BOTH)
                UpdateTimeText(screen);
            break;
        }
        case PLAYBACK_DATA_DAY_RECORDS:
            if (map)
                ApplyDayRecords(map.get());
            break;
        default:
            break;
    }
}
