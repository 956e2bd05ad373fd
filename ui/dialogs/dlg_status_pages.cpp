#include "ui/dialogs/dlg_status_pages.h"

#include <ctime>

#include "core/app_version.h"
#include "core/disk_list.h"
#include "core/language_format.h"
#include "core/system_settings.h"
#include "core/window_messages.h"
#include "ui/dialogs/dialog_texts.h"

namespace {

constexpr UINT kClockMs = 1000;
constexpr UINT kDiskMs = 60000;
// Used when the zone offset cannot be read.
constexpr long kDefaultOffsetWest = 28800;
constexpr char kProductName[] = "Vistal";
constexpr char kReleaseDate[] = "2013/05/22";

const DialogText kSystemTexts[] = {
    {1222, "DLGSTATUSSYSTEM_STATIC_SYSTEM_INFO", "System information"},
    {1223, "DLGSTATUSSYSTEM_STATIC_OS_INFO", "Operation system information:"},
    {1225, "DLGSTATUSSYSTEM_STATIC_CPU_INFO", "CPU information:"},
    {1227, "DLGSTATUSSYSTEM_STATIC_MEM_INFO", "Phsical memory information:"},
    {1229, "DLGSTATUSSYSTEM_STATIC_MAINBOARD_INFO", "Mainboard information:"},
    {1231, "DLGSTATUSSYSTEM_STATIC_DISPLAYCARD_INFO", "Display card information:"},
    {1233, "DLGSTATUSSYSTEM_STATIC_NETWORKCARD_INFO", "Network card information:"},
    {1235, "DLGSTATUSSYSTEM_STATIC_SYSTEM_STATUS", "System status"},
    {1236, "DLGSTATUSSYSTEM_STATIC_TIME_STATUS", "Current time:"},
    {1237, "DLGSTATUSSYSTEM_STATIC_CPU_STATUS", "CPU status:"},
    {1238, "DLGSTATUSSYSTEM_STATIC_MEM_STATUS", "Memory status:"},
    {1239, "DLGSTATUSSYSTEM_STATIC_DISK_STATUS", "Disk status:"},
    {IDCANCEL, "DLGSTATUSSYSTEM_BUTTON_IDCANCEL", "Exit"},
};

const DialogText kSoftwareTexts[] = {
    {1217, "DLGSTATUSSOFTWARE_STATIC_VERSION_INFO", "Version information"},
    {IDCANCEL, "DLGSTATUSSOFTWARE_BUTTON_EXIT", "Exit"},
};

// The local zone's distance from UTC in seconds, positive west of it.
long LocalOffsetWest() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return kDefaultOffsetWest;
    return -local.tm_gmtoff;
}

}  // namespace

QString FormatStatusTime(const QDateTime& local, long offsetWestSeconds) {
    const QChar sign = offsetWestSeconds > 0 ? u'-' : u'+';
    long hours = offsetWestSeconds / 3600;
    if (hours < 0)
        hours = -hours;
    return QStringLiteral("%1 GMT%2%3")
        .arg(local.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
        .arg(sign)
        .arg(hours, 2, 10, QLatin1Char('0'));
}

CDlgStatusPage::CDlgStatusPage(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_pParent(pParent) {}

void CDlgStatusPage::OnCancel() {
    if (m_pParent != nullptr)
        m_pParent->PostMessage(WM_STATUS_PAGE_EXIT, 0, 0);
}

BOOL CDlgStatusPage::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_APPLY_LANGUAGE) {
        ApplyTexts();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

CDlgStatusSystem::CDlgStatusSystem(CWnd* pParent) : CDlgStatusPage(IDD_DLG_STATUS_SYSTEM, pParent) {}

BOOL CDlgStatusSystem::OnInitDialog() {
    CDialog::OnInitDialog();
    m_pSysInfo = std::make_unique<CSystemInfo>(m_strInfoRoot);
    ApplyTexts();
    FillInfo();
    m_nClockTimer = SetTimer(TIMER_STATUS_CLOCK, kClockMs);
    m_nDiskTimer = SetTimer(TIMER_STATUS_DISK, kDiskMs);
    return TRUE;
}

void CDlgStatusSystem::ApplyTexts() {
    ApplyDialogTexts(this, kSystemTexts);
    UpdateStatus();
    UpdateDisk();
}

void CDlgStatusSystem::FillInfo() {
    SetItemText(this, 1224, m_pSysInfo->GetOsText());
    SetItemText(this, 1226, m_pSysInfo->GetCpuName());
    SetItemText(this, 1228, m_pSysInfo->GetMemoryText());
    SetItemText(this, 1230, m_pSysInfo->GetMainboardText());
    SetItemText(this, 1232, m_pSysInfo->GetDisplayCardText());
    SetItemText(this, 1234, m_pSysInfo->GetNetworkCardText());
    for (UINT id = 1229; id <= 1234; ++id) {
        if (CWnd* item = GetDlgItem(id))
            item->ShowWindow(SW_HIDE);
    }
    UpdateDisk();
}

void CDlgStatusSystem::UpdateStatus() {
    SetItemText(this, IDC_STATUS_TIME, FormatStatusTime(QDateTime::currentDateTime(), LocalOffsetWest()));
    if (m_pSysInfo == nullptr)
        return;
    const QString percent = QStringLiteral("Current used: %d%%");
    SetItemText(this, IDC_STATUS_CPU,
                FormatWithInt(GetLanguageFormat(QStringLiteral("DLGSTATUSSYSTEM_STATIC_CPU_VALUE"), percent),
                              m_pSysInfo->GetCpuUsage()));
    SetItemText(this, IDC_STATUS_MEMORY,
                FormatWithInt(GetLanguageFormat(QStringLiteral("DLGSTATUSSYSTEM_STATIC_MEM_VALUE"), percent),
                              GetMemoryLoad(m_strInfoRoot)));
}

void CDlgStatusSystem::UpdateDisk() {
    QString freeText;
    int used =
        GetRecordDiskUsage(QString::fromUtf16(g_systemSettings.RecordDisks), &freeText, m_pfnDiskSpace);
    const QString format = GetLanguageFormat(QStringLiteral("DLGSTATUSSYSTEM_STATIC_DISK_VALUE"),
                                             QStringLiteral("Current used: %d%%, free space: %s"));
    SetItemText(this, IDC_STATUS_DISK, FormatWithIntAndText(format, used, freeText));
}

void CDlgStatusSystem::OnTimer(uintptr_t nIDEvent) {
    if (nIDEvent == TIMER_STATUS_CLOCK)
        UpdateStatus();
    else if (nIDEvent == TIMER_STATUS_DISK)
        UpdateDisk();
    else
        CDialog::OnTimer(nIDEvent);
}

BOOL CDlgStatusSystem::DestroyWindow() {
    if (m_nClockTimer != 0)
        KillTimer(m_nClockTimer);
    if (m_nDiskTimer != 0)
        KillTimer(m_nDiskTimer);
    m_nClockTimer = 0;
    m_nDiskTimer = 0;
    m_pSysInfo.reset();
    return CDialog::DestroyWindow();
}

BOOL CDlgStatusSoftware::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyTexts();
    return TRUE;
}

void CDlgStatusSoftware::ApplyTexts() {
    ApplyDialogTexts(this, kSoftwareTexts);
    const struct {
        UINT id;
        const char* key;
        const char* english;
        const char* value;
    } lines[] = {
        {1155, "DLGSTATUSSOFTWARE_STATIC_NAME", "Product name: %s", kProductName},
        {1219, "DLGSTATUSSOFTWARE_STATIC_VERSION", "Software version: %s", IDS_APP_VERSION},
        {1220, "DLGSTATUSSOFTWARE_STATIC_DATE", "Release date: %s", kReleaseDate},
    };
    for (const auto& line : lines) {
        QString format = GetLanguageFormat(QString::fromLatin1(line.key), QString::fromLatin1(line.english));
        SetItemText(this, line.id, FormatWithText(format, QString::fromLatin1(line.value)));
    }
}
