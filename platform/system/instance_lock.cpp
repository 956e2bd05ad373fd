#include "platform/system/instance_lock.h"

#include "platform/system/runtime_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

InstanceLock* InstanceLock::Acquire(const QString& name, bool* heldElsewhere) {
    if (heldElsewhere)
        *heldElsewhere = false;
    const QString folder = UserRuntimeFolder();
    if (folder.isEmpty())
        return nullptr;
    QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
    int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (heldElsewhere)
            *heldElsewhere = errno == EWOULDBLOCK;
        close(fd);
        return nullptr;
    }
    return new InstanceLock(fd);
}

InstanceLock::~InstanceLock() {
    flock(m_fd, LOCK_UN);
    close(m_fd);
}
