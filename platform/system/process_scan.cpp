#include "platform/system/process_scan.h"

#include <dirent.h>
#include <unistd.h>

#include <QFile>
#include <cstdio>
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

QString ExecutableName(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/exe", int(pid));
    char target[4096];
    ssize_t n = readlink(path, target, sizeof target - 1);
    if (n <= 0)
        return QString();
    QString exe = QFile::decodeName(QByteArray(target, int(n)));
    // An executable replaced while it runs shows as "<path> (deleted)".
    static const QString kDeleted = QStringLiteral(" (deleted)");
    if (exe.endsWith(kDeleted))
        exe.chop(kDeleted.size());
    return exe.mid(exe.lastIndexOf(QLatin1Char('/')) + 1);
}

}  // namespace

std::vector<pid_t> FindProcessesByName(const QString& name) {
    std::vector<pid_t> found;
    DIR* dir = opendir("/proc");
    if (dir == nullptr)
        return found;
    while (struct dirent* entry = readdir(dir)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        if (ExecutableName(pid_t(pid)).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        char state = ProcessState(pid_t(pid));
        if (state == 'Z' || state == 'X' || state == '?')
            continue;
        found.push_back(pid_t(pid));
    }
    closedir(dir);
    return found;
}
