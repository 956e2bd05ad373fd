#include "updater/unzip_staging.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "updater/signal_cleanup.h"

namespace {

int SystemRename(const char* from, const char* to) {
    return std::rename(from, to);
}

// A name beside target that nothing uses: "." + its file name + infix + six random letters. Empty when
// none was found.
QByteArray FreeNameBeside(const QString& target, const QString& infix) {
    QFileInfo info(target);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray suffix(6, 'x');
        for (char& c : suffix)
            c = kLetters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof kLetters - 1))];
        QByteArray name =
            QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName() + infix) + suffix;
        struct stat st;
        if (lstat(name.constData(), &st) != 0 && errno == ENOENT)
            return name;
    }
    return QByteArray();
}

}  // namespace

UnzipStaging::UnzipStaging(RenameFunction rename) : m_rename(rename != nullptr ? rename : SystemRename) {}

bool UnzipStaging::Begin(const QString& folder) {
    return m_journal.Begin(folder) == 0;
}

bool UnzipStaging::NoteFolder(const QString& folder) {
    return m_journal.NoteFolder(folder) == 0;
}

int UnzipStaging::CreateTemporary(const QString& target, QString* tempPath) {
    InstallStep("unpack");
    for (int attempt = 0; attempt < 10; ++attempt) {
        // Named in the journal before it exists, so that a run stopped at any point leaves none behind.
        QByteArray name = FreeNameBeside(target, QStringLiteral("."));
        if (name.isEmpty() || m_journal.NoteTemporary(QFile::decodeName(name)) != 0)
            return -1;
        int fd = open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            *tempPath = QFile::decodeName(name);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

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

std::vector<PlannedMove> UnzipStaging::PlanMoves() const {
    std::vector<PlannedMove> plan;
    QStringList planned;
    for (const StagedFile& f : m_files) {
        PlannedMove move{f.tempPath, f.target, QString()};
        // A target named twice is moved aside the first time only.
        struct stat st;
        if (!planned.contains(f.target) && lstat(QFile::encodeName(f.target).constData(), &st) == 0) {
            QByteArray oldCopy = FreeNameBeside(f.target, QStringLiteral(".old-"));
            if (oldCopy.isEmpty())
                return {};
            move.oldCopy = QFile::decodeName(oldCopy);
        }
        planned << f.target;
        plan.push_back(move);
    }
    return plan;
}

bool UnzipStaging::MoveOldFilesAside(const std::vector<PlannedMove>& plan, std::vector<MovedAside>* aside) {
    for (const PlannedMove& move : plan) {
        if (move.oldCopy.isEmpty())
            continue;
        QByteArray target = QFile::encodeName(move.target);
        QByteArray oldCopy = QFile::encodeName(move.oldCopy);
        InstallStep("aside");
        // A termination signal stops the commit here: what was moved is put back.
        if (TerminationPending() || m_rename(target.constData(), oldCopy.constData()) != 0)
            return false;
        aside->push_back(MovedAside{target, oldCopy});
    }
    return true;
}

void UnzipStaging::MoveOldFilesBack(const std::vector<MovedAside>& aside) {
    for (auto it = aside.crbegin(); it != aside.crend(); ++it)
        m_rename(it->oldCopy.constData(), it->target.constData());
}

bool UnzipStaging::Commit() {
    // A termination signal during the commit undoes it (once every new file is in, lets it finish) before
    // the program ends, as the next start would: the installation is never left mixed.
    TerminationHold hold;
    std::vector<MovedAside> aside;
    bool ok = CheckTargets();
    std::vector<PlannedMove> plan;
    if (ok) {
        plan = PlanMoves();
        ok = plan.size() == m_files.size();
    }
    // The plan is on disk before the first move: a run stopped from here on is finished or undone.
    if (ok) {
        InstallStep("plan");
        ok = !TerminationPending() && m_journal.WritePlan(plan) == 0;
    }
    ok = ok && MoveOldFilesAside(plan, &aside);
    size_t movedIn = 0;
    while (ok && movedIn < m_files.size()) {
        QByteArray from = QFile::encodeName(m_files[movedIn].tempPath);
        QByteArray to = QFile::encodeName(m_files[movedIn].target);
        InstallStep("in");
        if (TerminationPending() || m_rename(from.constData(), to.constData()) != 0)
            ok = false;
        else
            ++movedIn;
    }
    if (ok) {
        // Once every new file is in, the update stands even when its cleanup is cut short (or a
        // termination signal came meanwhile: finishing then costs less than undoing every move).
        InstallStep("done");
        static_cast<void>(m_journal.MarkDone());
        for (const MovedAside& a : aside) {
            InstallStep("remove-old");
            unlink(a.oldCopy.constData());
        }
        m_files.clear();
        m_createdFolders.clear();
        InstallStep("remove-journal");
        m_journal.Remove();
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
    m_journal.Remove();
}
