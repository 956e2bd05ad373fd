#pragma once

// The program folder, the drive map and the conversion of stored (Windows-form) paths into paths that
// can be opened here. Stored data keeps its Windows form (`C:\Snapshots\`, `.\language\language.eng`);
// conversion happens only where a file is opened.

#include <QList>
#include <QString>
#include <cstdint>
#include <functional>

// The program folder, ending in '/': VISTAL_HOME when set, otherwise the folder of the executable.
QString ProgramFolder();

// `\` becomes `/`; a leading `.\` (or `./`) means the program folder; a leading drive letter and colon
// map through the drive map, and a leading single `\` (a path rooted without a drive letter) means the
// root of drive C ("" when drive C is not mapped). A path in Linux form comes back unchanged.
QString ToNativePath(const QString& path);

// One drive of the drive map.
struct DriveEntry {
    QChar letter;
    QString folder;  // the folder the letter stands for
    QString device;  // the mounted device ("" for the home folder and overrides)
    bool removable = false;
};

// The identity of the file system that holds folder (st_dev). 0 on success; -1 when folder is missing or
// is not a folder.
int FolderDeviceId(const QString& folder, uint64_t* deviceId);

// Where the drive map comes from; every field has the running system's value by default, so tests can
// give fixtures.
struct DriveSources {
    QString mountsFile = QStringLiteral("/proc/self/mounts");
    QString sysBlockDir = QStringLiteral("/sys/class/block");
    QString homeFolder;      // "" means the user's home folder
    QString assignmentFile;  // the kept letters; "" means drives.ini in the program folder
    std::function<int(const QString& folder, uint64_t* deviceId)> deviceId = FolderDeviceId;
};

// Drives in letter order. C is the home folder's file system. Every other writable file system, block
// device or network share, gets one letter however many mount points show it (by device id); the
// system's own virtual file systems and RAM disks get none. A letter once given is kept in the
// assignment file ([DRIVES] L=<mount folder>) and stays reserved while its file system is absent, so a
// stick mounted later never takes over a stored record disk; a new file system takes the lowest free
// letter from D on. VISTAL_DRIVE_<LETTER>=<folder> overrides or adds one (a RAM disk enters this way).
QList<DriveEntry> ListDrives(const DriveSources& sources = DriveSources());

// The folder of a drive letter (either case), "" when the letter is not mapped.
QString DriveFolder(QChar letter);

// Total and free bytes of the file system that holds folder (statvfs). 0 on success, -1 on failure.
int GetDiskSpace(const QString& folder, uint64_t* totalBytes, uint64_t* freeBytes);
