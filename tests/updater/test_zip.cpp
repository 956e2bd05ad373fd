#include "tests/updater/test_zip.h"

#include <zip.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

bool WriteTestZip(const QString& path, const std::vector<TestZipEntry>& entries) {
    zipFile zf = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (zf == nullptr)
        return false;
    bool ok = true;
    for (const TestZipEntry& e : entries) {
        zip_fileinfo info = {};
        info.dosDate = e.dosDate;
        info.external_fa = e.externalAttributes;
        int method = e.stored ? 0 : Z_DEFLATED;
        int level = e.stored ? 0 : Z_DEFAULT_COMPRESSION;
        // Made on Unix (3 in the high byte) when the attributes carry a Unix mode in their high half.
        uLong madeBy = (e.externalAttributes >> 16) != 0 && e.madeOnUnix ? 0x031E : 0;
        if (zipOpenNewFileInZip4(zf, e.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                 level, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, madeBy,
                                 0) != ZIP_OK) {
            ok = false;
            break;
        }
        if (!e.content.isEmpty() &&
            zipWriteInFileInZip(zf, e.content.constData(), unsigned(e.content.size())) != ZIP_OK)
            ok = false;
        if (zipCloseFileInZip(zf) != ZIP_OK)
            ok = false;
    }
    if (zipClose(zf, nullptr) != ZIP_OK)
        ok = false;
    return ok;
}

bool CorruptBytesInFile(const QString& path, const QByteArray& needle) {
    QByteArray data = ReadWholeFile(path);
    qsizetype at = data.indexOf(needle);
    if (at < 0)
        return false;
    data[at] = char(data[at] ^ 0x20);
    return WriteWholeFile(path, data);
}

QByteArray ReadWholeFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool WriteWholeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QString DescribeTree(const QString& folder) {
    QStringList lines;
    QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString p = it.next();
        QFileInfo fi(p);
        QString rel = root.relativeFilePath(p);
        if (fi.isDir())
            lines << rel + QStringLiteral("/");
        else
            lines << rel + QStringLiteral(" = ") + QString::fromLatin1(ReadWholeFile(p).toHex());
    }
    lines.sort();
    return lines.join(QLatin1Char('\n'));
}
