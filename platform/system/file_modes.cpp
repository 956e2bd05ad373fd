#include "platform/system/file_modes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSaveFile>
#include <cerrno>

namespace {

// The mode a file written again keeps: its own, without the bits the wanted mode lacks.
mode_t NarrowedMode(mode_t existing, mode_t wanted) {
    return existing & 07777 & wanted;
}

}  // namespace

bool OpenSaveFile(QSaveFile* file, mode_t mode) {
    if (!file->open(QIODevice::WriteOnly))
        return false;
    struct stat st;
    const QByteArray target = QFile::encodeName(file->fileName());
    const mode_t wanted = stat(target.constData(), &st) == 0 ? NarrowedMode(st.st_mode, mode) : mode;
    if (fchmod(file->handle(), wanted) != 0) {
        file->cancelWriting();
        return false;
    }
    return true;
}

int OpenFileWithMode(const QByteArray& native, int flags, mode_t mode) {
    flags |= O_CLOEXEC;
    if ((flags & O_CREAT) == 0)
        return open(native.constData(), flags);
    // Made here: exactly the wanted mode.
    int fd = open(native.constData(), flags | O_EXCL, mode);
    if (fd >= 0) {
        if (fchmod(fd, mode) != 0) {
            close(fd);
            unlink(native.constData());
            return -1;
        }
        return fd;
    }
    if (errno != EEXIST || (flags & O_EXCL) != 0)
        return -1;
    fd = open(native.constData(), flags & ~O_CREAT);
    struct stat st;
    // A file of another owner keeps its mode (it cannot be changed); only a regular file is narrowed.
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 07777 & ~mode) != 0)
        static_cast<void>(fchmod(fd, NarrowedMode(st.st_mode, mode)));
    return fd;
}
