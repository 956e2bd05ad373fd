#include "ui/dialogs/dlg_config.h"

#include <QFileInfo>
#include <algorithm>
#include <new>

#include "core/disk_list.h"
#include "core/file_helpers.h"
#include "core/language_list.h"
#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "platform/system/autostart.h"
#include "platform/system/paths.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/edit.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/disk_rows.h"
#include "ui/dialogs/dlg_device.h"

namespace {

constexpr UINT kNoticeMs = 1000;
constexpr int kFolderMaxChars = 255;

const DialogText kTexts[] = {
    {IDC_CONFIG_SAVED, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
    {1151, "DLGSETUPSYSTEM_STATIC_RECORD_PARAMS", "Record parameters"},
    {1109, "DLGSETUPSYSTEM_STATIC_DISKS", "Record disk:"},
    {1110, "DLGSETUPSYSTEM_STATIC_RECORD_DIR", "Record's directory name:"},
    {1111, "DLGSETUPSYSTEM_STATIC_SNAPSHOT_PATH", "Snapshot's path:"},
    {IDC_CONFIG_FULL_ACTION, "DLGSETUPSYSTEM_CHECK_FULLACTION",
     "Delete the oldest records when disk is full."},
    {IDC_CONFIG_POPUP, "DLGSETUPSYSTEM_CHECK_POPUPMESSAGE", "Pop-up message box when snapshots."},
    {1152, "DLGSETUPSYSTEM_STATIC_SYSTEM_PARAMS", "System parameters"},
    {1112, "DLGSETUPSYSTEM_STATIC_VIDEO_STANDARD", "Video standard:"},
    {1113, "DLGSETUPSYSTEM_STATIC_MUX_MODE", "Video mux mode:"},
    {1114, "DLGSETUPSYSTEM_STATIC_LANGUAGE", "Language:"},
    {1115, "DLGSETUPSYSTEM_STATIC_SCROLL_INTERVAL", "Screen auto-scroll interval(Seconds):"},
    {IDC_CONFIG_BEEP, "DLGSETUPSYSTEM_STATIC_ENABLE_BEEP", "Enable beep when alarm detected"},
    {IDC_CONFIG_AUTORUN, "DLGSETUPSYSTEM_STATIC_ENABLE_AUTORUN", "Autorun when system started"},
    {IDC_CONFIG_UPDATE, "DLGSETUPSYSTEM_STATIC_ENABLE_UPDATE", "Enable automatic update"},
    {IDC_CONFIG_RGB, "DLGSETUPSYSTEM_STATIC_RGBMODE", "Enable RGB-mode"},
    {IDC_CONFIG_ADD_LANGUAGE, "DLGSETUPSYSTEM_BUTTON_ADD", "Add.."},
    {IDC_CONFIG_CHECK_UPDATE, "DLGSETUPSYSTEM_BUTTON_UPDATE", "Check Update.."},
    {IDC_CONFIG_DEVICE, "DLGCONFIG_BUTTON_DEVICE", "Edit Device List..."},
    {IDOK, "DLGSETUPSYSTEM_BUTTON_OK", "Set"},
    {IDCANCEL, "DLGSETUPSYSTEM_BUTTON_CANCEL", "Exit"},
};

void Message(const char* key, const char* english) {
    AfxMessageBox(LanguageText(key, english), MB_OK);
}

int SelectedData(const CComboBox& box) {
    int selected = box.GetCurSel();
    return selected >= 0 ? static_cast<int>(box.GetItemData(selected)) : 0;
}

}  // namespace

CDlgConfig::CDlgConfig(CWnd* pParent) : CDialog(IDD_DLG_CONFIG, pParent), m_pParent(pParent) {}

void CDlgConfig::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CONFIG_DISKS, m_listDisks);
    DDX_Control(pDX, IDC_CONFIG_LANGUAGE, m_cboLanguage);
    DDX_Control(pDX, IDC_CONFIG_VIDEO_STANDARD, m_cboVideoStandard);
    DDX_Control(pDX, IDC_CONFIG_MUX_MODE, m_cboMuxMode);
}

BOOL CDlgConfig::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nTimer = SetTimer(TIMER_SAVED_NOTICE, kNoticeMs);
    for (UINT id : {IDC_CONFIG_RECORD_DIR, IDC_CONFIG_SNAPSHOT}) {
        if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(id)))
            edit->LimitText(kFolderMaxChars);
    }
    ApplyTexts();
    ResetControls();
    return TRUE;
}

void CDlgConfig::ApplyTexts() {
    ApplyDialogTexts(this, kTexts);
    SetDiskListColumns(m_listDisks);
    FillDisks();
}

void CDlgConfig::ResetControls() {
    SetItemText(this, IDC_CONFIG_RECORD_DIR, QString());
    SetItemText(this, IDC_CONFIG_SNAPSHOT, QString());
    SetItemText(this, IDC_CONFIG_INTERVAL, QString());
    CheckItem(this, IDC_CONFIG_FULL_ACTION, 0);
    CheckItem(this, IDC_CONFIG_POPUP, 0);
    m_cboVideoStandard.ResetContent();
    m_cboVideoStandard.SetItemData(m_cboVideoStandard.AddString(QStringLiteral("PAL")), 1);
    m_cboVideoStandard.SetItemData(m_cboVideoStandard.AddString(QStringLiteral("NTSC")), 0);
    m_cboMuxMode.ResetContent();
    m_cboMuxMode.SetItemData(m_cboMuxMode.AddString(QStringLiteral("1x1")), 1);
    m_cboMuxMode.SetItemData(m_cboMuxMode.AddString(QStringLiteral("1x2")), 2);
    m_cboMuxMode.SetItemData(m_cboMuxMode.AddString(QStringLiteral("1x4")), 4);
    // Neither list gets a selection: both settings are collected as 0 and never change here.
    m_cboVideoStandard.SetCurSel(-1);
    m_cboMuxMode.SetCurSel(-1);
}

void CDlgConfig::FillDisks() {
    m_listDisks.DeleteAllItems();
    int row = 0;
    for (const DVRDiskInfo* disk = g_diskList.head; disk != nullptr; disk = disk->next, ++row)
        AddDiskRow(m_listDisks, row, *disk);
}

void CDlgConfig::FillLanguages() {
    m_cboLanguage.ResetContent();
    int position = 0;
    for (const DVRLanguageInfo* language = g_languageList.head; language != nullptr;
         language = language->next, ++position) {
        int entry = m_cboLanguage.AddString(QString::fromUtf16(language->name));
        m_cboLanguage.SetItemData(entry, static_cast<uintptr_t>(position));
    }
}

void CDlgConfig::LoadControls() {
    const SystemSettings& s = g_systemSettings;
    FillDisks();
    FillLanguages();
    CheckDiskRows(m_listDisks, QString::fromUtf16(s.RecordDisks));
    SetItemText(this, IDC_CONFIG_RECORD_DIR, QString::fromUtf16(s.RecordDir));
    SetItemText(this, IDC_CONFIG_SNAPSHOT, QString::fromUtf16(s.SnapshotPath));
    CheckItem(this, IDC_CONFIG_FULL_ACTION, s.DiskFullAction);
    CheckItem(this, IDC_CONFIG_POPUP, s.PopupMessage);
    int selected = 0;
    for (int i = 0; i < m_cboLanguage.GetCount(); ++i) {
        if (static_cast<int>(m_cboLanguage.GetItemData(i)) == s.Language)
            selected = i;
    }
    m_cboLanguage.SetCurSel(m_cboLanguage.GetCount() > 0 ? selected : -1);
    SetItemText(this, IDC_CONFIG_INTERVAL, QString::number(s.ScrollInterval));
    CheckItem(this, IDC_CONFIG_BEEP, s.EnableBeep);
    SetAutorun(s.Autorun);
    CheckItem(this, IDC_CONFIG_AUTORUN, IsAutorunSet());
    CheckItem(this, IDC_CONFIG_UPDATE, s.EnableUpdate);
    CheckItem(this, IDC_CONFIG_RGB, s.EnableRGB);
}

ConfigControls CDlgConfig::ReadControls() const {
    ConfigControls c;
    c.recordDisks = CheckedDiskLetters(m_listDisks);
    c.recordDir = ItemText(this, IDC_CONFIG_RECORD_DIR);
    c.snapshotPath = ItemText(this, IDC_CONFIG_SNAPSHOT);
    c.diskFullAction = ItemChecked(this, IDC_CONFIG_FULL_ACTION);
    c.popupMessage = ItemChecked(this, IDC_CONFIG_POPUP);
    c.videoStandard = SelectedData(m_cboVideoStandard);
    c.muxMode = SelectedData(m_cboMuxMode);
    c.language = SelectedData(m_cboLanguage);
    c.scrollInterval = ItemText(this, IDC_CONFIG_INTERVAL);
    c.enableBeep = ItemChecked(this, IDC_CONFIG_BEEP);
    c.autorun = ItemChecked(this, IDC_CONFIG_AUTORUN);
    c.enableUpdate = ItemChecked(this, IDC_CONFIG_UPDATE);
    c.enableRGB = ItemChecked(this, IDC_CONFIG_RGB);
    return c;
}

void CDlgConfig::OnOK() {
    const ConfigControls controls = ReadControls();
    // The start-with-session entry follows its box at once, whatever else is collected.
    if (controls.recordDisks.isEmpty()) {
        WithdrawSavedNotice(this, IDC_CONFIG_SAVED, &m_nSavedTicks);
        Message("DLGSETUPSYSTEM_MSG_DISK_INVALID", "Please select one as the record disk at least!");
        return;
    }
    if (controls.autorun != IsAutorunSet())
        SetAutorun(controls.autorun);
    ConfigChange change;
    if (CollectConfigSettings(controls, &g_systemSettings, &change) != CONFIG_CHANGED)
        return;
    if (change.restart)
        Message("DLGSETUPSYSTEM_MSG_NEED_RESTART",
                "You need to restart this program to make these settings take affect!");
    SaveConfigSettings(theApp.m_iniSystem, g_systemSettings);
    if (change.language && m_pParent != nullptr)
        m_pParent->PostMessage(WM_LANGUAGE_CHANGED, 0, 0);
    m_nSavedTicks = SAVED_NOTICE_TICKS;
}

void CDlgConfig::OnTimer(uintptr_t nIDEvent) {
    if (nIDEvent != TIMER_SAVED_NOTICE) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    m_nSavedTicks = m_nSavedTicks > 0 ? m_nSavedTicks - 1 : 0;
    if (CWnd* notice = GetDlgItem(IDC_CONFIG_SAVED))
        notice->ShowWindow(m_nSavedTicks > 0 ? SW_SHOW : SW_HIDE);
}

void CDlgConfig::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    if (bShow)
        LoadControls();
}

BOOL CDlgConfig::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_APPLY_LANGUAGE) {
        ApplyTexts();
        LoadControls();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CDlgConfig::OnBrowseSnapshot() {
    QString folder;
    if (BrowseForFolder(this, QString(), &folder) == 0 && !folder.isEmpty())
        SetItemText(this, IDC_CONFIG_SNAPSHOT, folder);
}

void CDlgConfig::OnAddLanguage() {
    CFileDialog dialog(TRUE, QString(), QString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       QStringLiteral("All Files (*.*)|*.*||"), this);
    if (dialog.DoModal() != IDOK)
        return;
    const QString path = dialog.GetPathName();
    const QString name = CIniFile(path).GetText(QStringLiteral("TEXT"), QStringLiteral("Name"));
    if (name.isEmpty()) {
        Message("DLGSETUPSYSTEM_MSG_FILE_INVALID", "Invalid language file, please select again!");
        return;
    }
    for (int i = 0; i < m_cboLanguage.GetCount(); ++i) {
        QString listed;
        m_cboLanguage.GetLBText(i, listed);
        if (listed.compare(name, Qt::CaseInsensitive) == 0) {
            Message("DLGSETUPSYSTEM_MSG_FILE_FOUND",
                    "This language is already existed, please do not add twice!");
            return;
        }
    }
    const int count = m_cboLanguage.GetCount();
    CIniFile languageIni(theApp.m_strAppDir + QStringLiteral("language.ini"));
    languageIni.WriteInt(QStringLiteral("LANGUAGE"), QStringLiteral("Number"), count + 1);
    languageIni.WriteString(QString::number(count), QStringLiteral("File"), path);

    auto* info = new (std::nothrow) DVRLanguageInfo{};
    if (info != nullptr) {
        info->index = count;
        const qsizetype n = name.size() < 255 ? name.size() : 255;
        std::copy_n(reinterpret_cast<const char16_t*>(name.utf16()), n, info->name);
        DVRLanguageInfo** tail = &g_languageList.head;
        while (*tail != nullptr)
            tail = &(*tail)->next;
        *tail = info;
        ++g_languageList.count;
    }
    FillLanguages();
    m_cboLanguage.SetCurSel(count);
}

void CDlgConfig::RunDeviceList() {
    CDlgDevice dialog;
    dialog.DoModal();
}

void CDlgConfig::OnCheckUpdate() {
    const QString updater = theApp.m_strAppDir + QStringLiteral("Updater");
    if (QFileInfo::exists(ToNativePath(updater)))
        RunProgram(SW_SHOW, updater, QString(), theApp.m_strAppDir, 0);
}

void CDlgConfig::OnCancel() {
    if (m_pParent != nullptr)
        m_pParent->PostMessage(WM_STATUS_PAGE_EXIT, 0, 0);
}

BOOL CDlgConfig::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case IDC_CONFIG_BROWSE:
                OnBrowseSnapshot();
                return TRUE;
            case IDC_CONFIG_ADD_LANGUAGE:
                OnAddLanguage();
                return TRUE;
            case IDC_CONFIG_DEVICE:
                RunDeviceList();
                return TRUE;
            case IDC_CONFIG_CHECK_UPDATE:
                OnCheckUpdate();
                return TRUE;
            default:
                break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CDlgConfig::DestroyWindow() {
    if (m_nTimer != 0)
        KillTimer(m_nTimer);
    m_nTimer = 0;
    return CDialog::DestroyWindow();
}
