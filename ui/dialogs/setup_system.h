#pragma once

// The System page of the setup dialog (template 140): which of the DVR's disks it records on, its record
// folder and snapshot path, what it does when the disks are full, its video standard, mux mode, language,
// screen auto-scroll interval and three switches. Shown, it asks for the disk list, the language list and
// the system settings (in that order); Set writes a changed entry into the DVR's record, telling first
// when the DVR program must restart for it, and posts the save.

#include "platform/ui/combo_box.h"
#include "platform/ui/list_ctrl.h"
#include "ui/dialogs/setup_page.h"
#include "ui/dialogs/setup_system_fields.h"

constexpr UINT IDD_DLG_SETUP_SYSTEM = 140;
constexpr UINT IDC_SETUP_SYSTEM_DISKS = 1037;
constexpr UINT IDC_SETUP_SYSTEM_FULL_ACTION = 1038;
constexpr UINT IDC_SETUP_SYSTEM_RECORD_DIR = 1039;
constexpr UINT IDC_SETUP_SYSTEM_SNAPSHOT = 1040;
constexpr UINT IDC_SETUP_SYSTEM_BROWSE = 1041;
constexpr UINT IDC_SETUP_SYSTEM_VIDEO_STANDARD = 1042;
constexpr UINT IDC_SETUP_SYSTEM_MUX_MODE = 1043;
constexpr UINT IDC_SETUP_SYSTEM_INTERVAL = 1044;
constexpr UINT IDC_SETUP_SYSTEM_LANGUAGE = 1045;
constexpr UINT IDC_SETUP_SYSTEM_ADD = 1015;
constexpr UINT IDC_SETUP_SYSTEM_BEEP = 1239;
constexpr UINT IDC_SETUP_SYSTEM_AUTORUN = 1240;
constexpr UINT IDC_SETUP_SYSTEM_UPDATE = 1275;

class CDlgSetupSystem : public CSetupPage {
public:
    explicit CDlgSetupSystem(CWnd* pOwner);

    CListCtrl m_listDisks;
    CComboBox m_cboVideoStandard;
    CComboBox m_cboMuxMode;
    CComboBox m_cboLanguage;

    // What the controls hold now.
    SetupSystemControls ReadControls() const;
    // The folder browser; a chosen folder replaces the snapshot path.
    void BrowseSnapshotPath();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyLanguage() override;
    void ResetControls() override;
    void FillFromDevice(int replyType, int index) override;
    [[nodiscard]] int Collect(int channel) override;
    bool CompletesLoad(int replyType) const override;
    BOOL OnPageCommand(UINT id, UINT code) override;

private:
    void FillDiskList();
    void FillLanguageCombo();
    void FillValues();
};
