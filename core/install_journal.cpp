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
#include <cstring>

namespace {

std::atomic<InstallStepHook> g_stepHook{nullptr};

// The first line of a journal whose paths are relative to its folder.
constexpr char kRelativeMark[] = "vistal-install-journal 2";

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// The folder as the journal's paths are measured from: no trailing separator, no "." or ".." parts.
QString CleanFolder(const QString& folder) {
    return QDir::cleanPath(folder);
}

// A path relative to the installation folder that stays inside it: not absolute, no ".." part, something
// other than the folder itself, and never the journal.
bool IsInsideRelative(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')))
        return false;
    bool namesSomething = false;
    for (const QString& part : path.split(QLatin1Char('/'))) {
        if (part == QLatin1String("..") || IsInstallJournalName(part))
            return false;
        namesSomething = namesSomething || (!part.isEmpty() && part != QLatin1String("."));
    }
    return namesSomething;
}

// path relative to folder (cleaned) when it lies inside it; empty otherwise.
QString RelativeInside(const QString& folder, const QString& path) {
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (!path.startsWith(prefix))
        return QString();
    const QString relative = path.mid(prefix.size());
    return IsInsideRelative(relative) ? relative : QString();
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

// Makes the folder's entries (a rename, a new or removed file) reach the disk.
void FlushFolder(const QString& folder) {
    int fd = open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

// What a journal says, its paths relative to the folder. Only whole lines count: a line cut by a power
// loss is not there.
struct JournalContent {
    QStringList temporaries;
    QStringList folders;
    std::vector<PlannedMove> moves;
    bool planComplete = false;
    bool done = false;
    QString outside;  // the first path that does not lie inside the folder
};

// One path word of a journal line ("-" for none) as a path relative to folder. A journal of the relative
// form holds only relative paths; one of the older form only absolute paths inside folder.
bool ReadPath(const QByteArray& word, bool relativeForm, const QString& folder, QString* path,
              JournalContent* content) {
    if (word == "-") {
        path->clear();
        return true;
    }
    const QString decoded = QFile::decodeName(QByteArray::fromPercentEncoding(word));
    *path =
        relativeForm ? (IsInsideRelative(decoded) ? decoded : QString()) : RelativeInside(folder, decoded);
    if (path->isEmpty() && content->outside.isEmpty())
        content->outside = decoded;
    return !path->isEmpty();
}

JournalContent ParseJournal(const QByteArray& bytes, const QString& folder) {
    JournalContent content;
    std::vector<PlannedMove> plan;
    const qsizetype end = bytes.lastIndexOf('\n');
    const QList<QByteArray> lines = bytes.left(end + 1).split('\n');
    const bool relativeForm = !lines.isEmpty() && lines[0] == kRelativeMark;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> words = line.split(' ');
        QString a, b, c;
        if (words[0] == "temp" && words.size() == 2) {
            if (ReadPath(words[1], relativeForm, folder, &a, &content))
                content.temporaries << a;
        } else if (words[0] == "folder" && words.size() == 2) {
            if (ReadPath(words[1], relativeForm, folder, &a, &content))
                content.folders << a;
        } else if (words[0] == "move" && words.size() == 4) {
            // A move always has its temporary file and its target.
            const bool ok = ReadPath(words[1], relativeForm, folder, &a, &content) &&
                            ReadPath(words[2], relativeForm, folder, &b, &content) &&
                            ReadPath(words[3], relativeForm, folder, &c, &content);
            if (ok && (a.isEmpty() || b.isEmpty()) && content.outside.isEmpty())
                content.outside = QString::fromLatin1(line);
            plan.push_back(PlannedMove{a, b, c});
        } else if (line == "plan-end") {
            content.moves = plan;
            content.planComplete = true;
        } else if (line == "done" && content.planComplete) {
            content.done = true;
        }
    }
    return content;
}

// The recovery's file operations, all relative to the installation folder's descriptor. A step that
// fails for any reason but a missing file marks the recovery failed.
class FolderActions {
public:
    explicit FolderActions(int folderFd) : m_fd(folderFd) {}

    bool Exists(const QString& path) const {
        struct stat st;
        return !path.isEmpty() && fstatat(m_fd, Native(path).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    }
    void Rename(const QString& from, const QString& to) {
        if (renameat(m_fd, Native(from).constData(), m_fd, Native(to).constData()) != 0)
            Fail("rename", from);
    }
    void Remove(const QString& path) {
        if (!path.isEmpty() && unlinkat(m_fd, Native(path).constData(), 0) != 0 && errno != ENOENT)
            Fail("remove", path);
    }
    // Only an empty folder goes; one that still holds files is kept.
    void RemoveFolder(const QString& path) {
        if (unlinkat(m_fd, Native(path).constData(), AT_REMOVEDIR) != 0 && errno != ENOENT &&
            errno != ENOTEMPTY && errno != EEXIST && errno != EBUSY)
            Fail("remove", path);
    }
    bool Failed() const { return !m_failure.isEmpty(); }
    const QString& Failure() const { return m_failure; }

private:
    void Fail(const char* what, const QString& path) {
        if (m_failure.isEmpty())
            m_failure = QStringLiteral("cannot %1 %2: %3")
                            .arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
    }

    int m_fd;
    QString m_failure;
};

// Puts back what the planned moves changed: each old file moved aside goes back over its target, and a
// new file moved in where nothing was is taken out. Later moves first.
void RollBack(const std::vector<PlannedMove>& moves, FolderActions* actions) {
    for (auto it = moves.crbegin(); it != moves.crend(); ++it) {
        if (!it->oldCopy.isEmpty()) {
            if (actions->Exists(it->oldCopy))
                actions->Rename(it->oldCopy, it->target);
        } else if (!actions->Exists(it->tempPath) && actions->Exists(it->target)) {
            actions->Remove(it->target);
        }
    }
}

void RemoveLeftovers(const JournalContent& content, FolderActions* actions) {
    for (const QString& path : content.temporaries)
        actions->Remove(path);
    for (const PlannedMove& move : content.moves)
        actions->Remove(move.tempPath);
    // Deepest (latest) first; only empty folders go.
    for (auto it = content.folders.crbegin(); it != content.folders.crend(); ++it)
        actions->RemoveFolder(*it);
}

// Closes a descriptor at the end of a scope.
class FdCloser {
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    ~FdCloser() {
        if (m_fd >= 0)
            close(m_fd);
    }

private:
    int m_fd;
};

QByteArray ReadAll(int fd) {
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
    return bytes;
}

InstallRecovery Refuse(InstallRecovery result, const QString& text, QString* problem) {
    if (problem != nullptr)
        *problem = text;
    return result;
}

}  // namespace

bool IsInstallJournalName(const QString& name) {
    return name.startsWith(QLatin1String(INSTALL_JOURNAL_NAME), Qt::CaseInsensitive);
}

InstallRecovery RecoverInstall(const QString& folderPath, QString* problem) {
    const QString folder = CleanFolder(folderPath);
    const QString journalPath = folder + QLatin1Char('/') + QLatin1String(INSTALL_JOURNAL_NAME);
    const int folderFd = open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0 && errno == ENOENT)
        return RECOVERY_NONE;
    FdCloser folderCloser(folderFd);
    const QString cannotRecover = QStringLiteral(
        "an update stopped half-way in %1 cannot be finished or undone (%2); the installation may be "
        "mixed. Start again once the folder can be written.");
    if (folderFd < 0)
        return Refuse(RECOVERY_FAILED,
                      cannotRecover.arg(folder, QString::fromLocal8Bit(std::strerror(errno))), problem);
    const int fd = openat(folderFd, INSTALL_JOURNAL_NAME, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return RECOVERY_NONE;
    FdCloser journalCloser(fd);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return Refuse(RECOVERY_REFUSED,
                      QStringLiteral("%1 is not an update journal this program can read; nothing was "
                                     "changed. Check the installation, then remove that file.")
                          .arg(journalPath),
                      problem);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return RECOVERY_BUSY;
    const JournalContent content = ParseJournal(ReadAll(fd), folder);
    if (!content.outside.isEmpty())
        return Refuse(RECOVERY_REFUSED,
                      QStringLiteral("the update journal %1 names %2, which is not inside the installation "
                                     "folder; nothing was changed. Check the installation, then remove the "
                                     "journal.")
                          .arg(journalPath, content.outside),
                      problem);
    // Nothing is started that could not be finished: a folder that cannot be written is left as it is.
    if (faccessat(folderFd, ".", W_OK, 0) != 0)
        return Refuse(RECOVERY_FAILED,
                      cannotRecover.arg(folder, QString::fromLocal8Bit(std::strerror(errno))), problem);
    FolderActions actions(folderFd);
    InstallRecovery result = RECOVERY_CLEANED;
    if (content.done) {
        // A move the disk did not keep is made again; then the old files go.
        for (const PlannedMove& move : content.moves) {
            if (actions.Exists(move.tempPath))
                actions.Rename(move.tempPath, move.target);
            actions.Remove(move.oldCopy);
        }
        result = RECOVERY_FINISHED;
    } else {
        if (content.planComplete) {
            RollBack(content.moves, &actions);
            result = RECOVERY_ROLLED_BACK;
        }
        RemoveLeftovers(content, &actions);
    }
    if (!actions.Failed())
        actions.Remove(QLatin1String(INSTALL_JOURNAL_NAME));
    FlushFolder(folder);
    // What could not be done is done by the next start: the journal stays.
    if (actions.Failed())
        return Refuse(RECOVERY_FAILED, cannotRecover.arg(folder, actions.Failure()), problem);
    return result;
}

InstallJournal::~InstallJournal() {
    if (m_fd >= 0)
        close(m_fd);
}

int InstallJournal::Begin(const QString& folder) {
    if (m_fd >= 0)
        return -1;
    const InstallRecovery earlier = RecoverInstall(folder);
    if (earlier == RECOVERY_BUSY || earlier == RECOVERY_REFUSED || earlier == RECOVERY_FAILED)
        return -1;
    // The unpacking makes an installation folder that is not there yet; the journal goes in first.
    if (!QDir().mkpath(folder))
        return -1;
    m_folder = CleanFolder(folder);
    m_path = m_folder + QLatin1Char('/') + QLatin1String(INSTALL_JOURNAL_NAME);
    m_fd = open(Native(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return -1;
    // The form's mark is on disk before any line that depends on it.
    if (flock(m_fd, LOCK_EX | LOCK_NB) != 0 || Append(QByteArray(kRelativeMark) + '\n', true) != 0) {
        close(m_fd);
        m_fd = -1;
        unlink(Native(m_path).constData());
        return -1;
    }
    // The journal's own name must survive a power loss before anything it lists is made.
    FlushFolder(m_folder);
    return 0;
}

bool InstallJournal::Word(const QString& path, QByteArray* word) const {
    if (path.isEmpty()) {
        *word = "-";
        return true;
    }
    const QString relative = RelativeInside(m_folder, QDir::cleanPath(path));
    *word = Native(relative).toPercentEncoding();
    return !relative.isEmpty();
}

int InstallJournal::Append(const QByteArray& line, bool flush) {
    if (m_fd < 0)
        return 0;
    if (!WriteAll(m_fd, line))
        return -1;
    return !flush || fdatasync(m_fd) == 0 ? 0 : -1;
}

int InstallJournal::NoteTemporary(const QString& path) {
    QByteArray word;
    if (m_fd >= 0 && !Word(path, &word))
        return -1;
    return Append("temp " + word + '\n', false);
}

int InstallJournal::NoteFolder(const QString& path) {
    QByteArray word;
    if (m_fd >= 0 && !Word(path, &word))
        return -1;
    return Append("folder " + word + '\n', false);
}

int InstallJournal::WritePlan(const std::vector<PlannedMove>& moves) {
    QByteArray plan;
    for (const PlannedMove& move : moves) {
        QByteArray temp, target, oldCopy;
        if (m_fd >= 0 && (move.tempPath.isEmpty() || move.target.isEmpty() || !Word(move.tempPath, &temp) ||
                          !Word(move.target, &target) || !Word(move.oldCopy, &oldCopy)))
            return -1;
        plan += "move " + temp + ' ' + target + ' ' + oldCopy + '\n';
    }
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
