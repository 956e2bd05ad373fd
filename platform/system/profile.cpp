#include "platform/system/profile.h"

#include <sys/stat.h>

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/system/codepage.h"
#include "platform/system/file_modes.h"
#include "platform/system/paths.h"

namespace {

struct FileSignature {
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    bool operator==(const FileSignature& o) const {
        return exists == o.exists && size == o.size && mtimeNs == o.mtimeNs && inode == o.inode;
    }
};

FileSignature Stat(const QByteArray& path) {
    FileSignature sig;
    struct stat st;
    if (stat(path.constData(), &st) != 0)
        return sig;
    sig.exists = true;
    sig.size = st.st_size;
    sig.mtimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    sig.inode = st.st_ino;
    return sig;
}

// One line of a file: its text without the line end, and the bytes it was read from, so that a line no
// write touched goes back to the file exactly as it was (bytes the code page lacks included).
struct ProfileLine {
    QString text;
    QByteArray raw;      // the stored bytes without the LF (a CR before it included)
    bool stored = true;  // false for a line a write made or replaced: it is encoded from text
    bool cr = false;     // a line made by a write ends in CR LF
};

// One parsed file: its lines, and an index of where each section and key stands.
struct ProfileDocument {
    FileSignature signature;
    bool readable = false;
    bool utf16 = false;
    bool crlf = false;
    bool endsWithNewline = true;
    QByteArray tail;  // a UTF-16 file's odd last byte, kept as it was
    std::vector<ProfileLine> lines;

    struct Section {
        int header = -1;           // line of "[name]"
        int lastKey = -1;          // line of its last key (header when it has none)
        QHash<QString, int> keys;  // lower-cased key -> line
    };
    QHash<QString, Section> sections;  // lower-cased name -> section (first occurrence)

    // Splits the bytes (without a UTF-16 mark) into lines at each LF; unitBytes is 2 for UTF-16.
    void Parse(const QByteArray& bytes) {
        lines.clear();
        const int unit = utf16 ? 2 : 1;
        qsizetype usable = bytes.size() - bytes.size() % unit;
        tail = bytes.mid(usable);
        endsWithNewline =
            usable == 0 || (bytes[usable - unit] == '\n' && (unit == 1 || bytes[usable - 1] == 0));
        qsizetype start = 0;
        for (qsizetype i = 0; i < usable; i += unit) {
            if (bytes[i] == '\n' && (unit == 1 || bytes[i + 1] == 0)) {
                AddLine(bytes.mid(start, i - start));
                start = i + unit;
            }
        }
        if (start < usable)
            AddLine(bytes.mid(start, usable - start));
        Decode();
        crlf = !lines.empty() && lines.front().text.endsWith(QLatin1Char('\r'));
        for (ProfileLine& line : lines) {
            if (line.text.endsWith(QLatin1Char('\r')))
                line.text.chop(1);
        }
        Index();
    }

    void AddLine(const QByteArray& raw) {
        ProfileLine line;
        line.raw = raw;
        lines.push_back(std::move(line));
    }

    // The text of every line. 8-bit files are converted in one piece (a code page never uses the LF byte
    // inside a character); should the pieces not match the lines, each line is converted on its own.
    void Decode() {
        if (utf16) {
            for (ProfileLine& line : lines)
                line.text =
                    QString(reinterpret_cast<const QChar*>(line.raw.constData()), line.raw.size() / 2);
            return;
        }
        QByteArray all;
        for (const ProfileLine& line : lines) {
            all += line.raw;
            all += '\n';
        }
        const QStringList texts = AnsiToWide(all).split(QLatin1Char('\n'));
        bool matched = texts.size() == static_cast<qsizetype>(lines.size()) + 1;
        for (size_t i = 0; i < lines.size(); ++i)
            lines[i].text = matched ? texts[static_cast<qsizetype>(i)] : AnsiToWide(lines[i].raw);
    }

    void Index() {
        sections.clear();
        Section* current = nullptr;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            QString t = lines[static_cast<size_t>(i)].text.trimmed();
            if (t.startsWith(QLatin1Char('['))) {
                int close = t.indexOf(QLatin1Char(']'));
                if (close > 0) {
                    QString name = t.mid(1, close - 1).trimmed().toLower();
                    if (sections.contains(name)) {
                        current = nullptr;  // a repeated section: the first one counts
                    } else {
                        Section s;
                        s.header = i;
                        s.lastKey = i;
                        current = &sections.insert(name, s).value();
                    }
                    continue;
                }
            }
            if (current == nullptr)
                continue;
            int eq = t.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            QString key = t.left(eq).trimmed().toLower();
            if (!current->keys.contains(key))
                current->keys.insert(key, i);
            current->lastKey = i;
        }
    }

    const Section* Find(const QString& section) const {
        auto it = sections.constFind(section.trimmed().toLower());
        return it == sections.constEnd() ? nullptr : &it.value();
    }

    // The line of a key, or -1.
    int KeyLine(const QString& section, const QString& key) const {
        const Section* s = Find(section);
        if (s == nullptr)
            return -1;
        auto it = s->keys.constFind(key.trimmed().toLower());
        return it == s->keys.constEnd() ? -1 : it.value();
    }

    static QString ValueOf(const QString& line) {
        return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    }

    bool Value(const QString& section, const QString& key, QString* value) const {
        int line = KeyLine(section, key);
        if (line < 0)
            return false;
        *value = ValueOf(lines[static_cast<size_t>(line)].text);
        return true;
    }

    ProfileLine NewLine(const QString& text) const {
        ProfileLine line;
        line.text = text;
        line.stored = false;
        line.cr = crlf;
        return line;
    }

    // Gives the line of a key the value, keeping the key as the file spells it and the line's own line
    // end. A key that already holds the value keeps its line as stored.
    void Replace(ProfileLine& line, const QString& value) const {
        if (ValueOf(line.text) == value)
            return;
        line.text = line.text.left(line.text.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + value;
        if (line.stored)
            line.cr = line.raw.endsWith(utf16 ? QByteArray("\r\0", 2) : QByteArray("\r"));
        line.stored = false;
    }

    // Writes the entries in order, as one write each would, but with one pass over the lines: replaced
    // keys change in place; added keys are gathered per section (after the section's last key, or in a
    // new section at the end of the file) and put in place together, then the index is rebuilt once.
    void SetAll(const std::vector<ProfileEntry>& entries) {
        struct Added {
            int after = -1;  // line the keys follow; -1: a new section at the end
            std::vector<ProfileLine> lines;
        };
        std::vector<Added> added;
        QHash<QString, size_t> addedBySection;  // lower-cased name -> index in added
        for (const ProfileEntry& e : entries) {
            int at = KeyLine(e.section, e.key);
            if (at >= 0) {
                Replace(lines[static_cast<size_t>(at)], e.value);
                continue;
            }
            QString name = e.section.trimmed().toLower();
            auto it = addedBySection.constFind(name);
            if (it == addedBySection.constEnd()) {
                Added a;
                const Section* s = Find(e.section);
                if (s != nullptr)
                    a.after = s->lastKey;
                else
                    a.lines.push_back(NewLine(QLatin1Char('[') + e.section + QLatin1Char(']')));
                it = addedBySection.insert(name, added.size());
                added.push_back(std::move(a));
            }
            std::vector<ProfileLine>& gathered = added[it.value()].lines;
            QString key = e.key.trimmed().toLower();
            auto same = std::find_if(gathered.begin(), gathered.end(), [&](const ProfileLine& l) {
                int eq = static_cast<int>(l.text.indexOf(QLatin1Char('=')));
                return eq > 0 && l.text.left(eq).trimmed().toLower() == key;
            });
            if (same != gathered.end())
                Replace(*same, e.value);
            else
                gathered.push_back(NewLine(e.key + QLatin1Char('=') + e.value));
        }
        if (added.empty())
            return;  // no line moved: the index still holds
        std::vector<std::vector<ProfileLine>*> after(lines.size());
        for (Added& a : added) {
            if (a.after >= 0)
                after[static_cast<size_t>(a.after)] = &a.lines;
        }
        std::vector<ProfileLine> merged;
        merged.reserve(lines.size() + entries.size() * 2);
        for (size_t i = 0; i < lines.size(); ++i) {
            merged.push_back(std::move(lines[i]));
            if (after[i] != nullptr)
                std::move(after[i]->begin(), after[i]->end(), std::back_inserter(merged));
        }
        for (Added& a : added) {
            if (a.after < 0)
                std::move(a.lines.begin(), a.lines.end(), std::back_inserter(merged));
        }
        lines = std::move(merged);
        Index();
    }

    QByteArray Encode(const QString& text) const {
        if (utf16)
            return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        return WideToAnsi(text);
    }

    QByteArray Serialize() const {
        const QByteArray lf = utf16 ? QByteArray("\n\0", 2) : QByteArray("\n");
        const QByteArray cr = utf16 ? QByteArray("\r\0", 2) : QByteArray("\r");
        qsizetype size = 2 + tail.size();
        for (const ProfileLine& line : lines)
            size += line.raw.size() + 4;
        QByteArray out;
        out.reserve(size);
        if (utf16)
            out.append("\xFF\xFE", 2);
        for (size_t i = 0; i < lines.size(); ++i) {
            const ProfileLine& line = lines[i];
            if (line.stored) {
                out += line.raw;
            } else {
                out += Encode(line.text);
                if (line.cr)
                    out += cr;
            }
            if (i + 1 < lines.size() || endsWithNewline)
                out += lf;
        }
        out += tail;
        return out;
    }
};

std::mutex g_lock;
std::unordered_map<std::string, std::shared_ptr<ProfileDocument>> g_cache;
// Files that hold credentials: written with mode 0600 whatever mode they had.
std::unordered_set<std::string> g_ownerOnly;

QByteArray NativeName(const QString& path) {
    return QFile::encodeName(ToNativePath(path));
}

// The document of path, parsed anew when the file changed since it was cached. Call with g_lock held.
std::shared_ptr<ProfileDocument> Load(const QByteArray& native) {
    FileSignature sig = Stat(native);
    auto it = g_cache.find(native.toStdString());
    if (it != g_cache.end() && it->second->signature == sig)
        return it->second;
    auto doc = std::make_shared<ProfileDocument>();
    doc->signature = sig;
    QFile f(QFile::decodeName(native));
    if (sig.exists && f.open(QIODevice::ReadOnly)) {
        QByteArray bytes = f.readAll();
        doc->readable = true;
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
            static_cast<unsigned char>(bytes[1]) == 0xFE) {
            doc->utf16 = true;
            doc->Parse(bytes.mid(2));
        } else {
            doc->Parse(bytes);
        }
    }
    g_cache[native.toStdString()] = doc;
    return doc;
}

}  // namespace

bool ReadProfileValue(const QString& section, const QString& key, const QString& path, QString* value) {
    if (path.isEmpty() || value == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(g_lock);
    return Load(NativeName(path))->Value(section, key, value);
}

int GetPrivateProfileString(const QString& section, const QString& key, const QString& def, char16_t* buffer,
                            int size, const QString& path) {
    if (buffer == nullptr || size <= 0)
        return 0;
    QString value;
    if (!ReadProfileValue(section, key, path, &value))
        value = def;
    int n = static_cast<int>(value.size()) < size - 1 ? static_cast<int>(value.size()) : size - 1;
    std::memcpy(buffer, value.utf16(), sizeof(char16_t) * static_cast<size_t>(n));
    buffer[n] = 0;
    return n;
}

int GetPrivateProfileInt(const QString& section, const QString& key, int def, const QString& path) {
    QString value;
    if (!ReadProfileValue(section, key, path, &value) || value.isEmpty())
        return def;
    int i = 0;
    bool negative = false;
    // Only a minus sign may lead the digits: "+5" does not start with a number.
    if (value[0] == QLatin1Char('-')) {
        negative = true;
        i = 1;
    }
    long long n = 0;
    for (; i < value.size() && value[i] >= QLatin1Char('0') && value[i] <= QLatin1Char('9'); ++i) {
        n = n * 10 + (value[i].unicode() - '0');
        if (n > 0xFFFFFFFFLL)
            n = 0xFFFFFFFFLL;
    }
    return static_cast<int>(static_cast<uint32_t>(negative ? -n : n));
}

void SetProfileOwnerOnly(const QString& path) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_ownerOnly.insert(NativeName(path).toStdString());
}

int WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                              const QString& path) {
    return WritePrivateProfileStrings({ProfileEntry{section, key, value}}, path);
}

int WritePrivateProfileStrings(const std::vector<ProfileEntry>& entries, const QString& path) {
    if (path.isEmpty())
        return 0;
    for (const ProfileEntry& e : entries) {
        if (e.section.isEmpty() || e.key.isEmpty())
            return 0;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    QByteArray native = NativeName(path);
    std::shared_ptr<ProfileDocument> doc = Load(native);
    // A file that exists but cannot be read is never overwritten.
    if (doc->signature.exists && !doc->readable)
        return 0;
    auto updated = std::make_shared<ProfileDocument>(*doc);
    updated->SetAll(entries);
    // Written to a temporary file and renamed over the old one, so a failed write never leaves half a file.
    QSaveFile f(QFile::decodeName(native));
    const bool ownerOnly = g_ownerOnly.count(native.toStdString()) != 0;
    if (!OpenSaveFile(&f, ownerOnly ? FILE_MODE_PRIVATE : FILE_MODE_SHARED))
        return 0;
    // A file that holds credentials is its owner's alone, whatever mode an earlier file had.
    if (ownerOnly && !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return 0;
    QByteArray bytes = updated->Serialize();
    if (f.write(bytes) != bytes.size() || !f.commit())
        return 0;
    updated->signature = Stat(native);
    updated->readable = true;
    g_cache[native.toStdString()] = updated;
    return 1;
}
