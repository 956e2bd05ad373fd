#pragma once

// The client settings page (template 340), the status dialog's first tab: record disks and folder,
// snapshot folder, disk-full action, snapshot notice, language (and adding a language file), auto-scroll
// interval, alarm beep, start with the session, automatic update and RGB drawing. Every showing reloads
// the controls from g_systemSettings; Set takes a changed entry into g_systemSettings, writes it to
// system.ini, tells the status dialog of a language change (WM_LANGUAGE_CHANGED) and shows "Saved." for
// two ticks. It also opens the device list and starts Updater.

#include "platform/ui/combo_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/list_ctrl.h"
#include "ui/dialogs/config_settings.h"
#include "ui/dialogs/saved_notice.h"

constexpr UINT IDD_DLG_CONFIG = 340;
constexpr UINT IDC_CONFIG_SAVED = 1307;
constexpr UINT IDC_CONFIG_DISKS = 1037;
constexpr UINT IDC_CONFIG_RECORD_DIR = 1039;
constexpr UINT IDC_CONFIG_SNAPSHOT = 1040;
constexpr UINT IDC_CONFIG_BROWSE = 1041;
constexpr UINT IDC_CONFIG_VIDEO_STANDARD = 1042;
constexpr UINT IDC_CONFIG_MUX_MODE = 1043;
constexpr UINT IDC_CONFIG_INTERVAL = 1044;
constexpr UINT IDC_CONFIG_LANGUAGE = 1045;
constexpr UINT IDC_CONFIG_FULL_ACTION = 1038;
constexpr UINT IDC_CONFIG_POPUP = 1276;
constexpr UINT IDC_CONFIG_BEEP = 1239;
constexpr UINT IDC_CONFIG_AUTORUN = 1240;
constexpr UINT IDC_CONFIG_UPDATE = 1275;
constexpr UINT IDC_CONFIG_RGB = 1305;
constexpr UINT IDC_CONFIG_ADD_LANGUAGE = 1015;
constexpr UINT IDC_CONFIG_DEVICE = 1244;
constexpr UINT IDC_CONFIG_CHECK_UPDATE = 1248;

class CDlgConfig : public CDialog {
public:
    explicit CDlgConfig(CWnd* pParent);

    CListCtrl m_listDisks;
    CComboBox m_cboLanguage;
    CComboBox m_cboVideoStandard;
    CComboBox m_cboMuxMode;
    CWnd* m_pParent;
    int m_nSavedTicks = 0;
    uintptr_t m_nTimer = 0;

    void LoadControls();
    // What the controls hold now.
    ConfigControls ReadControls() const;
    void OnAddLanguage();
    void OnBrowseSnapshot();

    BOOL DestroyWindow() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    void OnTimer(uintptr_t nIDEvent) override;
    // Runs the device list dialog modally.
    virtual void RunDeviceList();

private:
    void ApplyTexts();
    void ResetControls();
    void FillDisks();
    void FillLanguages();
    void OnCheckUpdate();
};
