#pragma once

// The record schedule page of the setup dialog (template 144): the eight schedule entries of one channel
// in a check-box list, an editor for the selected entry (day range, begin and end time, record type;
// Edit writes it into the row), and Set / All Set, which pack the rows into the channel's schedule words
// (record_schedule.h) and ask for them to be sent. The rows belong to the channel whose schedule reply
// filled them: they are emptied when the page is shown and when another channel is chosen, and Set and
// All Set stay disabled until the chosen channel's schedule has arrived.

#include "platform/ui/combo_box.h"
#include "platform/ui/date_ctrls.h"
#include "ui/controls/check_list_ctrl.h"
#include "ui/dialogs/record_schedule.h"
#include "ui/dialogs/setup_page.h"

constexpr UINT IDD_SETUP_RECORD = 144;
constexpr UINT IDC_RECORD_SCHEDULE = 1246;
constexpr UINT IDC_RECORD_RANGE = 1242;
constexpr UINT IDC_RECORD_BEGIN = 1243;
constexpr UINT IDC_RECORD_END = 1244;
constexpr UINT IDC_RECORD_TYPE = 1245;
constexpr UINT IDC_RECORD_EDIT = 1016;

class CDlgSetupRecord : public CSetupPage {
public:
    explicit CDlgSetupRecord(CWnd* pOwner);

    CCheckListCtrl m_listSchedule;
    CDateTimeCtrl m_timeEnd;
    CDateTimeCtrl m_timeBegin;
    CComboBox m_cboRange;
    CComboBox m_cboType;

    // The editor back to its first items and 00:00, hidden.
    void ResetEditor();
    // Shows the editor with the row's values (hidden for -1).
    void LoadEntryEditor(int row);
    // Edit: the editor's values into the selected row; nothing is sent.
    void StoreEntry();
    // The rows as channel's eight schedule words: 0 when written into its record, -1 when they equal it,
    // when there is no such channel or when the rows are not the chosen channel's schedule.
    [[nodiscard]] int PackSchedule(int channel);
    // What row i holds.
    ScheduleRow Row(int row) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void ApplyLanguage() override;
    void ResetControls() override;
    void FillFromDevice(int replyType, int index) override;
    [[nodiscard]] int Collect(int channel) override;
    void OnShown() override;
    void OnChannelChange(int ch) override;
    bool CompletesLoad(int replyType) const override;
    BOOL OnPageCommand(UINT id, UINT code) override;

private:
    void ShowEditor(bool show);
    void ClearRows();
};
