#include "updater/unzipper.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <ctime>

#include "core/install_journal.h"
#include "platform/system/codepage.h"
#include "updater/unzip_staging.h"

namespace {

constexpr int kCopyChunk = 2048;
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeFolder = 0x10;
constexpr uint32_t kMadeOnUnix = 3;

unzFile Handle(void* h) {
    return static_cast<unzFile>(h);
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

bool WriteAll(int fd, const char* data, int length) {
    while (length > 0) {
        ssize_t n = write(fd, data, size_t(length));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        length -= int(n);
    }
    return true;
}

// The access mode for an unpacked file: an archive made on Unix carries it in the high half of the
// external attributes; otherwise the replaced file's mode is kept (or 0644 for a new one), and the DOS
// read-only attribute takes the write bits away. Never more than 0755 for a program and 0644 for any
// other file, whatever the archive says; an entry marked as a symbolic link is written as a plain file
// (never as a link) and is no program.
mode_t ModeForEntry(const UnzipEntryInfo& info, const QString& target) {
    uint32_t unixAttributes = info.externalAttributes >> 16;
    mode_t unixMode = unixAttributes & 0777;
    mode_t mode = 0644;
    if ((info.versionMadeBy >> 8) == kMadeOnUnix && unixMode != 0) {
        mode = (unixAttributes & S_IFMT) == S_IFLNK ? mode_t(0644) : unixMode;
    } else {
        struct stat st;
        if (stat(QFile::encodeName(target).constData(), &st) == 0)
            mode = st.st_mode & 0777;
        if (info.externalAttributes & kAttributeReadOnly)
            mode &= ~mode_t(0222);
    }
    return (mode & 0111) != 0 ? (mode & 0755) : (mode & 0644);
}

}  // namespace

bool IsSafeEntryName(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return false;
    if (name.size() >= 2 && name[1] == QLatin1Char(':'))
        return false;
    QString slashed = name;
    slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = slashed.split(QLatin1Char('/'));
    // No entry climbs out of the folder, and none takes the name of the update's journal (or of a
    // temporary file of it): the journal is the installation's record of the running update.
    for (const QString& part : parts) {
        if (part == QLatin1String("..") || IsInstallJournalName(part))
            return false;
    }
    return true;
}

CUnzipper::CUnzipper(const QString& path) {
    Open(path);
}

CUnzipper::~CUnzipper() {
    Close();
}

bool CUnzipper::Open(const QString& path) {
    Close();
    if (path.isEmpty())
        return false;
    QFileInfo info(path);
    QString full = info.absoluteFilePath();
    m_hZip = unzOpen(QFile::encodeName(full).constData());
    if (m_hZip == nullptr)
        return false;
    QString suffix = info.suffix();
    m_szOutputFolder = suffix.isEmpty() ? full : full.left(full.size() - suffix.size() - 1);
    return true;
}

bool CUnzipper::Close() {
    if (m_hZip == nullptr)
        return false;
    unzCloseCurrentFile(Handle(m_hZip));
    int rc = unzClose(Handle(m_hZip));
    m_hZip = nullptr;
    m_szOutputFolder.clear();
    return rc == UNZ_OK;
}

int CUnzipper::GetEntryCount() {
    if (m_hZip == nullptr)
        return 0;
    unz_global_info global;
    if (unzGetGlobalInfo(Handle(m_hZip), &global) != UNZ_OK)
        return 0;
    return int(global.number_entry);
}

bool CUnzipper::GetEntryInfo(UnzipEntryInfo* info) {
    *info = UnzipEntryInfo();
    if (m_hZip == nullptr)
        return false;
    unz_file_info raw;
    char name[260] = {};
    char comment[255] = {};
    if (unzGetCurrentFileInfo(Handle(m_hZip), &raw, name, sizeof name - 1, nullptr, 0, comment,
                              sizeof comment - 1) != UNZ_OK)
        return false;
    info->name = AnsiToWide(QByteArray(name));
    // Archives made on Windows may separate folders with a backslash.
    info->name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    info->comment = AnsiToWide(QByteArray(comment));
    info->versionMadeBy = uint32_t(raw.version);
    info->versionNeeded = uint32_t(raw.version_needed);
    info->flag = uint32_t(raw.flag);
    info->compressionMethod = uint32_t(raw.compression_method);
    info->dosDate = uint32_t(raw.dosDate);
    info->crc = uint32_t(raw.crc);
    info->compressedSize = uint32_t(raw.compressed_size);
    info->uncompressedSize = uint32_t(raw.uncompressed_size);
    info->internalAttributes = uint32_t(raw.internal_fa);
    info->externalAttributes = uint32_t(raw.external_fa);
    info->isFolder =
        ((info->externalAttributes & kAttributeFolder) != 0 || info->name.endsWith(QLatin1Char('/'))) ? 1 : 0;
    return true;
}

bool CUnzipper::StepToExtension(int moveResult, const QString& extension) {
    while (moveResult == UNZ_OK) {
        if (extension.isEmpty())
            return true;
        UnzipEntryInfo info;
        if (GetEntryInfo(&info) && QFileInfo(info.name).suffix().compare(extension, Qt::CaseInsensitive) == 0)
            return true;
        moveResult = unzGoToNextFile(Handle(m_hZip));
    }
    return false;
}

bool CUnzipper::GoToFirstEntry(const QString& extension) {
    if (m_hZip == nullptr)
        return false;
    return StepToExtension(unzGoToFirstFile(Handle(m_hZip)), extension);
}

bool CUnzipper::GoToNextEntry(const QString& extension) {
    if (m_hZip == nullptr)
        return false;
    return StepToExtension(unzGoToNextFile(Handle(m_hZip)), extension);
}

bool CUnzipper::ExtractEntry(const QString& folder, bool ignorePath, UnzipStaging* staging) {
    if (m_hZip == nullptr)
        return false;
    QString base = folder.isEmpty() ? m_szOutputFolder : folder;
    if (!CreateFolderPath(base, staging))
        return false;
    UnzipEntryInfo info;
    if (!GetEntryInfo(&info) || !IsSafeEntryName(info.name))
        return false;
    if (info.isFolder)
        return CreateFolderPath(JoinPath(base, info.name), staging);

    QString name = info.name;
    if (ignorePath)
        name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty())
        return false;
    QString target = JoinPath(base, name);
    if (!CreateParentFolders(target, staging))
        return false;
    // An existing target must be a file that may be replaced: a read-only file stays as it is.
    QByteArray targetBytes = QFile::encodeName(target);
    struct stat st;
    if (lstat(targetBytes.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode) || access(targetBytes.constData(), W_OK) != 0)
            return false;
    }

    QFileInfo targetInfo(target);
    QByteArray tempTemplate = QFile::encodeName(targetInfo.path() + QStringLiteral("/.") +
                                                targetInfo.fileName() + QStringLiteral(".XXXXXX"));
    QString tempPath;
    int fd = staging != nullptr ? staging->CreateTemporary(target, &tempPath) : mkstemp(tempTemplate.data());
    if (fd < 0)
        return false;
    if (staging != nullptr)
        tempTemplate = QFile::encodeName(tempPath);
    else
        tempPath = QFile::decodeName(tempTemplate);

    bool complete = false;
    if (unzOpenCurrentFile(Handle(m_hZip)) == UNZ_OK) {
        char chunk[kCopyChunk];
        uint64_t written = 0;
        for (;;) {
            int got = unzReadCurrentFile(Handle(m_hZip), chunk, sizeof chunk);
            if (got == 0) {
                complete = true;
                break;
            }
            // An entry never writes more than its declared size (which the package's limits were
            // checked against).
            written += got > 0 ? uint64_t(got) : 0;
            if (got < 0 || written > info.uncompressedSize || !WriteAll(fd, chunk, got))
                break;
        }
        // Closing the entry reports a CRC that does not match the data read.
        if (unzCloseCurrentFile(Handle(m_hZip)) != UNZ_OK)
            complete = false;
    }
    if (complete && fchmod(fd, ModeForEntry(info, target)) != 0)
        complete = false;
    // A staged file is on disk before the journal's plan names it.
    if (complete && staging != nullptr && fsync(fd) != 0)
        complete = false;
    if (close(fd) != 0)
        complete = false;
    if (complete)
        SetFileTimeFromDos(tempPath, info.dosDate);
    if (!complete) {
        unlink(tempTemplate.constData());
        return false;
    }
    if (staging != nullptr) {
        staging->AddFile(tempPath, target);
        return true;
    }
    if (std::rename(tempTemplate.constData(), targetBytes.constData()) != 0) {
        unlink(tempTemplate.constData());
        return false;
    }
    return true;
}

bool CUnzipper::CreateFolderPath(const QString& path, UnzipStaging* staging) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    QByteArray bytes = QFile::encodeName(trimmed);
    struct stat st;
    if (stat(bytes.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    int slash = int(trimmed.lastIndexOf(QLatin1Char('/')));
    if (slash > 0 && !CreateFolderPath(trimmed.left(slash), staging))
        return false;
    if (staging != nullptr && !staging->NoteFolder(trimmed))
        return false;
    if (mkdir(bytes.constData(), 0755) == 0) {
        if (staging != nullptr)
            staging->FolderMade(trimmed);
        return true;
    }
    return errno == EEXIST;
}

bool CUnzipper::CreateParentFolders(const QString& filePath, UnzipStaging* staging) {
    int slash = int(filePath.lastIndexOf(QLatin1Char('/')));
    if (slash < 0)
        return false;
    if (slash == 0)
        return true;
    return CreateFolderPath(filePath.left(slash), staging);
}

bool CUnzipper::SetFileTimeFromDos(const QString& filePath, uint32_t dosDateTime) {
    uint32_t date = dosDateTime >> 16;
    uint32_t time = dosDateTime & 0xFFFF;
    struct tm local = {};
    local.tm_year = int((date >> 9) & 0x7F) + 80;
    local.tm_mon = int((date >> 5) & 0x0F) - 1;
    local.tm_mday = int(date & 0x1F);
    local.tm_hour = int(time >> 11);
    local.tm_min = int((time >> 5) & 0x3F);
    local.tm_sec = int(time & 0x1F) * 2;
    local.tm_isdst = -1;
    time_t when = mktime(&local);
    if (when == time_t(-1))
        return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = when;
    times[1].tv_nsec = 0;
    return utimensat(AT_FDCWD, QFile::encodeName(filePath).constData(), times, 0) == 0;
}
