#include "updater/updater_app.h"

#include <curl/curl.h>

#include <QDir>
#include <cstdio>

#include "core/file_helpers.h"
#include "core/install_journal.h"
#include "platform/ui/message_box.h"
#include "updater/signal_cleanup.h"
#include "updater/updater_dlg.h"
#include "updater/updater_startup.h"

namespace {

// String resource 103: the network layer could not be initialised.
const char kSocketInitFailed[] = "Windows 通信端口初始化失败。";

}  // namespace

CUpdaterApp::CUpdaterApp(const QStringList& arguments) : m_arguments(arguments) {}

int CUpdaterApp::InitPaths() {
    GetModuleFolder(&m_strAppDir);
    m_tempDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vistal-updater-XXXXXX"));
    QString temp = m_tempDir->isValid() ? m_tempDir->path() : QString();
    UpdaterPaths paths = MakeUpdaterPaths(m_strAppDir, temp);
    m_strTempDir = paths.tempDir;
    m_strIniPath = paths.iniPath;
    m_strZipPath = paths.zipPath;
    // Ended by a signal, the program still takes its downloads and their folder with it.
    if (!temp.isEmpty() && ArmTempFolderCleanup(temp, {m_strIniPath, m_strZipPath}) != 0)
        return -1;
    return 0;
}

BOOL CUpdaterApp::InitInstance() {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        AfxMessageBox(QString::fromUtf8(kSocketInitFailed));
        return FALSE;
    }
    m_bSilent = ParseSilentFlag(m_arguments);
    // An update an earlier run left half-way is finished or undone before anything else. One that cannot
    // be (the folder cannot be written, or its journal names files outside the folder) leaves a mixed
    // installation that nothing may update: the program says so and ends.
    QString folder;
    GetModuleFolder(&folder);
    QString problem;
    const InstallRecovery recovery = RecoverInstall(folder, &problem);
    if (recovery == RECOVERY_REFUSED || recovery == RECOVERY_FAILED) {
        std::fprintf(stderr, "Updater cannot start: %s\n", qPrintable(problem));
        if (!m_bSilent)
            AfxMessageBox(problem);
        m_nExitCode = 1;
        return FALSE;
    }
    // Without the cleanup on signals the program still runs; the folder then goes at its ordinary end.
    (void)InitPaths();
    UpdaterPaths paths{m_strAppDir, m_strTempDir, m_strIniPath, m_strZipPath};
    CUpdaterDlg dlg(paths, m_bSilent);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int CUpdaterApp::ExitInstance() {
    DisarmTempFolderCleanup();
    m_tempDir.reset();
    curl_global_cleanup();
    return CWinApp::ExitInstance();
}
