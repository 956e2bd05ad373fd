#pragma once

// A small HTTP server on loopback that stands in for the update server: it answers GET requests for the
// files it was given (the update description and packages) and 404 for everything else. One thread,
// one connection at a time; every wait is bounded and the thread stops within one turn of its loop.

#include <QByteArray>
#include <QMap>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "tools/simkit/sim_service.h"

class UpdateServer {
public:
    UpdateServer() = default;
    UpdateServer(const UpdateServer&) = delete;
    UpdateServer& operator=(const UpdateServer&) = delete;
    ~UpdateServer() { Stop(); }

    // Listens on 127.0.0.1 at port (0: a free port) and starts serving. 0, or -1 when it cannot listen.
    int Start(uint16_t port = 0);
    void Stop() { m_service.Stop(); }
    uint16_t Port() const { return m_service.Port(); }
    // "127.0.0.1:<port>", the form VISTAL_UPDATE_HOST takes.
    QByteArray HostPort() const;
    // "http://127.0.0.1:<port><path>".
    QByteArray UrlOf(const QByteArray& path) const;

    // Serves content at path with status 200.
    void SetFile(const QByteArray& path, const QByteArray& content);
    // Answers path with the given error status (500, 404...) instead.
    void SetStatus(const QByteArray& path, int status);
    // Sends the head and the first bytes of content at path, then nothing more until the server stops
    // (a transfer that hangs).
    void SetStalled(const QByteArray& path, const QByteArray& content);
    void Clear();
    // How many requests for path arrived.
    int RequestCount(const QByteArray& path) const;
    // Prints one line per request ("GET <path> <status>") to stdout.
    void SetLogging(bool on) { m_logging = on; }

private:
    void Run();
    void Serve(int client);

    struct Entry {
        int status = 200;
        QByteArray content;
        bool stalled = false;
    };
    mutable std::mutex m_lock;
    QMap<QByteArray, Entry> m_files;
    QMap<QByteArray, int> m_requests;
    std::atomic<bool> m_logging{false};
    SimService m_service;
};

// The update description: section UPDATE with Version, Url and Hash (empty values are left out).
QByteArray MakeUpdateDescription(const QByteArray& version, const QByteArray& url, const QByteArray& hash);

// The path of the update description on the server.
inline constexpr char kUpdateDescriptionPath[] = "/update/dvrvistal/update.txt";
