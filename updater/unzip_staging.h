#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Files unpacked from an archive wait here as complete temporary files beside their targets until every
// entry has come out whole; only then are they moved over the targets, all or nothing. Discarding removes
// the temporary files and the folders that were made for them, so a failed update leaves the installation
// as it was.
class UnzipStaging {
public:
    // The rename of the file system (rename(2) unless a test wants one to fail).
    using RenameFunction = int (*)(const char* from, const char* to);

    explicit UnzipStaging(RenameFunction rename = nullptr);
    UnzipStaging(const UnzipStaging&) = delete;
    UnzipStaging& operator=(const UnzipStaging&) = delete;
    ~UnzipStaging() { Discard(); }

    void AddFile(const QString& tempPath, const QString& target);
    // Folders created for the staged files, in the order they were made.
    QStringList* CreatedFolders() { return &m_createdFolders; }

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
    bool MoveOldFilesAside(std::vector<MovedAside>* aside);
    void MoveOldFilesBack(const std::vector<MovedAside>& aside);

    RenameFunction m_rename;
    std::vector<StagedFile> m_files;
    QStringList m_createdFolders;
};
