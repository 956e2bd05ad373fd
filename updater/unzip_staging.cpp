#include "updater/unzip_staging.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

int SystemRename(const char* from, const char* to) {
    return std::rename(from, to);
}

// A free name beside the target for its old file: a placeholder made by mkstemp, which the move then
// replaces. Empty when none could be made.
QByteArray ReserveOldCopyName(const QByteArray& target) {
    QFileInfo info(QFile::decodeName(target));
    QByteArray name = QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName() +
                                        QStringLiteral(".old-XXXXXX"));
    int fd = mkstemp(name.data());
    if (fd < 0)
        return QByteArray();
    close(fd);
    return name;
}

}  // namespace

UnzipStaging::UnzipStaging(RenameFunction rename) : m_rename(rename != nullptr ? rename : SystemRename) {}

void UnzipStaging::AddFile(const QString& tempPath, const QString& target) {
    m_files.push_back(StagedFile{tempPath, target});
}

bool UnzipStaging::CheckTargets() const {
    for (const StagedFile& f : m_files) {
        QByteArray target = QFile::encodeName(f.target);
        QByteArray folder = QFile::encodeName(QFileInfo(f.target).path());
        struct stat st;
        // The folder must be a folder we may write in (another entry may have made a file of its name).
        if (stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
            access(folder.constData(), W_OK) != 0)
            return false;
        // An existing target is a file that may be written, or a link (the move replaces the link itself).
        if (lstat(target.constData(), &st) == 0) {
            if (S_ISLNK(st.st_mode))
                continue;
            if (!S_ISREG(st.st_mode) || access(target.constData(), W_OK) != 0)
                return false;
        } else if (errno != ENOENT) {
            return false;
        }
    }
    return true;
}

bool UnzipStaging::MoveOldFilesAside(std::vector<MovedAside>* aside) {
    for (const StagedFile& f : m_files) {
        QByteArray target = QFile::encodeName(f.target);
        struct stat st;
        // A target named twice was moved aside the first time.
        if (lstat(target.constData(), &st) != 0)
            continue;
        QByteArray oldCopy = ReserveOldCopyName(target);
        if (oldCopy.isEmpty())
            return false;
        if (m_rename(target.constData(), oldCopy.constData()) != 0) {
            unlink(oldCopy.constData());
            return false;
        }
        aside->push_back(MovedAside{target, oldCopy});
    }
    return true;
}

void UnzipStaging::MoveOldFilesBack(const std::vector<MovedAside>& aside) {
    for (auto it = aside.crbegin(); it != aside.crend(); ++it)
        m_rename(it->oldCopy.constData(), it->target.constData());
}

bool UnzipStaging::Commit() {
    std::vector<MovedAside> aside;
    bool ok = CheckTargets() && MoveOldFilesAside(&aside);
    size_t movedIn = 0;
    while (ok && movedIn < m_files.size()) {
        QByteArray from = QFile::encodeName(m_files[movedIn].tempPath);
        QByteArray to = QFile::encodeName(m_files[movedIn].target);
        if (m_rename(from.constData(), to.constData()) != 0)
            ok = false;
        else
            ++movedIn;
    }
    if (ok) {
        for (const MovedAside& a : aside)
            unlink(a.oldCopy.constData());
        m_files.clear();
        m_createdFolders.clear();
        return true;
    }
    // Take the new files out (a target where nothing was before goes), then put the old ones back.
    for (size_t i = 0; i < movedIn; ++i)
        unlink(QFile::encodeName(m_files[i].target).constData());
    MoveOldFilesBack(aside);
    Discard();
    return false;
}

void UnzipStaging::Discard() {
    for (const StagedFile& f : m_files)
        unlink(QFile::encodeName(f.tempPath).constData());
    m_files.clear();
    // Deepest first; rmdir only removes folders that are empty.
    for (auto it = m_createdFolders.crbegin(); it != m_createdFolders.crend(); ++it)
        rmdir(QFile::encodeName(*it).constData());
    m_createdFolders.clear();
}
