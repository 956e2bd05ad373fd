#include "platform/system/process_scan.h"

#include <dirent.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The state letter of /proc/<pid>/stat: the field after the command name in parentheses.
char ProcessState(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", int(pid));
    FILE* f = std::fopen(path, "r");
    if (f == nullptr)
        return '?';
    char buf[512];
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = '\0';
    const char* close = std::strrchr(buf, ')');
    return (close != nullptr && close[1] == ' ') ? close[2] : '?';
}

// The real user id of the "Uid:" line of /proc/<pid>/status; -1 when it cannot be read.
long RealUserId(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/status", int(pid));
    FILE* f = std::fopen(path, "r");
    if (f == nullptr)
        return -1;
    long uid = -1;
    char line[256];
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, "Uid:", 4) == 0) {
            uid = std::strtol(line + 4, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return uid;
}

// What the process's link /proc/<pid>/<name> points to; empty when it cannot be read.
QString ProcessLink(pid_t pid, const char* name) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/%s", int(pid), name);
    char target[4096];
    ssize_t n = readlink(path, target, sizeof target - 1);
    return n <= 0 ? QString() : QFile::decodeName(QByteArray(target, int(n)));
}

QString ExecutablePath(pid_t pid) {
    QString exe = ProcessLink(pid, "exe");
    if (exe.isEmpty())
        return exe;
    // An executable replaced while it runs shows as "<path> (deleted)".
    static const QString kDeleted = QStringLiteral(" (deleted)");
    if (exe.endsWith(kDeleted))
        exe.chop(kDeleted.size());
    return exe;
}

QString WorkingFolder(pid_t pid) {
    return ProcessLink(pid, "cwd");
}

// The folder as the kernel names executables in it: absolute, without links, "." or "..".
QString CanonicalFolder(const QString& folder) {
    QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

}  // namespace

std::vector<FoundProcess> FindOwnProcesses(const QString& name, const QString& folder) {
    std::vector<FoundProcess> found;
    if (folder.isEmpty())
        return found;
    const QString inFolder = CanonicalFolder(folder);
    const long self = long(getuid());
    DIR* dir = opendir("/proc");
    if (dir == nullptr)
        return found;
    while (struct dirent* entry = readdir(dir)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        // Another user's process is not ours to close, even when we could read or end it (as root).
        if (RealUserId(pid_t(pid)) != self)
            continue;
        QString exe = ExecutablePath(pid_t(pid));
        int slash = int(exe.lastIndexOf(QLatin1Char('/')));
        if (slash < 0 || exe.mid(slash + 1).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        // A client runs from the folder when its executable lies there or when it works in it.
        if (QStringView(exe).left(slash > 0 ? slash : 1) != inFolder && WorkingFolder(pid_t(pid)) != inFolder)
            continue;
        char state = ProcessState(pid_t(pid));
        if (state == 'Z' || state == 'X' || state == '?')
            continue;
        found.push_back({pid_t(pid), exe});
    }
    closedir(dir);
    return found;
}
