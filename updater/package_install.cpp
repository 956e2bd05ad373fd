#include "updater/package_install.h"

#include <sys/statvfs.h>

#include <QFile>
#include <QFileInfo>

#include "updater/unzipper.h"

namespace {

// Free bytes for an unprivileged user in the file system of path (or of its nearest existing folder).
bool FreeSpace(const QString& path, uint64_t* bytes) {
    QString existing = QFileInfo(path).absoluteFilePath();
    struct statvfs vfs;
    while (statvfs(QFile::encodeName(existing).constData(), &vfs) != 0) {
        QString parent = QFileInfo(existing).path();
        if (parent == existing)
            return false;
        existing = parent;
    }
    *bytes = uint64_t(vfs.f_bavail) * uint64_t(vfs.f_frsize);
    return true;
}

// Whether the entries' declared sizes fit the limits; a package bigger than it claims is stopped entry
// by entry while it unpacks.
bool FitsLimits(CUnzipper& unzipper, const QString& folder, const PackageLimits& limits) {
    uint64_t total = 0;
    if (unzipper.GoToFirstEntry()) {
        do {
            UnzipEntryInfo info;
            if (!unzipper.GetEntryInfo(&info))
                return false;
            total += info.uncompressedSize;
            if (total > limits.maxUnpackedBytes)
                return false;
        } while (unzipper.GoToNextEntry());
    }
    uint64_t free = 0;
    return FreeSpace(folder, &free) && free >= limits.freeSpaceMargin &&
           total <= free - limits.freeSpaceMargin;
}

}  // namespace

int InstallPackage(const QString& zipPath, const QString& folder, const PackageLimits& limits,
                   UnzipStaging::RenameFunction rename) {
    CUnzipper unzipper;
    if (!unzipper.Open(zipPath) || !FitsLimits(unzipper, folder, limits))
        return 0;
    UnzipStaging staging(rename);
    if (!staging.Begin(folder))
        return 0;
    if (unzipper.GoToFirstEntry()) {
        do {
            if (!unzipper.ExtractEntry(folder, false, &staging))
                return 0;
        } while (unzipper.GoToNextEntry());
    } else if (unzipper.GetEntryCount() != 0) {
        return 0;
    }
    return staging.Commit() ? 1 : 0;
}
