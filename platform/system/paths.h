#pragma once

// The program folder, the drive map and the conversion of stored (Windows-form) paths into paths that
// can be opened here. Stored data keeps its Windows form (`C:\Snapshots\`, `.\language\language.eng`);
// conversion happens only where a file is opened.

#include <QList>
#include <QString>

// The program folder, ending in '/': VISTAL_HOME when set, otherwise the folder of the executable.
QString ProgramFolder();

// `\` becomes `/`; a leading `.\` (or `./`) means the program folder; a leading drive letter and colon
// map through the drive map. A path in Linux form comes back unchanged.
QString ToNativePath(const QString& path);

// One drive of the drive map.
struct DriveEntry {
    QChar letter;
    QString folder;  // the folder the letter stands for
    QString device;  // the mounted device ("" for the home folder and overrides)
    bool removable = false;
};

// Drives in letter order: C is the user's home folder; D, E, ... are the other writable mounted
// block-device file systems in order of mount point; VISTAL_DRIVE_<LETTER>=<folder> overrides or adds one.
// The mount table and the sysfs block folder are parameters so tests can give fixtures.
QList<DriveEntry> ListDrives(const QString& mountsFile = QStringLiteral("/proc/self/mounts"),
                             const QString& sysBlockDir = QStringLiteral("/sys/class/block"));

// The folder of a drive letter (either case), "" when the letter is not mapped.
QString DriveFolder(QChar letter);

// Total and free bytes of the file system that holds folder (statvfs). 0 on success, -1 on failure.
int GetDiskSpace(const QString& folder, uint64_t* totalBytes, uint64_t* freeBytes);
