#pragma once

// The journal of an update's unpacking, kept in the installation folder while Updater works there, so
// that a run stopped at any point (killed, or the power lost) is finished or undone by the next start of
// Updater or Vistal and leaves no stray file.
//
// While entries come out, each temporary file and each folder made is noted as it is made. Before the
// first file is moved, every planned move (temporary file, target, and the name the old file is moved
// aside to) is written and flushed to disk, closed by an end line; once every new file is in, a "done"
// line is flushed. The next start reads it: without a complete plan, the temporary files and folders are
// removed; with a plan but not done, the old files are moved back and the new ones taken out; when done,
// the old files moved aside are removed. The journal is removed last. The file is locked while its run
// goes on, so another start never touches a run that is still working.
//
// The journal names files relative to the installation folder (its first line marks that form), so that a
// folder renamed or moved between a stop and the next start is recovered where it is then. Recovery acts
// only inside the folder it recovers: a journal that names anything else is refused as a whole and nothing
// is touched. A journal of the older form (absolute paths, no mark) is still read when every path in it
// lies inside the folder.

#include <QString>
#include <QStringList>
#include <vector>

// The journal's name in the installation folder.
constexpr char INSTALL_JOURNAL_NAME[] = ".vistal-update.journal";

// Whether a file name (one part of a path) is the journal's or begins with it, as a temporary file of the
// journal would (compared without case, as on a folder that ignores it). No package entry may carry one.
bool IsInstallJournalName(const QString& name);

// One planned move: the temporary file onto its target, the old target first moved aside to oldCopy
// (empty when there was none).
struct PlannedMove {
    QString tempPath;
    QString target;
    QString oldCopy;
};

class InstallJournal {
public:
    InstallJournal() = default;
    InstallJournal(const InstallJournal&) = delete;
    InstallJournal& operator=(const InstallJournal&) = delete;
    // Closes (and unlocks) the journal; the file stays unless Remove was called.
    ~InstallJournal();

    // Finishes or undoes an earlier run left in folder, then starts a new journal there, locked. 0, or -1
    // when it cannot be made (or another run holds it).
    [[nodiscard]] int Begin(const QString& folder);
    bool IsOpen() const { return m_fd >= 0; }

    // Notes a temporary file or a folder as soon as it is made (not flushed: a power loss then at worst
    // leaves it behind, never a broken installation). 0, or -1 (also for a path outside the folder).
    [[nodiscard]] int NoteTemporary(const QString& path);
    [[nodiscard]] int NoteFolder(const QString& path);
    // Writes the whole plan and its end line and flushes the journal and its folder. 0, or -1 (then
    // nothing may be moved; also when a path lies outside the folder).
    [[nodiscard]] int WritePlan(const std::vector<PlannedMove>& moves);
    // Every new file is in: flushed "done". 0, or -1.
    [[nodiscard]] int MarkDone();
    // Removes the journal (after the run's own cleanup) and flushes the folder.
    void Remove();

private:
    [[nodiscard]] int Append(const QByteArray& line, bool flush);
    // A path inside the folder as the journal writes it (relative to the folder); false when outside.
    bool Word(const QString& path, QByteArray* word) const;

    int m_fd = -1;
    QString m_folder;
    QString m_path;
    QStringList m_moveFolders;  // the folders of the planned targets
};

// What RecoverInstall found.
enum InstallRecovery {
    RECOVERY_NONE,
    RECOVERY_BUSY,
    RECOVERY_CLEANED,
    RECOVERY_ROLLED_BACK,
    RECOVERY_FINISHED,
    // The journal names a path outside the folder (or is not a journal): nothing was touched and the
    // journal stays.
    RECOVERY_REFUSED,
    // The run cannot be finished or undone now (the folder cannot be written): the journal stays for the
    // next start.
    RECOVERY_FAILED
};

// Finishes or undoes a run whose journal is left in folder and removes its journal (nothing when there is
// none, or when its run still holds it: RECOVERY_BUSY). On RECOVERY_REFUSED and RECOVERY_FAILED the
// installation may be mixed and must not be used; *problem (when given) then says why in a sentence.
InstallRecovery RecoverInstall(const QString& folder, QString* problem = nullptr);

// A test stops a run at a chosen step: called with a short name before each step of the commit (a move, the
// plan, the done mark, a removal).
using InstallStepHook = void (*)(const char* step);
void SetInstallStepHook(InstallStepHook hook);
void InstallStep(const char* step);
