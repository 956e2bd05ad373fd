#pragma once

// The INI file wrapper of both programs: one file path bound to the profile engine, and the buffer in which
// string values are returned. Not shared between threads.

#include <QString>
#include <vector>

#include "platform/system/profile.h"

class CIniFile {
public:
    // Path: the program's own path with everything from the first ".exe" replaced by ".ini" (letter case
    // kept); every user sets a path before use.
    CIniFile();
    explicit CIniFile(const QString& path);
    virtual ~CIniFile();

    void SetPath(const QString& path);
    const QString& GetPath() const { return m_strPath; }

    int GetInt(const QString& section, const QString& key, int def);
    // The value cut to 259 characters, or def ("" when empty). The result lives in this object's buffer
    // until its next GetString.
    const char16_t* GetString(const QString& section, const QString& key, const QString& def = QString());
    // The same as a copy.
    QString GetText(const QString& section, const QString& key, const QString& def = QString());
    // Copies the value (cut to size - 1 characters) into buffer. 1 when the copied value is not empty.
    int CopyString(int size, char16_t* buffer, const QString& section, const QString& key,
                   const QString& def = QString());
    void WriteInt(const QString& section, const QString& key, int value);
    void WriteString(const QString& section, const QString& key, const QString& value);
    // Writes several keys with one write of the file.
    void WriteStrings(const std::vector<ProfileEntry>& entries);

private:
    QString m_strPath;
    char16_t m_szValue[260];
};
