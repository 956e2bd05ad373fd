#pragma once

// Unpacking of the update package, a zip archive, over minizip's unzip functions.

#include <QString>
#include <QStringList>
#include <cstdint>

class UnzipStaging;

// The current entry of the archive.
struct UnzipEntryInfo {
    QString name;     // the entry's path in the archive, with '/' between its folders
    QString comment;  // the entry's comment
    uint32_t versionMadeBy = 0;
    uint32_t versionNeeded = 0;
    uint32_t flag = 0;
    uint32_t compressionMethod = 0;
    uint32_t dosDate = 0;  // DOS date (high 16 bits) and time (low 16 bits)
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint32_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    int isFolder = 0;  // the folder attribute (0x10) is set, or the name ends in '/'
};

class CUnzipper {
public:
    explicit CUnzipper(const QString& path = QString());
    CUnzipper(const CUnzipper&) = delete;
    CUnzipper& operator=(const CUnzipper&) = delete;
    virtual ~CUnzipper();

    // Closes any open archive, then opens path. Sets the default output folder to the archive's full
    // path without its extension. Whether the archive is open.
    bool Open(const QString& path);
    // Closes the current entry and the archive. Whether the archive closed cleanly.
    bool Close();
    int GetEntryCount();
    // Clears info, then fills it from the current entry. false without an archive or on error.
    bool GetEntryInfo(UnzipEntryInfo* info);
    // Move to the first or next entry; with an extension, on to the first entry with that file extension
    // (without its dot, ignoring case).
    bool GoToFirstEntry(const QString& extension = QString());
    bool GoToNextEntry(const QString& extension = QString());

    // Writes the current entry below folder (empty: the default output folder); with ignorePath only its
    // file name is kept. An entry whose name is absolute or climbs out of the folder is refused. The data
    // goes to a temporary file beside the target and must pass its CRC check; without staging it is then
    // renamed over the target at once, with staging it waits there for UnzipStaging::Commit. A failed
    // entry leaves no file behind. Whether the entry came out whole.
    bool ExtractEntry(const QString& folder, bool ignorePath, UnzipStaging* staging = nullptr);

    // Creates path and its missing parents. With staging, each folder is named in its journal before it is
    // made and kept in its list once made.
    static bool CreateFolderPath(const QString& path, UnzipStaging* staging = nullptr);
    // Creates the folders above a file path.
    static bool CreateParentFolders(const QString& filePath, UnzipStaging* staging = nullptr);
    // Sets the file's modification time to a DOS date and time taken as local time.
    static bool SetFileTimeFromDos(const QString& filePath, uint32_t dosDateTime);

private:
    bool StepToExtension(int moveResult, const QString& extension);

    void* m_hZip = nullptr;
    QString m_szOutputFolder;
};

// An entry name that stays inside the folder it is unpacked into: not empty, not absolute (no leading
// separator or drive letter), without a ".." component and without a part named as the update's journal
// (core/install_journal.h IsInstallJournalName).
bool IsSafeEntryName(const QString& name);
