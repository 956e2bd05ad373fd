#include "platform/system/paths.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

QString WithSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString ExecutableFolder() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return QStringLiteral("./");
    buffer[n] = '\0';
    return WithSlash(QFileInfo(QString::fromLocal8Bit(buffer)).absolutePath());
}

}  // namespace

QString ProgramFolder() {
    QByteArray home = qgetenv("VISTAL_HOME");
    if (!home.isEmpty())
        return WithSlash(QDir(QString::fromLocal8Bit(home)).absolutePath());
    return ExecutableFolder();
}

QString ToNativePath(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.startsWith(QLatin1String("./")))
        return ProgramFolder() + p.mid(2);
    // Rooted without a drive letter (`\Snapshots\`, or `\` alone): the root of the program's drive, C,
    // never the file-system root.
    if (path.startsWith(QLatin1Char('\\')) && !path.startsWith(QLatin1String("\\\\"))) {
        const QString folder = DriveFolder(QLatin1Char('C'));
        return folder.isEmpty() ? QString() : WithSlash(folder) + p.mid(1);
    }
    if (p.size() >= 2 && p[1] == QLatin1Char(':') && p[0].isLetter() && p[0].unicode() < 128) {
        QString folder = DriveFolder(p[0]);
        if (!folder.isEmpty()) {
            QString rest = p.mid(2);
            if (rest.startsWith(QLatin1Char('/')))
                rest.remove(0, 1);
            return WithSlash(folder) + rest;
        }
    }
    return p;
}

int GetDiskSpace(const QString& folder, uint64_t* totalBytes, uint64_t* freeBytes) {
    struct statvfs st;
    if (statvfs(QFile::encodeName(folder).constData(), &st) != 0)
        return -1;
    if (totalBytes)
        *totalBytes = static_cast<uint64_t>(st.f_blocks) * st.f_frsize;
    if (freeBytes)
        *freeBytes = static_cast<uint64_t>(st.f_bfree) * st.f_frsize;
    return 0;
}
