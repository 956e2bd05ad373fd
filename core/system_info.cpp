#include "core/system_info.h"

#include <QFile>
#include <QStringList>

namespace {

// The value of "key: value" or "KEY=value" lines.
QString FieldOf(const QString& text, const QString& key, QChar separator) {
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        int at = static_cast<int>(line.indexOf(separator));
        if (at <= 0 || line.left(at).trimmed() != key)
            continue;
        QString value = line.mid(at + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) {
            value = value.mid(1, value.size() - 2);
        }
        return value;
    }
    return QString();
}

uint64_t MemInfoBytes(const QString& meminfo, const char* key) {
    QString value = FieldOf(meminfo, QString::fromLatin1(key), QLatin1Char(':'));
    return value.section(QLatin1Char(' '), 0, 0).toULongLong() * 1024;
}

}  // namespace

CSystemInfo::CSystemInfo(const QString& root) : m_root(root) {
    Init();
}

QString CSystemInfo::Read(const char* path) const {
    QFile f(m_root + QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

int CSystemInfo::Init() {
    if (QueryOsText() != 0)
        return -1;
    if (QueryCpuName() != 0)
        return -1;
    return QueryMemoryText();
}

int CSystemInfo::QueryOsText() {
    QString release = Read("/proc/sys/kernel/osrelease").trimmed();
    m_osMajor = release.section(QLatin1Char('.'), 0, 0).toInt();
    QString name = FieldOf(Read("/etc/os-release"), QStringLiteral("PRETTY_NAME"), QLatin1Char('='));
    if (name.isEmpty())
        name = QStringLiteral("Linux");
    QString text = name;
    if (!release.isEmpty())
        text += QStringLiteral(" (build %1)").arg(release);
    text +=
        QStringLiteral(", %1").arg(sizeof(void*) == 8 ? QStringLiteral("64-bit") : QStringLiteral("32-bit"));
    m_pszOs = text;
    return 0;
}

int CSystemInfo::QueryCpuName() {
    m_pszCpu = FieldOf(Read("/proc/cpuinfo"), QStringLiteral("model name"), QLatin1Char(':'));
    return m_pszCpu.isEmpty() ? -1 : 0;
}

int CSystemInfo::QueryMemoryText() {
    uint64_t total = MemInfoBytes(Read("/proc/meminfo"), "MemTotal");
    // Computed in 64 bits, so machines with 4 GiB or more are shown right.
    uint64_t m = total + 1048576;
    if (m >= (1ULL << 30)) {
        m_pszMemory = QString::asprintf("%.02f G", static_cast<double>(m) / (1ULL << 30));
    } else if (m >= (1ULL << 20)) {
        m_pszMemory = QString::asprintf("%.02f M", static_cast<double>(m) / (1ULL << 20));
    } else {
        m_pszMemory = QString::asprintf("%.02f K", static_cast<double>(m) / 1024);
    }
    return 0;
}

int CSystemInfo::SampleCpuUsage() {
    QString stat = Read("/proc/stat");
    QString line = stat.section(QLatin1Char('\n'), 0, 0);
    QStringList fields = line.simplified().split(QLatin1Char(' '));
    if (fields.size() < 5 || fields[0] != QLatin1String("cpu"))
        return 0;
    // user nice system idle iowait irq softirq steal; the guest times that follow are already counted in
    // user and nice.
    uint64_t total = 0;
    for (int i = 1; i < fields.size() && i <= 8; ++i)
        total += fields[i].toULongLong();
    uint64_t idle = fields[4].toULongLong() + (fields.size() > 5 ? fields[5].toULongLong() : 0);
    // /proc/stat counts the time of every processor, so idle and total need no division by their number.
    if (total > m_lastSampleTime) {
        double idleShare =
            static_cast<double>(idle - m_lastIdleTime) / static_cast<double>(total - m_lastSampleTime);
        int load = static_cast<int>(100.0 - idleShare * 100.0 + 0.5);
        m_lastUsage = load < 0 ? 0 : load > 100 ? 100 : load;
    }
    m_lastIdleTime = idle;
    m_lastSampleTime = total;
    return m_lastUsage;
}

int GetMemoryLoad(const QString& root) {
    QFile f(root + QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    QString meminfo = QString::fromUtf8(f.readAll());
    uint64_t total = MemInfoBytes(meminfo, "MemTotal");
    uint64_t available = MemInfoBytes(meminfo, "MemAvailable");
    if (total == 0 || available > total)
        return 0;
    return static_cast<int>((total - available) * 100 / total);
}

int IsWow64() {
    return 0;
}
