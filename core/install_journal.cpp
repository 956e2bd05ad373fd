#include "core/install_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstdio>

namespace {

std::atomic<InstallStepHook> g_stepHook{nullptr};

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// A path as one word of a journal line ("-" for none).
QByteArray Word(const QString& path) {
    return path.isEmpty() ? QByteArray("-") : Native(path).toPercentEncoding();
}

QString Path(const QByteArray& word) {
    return word == "-" ? QString() : QFile::decodeName(QByteArray::fromPercentEncoding(word));
}

bool Exists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && lstat(Native(path).constData(), &st) == 0;
}

void RemoveFile(const QString& path) {
    if (!path.isEmpty())
        unlink(Native(path).constData());
}

// Makes the folder's entries (a rename, a new or removed file) reach the disk.
void FlushFolder(const QString& folder) {
    int fd = open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// What a journal says. Only whole lines count: a line cut by a power loss is not there.
struct JournalContent {
    QStringList temporaries;
    QStringList folders;
    std::vector<PlannedMove> moves;
    bool planComplete = false;
    bool done = false;
};

JournalContent ParseJournal(const QByteArray& bytes) {
    JournalContent content;
    std::vector<PlannedMove> plan;
    const qsizetype end = bytes.lastIndexOf('\n');
    for (const QByteArray& line : bytes.left(end + 1).split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words[0] == "temp" && words.size() == 2) {
            content.temporaries << Path(words[1]);
        } else if (words[0] == "folder" && words.size() == 2) {
            content.folders << Path(words[1]);
        } else if (words[0] == "move" && words.size() == 4) {
            plan.push_back(PlannedMove{Path(words[1]), Path(words[2]), Path(words[3])});
        } else if (line == "plan-end") {
            content.moves = plan;
            content.planComplete = true;
        } else if (line == "done" && content.planComplete) {
            content.done = true;
        }
    }
    return content;
}

// Puts back what the planned moves changed: each old file moved aside goes back over its target, and a
// new file moved in where nothing was is taken out. Later moves first.
void RollBack(const std::vector<PlannedMove>& moves) {
    for (auto it = moves.crbegin(); it != moves.crend(); ++it) {
        if (!it->oldCopy.isEmpty()) {
            if (Exists(it->oldCopy))
                std::rename(Native(it->oldCopy).constData(), Native(it->target).constData());
        } else if (!Exists(it->tempPath) && Exists(it->target)) {
            RemoveFile(it->target);
        }
    }
}

void RemoveLeftovers(const JournalContent& content) {
    for (const QString& path : content.temporaries)
        RemoveFile(path);
    for (const PlannedMove& move : content.moves)
        RemoveFile(move.tempPath);
    // Deepest (latest) first; only empty folders go.
    for (auto it = content.folders.crbegin(); it != content.folders.crend(); ++it)
        rmdir(Native(*it).constData());
}

}  // namespace

InstallRecovery RecoverInstall(const QString& folder) {
    const QString path = folder + QLatin1Char('/') + QLatin1String(INSTALL_JOURNAL_NAME);
    int fd = open(Native(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return RECOVERY_NONE;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return RECOVERY_BUSY;
    }
    QByteArray bytes;
    char chunk[4096];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(chunk, n);
    }
    const JournalContent content = ParseJournal(bytes);
    InstallRecovery result = RECOVERY_CLEANED;
    if (content.done) {
        // A move the disk did not keep is made again; then the old files go.
        for (const PlannedMove& move : content.moves) {
            if (Exists(move.tempPath))
                std::rename(Native(move.tempPath).constData(), Native(move.target).constData());
            RemoveFile(move.oldCopy);
        }
        result = RECOVERY_FINISHED;
    } else {
        if (content.planComplete) {
            RollBack(content.moves);
            result = RECOVERY_ROLLED_BACK;
        }
        RemoveLeftovers(content);
    }
    FlushFolder(folder);
    unlink(Native(path).constData());
    FlushFolder(folder);
    close(fd);
    return result;
}

InstallJournal::~InstallJournal() {
    if (m_fd >= 0)
        close(m_fd);
}

int InstallJournal::Begin(const QString& folder) {
    if (m_fd >= 0 || RecoverInstall(folder) == RECOVERY_BUSY)
        return -1;
    // The unpacking makes an installation folder that is not there yet; the journal goes in first.
    if (!QDir().mkpath(folder))
        return -1;
    m_folder = folder;
    m_path = folder + QLatin1Char('/') + QLatin1String(INSTALL_JOURNAL_NAME);
    m_fd = open(Native(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return -1;
    if (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        close(m_fd);
        m_fd = -1;
        return -1;
    }
    // The journal's own name must survive a power loss before anything it lists is made.
    FlushFolder(folder);
    return 0;
}

int InstallJournal::Append(const QByteArray& line, bool flush) {
    if (m_fd < 0)
        return 0;
    if (!WriteAll(m_fd, line))
        return -1;
    return !flush || fdatasync(m_fd) == 0 ? 0 : -1;
}

int InstallJournal::NoteTemporary(const QString& path) {
    return Append("temp " + Word(path) + '\n', false);
}

int InstallJournal::NoteFolder(const QString& path) {
    return Append("folder " + Word(path) + '\n', false);
}

int InstallJournal::WritePlan(const std::vector<PlannedMove>& moves) {
    QByteArray plan;
    for (const PlannedMove& move : moves)
        plan += "move " + Word(move.tempPath) + ' ' + Word(move.target) + ' ' + Word(move.oldCopy) + '\n';
    plan += "plan-end\n";
    m_moveFolders.clear();
    for (const PlannedMove& move : moves) {
        const QString folder = move.target.left(move.target.lastIndexOf(QLatin1Char('/')));
        if (!m_moveFolders.contains(folder))
            m_moveFolders << folder;
    }
    // The temporary files' entries first, so that the plan never names files a power loss lost.
    for (const QString& folder : m_moveFolders)
        FlushFolder(folder);
    return Append(plan, true);
}

int InstallJournal::MarkDone() {
    // Every move must be on disk before the journal says so.
    for (const QString& folder : m_moveFolders)
        FlushFolder(folder);
    return Append("done\n", true);
}

void InstallJournal::Remove() {
    if (m_fd < 0)
        return;
    unlink(Native(m_path).constData());
    FlushFolder(m_folder);
    close(m_fd);
    m_fd = -1;
}

void SetInstallStepHook(InstallStepHook hook) {
    g_stepHook.store(hook);
}

void InstallStep(const char* step) {
    InstallStepHook hook = g_stepHook.load();
    if (hook != nullptr)
        hook(step);
}
