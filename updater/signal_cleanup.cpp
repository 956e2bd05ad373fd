#include "updater/signal_cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <csignal>
#include <cstring>

namespace {

constexpr int kMaxFiles = 4;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// Filled before the handlers are armed and only read by them: plain arrays, no allocation.
char g_folder[PATH_MAX];
char g_files[kMaxFiles][PATH_MAX];
volatile sig_atomic_t g_fileCount = 0;
volatile sig_atomic_t g_armed = 0;
// Written by the handler on whichever thread takes the signal, read by the thread that commits.
std::atomic<int> g_held{0};
std::atomic<int> g_pendingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "used in a signal handler");

void EndBySignal(int signal) {
    if (g_armed) {
        for (int i = 0; i < g_fileCount; ++i)
            unlink(g_files[i]);
        rmdir(g_folder);
    }
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

void RemoveTempFolder(int signal) {
    if (g_held.load() != 0) {
        g_pendingSignal.store(signal);
        return;
    }
    EndBySignal(signal);
}

bool CopyPath(const QString& path, char* out) {
    QByteArray bytes = QFile::encodeName(path);
    if (bytes.isEmpty() || bytes.size() >= PATH_MAX)
        return false;
    std::memcpy(out, bytes.constData(), size_t(bytes.size()) + 1);
    return true;
}

}  // namespace

int ArmTempFolderCleanup(const QString& folder, const QStringList& files) {
    DisarmTempFolderCleanup();
    if (files.size() > kMaxFiles || !CopyPath(folder, g_folder))
        return -1;
    for (int i = 0; i < files.size(); ++i) {
        if (!CopyPath(files[i], g_files[i]))
            return -1;
    }
    g_fileCount = static_cast<sig_atomic_t>(files.size());
    g_armed = 1;
    struct sigaction action = {};
    action.sa_handler = RemoveTempFolder;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        sigaddset(&action.sa_mask, signal);
    for (int signal : kSignals) {
        if (sigaction(signal, &action, nullptr) != 0) {
            DisarmTempFolderCleanup();
            return -1;
        }
    }
    return 0;
}

void DisarmTempFolderCleanup() {
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (int signal : kSignals)
        sigaction(signal, &fallback, nullptr);
    g_armed = 0;
    g_fileCount = 0;
}

void HoldTerminationSignals() {
    g_held.store(1);
}

bool TerminationPending() {
    return g_pendingSignal.load() != 0;
}

void ReleaseTerminationSignals() {
    g_held.store(0);
    const int signal = g_pendingSignal.exchange(0);
    if (signal != 0)
        EndBySignal(signal);
}
