#include "ui/dialogs/setup_record.h"

#include <QDate>
#include <QTime>
#include <new>

#include "core/window_messages.h"
#include "dvr/dvr_device.h"
#include "platform/ui/data_exchange.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/setup_combo.h"
#include "ui/dialogs/setup_page_table.h"

namespace {

constexpr DWORD kListExStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
constexpr int kRangeColumn = 1;
constexpr int kBeginColumn = 2;
constexpr int kEndColumn = 3;
constexpr int kTypeColumn = 4;
// Room left for the vertical scroll bar and the frame when the columns are spread.
constexpr int kListMargin = 24;

const DialogText kTexts[] = {
    {1136, "DLGSETUPRECORD_STATIC_CHANNEL", "Please select channel:"},
    {1194, "DLGSETUPRECORD_STATIC_RECORD_PARAM", "Record schedule"},
    {1240, "DLGSETUPRECORD_STATIC_TIME", "Time range:"},
    {1248, "DLGSETUPRECORD_STATIC_RECORD_TYPE", "Select record type:"},
    {IDC_RECORD_EDIT, "DLGSETUPRECORD_BUTTON_EDIT", "Edit"},
    {IDOK, "DLGSETUPRECORD_BUTTON_OK", "Set"},
    {1107, "DLGSETUPRECORD_BUTTON_SETALL", "All Set"},
    {IDCANCEL, "DLGSETUPRECORD_BUTTON_CANCEL", "Exit"},
    {1307, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
};

const ListColumn kColumns[] = {
    {"DLGSETUPRECORD_LIST_SCHEDULE_0", "Enable", LVCFMT_CENTER, 65},
    {"DLGSETUPRECORD_LIST_SCHEDULE_1", "Time range", LVCFMT_CENTER, 100},
    {"DLGSETUPRECORD_LIST_SCHEDULE_2", "Begin time", LVCFMT_CENTER, 60},
    {"DLGSETUPRECORD_LIST_SCHEDULE_3", "End time", LVCFMT_CENTER, 60},
    {"DLGSETUPRECORD_LIST_SCHEDULE_4", "Record type", LVCFMT_CENTER, 140},
};

// The editor's controls, shown only while a row is selected.
const UINT kEditorIds[] = {1240, IDC_RECORD_RANGE, IDC_RECORD_BEGIN, 1247, IDC_RECORD_END,
                           1248, IDC_RECORD_TYPE,  IDC_RECORD_EDIT};

// The day-range and record-type texts have no built-in default: a missing key gives an empty text.
constexpr char kRangeKey[] = "DLGSETUPRECORD_COMBO_RANGE_";
constexpr char kTypeKey[] = "DLGSETUPRECORD_COMBO_TYPE_";
QString KeyedText(const char* prefix, int code) {
    return LanguageText((QByteArray(prefix) + QByteArray::number(code)).constData(), "");
}
QString RangeText(int range) {
    return KeyedText(kRangeKey, range);
}
QString TypeText(int type) {
    return KeyedText(kTypeKey, type);
}

// Widens the columns in their proportions to the list's width, so that the day ranges and record types
// of every language show whole in the dialog font.
template <size_t N>
void SpreadColumns(CListCtrl& list, const ListColumn (&columns)[N]) {
    RECT client;
    list.GetClientRect(&client);
    int total = 0;
    for (const ListColumn& c : columns)
        total += c.width;
    const int available = client.right - client.left - kListMargin;
    if (total <= 0 || available <= total)
        return;
    for (size_t i = 0; i < N; ++i)
        list.SetColumnWidth(static_cast<int>(i), columns[i].width * available / total);
}

QDateTime TodayAt(int hour, int minute) {
    return QDateTime(QDate::currentDate(), QTime(hour, minute, 0));
}

QString PickerText(const CDateTimeCtrl& picker) {
    QTime time = picker.GetDateTime().time();
    return ScheduleTimeText(time.hour() * 100 + time.minute());
}

}  // namespace

CSetupPage* NewSetupRecordPage(CWnd* owner) {
    return new (std::nothrow) CDlgSetupRecord(owner);
}

CDlgSetupRecord::CDlgSetupRecord(CWnd* pOwner)
    : CSetupPage(IDD_SETUP_RECORD, pOwner, SETUP_PAGE_RECORD, SetupPageKind::Channel, -1) {}

void CDlgSetupRecord::DoDataExchange(CDataExchange* pDX) {
    CSetupPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RECORD_SCHEDULE, m_listSchedule);
    DDX_Control(pDX, IDC_RECORD_END, m_timeEnd);
    DDX_Control(pDX, IDC_RECORD_BEGIN, m_timeBegin);
    DDX_Control(pDX, IDC_RECORD_RANGE, m_cboRange);
    DDX_Control(pDX, IDC_RECORD_TYPE, m_cboType);
}

void CDlgSetupRecord::ApplyLanguage() {
    ApplyDialogTexts(this, kTexts);
    RebuildKeyedCombo(m_cboRange, kRangeKey, SCHEDULE_RANGE_COUNT);
    RebuildKeyedCombo(m_cboType, kTypeKey, SCHEDULE_TYPE_COUNT);
    SetListColumns(m_listSchedule, kColumns);
    SpreadColumns(m_listSchedule, kColumns);
    m_listSchedule.SetExtendedStyle(kListExStyle);
    // Without a heading row the list simply has no check-all box.
    (void)m_listSchedule.InitHeaderCheck();
}

void CDlgSetupRecord::ResetControls() {
    ResetEditor();
}

void CDlgSetupRecord::ResetEditor() {
    m_cboRange.SetCurSel(0);
    m_cboType.SetCurSel(0);
    m_timeBegin.SetDateTime(TodayAt(0, 0));
    m_timeEnd.SetDateTime(TodayAt(0, 0));
    ShowEditor(false);
}

void CDlgSetupRecord::ShowEditor(bool show) {
    for (UINT id : kEditorIds) {
        if (CWnd* item = GetDlgItem(id))
            item->ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
}

void CDlgSetupRecord::ClearRows() {
    m_listSchedule.DeleteAllItems();
    m_listSchedule.UpdateHeaderCheck();
}

void CDlgSetupRecord::OnShown() {
    ClearRows();
    ResetEditor();
}

void CDlgSetupRecord::OnChannelChange(int /*ch*/) {
    // The rows belong to the channel that was shown; the chosen channel's reply refills them.
    ClearRows();
    ShowEditor(false);
}

bool CDlgSetupRecord::CompletesLoad(int replyType) const {
    return replyType == SETUP_REPLY_SCHEDULE;
}

void CDlgSetupRecord::FillFromDevice(int replyType, int index) {
    if (replyType != SETUP_REPLY_SCHEDULE)
        return;
    DVRDevice* device = CurrentDevice();
    if (index < 0 || index >= AddressableChannels(device))
        return;
    uint32_t words[SCHEDULE_ENTRY_COUNT];
    std::copy_n(device->channels[index].recordSchedule, SCHEDULE_ENTRY_COUNT, words);
    ClearRows();
    for (int i = 0; i < SCHEDULE_ENTRY_COUNT; ++i) {
        ScheduleRow row = ScheduleRowFromWord(words[i]);
        int item = m_listSchedule.InsertItem(i, QString::number(i + 1));
        if (item < 0)
            continue;
        m_listSchedule.SetCheck(item, row.enabled ? TRUE : FALSE);
        m_listSchedule.SetItemText(item, kRangeColumn, RangeText(ScheduleRowRange(row.itemData)));
        m_listSchedule.SetItemText(item, kBeginColumn, row.begin);
        m_listSchedule.SetItemText(item, kEndColumn, row.end);
        m_listSchedule.SetItemText(item, kTypeColumn, TypeText(ScheduleRowType(row.itemData)));
        m_listSchedule.SetItemData(item, row.itemData);
    }
    m_listSchedule.UpdateHeaderCheck();
}

BOOL CDlgSetupRecord::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr != nullptr && hdr->idFrom == IDC_RECORD_SCHEDULE && hdr->code == NM_CLICK) {
        // A click off the rows leaves no row selected, whether or not the list has dropped its
        // selection by the time it reports the click.
        const auto* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
        LoadEntryEditor(click->iItem < 0 ? -1 : m_listSchedule.GetNextItem(-1, LVNI_SELECTED));
        *pResult = 0;
        return TRUE;
    }
    return CSetupPage::OnNotify(wParam, lParam, pResult);
}

BOOL CDlgSetupRecord::OnPageCommand(UINT id, UINT code) {
    if (id == IDC_RECORD_EDIT && code == BN_CLICKED) {
        StoreEntry();
        return TRUE;
    }
    return FALSE;
}

void CDlgSetupRecord::LoadEntryEditor(int row) {
    ShowEditor(row >= 0);
    if (row < 0 || row >= m_listSchedule.GetItemCount() || CurrentDevice() == nullptr)
        return;
    auto data = static_cast<uint32_t>(m_listSchedule.GetItemData(row));
    // A code the list lacks leaves it without a selection, so Edit keeps the row's code.
    SelectComboData(m_cboRange, ScheduleRowRange(data), false);
    // A time a picker cannot show (hour above 23, minute above 59) shows as 00:00; the row keeps its
    // own value until Edit is pressed.
    const std::pair<int, CDateTimeCtrl*> pickers[] = {{kBeginColumn, &m_timeBegin}, {kEndColumn, &m_timeEnd}};
    for (const auto& [column, picker] : pickers) {
        int hour = 0;
        int minute = 0;
        if (ParseScheduleTime(m_listSchedule.GetItemText(row, column), &hour, &minute) != 0)
            continue;
        bool valid = hour <= 23 && minute <= 59;
        picker->SetDateTime(valid ? TodayAt(hour, minute) : TodayAt(0, 0));
    }
    SelectComboData(m_cboType, ScheduleRowType(data), false);
}

void CDlgSetupRecord::StoreEntry() {
    int row = m_listSchedule.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return;
    auto data = static_cast<uint32_t>(m_listSchedule.GetItemData(row));
    // A combo without a selection keeps the row's own code and text.
    int rangeItem = m_cboRange.GetCurSel();
    int range =
        rangeItem >= 0 ? static_cast<int>(m_cboRange.GetItemData(rangeItem) & 0xFF) : ScheduleRowRange(data);
    QString rangeText = m_listSchedule.GetItemText(row, kRangeColumn);
    if (rangeItem >= 0)
        m_cboRange.GetLBText(rangeItem, rangeText);
    int typeItem = m_cboType.GetCurSel();
    int type =
        typeItem >= 0 ? static_cast<int>(m_cboType.GetItemData(typeItem) & 0xFF) : ScheduleRowType(data);
    QString typeText = m_listSchedule.GetItemText(row, kTypeColumn);
    if (typeItem >= 0)
        m_cboType.GetLBText(typeItem, typeText);
    // The empty day range is known by its code, whatever text a language gives it.
    if (range == SCHEDULE_RANGE_NONE) {
        m_listSchedule.SetItemText(row, kRangeColumn, QString());
        m_listSchedule.SetItemText(row, kBeginColumn, QString());
        m_listSchedule.SetItemText(row, kEndColumn, QString());
    } else {
        m_listSchedule.SetItemText(row, kRangeColumn, rangeText);
        m_listSchedule.SetItemText(row, kBeginColumn, PickerText(m_timeBegin));
        m_listSchedule.SetItemText(row, kEndColumn, PickerText(m_timeEnd));
    }
    m_listSchedule.SetItemText(row, kTypeColumn, typeText);
    m_listSchedule.SetItemData(row, ScheduleItemData(type, range));
}

ScheduleRow CDlgSetupRecord::Row(int row) const {
    ScheduleRow r;
    r.enabled = m_listSchedule.GetCheck(row) > 0;
    r.itemData = static_cast<uint32_t>(m_listSchedule.GetItemData(row));
    r.begin = m_listSchedule.GetItemText(row, kBeginColumn);
    r.end = m_listSchedule.GetItemText(row, kEndColumn);
    return r;
}

int CDlgSetupRecord::PackSchedule(int channel) {
    DVRDevice* device = CurrentDevice();
    if (channel < 0 || channel >= AddressableChannels(device))
        return -1;
    // Only a full schedule of the chosen channel is packed: before its reply the rows are not its own.
    if (!IsLoaded() || m_listSchedule.GetItemCount() != SCHEDULE_ENTRY_COUNT)
        return -1;
    uint32_t words[SCHEDULE_ENTRY_COUNT];
    for (int i = 0; i < SCHEDULE_ENTRY_COUNT; ++i)
        words[i] = ScheduleWordFromRow(Row(i));
    uint32_t* record = device->channels[channel].recordSchedule;
    if (std::equal(words, words + SCHEDULE_ENTRY_COUNT, record))
        return -1;
    std::copy_n(words, SCHEDULE_ENTRY_COUNT, record);
    return 0;
}

int CDlgSetupRecord::Collect(int channel) {
    return PackSchedule(channel);
}
