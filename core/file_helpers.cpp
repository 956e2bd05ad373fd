#include "core/file_helpers.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>

#include "platform/system/paths.h"
#include "platform/system/process.h"

namespace {

// The length of the native path's first component (with its separator): the folder a drive letter or a
// leading ".\" stands for, the root of an absolute path, or the first folder of a relative one. -1 when
// the path's drive letter maps to nothing.
qsizetype FirstComponentLength(const QString& path, const QString& native) {
    bool driveLetter =
        path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter() && path[0].unicode() < 128;
    if (driveLetter) {
        QString folder = DriveFolder(path[0]);
        if (folder.isEmpty())
            return -1;
        return folder.endsWith(QLatin1Char('/')) ? folder.size() : folder.size() + 1;
    }
    if (path.startsWith(QLatin1String(".\\")) || path.startsWith(QLatin1String("./")))
        return ProgramFolder().size();
    qsizetype slash = native.indexOf(QLatin1Char('/'));
    return slash < 0 ? native.size() : slash + 1;
}

}  // namespace

int CreateDirectoryPath(const QString& path) {
    if (path.isEmpty())
        return 0;
    QString native = ToNativePath(path);
    qsizetype first = FirstComponentLength(path, native);
    if (first < 0)
        return 0;
    // Each separator after the first component ends a folder to create.
    for (qsizetype i = first; i < native.size(); ++i) {
        if (native[i] != QLatin1Char('/') || native[i - 1] == QLatin1Char('/'))
            continue;
        QByteArray folder = QFile::encodeName(native.left(i));
        if (mkdir(folder.constData(), 0755) != 0 && errno != EEXIST)
            return 0;
    }
    return 1;
}

int ShellDeleteFiles(const QStringList& paths) {
    int ok = 1;
    for (const QString& p : paths) {
        QString native = ToNativePath(p);
        QFileInfo info(native);
        if (info.isDir() && !info.isSymLink()) {
            if (!QDir(native).removeRecursively())
                ok = 0;
        } else if (!QFile::remove(native)) {
            ok = 0;
        }
    }
    return ok;
}

int ShellRenameFile(const QString& from, const QString& to) {
    QByteArray a = QFile::encodeName(ToNativePath(from));
    QByteArray b = QFile::encodeName(ToNativePath(to));
    // A rename never replaces an existing file (a recording begun in the same second keeps its file).
    if (renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return 1;
    if (errno != EINVAL && errno != ENOSYS)
        return 0;
    // A file system without the no-replace flag: check first, then rename.
    struct stat st;
    if (lstat(b.constData(), &st) == 0 || errno != ENOENT)
        return 0;
    return std::rename(a.constData(), b.constData()) == 0 ? 1 : 0;
}

void RunProgram(int showWindow, const QString& file, const QString& parameters, const QString& workFolder,
                int wait) {
    (void)showWindow;
    QString folder = workFolder.isEmpty() ? QString() : ToNativePath(workFolder);
    LaunchProcess(ToNativePath(file), SplitCommandLine(parameters), folder, wait != 0);
}

void GetModuleFolder(QString* folder) {
    if (folder != nullptr)
        *folder = ProgramFolder();
}
