#pragma once

// Information about the local computer for the status page: fixed texts gathered once, the processor load
// sampled on request, and the memory load. The sources are files under a root folder ("" for the real
// /proc and /etc; tests give a fixture folder).

#include <QString>
#include <cstdint>

class CSystemInfo {
public:
    explicit CSystemInfo(const QString& root = QString());
    ~CSystemInfo() = default;

    // "Debian GNU/Linux 12 (bookworm) (build 6.1.0-18-amd64), 64-bit"; empty when not known.
    const QString& GetOsText() const { return m_pszOs; }
    const QString& GetCpuName() const { return m_pszCpu; }
    // Physical memory plus 1 MiB, as "%.02f G" / "M" / "K", or "%d B".
    const QString& GetMemoryText() const { return m_pszMemory; }
    // Always empty: no source gives them.
    const QString& GetMainboardText() const { return m_pszMainboard; }
    const QString& GetDisplayCardText() const { return m_pszDisplayCard; }
    const QString& GetNetworkCardText() const { return m_pszNetworkCard; }

    // Processor load in percent since the previous call; with no time passed, the previous value.
    int GetCpuUsage() { return SampleCpuUsage(); }
    // Major version of the running kernel (0 when unknown).
    int GetOsMajorVersion() const { return m_osMajor; }

private:
    int Init();
    int QueryOsText();
    int QueryCpuName();
    int QueryMemoryText();
    int SampleCpuUsage();
    QString Read(const char* path) const;

    QString m_root;
    int m_osMajor = 0;
    uint64_t m_lastIdleTime = 0;
    uint64_t m_lastSampleTime = 0;
    int m_lastUsage = 0;
    QString m_pszOs;
    QString m_pszCpu;
    QString m_pszMemory;
    QString m_pszMainboard;
    QString m_pszDisplayCard;
    QString m_pszNetworkCard;
};

// Percent of physical memory in use (from MemTotal and MemAvailable).
int GetMemoryLoad(const QString& root = QString());

// 1 when the process runs as a 32-bit program on a 64-bit system; never here.
int IsWow64();
