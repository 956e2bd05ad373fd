#include "platform/system/paths.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <algorithm>

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

// Mount table fields escape blanks as octal (\040).
QString UnescapeMountField(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromLocal8Bit(out);
}

bool IsRemovableDevice(const QString& device, const QString& sysBlockDir) {
    QString name = QFileInfo(device).fileName();
    if (name.isEmpty())
        return false;
    QString dir = sysBlockDir + QLatin1Char('/') + name;
    // A partition's own folder has no "removable" file; its parent disk has.
    for (const QString& candidate :
         {dir + QStringLiteral("/removable"), dir + QStringLiteral("/../removable")}) {
        QFile f(candidate);
        if (f.open(QIODevice::ReadOnly))
            return f.readAll().trimmed() == "1";
    }
    return false;
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

QList<DriveEntry> ListDrives(const QString& mountsFile, const QString& sysBlockDir) {
    QList<DriveEntry> drives;
    QString home = QDir::homePath();
    drives.append(DriveEntry{QLatin1Char('C'), home, QString(), false});

    struct Mount {
        QString folder;
        QString device;
    };
    QList<Mount> mounts;
    QFile f(mountsFile);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() < 4)
                continue;
            if (!fields[0].startsWith("/dev/"))
                continue;
            QList<QByteArray> options = fields[3].split(',');
            if (!options.contains("rw"))
                continue;
            QString folder = UnescapeMountField(fields[1]);
            // The file system of the home folder is drive C already.
            if (folder == home)
                continue;
            bool seen =
                std::any_of(mounts.begin(), mounts.end(), [&](const Mount& m) { return m.folder == folder; });
            if (!seen)
                mounts.append(Mount{folder, UnescapeMountField(fields[0])});
        }
    }
    std::sort(mounts.begin(), mounts.end(),
              [](const Mount& a, const Mount& b) { return a.folder < b.folder; });
    char16_t letter = u'D';
    for (const Mount& m : mounts) {
        if (letter > u'Z')
            break;
        drives.append(
            DriveEntry{QChar(letter), m.folder, m.device, IsRemovableDevice(m.device, sysBlockDir)});
        ++letter;
    }

    // Overrides replace or add letters.
    const QStringList keys = QProcessEnvironment::systemEnvironment().keys();
    for (const QString& key : keys) {
        if (!key.startsWith(QLatin1String("VISTAL_DRIVE_")) || key.size() != 14)
            continue;
        QChar l = key[13].toUpper();
        if (l < QLatin1Char('A') || l > QLatin1Char('Z'))
            continue;
        QString folder = QString::fromLocal8Bit(qgetenv(key.toLocal8Bit().constData()));
        auto it =
            std::find_if(drives.begin(), drives.end(), [&](const DriveEntry& d) { return d.letter == l; });
        if (it != drives.end()) {
            *it = DriveEntry{l, folder, QString(), false};
        } else {
            drives.append(DriveEntry{l, folder, QString(), false});
        }
    }
    std::sort(drives.begin(), drives.end(),
              [](const DriveEntry& a, const DriveEntry& b) { return a.letter < b.letter; });
    return drives;
}

QString DriveFolder(QChar letter) {
    QChar l = letter.toUpper();
    const QList<DriveEntry> drives = ListDrives();
    for (const DriveEntry& d : drives) {
        if (d.letter == l)
            return d.folder;
    }
    return QString();
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
