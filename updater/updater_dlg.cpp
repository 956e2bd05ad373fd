#include "updater/updater_dlg.h"

#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "platform/ui/range_ctrls.h"
#include "resources/resource_bitmaps.h"
#include "updater/dlg_retry.h"
#include "updater/update_operations.h"
#include "updater/updater_dialog_templates.h"
#include "updater/updater_texts.h"

namespace {

constexpr unsigned IDI_UPDATER_ICON = 128;

}  // namespace

CUpdaterDlg::CUpdaterDlg(const UpdaterPaths& paths, int silent, CWnd* pParent)
    : CDialog(&kUpdaterDialogTemplate, pParent), m_paths(paths), m_logic(this, silent) {
    QImage icon = LoadResourceBitmap(IDI_UPDATER_ICON);
    if (!icon.isNull())
        m_hIcon = QIcon(QPixmap::fromImage(icon));
}

CUpdaterDlg::~CUpdaterDlg() {
    DestroyWindow();
}

BOOL CUpdaterDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!m_hIcon.isNull() && GetWidget() != nullptr)
        GetWidget()->setWindowIcon(m_hIcon);
    m_hWndForWorker = m_hWnd;
    m_logic.senderWindow = reinterpret_cast<WPARAM>(m_hWnd);
    UpdateFiles files;
    files.descriptionUrl = UpdateDescriptionUrl(UpdateServerHost());
    files.iniPath = m_paths.iniPath;
    files.zipPath = m_paths.zipPath;
    // The client's executable, by its name in the working folder (the client starts the updater there).
    files.clientPath = QStringLiteral("Vistal");
    files.appDir = m_paths.appDir;
    m_logic.OnInitDialog(files, IsEnglishLanguage(GetSystemDefaultLangID()), m_bStartWorker);
    return TRUE;
}

BOOL CUpdaterDlg::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    m_logic.DestroyWindow();
    return CDialog::DestroyWindow();
}

BOOL CUpdaterDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == m_hWnd && m_logic.OnWorkerMessage(pMsg->message, pMsg->wParam))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CUpdaterDlg::OnOK() {
    m_logic.OnOK();
}

void CUpdaterDlg::OnCancel() {
    m_logic.OnCancel();
}

void CUpdaterDlg::OnTimer(uintptr_t nIDEvent) {
    if (!m_logic.OnTimer(nIDEvent))
        CDialog::OnTimer(nIDEvent);
}

CProgressCtrl* CUpdaterDlg::Progress() const {
    return dynamic_cast<CProgressCtrl*>(GetDlgItem(IDC_UPDATER_PROGRESS));
}

void CUpdaterDlg::SetItemText(UINT id, const QString& text) {
    if (id == 0) {
        SetWindowText(text);
        return;
    }
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

void CUpdaterDlg::ShowItem(UINT id, bool show) {
    if (CWnd* item = GetDlgItem(id))
        item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CUpdaterDlg::SetProgressRange(int low, int high) {
    if (CProgressCtrl* progress = Progress())
        progress->SetRange32(low, high);
}

void CUpdaterDlg::SetProgressPos(int pos) {
    if (CProgressCtrl* progress = Progress())
        progress->SetPos(pos);
}

int CUpdaterDlg::GetProgressPos() const {
    CProgressCtrl* progress = Progress();
    return progress != nullptr ? progress->GetPos() : 0;
}

void CUpdaterDlg::SetTimer(uintptr_t id, UINT elapseMs) {
    CWnd::SetTimer(id, elapseMs);
}

void CUpdaterDlg::KillTimer(uintptr_t id) {
    CWnd::KillTimer(id);
}

void CUpdaterDlg::EndDialog(int result) {
    CDialog::EndDialog(result);
}

bool CUpdaterDlg::ConfirmClientClose(int english, const std::vector<FoundProcess>& found) {
    CDlgRetry retry(english, nullptr, found);
    return retry.DoModal() == IDOK;
}

void CUpdaterDlg::FocusItem(UINT id) {
    if (CWnd* item = GetDlgItem(id))
        item->SetFocus();
}

void CUpdaterDlg::Pause(int ms) {
    // A short nested loop: the window keeps painting and delivering while the client shuts down.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void CUpdaterDlg::PostFromWorker(UINT msg, WPARAM wParam) {
    ::PostMessage(m_hWndForWorker, msg, wParam, 0);
}
