#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// A small zip archive written with minizip's zip functions, for the tests of the unpacking.
struct TestZipEntry {
    QByteArray name;
    QByteArray content;
    bool stored = false;              // no compression: the content stands in the archive as it is
    uint32_t externalAttributes = 0;  // DOS attributes, or a Unix mode in the high half
    uint32_t dosDate = 0x58A26000;    // 2024-05-02 12:00:00
    bool madeOnUnix = false;          // the archive says the entry was made on Unix
};

bool WriteTestZip(const QString& path, const std::vector<TestZipEntry>& entries);

// Flips one byte of the first occurrence of needle in the file (a stored entry's data), so that the entry
// no longer matches its CRC. false when the needle is not there.
bool CorruptBytesInFile(const QString& path, const QByteArray& needle);

QByteArray ReadWholeFile(const QString& path);
bool WriteWholeFile(const QString& path, const QByteArray& content);
// Every file below folder (relative paths, sorted), hidden ones included, with their contents.
QString DescribeTree(const QString& folder);
