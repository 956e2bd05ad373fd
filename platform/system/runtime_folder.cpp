#include "platform/system/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace {
bool MakePrivateFolder(const QByteArray& path) {
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return false;
    return (st.st_mode & 077) == 0;
}
}  // namespace

QString UserRuntimeFolder() {
    QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    QByteArray folder;
    if (!runtime.isEmpty() && access(runtime.constData(), W_OK) == 0) {
        folder = runtime + "/vistal";
    } else {
        folder = "/tmp/vistal-" + QByteArray::number(getuid());
    }
    return MakePrivateFolder(folder) ? QFile::decodeName(folder) : QString();
}
