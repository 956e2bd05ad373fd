#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "core/install_journal.h"

// Files unpacked from an archive wait here as complete temporary files beside their targets until every
// entry has come out whole; only then are they moved over the targets, all or nothing. Discarding removes
// the temporary files and the folders that were made for them, so a failed update leaves the installation
// as it was. With a journal (Begin), a run stopped at any point is finished or undone by the next start
// (core/install_journal.h).
class UnzipStaging {
public:
    // The rename of the file system (rename(2) unless a test wants one to fail).
    using RenameFunction = int (*)(const char* from, const char* to);

    explicit UnzipStaging(RenameFunction rename = nullptr);
    UnzipStaging(const UnzipStaging&) = delete;
    UnzipStaging& operator=(const UnzipStaging&) = delete;
    ~UnzipStaging() { Discard(); }

    // Finishes or undoes an earlier run left in the installation folder and starts this run's journal
    // there. false when the journal cannot be made (nothing may then be unpacked).
    [[nodiscard]] bool Begin(const QString& folder);
    // Makes a new temporary file beside target (mode 0600, opened for writing), named in the journal before
    // it is made. The descriptor with *tempPath, or -1.
    [[nodiscard]] int CreateTemporary(const QString& target, QString* tempPath);
    // A folder about to be made for the staged files is named in the journal first (false: it may not be
    // made); once made it is kept in order with the others.
    [[nodiscard]] bool NoteFolder(const QString& folder);
    void FolderMade(const QString& folder) { m_createdFolders.append(folder); }
    void AddFile(const QString& tempPath, const QString& target);

    // Moves every staged file over its target, all or nothing: first every target is checked (an existing
    // one must be a file that may be replaced, in a folder), then the old files are moved aside beside
    // their targets, then the new ones are moved in, and finally the old ones are removed. On any failure
    // the new files are taken out again, the old ones moved back, and the staged files and made folders
    // removed. Whether the files were moved in.
    [[nodiscard]] bool Commit();
    // Removes the staged files and the (then empty) folders made for them.
    void Discard();

private:
    struct StagedFile {
        QString tempPath;
        QString target;
    };
    struct MovedAside {
        QByteArray target;
        QByteArray oldCopy;
    };
    bool CheckTargets() const;
    std::vector<PlannedMove> PlanMoves() const;
    bool MoveOldFilesAside(const std::vector<PlannedMove>& plan, std::vector<MovedAside>* aside);
    void MoveOldFilesBack(const std::vector<MovedAside>& aside);

    RenameFunction m_rename;
    std::vector<StagedFile> m_files;
    QStringList m_createdFolders;
    InstallJournal m_journal;
};
