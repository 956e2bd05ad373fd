#include "updater/updater_dialog_logic.h"

#include <QFile>

#include "updater/close_request.h"
#include "updater/updater_messages.h"
#include "updater/updater_texts.h"

namespace {

// Posting to a queue that exists at once never needs many tries; the bound only guards the loop.
constexpr int kMaxPostTries = 1000;

}  // namespace

UpdaterDialogLogic::UpdaterDialogLogic(UpdaterDialogHost* host, int silent)
    : clientName(QString::fromLatin1(CLIENT_EXECUTABLE_NAME)), m_host(host), m_bSilent(silent) {}

UpdaterDialogLogic::~UpdaterDialogLogic() {
    StopWorkerAndRemoveFiles();
}

void UpdaterDialogLogic::OnInitDialog(const UpdateFiles& files, int english, bool startWorker) {
    m_worker.files = files;
    m_worker.postToDialog = [host = m_host](UINT msg, WPARAM wParam) { host->PostFromWorker(msg, wParam); };
    // A worker that cannot start leaves its id 0: no check is posted and the dialog stays as it is.
    if (startWorker)
        (void)StartWorkerThread(&m_hWorkerThread, &m_dwWorkerThreadId, UpdateWorkerProc, &m_worker);
    m_bEnglish = english;
    ApplyLanguage();
    SetState(UPDATER_STATE_CHECKING, 0);
    if (m_dwWorkerThreadId != 0) {
        for (int i = 0; i < kMaxPostTries && !PostThreadMessage(m_dwWorkerThreadId, WM_UPDATE_CHECK, 0, 0);
             ++i) {
        }
    }
}

void UpdaterDialogLogic::ApplyLanguage() {
    m_host->SetItemText(0, UpdaterText(TEXT_CAPTION, m_bEnglish));
    m_host->SetItemText(IDC_UPDATER_OK, UpdaterText(TEXT_UPDATE_NOW, m_bEnglish));
}

void UpdaterDialogLogic::SetState(int state, int value) {
    if (m_nAutoCloseTimer != 0) {
        m_host->KillTimer(m_nAutoCloseTimer);
        m_nAutoCloseTimer = 0;
        m_nAutoCloseTicks = AUTO_CLOSE_TICKS;
    }
    struct Look {
        bool arm;
        UpdaterTextId text;
        UpdaterTextId button2;
        bool progress;
        bool button1;
        bool close;
    };
    Look look;
    if (state == UPDATER_STATE_CHECKING) {
        look = {true, TEXT_CHECKING, TEXT_CANCEL, false, false, false};
        m_host->SetProgressRange(0, UPDATE_PROGRESS_MAX);
        m_host->SetProgressPos(0);
    } else if (state == UPDATER_STATE_RESULT && value == CHECK_RESULT_NEWER) {
        look = {true, TEXT_NEWER, TEXT_CANCEL, false, true, false};
    } else if (state == UPDATER_STATE_RESULT && value == CHECK_RESULT_FAILED) {
        look = {true, TEXT_CHECK_FAILED, TEXT_CANCEL, false, false, true};
    } else if (state == UPDATER_STATE_RESULT && value == CHECK_RESULT_CURRENT) {
        look = {true, TEXT_UP_TO_DATE, TEXT_FINISH, false, false, true};
    } else if (state == UPDATER_STATE_UPDATING) {
        look = {false, TEXT_UPDATING, TEXT_CANCEL, true, false, false};
    } else if (state == UPDATER_STATE_FINISHED && (value == 0 || value == 1)) {
        look = {true, value ? TEXT_UPDATE_DONE : TEXT_UPDATE_FAILED, TEXT_FINISH, false, false, true};
    } else if (state == UPDATER_STATE_PROGRESS) {
        m_host->SetProgressPos(value);
        m_host->ShowItem(IDC_UPDATER_PROGRESS, true);
        m_host->ShowItem(IDC_UPDATER_OK, false);
        return;
    } else {
        return;
    }
    if (look.arm && m_bSilent) {
        m_host->SetTimer(TIMER_AUTO_CLOSE, TIMER_PERIOD_MS);
        m_nAutoCloseTimer = TIMER_AUTO_CLOSE;
    }
    m_host->SetItemText(IDC_UPDATER_STATE_TEXT, UpdaterText(look.text, m_bEnglish));
    m_host->SetItemText(IDC_UPDATER_CANCEL, UpdaterText(look.button2, m_bEnglish));
    m_host->ShowItem(IDC_UPDATER_PROGRESS, look.progress);
    m_host->ShowItem(IDC_UPDATER_OK, look.button1);
    m_host->ShowItem(IDC_UPDATER_CANCEL, true);
    // The button that appears is the answer the window offers: it takes the focus, so that Enter presses
    // it (the focus stays on Cancel while "Update Now" is hidden).
    if (look.button1)
        m_host->FocusItem(IDC_UPDATER_OK);
    if (look.close && m_bSilent)
        m_host->EndDialog(IDCANCEL_RESULT);
}

bool UpdaterDialogLogic::OnTimer(uintptr_t id) {
    if (id == TIMER_PROGRESS_ANIMATION) {
        int pos = m_host->GetProgressPos() + 1;
        m_host->SetProgressPos(pos > UPDATE_PROGRESS_MAX ? 0 : pos);
        return true;
    }
    if (id == TIMER_AUTO_CLOSE) {
        if (--m_nAutoCloseTicks <= 0)
            m_host->EndDialog(IDCANCEL_RESULT);
        return true;
    }
    return false;
}

bool UpdaterDialogLogic::OnWorkerMessage(UINT msg, WPARAM wParam) {
    int value = int(wParam);
    if (msg == WM_UPDATE_CHECKED)
        SetState(UPDATER_STATE_RESULT, value);
    else if (msg == WM_UPDATE_DONE)
        SetState(UPDATER_STATE_FINISHED, value);
    else if (msg == WM_UPDATE_PROGRESS)
        SetState(UPDATER_STATE_PROGRESS, value);
    else
        return false;
    return true;
}

void UpdaterDialogLogic::OnOK() {
    SetState(UPDATER_STATE_UPDATING, 0);
    m_bCancelRequested = false;
    m_bClosingClient = true;
    int closed = CloseRunningClient(
        clientName, m_worker.files.appDir, senderWindow,
        [this](const std::vector<FoundProcess>& found) {
            return m_host->ConfirmClientClose(m_bEnglish, found);
        },
        [this](int ms) { m_host->Pause(ms); }, closeTiming, [this] { return m_bCancelRequested; });
    m_bClosingClient = false;
    if (closed == CLOSE_CLIENT_DECLINED) {
        m_host->EndDialog(IDCANCEL_RESULT);
        return;
    }
    if (closed == CLOSE_CLIENT_STUCK) {
        // A client that cannot be ended must not be overwritten while it runs.
        SetState(UPDATER_STATE_FINISHED, 0);
        return;
    }
    if (m_hWorkerThread == nullptr)
        return;
    m_host->SetTimer(TIMER_PROGRESS_ANIMATION, TIMER_PERIOD_MS);
    m_nProgressTimer = TIMER_PROGRESS_ANIMATION;
    PostThreadMessage(m_dwWorkerThreadId, WM_UPDATE_START, 0, 0);
}

void UpdaterDialogLogic::OnCancel() {
    if (m_bClosingClient) {
        m_bCancelRequested = true;
        return;
    }
    m_host->EndDialog(IDCANCEL_RESULT);
}

void UpdaterDialogLogic::DestroyWindow() {
    if (m_nProgressTimer != 0) {
        m_host->KillTimer(m_nProgressTimer);
        m_nProgressTimer = 0;
    }
    if (m_nAutoCloseTimer != 0) {
        m_host->KillTimer(m_nAutoCloseTimer);
        m_nAutoCloseTimer = 0;
    }
    StopWorkerAndRemoveFiles();
}

void UpdaterDialogLogic::StopWorkerAndRemoveFiles() {
    StopWorkerThread(&m_hWorkerThread, &m_dwWorkerThreadId);
    if (!m_worker.files.iniPath.isEmpty())
        QFile::remove(m_worker.files.iniPath);
    if (!m_worker.files.zipPath.isEmpty())
        QFile::remove(m_worker.files.zipPath);
}
