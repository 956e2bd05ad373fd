#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// The version of an executable, read from the text NAME=<value> between NUL bytes that the program
// carries in its binary (see core/file_version_text.h); "FileVersion" is the text VISTAL-FILEVERSION.
class CVersionResource {
public:
    // 1 when the file was read and carries a file version text, else 0 (nothing then stays loaded).
    int Load(const QString& path);
    // The value of the text for name (FileVersion: VISTAL-FILEVERSION), "" when nothing is loaded or the
    // text is missing. There is a single translation; the argument is kept for the callers' sake.
    QString GetString(const QString& name, uint32_t translation = 0) const;
    QString GetFileVersion() const { return GetString(QStringLiteral("FileVersion")); }
    void Free();

private:
    QByteArray m_pData;  // the whole file while loaded
};
