#include "updater/version_resource.h"

#include <QFile>
#include <cctype>

namespace {

constexpr qsizetype kMaxValueLength = 64;

// The value of "\0VISTAL-<NAME>=value\0" in data: the first occurrence whose value is made of digits,
// dots and commas only (the scanning program's own search text has no value and is passed over).
QString FindVersionText(const QByteArray& data, const QString& name) {
    QByteArray marker = QByteArray(1, '\0') + "VISTAL-" + name.toUpper().toLatin1() + "=";
    qsizetype from = 0;
    for (;;) {
        qsizetype at = data.indexOf(marker, from);
        if (at < 0)
            return QString();
        qsizetype begin = at + marker.size();
        qsizetype end = begin;
        while (end < data.size() && end - begin <= kMaxValueLength && data[end] != '\0' &&
               (std::isdigit(static_cast<unsigned char>(data[end])) || data[end] == '.' || data[end] == ','))
            ++end;
        if (end > begin && end < data.size() && data[end] == '\0')
            return QString::fromLatin1(data.mid(begin, end - begin));
        from = at + 1;
    }
}

}  // namespace

int CVersionResource::Load(const QString& path) {
    Free();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    m_pData = file.readAll();
    if (FindVersionText(m_pData, QStringLiteral("FileVersion")).isEmpty()) {
        Free();
        return 0;
    }
    return 1;
}

QString CVersionResource::GetString(const QString& name, uint32_t translation) const {
    (void)translation;
    if (m_pData.isEmpty())
        return QString();
    return FindVersionText(m_pData, name);
}

void CVersionResource::Free() {
    m_pData = QByteArray();
}
