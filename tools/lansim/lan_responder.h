#pragma once

// A simulated DVR's answer to LAN discovery: a UDP socket that waits for discovery requests and answers
// each with its configured reply datagrams, sent to the requester's address at the reply port. Several
// responders may share one port (each receives a copy of a request sent to the loopback broadcast address
// 127.255.255.255). Only requests from loopback addresses are answered. One thread; every wait is bounded
// and the thread stops within one turn of its loop.

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "tools/simkit/sim_service.h"

class LanResponder {
public:
    LanResponder() = default;
    LanResponder(const LanResponder&) = delete;
    LanResponder& operator=(const LanResponder&) = delete;
    ~LanResponder() { Stop(); }

    // Binds every local address at port (0: a free port) and starts answering. 0, or -1.
    int Start(uint16_t port = 0);
    void Stop() { m_service.Stop(); }
    uint16_t Port() const { return m_service.Port(); }

    // Where the replies go: the requester's address at this port.
    void SetReplyPort(uint16_t port);
    // The datagrams sent, in order, for each request (any bytes: malformed and oversized ones too).
    void SetReplies(const QList<QByteArray>& datagrams);
    // Time between the request and the first reply.
    void SetDelay(int milliseconds);
    int RequestCount() const { return m_requests; }
    // The last request's bytes.
    QByteArray LastRequest() const;
    // Prints one line per request to stdout.
    void SetLogging(bool on) { m_logging = on; }

private:
    void Run();

    mutable std::mutex m_lock;
    QList<QByteArray> m_replies;
    QByteArray m_lastRequest;
    uint16_t m_replyPort = 8998;
    int m_delayMs = 0;
    std::atomic<int> m_requests{0};
    std::atomic<bool> m_logging{false};
    SimService m_service;
};

// A discovery reply: "<id> <status> <error> 0 <name> <host> 0 <port>" and the terminator; name and host in
// the 8-bit code page with spaces sent as 0x08 and "(NULL)" for an empty text.
QByteArray MakeDiscoveryReply(const QString& name, const QString& host, int port, int status = 0,
                              int error = 0);
