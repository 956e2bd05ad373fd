#pragma once

// The private-profile (INI) engine behind CIniFile.
//
// - A file that starts with FF FE is UTF-16LE; any other file is read as 8-bit text in the ANSI code page.
//   Writes keep the file's encoding; a file that does not exist yet is created as 8-bit text.
// - "[name]" opens a section; "key=value" inside a section defines a key; lines end in LF or CR LF; blanks
//   around key names and values are not part of them. Section and key names ignore letter case; the
//   first of two equal sections or keys counts.
// - A write replaces an existing key's line in place, adds a missing key after the last key of its
//   section, and adds a missing section with the key at the end of the file. Every other line keeps its
//   bytes exactly (bytes the code page lacks and a UTF-16 file's odd last byte included), and a key that
//   already holds the written value keeps its line. New lines use the file's own line ends. A write costs
//   time linear in the file's size.
// - Files are parsed once and kept in a cache that is checked against the file's size, time and inode on
//   every call, so a change made by another program is seen too. Thread-safe.

#include <QString>
#include <vector>

// Copies the value (or def, "" for a null/empty default) into buffer, cut to size - 1 characters and
// terminated. Returns the number of characters copied.
int GetPrivateProfileString(const QString& section, const QString& key, const QString& def, char16_t* buffer,
                            int size, const QString& path);

// The decimal number at the start of the value (optional minus sign); def when the key is missing or its
// value empty; 0 when the value does not start with a number.
int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path);

// Writes the value as described above. TRUE-like 1 on success, 0 when the file could not be written.
int WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                              const QString& path);

struct ProfileEntry {
    QString section;
    QString key;
    QString value;
};
// Every later write of path (a file that holds credentials) gives it mode 0600, readable by its owner only;
// the bytes written are the same.
void SetProfileOwnerOnly(const QString& path);

// Writes several keys, in order, with one write of the file. 1, or 0 when an entry lacks its section or
// key (nothing is then written) or the file could not be written.
int WritePrivateProfileStrings(const std::vector<ProfileEntry>& entries, const QString& path);

// The value of a key, or false when the file, section or key is missing (no length limit).
bool ReadProfileValue(const QString& section, const QString& key, const QString& path, QString* value);
