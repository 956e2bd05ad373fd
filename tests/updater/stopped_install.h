#pragma once

// Runs an install in a child process stopped at a chosen step of the unpacking or of the commit: ended at
// once there, as under kill -9 (nothing of its own cleanup runs), or sent a termination signal there with
// the updater's signal handlers armed, as a session's end sends it.

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QString>
#include <atomic>
#include <csignal>

#include "core/install_journal.h"
#include "tests/updater/test_zip.h"
#include "updater/package_install.h"
#include "updater/signal_cleanup.h"

enum class StopBy { Kill, TerminationSignal };

inline std::atomic<int> g_stepsLeft{-1};
inline std::atomic<bool> g_stopBySignal{false};

inline void StopAtStep(const char*) {
    if (g_stepsLeft.fetch_sub(1) != 0)
        return;
    if (g_stopBySignal.load())
        raise(SIGTERM);
    else
        _exit(3);
}

// Runs the install in a child stopped before step `stop` (counting from 0; -1: not stopped). The result:
// the child's exit code (0 installed, 1 refused, 3 killed) or 128 + the signal that ended it. With a
// termination signal the handlers are armed for signalFolder (removed by them), as the updater arms them.
inline int InstallInChild(const QString& zip, const QString& folder, int stop, StopBy how = StopBy::Kill,
                          const QString& signalFolder = QString()) {
    pid_t child = fork();
    if (child == 0) {
        g_stepsLeft = stop;
        g_stopBySignal = how == StopBy::TerminationSignal;
        if (how == StopBy::TerminationSignal && ArmTempFolderCleanup(signalFolder, {}) != 0)
            _exit(4);
        SetInstallStepHook(StopAtStep);
        _exit(InstallPackage(zip, folder) == 1 ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The steps of a whole install of zip into folder (-1 when it fails).
inline int CountInstallSteps(const QString& zip, const QString& folder) {
    static int counted = 0;
    counted = 0;
    SetInstallStepHook([](const char*) { ++counted; });
    int result = InstallPackage(zip, folder);
    SetInstallStepHook(nullptr);
    return result == 1 ? counted : -1;
}

// The installation the tests start from: the client and its English texts. false when it cannot be made.
inline bool WriteOldInstallation(const QString& folder) {
    QDir(folder).removeRecursively();
    return QDir().mkpath(folder + QStringLiteral("/language")) &&
           WriteWholeFile(folder + QStringLiteral("/Vistal"), "old client") &&
           WriteWholeFile(folder + QStringLiteral("/language/language.eng"), "old texts");
}
