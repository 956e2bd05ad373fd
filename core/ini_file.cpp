#include "core/ini_file.h"

#include <unistd.h>

#include <QFile>

#include "platform/system/profile.h"

namespace {
QString ModuleIniPath() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return QString();
    QString path = QFile::decodeName(QByteArray(buffer, static_cast<qsizetype>(n)));
    int exe = static_cast<int>(path.indexOf(QLatin1String(".exe"), 0, Qt::CaseInsensitive));
    return exe >= 0 ? path.left(exe) + QStringLiteral(".ini") : path;
}
}  // namespace

CIniFile::CIniFile() : m_strPath(ModuleIniPath()) {
    m_szValue[0] = 0;
}

CIniFile::CIniFile(const QString& path) : m_strPath(path) {
    m_szValue[0] = 0;
}

CIniFile::~CIniFile() = default;

void CIniFile::SetPath(const QString& path) {
    m_strPath = path;
}

int CIniFile::GetInt(const QString& section, const QString& key, int def) {
    return GetPrivateProfileInt(section, key, def, m_strPath);
}

const char16_t* CIniFile::GetString(const QString& section, const QString& key, const QString& def) {
    m_szValue[0] = 0;
    GetPrivateProfileString(section, key, def, m_szValue, 260, m_strPath);
    return m_szValue;
}

QString CIniFile::GetText(const QString& section, const QString& key, const QString& def) {
    return QString::fromUtf16(GetString(section, key, def));
}

int CIniFile::CopyString(int size, char16_t* buffer, const QString& section, const QString& key,
                         const QString& def) {
    if (buffer == nullptr || size <= 0)
        return 0;
    return GetPrivateProfileString(section, key, def, buffer, size, m_strPath) > 0 ? 1 : 0;
}

void CIniFile::WriteInt(const QString& section, const QString& key, int value) {
    WritePrivateProfileString(section, key, QString::number(value), m_strPath);
}

void CIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    WritePrivateProfileString(section, key, value, m_strPath);
}

void CIniFile::WriteStrings(const std::vector<ProfileEntry>& entries) {
    WritePrivateProfileStrings(entries, m_strPath);
}
