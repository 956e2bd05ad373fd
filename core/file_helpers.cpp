#include "core/file_helpers.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "platform/system/paths.h"
#include "platform/system/process.h"

int CreateDirectoryPath(const QString& path) {
    if (path.isEmpty())
        return 0;
    QString native = ToNativePath(path);
    // Each separator after the first character ends a component to create.
    for (qsizetype i = 1; i < native.size(); ++i) {
        if (native[i] != QLatin1Char('/'))
            continue;
        if (native[i - 1] == QLatin1Char('/'))
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
