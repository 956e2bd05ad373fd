#include "core/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSaveFile>

#include "platform/system/file_modes.h"
#include "platform/system/paths.h"

namespace {
QByteArray Utf16WithBom(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}
}  // namespace

bool PathExists(const QString& path) {
    struct stat st;
    return lstat(QFile::encodeName(ToNativePath(path)).constData(), &st) == 0;
}

bool CreateUtf16FileIfAbsent(const QString& path, const QString& text, mode_t mode) {
    QByteArray native = QFile::encodeName(ToNativePath(path));
    int fd = OpenFileWithMode(native, O_WRONLY | O_CREAT | O_EXCL, mode);
    if (fd < 0)
        return false;
    QByteArray bytes = Utf16WithBom(text);
    bool ok = write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    close(fd);
    return ok;
}

bool ReplaceUtf16File(const QString& path, const QString& text) {
    QSaveFile f(ToNativePath(path));
    if (!OpenSaveFile(&f, FILE_MODE_SHARED))
        return false;
    QByteArray bytes = Utf16WithBom(text);
    if (f.write(bytes) != bytes.size())
        return false;
    return f.commit();
}
