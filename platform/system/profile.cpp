#include "platform/system/profile.h"

#include <sys/stat.h>

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringList>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/system/codepage.h"
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

// One parsed file: its lines without line ends, and an index of where each section and key stands.
struct ProfileDocument {
    FileSignature signature;
    bool readable = false;
    bool utf16 = false;
    bool crlf = false;
    bool endsWithNewline = true;
    QStringList lines;

    struct Section {
        int header = -1;           // line of "[name]"
        int lastKey = -1;          // line of its last key (header when it has none)
        QHash<QString, int> keys;  // lower-cased key -> line
    };
    QHash<QString, Section> sections;  // lower-cased name -> section (first occurrence)

    void Parse(const QString& text) {
        lines = text.split(QLatin1Char('\n'));
        crlf = !lines.isEmpty() && lines.first().endsWith(QLatin1Char('\r'));
        endsWithNewline = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
        if (endsWithNewline && !lines.isEmpty())
            lines.removeLast();
        for (QString& line : lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
        Index();
    }

    void Index() {
        sections.clear();
        Section* current = nullptr;
        QString currentName;
        for (int i = 0; i < lines.size(); ++i) {
            QString t = lines[i].trimmed();
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

    bool Value(const QString& section, const QString& key, QString* value) const {
        const Section* s = Find(section);
        if (s == nullptr)
            return false;
        auto it = s->keys.constFind(key.trimmed().toLower());
        if (it == s->keys.constEnd())
            return false;
        const QString& line = lines[it.value()];
        *value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
        return true;
    }

    void Set(const QString& section, const QString& key, const QString& value) {
        const Section* s = Find(section);
        QString entry = key + QLatin1Char('=') + value;
        if (s == nullptr) {
            lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
            lines.append(entry);
        } else {
            auto it = s->keys.constFind(key.trimmed().toLower());
            if (it != s->keys.constEnd()) {
                const QString& old = lines[it.value()];
                // Keep the key as the file spells it.
                lines[it.value()] =
                    old.left(old.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + value;
            } else {
                lines.insert(s->lastKey + 1, entry);
            }
        }
        Index();
    }

    QByteArray Serialize() const {
        QString eol = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
        QString text = lines.join(eol);
        if (endsWithNewline)
            text += eol;
        if (utf16) {
            QByteArray out("\xFF\xFE", 2);
            out.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
            return out;
        }
        return WideToAnsi(text);
    }
};

std::mutex g_lock;
std::unordered_map<std::string, std::shared_ptr<ProfileDocument>> g_cache;

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
            doc->Parse(
                QString(reinterpret_cast<const QChar*>(bytes.constData() + 2), (bytes.size() - 2) / 2));
        } else {
            doc->Parse(AnsiToWide(bytes));
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

int WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                              const QString& path) {
    if (path.isEmpty() || section.isEmpty() || key.isEmpty())
        return 0;
    std::lock_guard<std::mutex> guard(g_lock);
    QByteArray native = NativeName(path);
    std::shared_ptr<ProfileDocument> doc = Load(native);
    // A file that exists but cannot be read is never overwritten.
    if (doc->signature.exists && !doc->readable)
        return 0;
    auto updated = std::make_shared<ProfileDocument>(*doc);
    updated->Set(section, key, value);
    // Written to a temporary file and renamed over the old one, so a failed write never leaves half a file.
    QSaveFile f(QFile::decodeName(native));
    if (!f.open(QIODevice::WriteOnly))
        return 0;
    QByteArray bytes = updated->Serialize();
    if (f.write(bytes) != bytes.size() || !f.commit())
        return 0;
    updated->signature = Stat(native);
    updated->readable = true;
    g_cache[native.toStdString()] = updated;
    return 1;
}
