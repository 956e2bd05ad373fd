#include "platform/system/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

// Makes the folder when it is missing; "" when it is a private folder of this user, else why not. Another
// user may have made a predictable name under /tmp first: such a folder is never used.
QString PrivateFolderRefusal(const QByteArray& path) {
    const QString name = QFile::decodeName(path);
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("cannot make %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st;
    if (lstat(path.constData(), &st) != 0)
        return QStringLiteral("cannot read %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("%1 is not a folder").arg(name);
    if (st.st_uid != getuid())
        return QStringLiteral("%1 belongs to another user (uid %2)").arg(name).arg(st.st_uid);
    if ((st.st_mode & 07777) != 0700)
        return QStringLiteral("%1 has mode %2, not 0700")
            .arg(name)
            .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return QString();
}

}  // namespace

QString UserRuntimeFolder(QString* refusal) {
    QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    QByteArray folder;
    if (!runtime.isEmpty() && access(runtime.constData(), W_OK) == 0) {
        folder = runtime + "/vistal";
    } else {
        folder = "/tmp/vistal-" + QByteArray::number(getuid());
    }
    const QString why = PrivateFolderRefusal(folder);
    if (refusal != nullptr)
        *refusal = why;
    return why.isEmpty() ? QFile::decodeName(folder) : QString();
}
