#pragma once

// The updater's main dialog: the window of UpdaterDialogLogic, on the window layer.

#include <QIcon>

#include "platform/ui/dialog.h"
#include "updater/updater_dialog_logic.h"
#include "updater/updater_startup.h"

class CUpdaterDlg : public CDialog, public UpdaterDialogHost {
public:
    CUpdaterDlg(const UpdaterPaths& paths, int silent, CWnd* pParent = nullptr);
    ~CUpdaterDlg() override;

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The states of the dialog (tests show each of them).
    void SetState(int state, int value) { m_logic.SetState(state, value); }
    UpdaterDialogLogic& Logic() { return m_logic; }
    // Whether OnInitDialog starts the worker (tests that only look at the window leave it off).
    bool m_bStartWorker = true;

    // UpdaterDialogHost
    void SetItemText(UINT id, const QString& text) override;
    void ShowItem(UINT id, bool show) override;
    void SetProgressRange(int low, int high) override;
    void SetProgressPos(int pos) override;
    int GetProgressPos() const override;
    void SetTimer(uintptr_t id, UINT elapseMs) override;
    void KillTimer(uintptr_t id) override;
    void EndDialog(int result) override;
    bool ConfirmClientClose(int english, const std::vector<FoundProcess>& found) override;
    void FocusItem(UINT id) override;
    void Pause(int ms) override;
    void PostFromWorker(UINT msg, WPARAM wParam) override;

protected:
    void OnTimer(uintptr_t nIDEvent) override;

private:
    class CProgressCtrl* Progress() const;

    UpdaterPaths m_paths;
    QIcon m_hIcon;
    HWND m_hWndForWorker = nullptr;
    UpdaterDialogLogic m_logic;
};
