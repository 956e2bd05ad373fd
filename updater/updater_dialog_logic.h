#pragma once

// The behaviour of the updater's main dialog, apart from its window: the states and their texts, the
// progress and auto-close timers, the messages from the worker, and the "Update Now" sequence. The window
// that shows it implements UpdaterDialogHost; tests drive it with a host of their own and call OnTimer
// themselves.

#include <QString>

#include "core/worker_threads.h"
#include "platform/system/win_types.h"
#include "updater/close_client.h"
#include "updater/update_worker.h"

// Control ids of the main dialog.
constexpr UINT IDC_UPDATER_STATE_TEXT = 1000;
constexpr UINT IDC_UPDATER_PROGRESS = 1002;
constexpr UINT IDC_UPDATER_OK = 1;      // "Update Now"
constexpr UINT IDC_UPDATER_CANCEL = 2;  // "Cancel" / "Finish"
constexpr int IDCANCEL_RESULT = 2;

// States of the dialog (SetState's first argument).
constexpr int UPDATER_STATE_CHECKING = 0;
constexpr int UPDATER_STATE_RESULT = 1;  // value: a check result
constexpr int UPDATER_STATE_UPDATING = 2;
constexpr int UPDATER_STATE_FINISHED = 3;  // value: 1 done, 0 failed
constexpr int UPDATER_STATE_PROGRESS = 4;  // value: progress position

constexpr uintptr_t TIMER_PROGRESS_ANIMATION = 0x1001;
constexpr uintptr_t TIMER_AUTO_CLOSE = 0x1002;
constexpr UINT TIMER_PERIOD_MS = 1000;
constexpr int AUTO_CLOSE_TICKS = 2;

class UpdaterDialogHost {
public:
    virtual ~UpdaterDialogHost() = default;
    // The caption (id 0) or a control's text.
    virtual void SetItemText(UINT id, const QString& text) = 0;
    virtual void ShowItem(UINT id, bool show) = 0;
    virtual void SetProgressRange(int low, int high) = 0;
    virtual void SetProgressPos(int pos) = 0;
    virtual int GetProgressPos() const = 0;
    virtual void SetTimer(uintptr_t id, UINT elapseMs) = 0;
    virtual void KillTimer(uintptr_t id) = 0;
    virtual void EndDialog(int result) = 0;
    // Shows the confirmation that the clients found run; true for "Continue".
    virtual bool ConfirmClientClose(int english, const std::vector<FoundProcess>& found) = 0;
    // Gives the control the keyboard focus (a push button that has it is the one Enter presses).
    virtual void FocusItem(UINT id) = 0;
    // Waits ms milliseconds while the window stays responsive.
    virtual void Pause(int ms) = 0;
    // Posts a worker reply to the window, from the worker thread; it comes back through OnWorkerMessage.
    virtual void PostFromWorker(UINT msg, WPARAM wParam) = 0;
};

class UpdaterDialogLogic {
public:
    UpdaterDialogLogic(UpdaterDialogHost* host, int silent);
    ~UpdaterDialogLogic();
    UpdaterDialogLogic(const UpdaterDialogLogic&) = delete;
    UpdaterDialogLogic& operator=(const UpdaterDialogLogic&) = delete;

    // The dialog's start: the worker (when startWorker), the language, the checking state and the check.
    void OnInitDialog(const UpdateFiles& files, int english, bool startWorker = true);
    void ApplyLanguage();
    void SetState(int state, int value);
    // Returns false for ids that are not the dialog's.
    bool OnTimer(uintptr_t id);
    // A worker reply (WM_UPDATE_CHECKED, WM_UPDATE_DONE, WM_UPDATE_PROGRESS); false for other messages.
    bool OnWorkerMessage(UINT msg, WPARAM wParam);
    // "Update Now".
    void OnOK();
    // "Cancel". While "Update Now" is closing the client it only ends that closing (no client is
    // terminated after it), and the closing then ends the dialog; otherwise the dialog ends at once.
    void OnCancel();
    // The dialog's end: timers, worker, downloaded files. The window calls it before it goes away, so that
    // the worker never posts to a window that is being destroyed.
    void DestroyWindow();

    int English() const { return m_bEnglish; }
    int AutoCloseTicks() const { return m_nAutoCloseTicks; }
    // How the closing sequence paces itself (tests shorten it).
    CloseTiming closeTiming;
    // The client's executable name (tests use their own); the client is looked for in the installation
    // folder (UpdateFiles::appDir).
    QString clientName;
    // The window named as the sender of the close request.
    WPARAM senderWindow = 0;

private:
    void StopWorkerAndRemoveFiles();

    UpdaterDialogHost* m_host;
    int m_bSilent;
    int m_bEnglish = 1;
    int m_nAutoCloseTicks = AUTO_CLOSE_TICKS;
    bool m_bClosingClient = false;
    bool m_bCancelRequested = false;
    uintptr_t m_nProgressTimer = 0;
    uintptr_t m_nAutoCloseTimer = 0;
    WorkerThread* m_hWorkerThread = nullptr;
    ThreadId m_dwWorkerThreadId = 0;
    UpdateWorkerContext m_worker;
};
