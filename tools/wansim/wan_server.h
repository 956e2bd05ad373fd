#pragma once

// A simulated WAN server on loopback: logs users in or refuses them, answers the device list with the
// configured DVRs, records every request and plays scripted faults. One thread, one connection at a time
// (a new connection is served when the previous one closes); every wait is bounded and the thread stops
// within one turn of its loop.

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "tools/simkit/sim_service.h"

// One DVR of the device list. The name goes out in the 8-bit code page, the hosts in UTF-8; each is sent
// as one token, so none may hold white space.
struct WanDevice {
    QString name;
    QString host;
    int port = 0;
    QString altHost;  // empty: the same as host
    int altValue = 0;
    int useAltHost = 0;  // the entry's flag: the client then takes altHost as the host
};

enum class WanFault {
    None,
    Silent,           // reads the requests, never answers
    Close,            // closes the connection on the login
    ParamFirst,       // a PARAM message, then the login reply in a later segment
    ParamOnly,        // a PARAM message in place of the login reply, then silence
    LogoutWithReply,  // a logout (refusal) and the login reply in one segment
    Trickle,          // every reply sent one byte at a time (SetTrickleDelay apart)
    NoTerminator,     // a whole receive buffer (8192 bytes) without a terminator, then the login reply
    ListNeverEnds,    // the list starts and its first entry is sent again and again, never the end
};

class WanServer {
public:
    WanServer() = default;
    WanServer(const WanServer&) = delete;
    WanServer& operator=(const WanServer&) = delete;
    ~WanServer() { Stop(); }

    // Listens on 127.0.0.1 at port (0: a free port) and starts serving. 0, or -1 when it cannot listen.
    int Start(uint16_t port = 0);
    void Stop() { m_service.Stop(); }
    uint16_t Port() const { return m_service.Port(); }
    // "127.0.0.1:<port>", the form VISTAL_WAN_SERVER takes.
    QByteArray HostPort() const;

    // Accounts that log in (user and password as typed; compared exactly).
    void AddUser(const QString& user, const QString& password);
    void SetDevices(const QList<WanDevice>& devices);
    // The count the list start announces instead of the number of devices (for counts out of range).
    void SetAnnouncedCount(int count);
    void SetFault(WanFault fault);
    void SetTrickleDelay(int milliseconds);
    // Every request received, without its terminator, in order.
    QList<QByteArray> Requests() const;
    // Prints one line per request to stdout.
    void SetLogging(bool on) { m_logging = on; }

private:
    void Run();
    void Serve(int client);
    // Answers one request; false when the connection is to be closed.
    bool Answer(int client, const QByteArray& request);
    QByteArray LoginReply(const QByteArray& request);
    QByteArray DeviceList();
    bool Send(int client, const QByteArray& bytes);

    mutable std::mutex m_lock;
    QList<QPair<QString, QString>> m_users;
    QList<WanDevice> m_devices;
    QList<QByteArray> m_requests;
    bool m_countSet = false;
    int m_announcedCount = 0;
    WanFault m_fault = WanFault::None;
    int m_trickleMs = 5;
    int m_nextRelayId = 1;
    std::atomic<bool> m_logging{false};
    SimService m_service;
};
