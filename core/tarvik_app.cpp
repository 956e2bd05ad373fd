#include "core/tarvik_app.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

#include "core/file_helpers.h"
#include "core/install_journal.h"
#include "core/system_settings.h"
#include "core/text_files.h"
#include "platform/system/codepage.h"
#include "platform/system/instance_endpoint.h"
#include "platform/system/instance_lock.h"
#include "platform/system/runtime_folder.h"
#include "platform/system/win_types.h"

CTarvikApp theApp;
int g_nScreenWidth = 0;
int g_nScreenHeight = 0;

namespace {

// How long a second start waits for the running instance to bring its window forward.
constexpr int kRaiseWaitMs = 2000;

// Asks the main window of a running instance to come forward; true when it did. An instance that shows
// no window yet (it waits for the Updater) answers no, and this start ends without showing anything.
bool RaiseRunningInstance() {
    return RequestInstanceRaise(QString::fromLatin1(APP_INSTANCE_NAME), kRaiseWaitMs) == 1;
}

void WriteToStderr(const char* text) {
    std::fputs(text, stderr);
}

}  // namespace

CTarvikApp::CTarvikApp() : m_iniSystem(QString()), m_iniLanguage(QString()) {}

CTarvikApp::~CTarvikApp() {
    delete m_hInstanceEvent;
}

int CTarvikApp::InitInstance() {
    bool heldElsewhere = false;
    m_hInstanceEvent = InstanceLock::Acquire(QString::fromLatin1(APP_INSTANCE_NAME), &heldElsewhere);
    if (m_hInstanceEvent == nullptr) {
        // Another instance runs: bring its window forward when it has one. Said on stderr too, so that a
        // start from a terminal (another display, another program folder) does not look like a crash.
        if (heldElsewhere) {
            if (RaiseRunningInstance()) {
                WriteToStderr(
                    "Vistal: another Vistal of this user is running; its window was brought forward "
                    "and this start ends.\n");
                return TRUE;
            }
            WriteToStderr(
                "Vistal: another Vistal of this user is running but shows no window yet; this start "
                "ends.\n");
            return FALSE;
        }
        // No private folder for the lock (one another user made first, or one others may enter): the
        // program does not start, and says why.
        QString refusal;
        if (UserRuntimeFolder(&refusal).isEmpty())
            std::fprintf(stderr, "Vistal cannot start: %s\n", qPrintable(refusal));
        else
            std::fputs("Vistal cannot start: the instance lock cannot be taken\n", stderr);
        m_nExitCode = 1;
        return FALSE;
    }
    // An update that was stopped half-way is finished or undone before anything reads the folder (while
    // Updater still works there, its journal is locked and left alone).
    QString programFolder;
    GetModuleFolder(&programFolder);
    // One that cannot be finished or undone now leaves a mixed installation: the program says so and
    // ends; the next start in a folder it may write recovers.
    QString problem;
    const InstallRecovery recovery = RecoverInstall(programFolder, &problem);
    if (recovery == RECOVERY_REFUSED || recovery == RECOVERY_FAILED) {
        std::fprintf(stderr, "Vistal cannot start: %s\n", qPrintable(problem));
        m_nExitCode = 1;
        return FALSE;
    }
    if (InitAppSystem() != 0) {
        WriteToStderr("Initialize application system failed.\n");
        return FALSE;
    }
    const QString updater = m_strAppDir + QStringLiteral("Updater");
    if (g_systemSettings.EnableUpdate == 1 && QFile::exists(updater)) {
        RunProgram(1, updater, QStringLiteral("/s"), m_strAppDir, 1);
    }
    // The main window runs until the program ends.
    if (m_pfnRunMainWindow != nullptr)
        (void)m_pfnRunMainWindow();
    return FALSE;
}

int CTarvikApp::ExitInstance() {
    delete m_hInstanceEvent;
    m_hInstanceEvent = nullptr;
    return m_nExitCode;
}

int CTarvikApp::InitAppSystem() {
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    QScreen* screen = gui != nullptr ? QGuiApplication::primaryScreen() : nullptr;
    g_nScreenWidth = screen != nullptr ? screen->geometry().width() : 0;
    g_nScreenHeight = screen != nullptr ? screen->geometry().height() : 0;
    if (g_nScreenWidth == 0 || g_nScreenHeight == 0)
        return -1;

    GetModuleFolder(&m_strAppDir);
    // User names and passwords are encoded in the code page of the user's language.
    SetAnsiCodePageForLanguage(DefaultLanguageFromLocale());

    const QString systemIni = m_strAppDir + QStringLiteral("system.ini");
    InitSystemIni(systemIni);
    m_iniSystem.SetPath(systemIni);
    LoadSystemSettings();
    m_strDataDir = m_strAppDir + QStringLiteral("data\\");
    m_strIndexDir = m_strAppDir + QStringLiteral("index\\");
    m_strLanguageDir = m_strAppDir + QStringLiteral("language\\");

    CreateDirectoryPath(QString::fromUtf16(g_systemSettings.SnapshotPath));
    CreateDirectoryPath(m_strDataDir);
    CreateDirectoryPath(m_strIndexDir);
    CreateDirectoryPath(m_strLanguageDir);

    InitLanguageIni(m_strAppDir + QStringLiteral("language.ini"));
    DeployLanguageFiles();
    m_iniLanguage.SetPath(ResolveLanguageFile(g_systemSettings.Language));
    return 0;
}
