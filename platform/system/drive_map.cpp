// The drive map: which folder each drive letter of a stored path stands for.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcessEnvironment>
#include <algorithm>
#include <mutex>

#include "platform/system/file_modes.h"
#include "platform/system/paths.h"
#include "platform/system/profile.h"

namespace {

const QString kDrivesSection = QStringLiteral("DRIVES");

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
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
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

// Network shares count as drives, as on the platform the stored paths come from.
bool IsNetworkFileSystem(const QByteArray& type) {
    static const char* const kTypes[] = {"nfs",   "nfs4",  "cifs",   "smb3",           "smbfs",
                                         "ncpfs", "afs",   "ceph",   "glusterfs",      "fuse.sshfs",
                                         "9p",    "davfs", "lustre", "fuse.glusterfs", "fuse.cephfs"};
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char* t) { return type == t; });
}

// A writable block-device or network file system. Everything else (proc, sysfs, cgroup, devtmpfs, tmpfs,
// overlay and the like) is the system's own or lives in memory.
bool CountsAsDrive(const QByteArray& device, const QByteArray& type, const QByteArray& options) {
    if (!options.split(',').contains("rw"))
        return false;
    return device.startsWith("/dev/") || IsNetworkFileSystem(type);
}

struct Mount {
    QString folder;
    QString device;
    uint64_t id = 0;
};

// The counted mounts in table order, each with its device id; mount points that cannot be read are left
// out.
QList<Mount> ReadMounts(const DriveSources& sources) {
    QList<Mount> mounts;
    QFile f(sources.mountsFile);
    if (!f.open(QIODevice::ReadOnly))
        return mounts;
    for (const QByteArray& line : f.readAll().split('\n')) {
        QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 4 || !CountsAsDrive(fields[0], fields[2], fields[3]))
            continue;
        Mount m{UnescapeMountField(fields[1]), UnescapeMountField(fields[0]), 0};
        if (sources.deviceId(m.folder, &m.id) == 0)
            mounts.append(m);
    }
    return mounts;
}

// The letter a previous run gave to one of the folders, or 0.
char16_t StoredLetter(const QMap<char16_t, QString>& stored, const QStringList& folders) {
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        if (folders.contains(it.value()))
            return it.key();
    }
    return 0;
}

QMap<char16_t, QString> ReadAssignments(const QString& file) {
    QMap<char16_t, QString> stored;
    for (char16_t l = u'D'; l <= u'Z'; ++l) {
        QString folder;
        if (ReadProfileValue(kDrivesSection, QString(QChar(l)), file, &folder) && !folder.isEmpty())
            stored.insert(l, folder);
    }
    return stored;
}

// A new assignment file is UTF-16LE with a byte-order mark like the program's other INI files, so
// folder names in any script survive.
void CreateAssignmentFile(const QString& file) {
    int fd = OpenFileWithMode(QFile::encodeName(file), O_WRONLY | O_CREAT | O_EXCL, FILE_MODE_SHARED);
    if (fd < 0)
        return;
    const unsigned char bom[2] = {0xFF, 0xFE};
    ssize_t written = write(fd, bom, sizeof bom);
    (void)written;  // a file left empty is read as 8-bit text and still works
    close(fd);
}

// VISTAL_DRIVE_<LETTER>=<folder> entries of the environment (either letter case).
QList<DriveEntry> Overrides() {
    QList<DriveEntry> overrides;
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& key : env.keys()) {
        if (!key.startsWith(QLatin1String("VISTAL_DRIVE_")) || key.size() != 14)
            continue;
        QChar l = key[13].toUpper();
        if (l >= QLatin1Char('A') && l <= QLatin1Char('Z'))
            overrides.append(DriveEntry{l, env.value(key), QString(), false});
    }
    return overrides;
}

bool HasLetter(const QList<DriveEntry>& drives, QChar letter) {
    return std::any_of(drives.begin(), drives.end(), [&](const DriveEntry& d) { return d.letter == letter; });
}

// Letters are read and given under one lock, so two threads never give one file system two letters.
std::mutex g_assignmentLock;

}  // namespace

int FolderDeviceId(const QString& folder, uint64_t* deviceId) {
    struct stat st;
    if (stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return -1;
    *deviceId = static_cast<uint64_t>(st.st_dev);
    return 0;
}

QList<DriveEntry> ListDrives(const DriveSources& sources) {
    QString home = sources.homeFolder.isEmpty() ? QDir::homePath() : sources.homeFolder;
    QList<DriveEntry> drives{DriveEntry{QLatin1Char('C'), home, QString(), false}};
    uint64_t homeId = 0;
    bool homeKnown = sources.deviceId(home, &homeId) == 0;

    // Group the mount points by file system, in table order; the home folder's is drive C already.
    QList<QList<Mount>> systems;
    for (const Mount& m : ReadMounts(sources)) {
        if (homeKnown && m.id == homeId)
            continue;
        auto it = std::find_if(systems.begin(), systems.end(),
                               [&](const QList<Mount>& s) { return s.first().id == m.id; });
        if (it != systems.end())
            it->append(m);
        else
            systems.append(QList<Mount>{m});
    }
    // New letters go out in mount-point order, so a first run gives the letters the way it always did.
    std::sort(systems.begin(), systems.end(), [](const QList<Mount>& a, const QList<Mount>& b) {
        return a.first().folder < b.first().folder;
    });

    QString file = sources.assignmentFile.isEmpty() ? ProgramFolder() + QStringLiteral("drives.ini")
                                                    : sources.assignmentFile;
    const QList<DriveEntry> overrides = Overrides();
    {
        std::lock_guard<std::mutex> lock(g_assignmentLock);
        QMap<char16_t, QString> stored = ReadAssignments(file);
        for (const QList<Mount>& system : systems) {
            QStringList folders;
            for (const Mount& m : system)
                folders.append(m.folder);
            char16_t letter = StoredLetter(stored, folders);
            QString folder = letter != 0 ? stored.value(letter) : folders.first();
            if (letter == 0) {
                // The lowest letter neither kept for another file system nor overridden.
                char16_t l = u'D';
                while (l <= u'Z' && (stored.contains(l) || HasLetter(overrides, QChar(l))))
                    ++l;
                if (l > u'Z')
                    continue;
                letter = l;
                stored.insert(letter, folder);
                if (!QFileInfo::exists(file))
                    CreateAssignmentFile(file);
                // A folder that cannot be written keeps the letter for this run only.
                (void)WritePrivateProfileString(kDrivesSection, QString(QChar(letter)), folder, file);
            }
            const Mount& m = *std::find_if(system.begin(), system.end(),
                                           [&](const Mount& x) { return x.folder == folder; });
            drives.append(DriveEntry{QChar(letter), folder, m.device,
                                     IsRemovableDevice(m.device, sources.sysBlockDir)});
        }
    }

    for (const DriveEntry& o : overrides) {
        auto it = std::find_if(drives.begin(), drives.end(),
                               [&](const DriveEntry& d) { return d.letter == o.letter; });
        if (it != drives.end())
            *it = o;
        else
            drives.append(o);
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
