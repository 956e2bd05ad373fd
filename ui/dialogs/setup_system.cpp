#include "ui/dialogs/setup_system.h"

#include <new>

#include "core/disk_list.h"
#include "core/language_list.h"
#include "core/window_messages.h"
#include "dvr/device_list_node.h"
#include "dvr/dvr_device.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/edit.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/disk_rows.h"
#include "ui/dialogs/field_refusal.h"
#include "ui/dialogs/setup_combo.h"

namespace {

constexpr int kFolderMaxChars = 255;

const DialogText kTexts[] = {
    {IDC_SETUP_SAVED_NOTICE, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
    {1151, "DLGSETUPSYSTEM_STATIC_RECORD_PARAMS", "Record parameters"},
    {1152, "DLGSETUPSYSTEM_STATIC_SYSTEM_PARAMS", "System parameters"},
    {1109, "DLGSETUPSYSTEM_STATIC_DISKS", "Record disk:"},
    {1110, "DLGSETUPSYSTEM_STATIC_RECORD_DIR", "Record's directory name:"},
    {1111, "DLGSETUPSYSTEM_STATIC_SNAPSHOT_PATH", "Snapshot's path:"},
    {IDC_SETUP_SYSTEM_FULL_ACTION, "DLGSETUPSYSTEM_CHECK_FULLACTION",
     "Delete the oldest records when disk is full."},
    {1112, "DLGSETUPSYSTEM_STATIC_VIDEO_STANDARD", "Video standard:"},
    {1113, "DLGSETUPSYSTEM_STATIC_MUX_MODE", "Video mux mode:"},
    {1114, "DLGSETUPSYSTEM_STATIC_LANGUAGE", "Language:"},
    {IDC_SETUP_SYSTEM_ADD, "DLGSETUPSYSTEM_BUTTON_ADD", "Add.."},
    {1115, "DLGSETUPSYSTEM_STATIC_SCROLL_INTERVAL", "Screen auto-scroll interval(Seconds):"},
    {IDC_SETUP_SYSTEM_BEEP, "DLGSETUPSYSTEM_STATIC_ENABLE_BEEP", "Enable beep when alarm detected"},
    {IDC_SETUP_SYSTEM_AUTORUN, "DLGSETUPSYSTEM_STATIC_ENABLE_AUTORUN", "Autorun when system started"},
    {IDC_SETUP_SYSTEM_UPDATE, "DLGSETUPSYSTEM_STATIC_ENABLE_UPDATE", "Enable automatic update"},
    {IDOK, "DLGSETUPSYSTEM_BUTTON_OK", "Set"},
    {IDCANCEL, "DLGSETUPSYSTEM_BUTTON_CANCEL", "Exit"},
};

}  // namespace

CSetupPage* NewSetupSystemPage(CWnd* owner) {
    return new (std::nothrow) CDlgSetupSystem(owner);
}

CDlgSetupSystem::CDlgSetupSystem(CWnd* pOwner)
    : CSetupPage(IDD_DLG_SETUP_SYSTEM, pOwner, SETUP_PAGE_SYSTEM, SetupPageKind::Plain) {}

void CDlgSetupSystem::DoDataExchange(CDataExchange* pDX) {
    CSetupPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SETUP_SYSTEM_DISKS, m_listDisks);
    DDX_Control(pDX, IDC_SETUP_SYSTEM_VIDEO_STANDARD, m_cboVideoStandard);
    DDX_Control(pDX, IDC_SETUP_SYSTEM_MUX_MODE, m_cboMuxMode);
    DDX_Control(pDX, IDC_SETUP_SYSTEM_LANGUAGE, m_cboLanguage);
}

void CDlgSetupSystem::ApplyLanguage() {
    ApplyDialogTexts(this, kTexts);
    SetDiskListColumns(m_listDisks);
    FillDiskList();
    const int selected = m_cboMuxMode.GetCurSel();
    m_cboMuxMode.ResetContent();
    AddComboItem(m_cboMuxMode, LanguageText("DLGSETUPSYSTEM_COMBO_MUXMODE_0", "1Chipx4CH"), 1);
    AddComboItem(m_cboMuxMode, LanguageText("DLGSETUPSYSTEM_COMBO_MUXMODE_1", "1Chipx8CH"), 2);
    m_cboMuxMode.SetCurSel(selected >= 0 ? selected : 0);
}

void CDlgSetupSystem::ResetControls() {
    for (UINT id : {IDC_SETUP_SYSTEM_RECORD_DIR, IDC_SETUP_SYSTEM_SNAPSHOT}) {
        if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(id)))
            edit->LimitText(kFolderMaxChars);
    }
    SetItemText(this, IDC_SETUP_SYSTEM_RECORD_DIR, QString());
    SetItemText(this, IDC_SETUP_SYSTEM_SNAPSHOT, QString());
    SetItemText(this, IDC_SETUP_SYSTEM_INTERVAL, QString());
    CheckItem(this, IDC_SETUP_SYSTEM_FULL_ACTION, 0);
    m_cboVideoStandard.ResetContent();
    AddComboItem(m_cboVideoStandard, QStringLiteral("PAL"), 1);
    AddComboItem(m_cboVideoStandard, QStringLiteral("NTSC"), 0);
    m_cboVideoStandard.SetCurSel(-1);
}

void CDlgSetupSystem::FillDiskList() {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr)
        return;
    const auto disks = device->lists.disks.Current();
    if (disks == nullptr)
        return;
    m_listDisks.SetRedraw(FALSE);
    m_listDisks.DeleteAllItems();
    int row = 0;
    for (const DVRDiskInfo& disk : *disks)
        AddDiskRow(m_listDisks, row++, disk);
    m_listDisks.SetRedraw(TRUE);
}

void CDlgSetupSystem::FillLanguageCombo() {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr)
        return;
    const auto languages = device->lists.languages.Current();
    if (languages == nullptr)
        return;
    m_cboLanguage.ResetContent();
    for (const DVRLanguageInfo& language : *languages)
        AddComboItem(m_cboLanguage, NodeText(language.name), language.index);
    m_cboLanguage.SetCurSel(-1);
}

void CDlgSetupSystem::FillValues() {
    const SystemSettings& s = *CurrentDevice()->systemParams;
    CheckDiskRows(m_listDisks, NodeText(s.RecordDisks));
    SetItemText(this, IDC_SETUP_SYSTEM_RECORD_DIR, NodeText(s.RecordDir));
    SetItemText(this, IDC_SETUP_SYSTEM_SNAPSHOT, NodeText(s.SnapshotPath));
    CheckItem(this, IDC_SETUP_SYSTEM_FULL_ACTION, s.DiskFullAction);
    // A value no item carries is left unselected rather than shown as the first item: Set would otherwise
    // write that item over the DVR's value, which the operator never chose.
    SelectComboData(m_cboVideoStandard, s.VideoStandard, false);
    SelectComboData(m_cboMuxMode, s.MuxMode, false);
    SelectComboData(m_cboLanguage, s.Language, false);
    SetItemText(this, IDC_SETUP_SYSTEM_INTERVAL, QString::number(s.ScrollInterval));
    CheckItem(this, IDC_SETUP_SYSTEM_BEEP, s.EnableBeep);
    CheckItem(this, IDC_SETUP_SYSTEM_AUTORUN, s.Autorun);
    CheckItem(this, IDC_SETUP_SYSTEM_UPDATE, s.EnableUpdate);
}

void CDlgSetupSystem::FillFromDevice(int replyType, int index) {
    (void)index;
    DVRDevice* device = CurrentDevice();
    if (device == nullptr || device->systemParams == nullptr)
        return;
    if (replyType == SETUP_REPLY_SYSTEM)
        FillValues();
    else if (replyType == SETUP_REPLY_DISKS)
        FillDiskList();
    else if (replyType == SETUP_REPLY_LANGUAGES)
        FillLanguageCombo();
}

bool CDlgSetupSystem::CompletesLoad(int replyType) const {
    return replyType == SETUP_REPLY_SYSTEM;
}

SetupSystemControls CDlgSetupSystem::ReadControls() const {
    SetupSystemControls c;
    c.recordDisks = CheckedDiskLetters(m_listDisks);
    c.recordDir = ItemText(this, IDC_SETUP_SYSTEM_RECORD_DIR);
    c.snapshotPath = ItemText(this, IDC_SETUP_SYSTEM_SNAPSHOT);
    c.diskFullAction = ItemChecked(this, IDC_SETUP_SYSTEM_FULL_ACTION);
    c.videoStandard = SelectedComboData(m_cboVideoStandard);
    c.muxMode = SelectedComboData(m_cboMuxMode);
    c.language = SelectedComboData(m_cboLanguage);
    c.scrollInterval = ItemText(this, IDC_SETUP_SYSTEM_INTERVAL);
    c.enableBeep = ItemChecked(this, IDC_SETUP_SYSTEM_BEEP);
    c.autorun = ItemChecked(this, IDC_SETUP_SYSTEM_AUTORUN);
    c.enableUpdate = ItemChecked(this, IDC_SETUP_SYSTEM_UPDATE);
    return c;
}

int CDlgSetupSystem::Collect(int channel) {
    (void)channel;
    DVRDevice* device = CurrentDevice();
    if (device == nullptr || device->systemParams == nullptr)
        return -1;
    // Both folders must reach the DVR as typed: nothing is written while one does not fit its field.
    static constexpr TextFieldRule kFields[] = {
        {IDC_SETUP_SYSTEM_RECORD_DIR, TextFieldKind::Text},
        {IDC_SETUP_SYSTEM_SNAPSHOT, TextFieldKind::Text},
    };
    if (!CheckFieldTexts(this, kFields))
        return COLLECT_REFUSED;
    int restart = 0;
    const int result = CollectSetupSystem(ReadControls(), device->systemParams.get(), &restart);
    if (result == SETUP_SYSTEM_NO_DISK) {
        AfxMessageBox(
            LanguageText("DLGSETUPSYSTEM_MSG_DISK_INVALID", "Please select one as the record disk at least!"),
            MB_OK);
        return COLLECT_REFUSED;
    }
    if (result != SETUP_SYSTEM_CHANGED)
        return -1;
    // Told before the save goes out.
    if (restart)
        AfxMessageBox(LanguageText("DLGSETUPSYSTEM_MSG_NEED_RESTART",
                                   "You need to restart this program to make these settings take affect!"),
                      MB_OK);
    return 0;
}

void CDlgSetupSystem::BrowseSnapshotPath() {
    QString folder;
    if (BrowseForFolder(this, QString(), &folder) == 0 && !folder.isEmpty())
        SetItemText(this, IDC_SETUP_SYSTEM_SNAPSHOT, folder);
}

BOOL CDlgSetupSystem::OnPageCommand(UINT id, UINT code) {
    if (code != BN_CLICKED)
        return FALSE;
    if (id == IDC_SETUP_SYSTEM_BROWSE) {
        BrowseSnapshotPath();
        return TRUE;
    }
    // "Add.." has no action on this page.
    return id == IDC_SETUP_SYSTEM_ADD ? TRUE : FALSE;
}
