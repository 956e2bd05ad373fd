#include "updater/unzip_staging.h"

#include <unistd.h>

#include <QFile>
#include <cstdio>

void UnzipStaging::AddFile(const QString& tempPath, const QString& target) {
    m_files.push_back(StagedFile{tempPath, target});
}

bool UnzipStaging::Commit() {
    bool ok = true;
    size_t done = 0;
    for (; done < m_files.size(); ++done) {
        QByteArray from = QFile::encodeName(m_files[done].tempPath);
        QByteArray to = QFile::encodeName(m_files[done].target);
        if (std::rename(from.constData(), to.constData()) != 0) {
            ok = false;
            break;
        }
    }
    m_files.erase(m_files.begin(), m_files.begin() + static_cast<std::ptrdiff_t>(done));
    if (ok) {
        m_createdFolders.clear();
        return true;
    }
    // Folders that now hold renamed files are not empty and stay; the others go with the rest.
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
