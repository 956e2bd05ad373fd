#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Files unpacked from an archive wait here as complete temporary files beside their targets until every
// entry has come out whole; only then are they renamed over the targets. Discarding removes the temporary
// files and the folders that were made for them, so a failed update leaves the installation as it was.
class UnzipStaging {
public:
    UnzipStaging() = default;
    UnzipStaging(const UnzipStaging&) = delete;
    UnzipStaging& operator=(const UnzipStaging&) = delete;
    ~UnzipStaging() { Discard(); }

    void AddFile(const QString& tempPath, const QString& target);
    // Folders created for the staged files, in the order they were made.
    QStringList* CreatedFolders() { return &m_createdFolders; }

    // Renames every staged file over its target, in order. false when one could not be renamed; the files
    // not yet renamed are then removed.
    bool Commit();
    // Removes the staged files and the (then empty) folders made for them.
    void Discard();

private:
    struct StagedFile {
        QString tempPath;
        QString target;
    };
    std::vector<StagedFile> m_files;
    QStringList m_createdFolders;
};
