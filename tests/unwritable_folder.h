#pragma once

// Makes a folder that cannot be written for the life of the object: its mode first, and where that is not
// enough (a process with root's rights ignores modes) the file system's immutable flag, which binds root
// too. Restored when the object goes, so the test's temporary folders can still be removed.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>

class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& folder) : m_path(QFile::encodeName(folder)) {
        if (chmod(m_path.constData(), 0555) != 0)
            return;
        m_chmodded = true;
        if (access(m_path.constData(), W_OK) != 0)
            return;
        m_immutable = SetImmutable(true);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    ~UnwritableFolder() { Restore(); }

    // Whether the folder now refuses writes.
    bool Holds() const { return m_chmodded && access(m_path.constData(), W_OK) != 0; }
    void Restore() {
        if (m_immutable)
            SetImmutable(false);
        if (m_chmodded)
            chmod(m_path.constData(), 0755);
        m_immutable = m_chmodded = false;
    }

private:
    bool SetImmutable(bool on) {
        int fd = open(m_path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return ok;
    }

    QByteArray m_path;
    bool m_chmodded = false;
    bool m_immutable = false;
};
