#pragma once

// The status dialog's own pages: system information (template 151: this computer's system, processor and
// memory, and once a second the time, processor and memory load, once a minute the record disks' use),
// version information (152) and the two empty pages (153, 154). Enter does nothing on them; Escape or
// Exit tells the status dialog (WM_STATUS_PAGE_EXIT); WM_APPLY_LANGUAGE re-applies their texts.

#include <QDateTime>
#include <QString>
#include <memory>

#include "core/disk_list.h"
#include "core/system_info.h"
#include "platform/ui/dialog.h"

constexpr UINT IDD_DLG_STATUS_SYSTEM = 151;
constexpr UINT IDD_DLG_STATUS_SOFTWARE = 152;
constexpr UINT IDD_DLG_STATUS_USER = 153;
constexpr UINT IDD_DLG_STATUS_LOG = 154;
constexpr uintptr_t TIMER_STATUS_CLOCK = 4097;
constexpr uintptr_t TIMER_STATUS_DISK = 4098;
constexpr UINT IDC_STATUS_TIME = 1240;
constexpr UINT IDC_STATUS_CPU = 1241;
constexpr UINT IDC_STATUS_MEMORY = 1242;
constexpr UINT IDC_STATUS_DISK = 1243;

// "2026/12/10 17:08:12 GMT+08": the local time and the hours of its zone offset (west of UTC is
// negative, minutes dropped). offsetWestSeconds: the zone's distance from UTC, positive west of it.
QString FormatStatusTime(const QDateTime& local, long offsetWestSeconds);

// The base of the status pages: Enter does nothing, Escape and Exit tell the status dialog.
class CDlgStatusPage : public CDialog {
public:
    CDlgStatusPage(UINT nIDTemplate, CWnd* pParent);
    CWnd* m_pParent;

protected:
    void OnOK() override {}
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Re-applies the page's texts after a language switch.
    virtual void ApplyTexts() {}
};

class CDlgStatusSystem : public CDlgStatusPage {
public:
    explicit CDlgStatusSystem(CWnd* pParent);

    // Where the system information comes from ("" the running system; tests give a fixture folder).
    QString m_strInfoRoot;
    // Where the record disks' sizes come from (tests give their own).
    DiskSpaceFn m_pfnDiskSpace = GetDiskSpace;
    std::unique_ptr<CSystemInfo> m_pSysInfo;
    uintptr_t m_nClockTimer = 0;
    uintptr_t m_nDiskTimer = 0;

    void UpdateStatus();
    void UpdateDisk();

    BOOL DestroyWindow() override;

protected:
    BOOL OnInitDialog() override;
    void OnTimer(uintptr_t nIDEvent) override;
    void ApplyTexts() override;

private:
    void FillInfo();
};

class CDlgStatusSoftware : public CDlgStatusPage {
public:
    explicit CDlgStatusSoftware(CWnd* pParent) : CDlgStatusPage(IDD_DLG_STATUS_SOFTWARE, pParent) {}

protected:
    BOOL OnInitDialog() override;
    void ApplyTexts() override;
};

class CDlgStatusUser : public CDlgStatusPage {
public:
    explicit CDlgStatusUser(CWnd* pParent) : CDlgStatusPage(IDD_DLG_STATUS_USER, pParent) {}
};

class CDlgStatusLog : public CDlgStatusPage {
public:
    explicit CDlgStatusLog(CWnd* pParent) : CDlgStatusPage(IDD_DLG_STATUS_LOG, pParent) {}
};
