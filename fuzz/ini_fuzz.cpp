// Fuzz target: the INI engine. The input's first byte picks the written key and value, the rest is the
// file (8-bit, or UTF-16 after an FF FE mark). Checks, after a write of one key: every line of the old
// file stands unchanged and in order in the new one (the written key's line aside), at most two lines
// were added, every other key reads the same from the file on disk, and the written key reads back;
// and two keys written one after the other give the same file as both written with one write.

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/system/profile.h"
#include "tests/dvr/fuzz/fuzz_target.h"

namespace {

using Key = std::pair<QString, QString>;  // section, key

// A broken property: which one, then abort so that the fuzzer keeps the input.
[[noreturn]] void Fail(int check) {
    std::fprintf(stderr, "INI property %d does not hold\n", check);
    std::abort();
}

bool IsUtf16(const QByteArray& bytes) {
    return bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
           static_cast<uint8_t>(bytes[1]) == 0xFE;
}

// The file's lines as bytes, split at each LF unit (which belongs to neither side).
std::vector<QByteArray> ByteLines(const QByteArray& bytes) {
    std::vector<QByteArray> lines;
    int unit = IsUtf16(bytes) ? 2 : 1;
    qsizetype start = unit == 2 ? 2 : 0;
    for (qsizetype i = start; i + unit <= bytes.size(); i += unit) {
        if (bytes[i] == '\n' && (unit == 1 || bytes[i + 1] == 0)) {
            lines.push_back(bytes.mid(start, i - start));
            start = i + unit;
        }
    }
    // A UTF-16 file's odd last byte belongs to no line.
    qsizetype end = bytes.size() - (unit == 2 ? (bytes.size() - start) % 2 : 0);
    lines.push_back(bytes.mid(start, end - start));
    if (unit == 2)
        lines.push_back(bytes.mid(end));
    return lines;
}

// Section and key names of plain ASCII found in the text, as a reader of the file would see them.
std::vector<Key> NamedKeys(const QByteArray& bytes) {
    QString text = IsUtf16(bytes) ? QString(reinterpret_cast<const QChar*>(bytes.constData() + 2),
                                            (bytes.size() - 2) / 2)
                                  : QString::fromLatin1(bytes);
    auto plain = [](const QString& name) {
        if (name.isEmpty())
            return false;
        for (QChar c : name) {
            if (c.unicode() < 0x20 || c.unicode() > 0x7E || c == QLatin1Char('[') || c == QLatin1Char(']') ||
                c == QLatin1Char('='))
                return false;
        }
        return true;
    };
    std::vector<Key> keys;
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        QString t = raw.trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.indexOf(QLatin1Char(']')) > 0) {
            section = t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
            continue;
        }
        QString key = t.left(t.indexOf(QLatin1Char('='))).trimmed();
        if (t.contains(QLatin1Char('=')) && plain(section) && plain(key))
            keys.emplace_back(section, key);
    }
    return keys;
}

QString ReadFresh(const QString& path, const Key& key, bool* found) {
    QString value;
    *found = ReadProfileValue(key.first, key.second, path, &value);
    return value;
}

// Writes the file with a modification time of its own, so that the engine's cache, which knows the file
// by size, time and inode, never takes it for an earlier input of the same name.
void Put(const QString& path, const QByteArray& bytes, int round) {
    QFile::remove(path);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            Fail(1);
    }
    struct timespec times[2] = {{round, 0}, {round, 0}};
    if (utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        Fail(2);
}

QByteArray Get(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(3);
    return file.readAll();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static int round = 0;
    if (size < 1)
        return 0;
    const uint8_t choice = data[0];
    const QByteArray before(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    static const QString path = dir.filePath(QStringLiteral("file.ini"));
    static const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    static const QString batch = dir.filePath(QStringLiteral("batch.ini"));
    round += 4;
    Put(path, before, round);

    std::vector<Key> keys = NamedKeys(before);
    Key written{QStringLiteral("New"), QStringLiteral("Key")};
    if (!keys.empty() && (choice & 0x80) == 0)
        written = keys[choice % keys.size()];
    else if (!keys.empty() && (choice & 0x40) != 0)
        written.first = keys[choice % keys.size()].first;
    static const char* const values[] = {"1", "", "value with blanks", "Rec\xC3\xA9rds", "x=y"};
    const QString value = QString::fromUtf8(values[choice % 5]);

    std::vector<std::pair<bool, QString>> old;
    for (const Key& key : keys) {
        bool found = false;
        QString v = ReadFresh(path, key, &found);
        old.emplace_back(found, v);
    }
    if (WritePrivateProfileString(written.first, written.second, value, path) != 1)
        Fail(4);
    const QByteArray after = Get(path);

    // Either one line changed in place, or old lines stand in the new file in order with at most two
    // lines added among them.
    std::vector<QByteArray> a = ByteLines(before), b = ByteLines(after);
    if (b.size() == a.size()) {
        size_t changed = 0;
        for (size_t i = 0; i < a.size(); ++i)
            changed += a[i] != b[i] ? 1 : 0;
        if (changed > 1)
            Fail(5);
    } else {
        if (b.size() < a.size() || b.size() > a.size() + 2)
            Fail(6);
        size_t k = 0;
        for (const QByteArray& line : a) {
            while (k < b.size() && b[k] != line)
                ++k;
            if (k++ == b.size())
                Fail(7);
        }
    }

    // Every key reads the same from a copy on disk (parsed afresh), and the written key as written.
    Put(copy, after, round + 1);
    for (size_t i = 0; i < keys.size(); ++i) {
        bool found = false;
        QString v = ReadFresh(copy, keys[i], &found);
        bool same = keys[i].first.compare(written.first, Qt::CaseInsensitive) == 0 &&
                    keys[i].second.compare(written.second, Qt::CaseInsensitive) == 0;
        if (!same && (found != old[i].first || v != old[i].second))
            Fail(8);
    }
    bool found = false;
    if (ReadFresh(copy, written, &found) != value.trimmed() || !found)
        Fail(9);

    // A second key written after the first gives the same file as both written with one write.
    Key second =
        keys.empty() ? Key{QStringLiteral("Other"), QStringLiteral("k")} : keys[(choice / 5) % keys.size()];
    if ((choice & 0x20) != 0)
        second.second += QStringLiteral("2");
    if (WritePrivateProfileString(second.first, second.second, QStringLiteral("2nd"), path) != 1)
        Fail(10);
    Put(batch, before, round + 2);
    if (WritePrivateProfileStrings(
            {{written.first, written.second, value}, {second.first, second.second, QStringLiteral("2nd")}},
            batch) != 1 ||
        Get(batch) != Get(path))
        Fail(11);
    return 0;
}
