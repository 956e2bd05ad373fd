#include "tools/updsrv/update_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

constexpr int kRequestWaitMs = 2000;
constexpr int kMaxRequestBytes = 8192;

const char* ReasonOf(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Error";
    }
}

bool SendAll(int fd, const QByteArray& data) {
    qsizetype sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                struct pollfd p = {fd, POLLOUT, 0};
                if (poll(&p, 1, kRequestWaitMs) <= 0)
                    return false;
                continue;
            }
            return false;
        }
        sent += n;
    }
    return true;
}

}  // namespace

int UpdateServer::Start(uint16_t port) {
    return m_service.Start(SOCK_STREAM, INADDR_LOOPBACK, port, [this] { Run(); });
}

QByteArray UpdateServer::HostPort() const {
    return "127.0.0.1:" + QByteArray::number(Port());
}

QByteArray UpdateServer::UrlOf(const QByteArray& path) const {
    return "http://" + HostPort() + path;
}

void UpdateServer::SetFile(const QByteArray& path, const QByteArray& content) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_files[path] = Entry{200, content};
}

void UpdateServer::SetStatus(const QByteArray& path, int status) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_files[path] = Entry{status, QByteArray()};
}

void UpdateServer::SetStalled(const QByteArray& path, const QByteArray& content) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_files[path] = Entry{200, content, true};
}

void UpdateServer::SetStreamed(const QByteArray& path, const QByteArray& piece, int count, int intervalMs) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_files[path] = Entry{200, piece, false, count, intervalMs};
}

void UpdateServer::Clear() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_files.clear();
    m_requests.clear();
}

int UpdateServer::RequestCount(const QByteArray& path) const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_requests.value(path, 0);
}

void UpdateServer::Run() {
    m_service.ServeConnections([this](int client) { Serve(client); });
}

void UpdateServer::Serve(int client) {
    QByteArray request;
    while (!request.contains("\r\n\r\n") && request.size() < kMaxRequestBytes) {
        if (m_service.WaitReadable(client, kRequestWaitMs) <= 0)
            return;
        char buf[1024];
        ssize_t n = recv(client, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        request.append(buf, n);
    }
    QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    int status = 400;
    QByteArray body;
    bool stalled = false;
    int pieces = 0;
    int intervalMs = 0;
    if (words.size() == 3 && words[0] == "GET") {
        std::lock_guard<std::mutex> guard(m_lock);
        m_requests[words[1]] += 1;
        auto it = m_files.constFind(words[1]);
        status = it == m_files.cend() ? 404 : it->status;
        if (status == 200) {
            body = it->content;
            stalled = it->stalled;
            pieces = it->pieces;
            intervalMs = it->intervalMs;
        }
    }
    if (m_logging) {
        std::printf("updsrv: %s %s %d\n", words.value(0).constData(), words.value(1).constData(), status);
        std::fflush(stdout);
    }
    // A streamed body has no announced length: it ends with the connection.
    QByteArray length =
        pieces > 0 ? QByteArray() : "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " " + ReasonOf(status) +
                      "\r\nContent-Type: application/octet-stream\r\n" + length + "Connection: close\r\n\r\n";
    if (!SendAll(client, head))
        return;
    for (int i = 0; i < pieces && !m_service.Stopping(); ++i) {
        if (!SendAll(client, body))
            return;
        if (intervalMs > 0 && !m_service.Pause(intervalMs))
            return;
    }
    if (pieces > 0)
        return;
    if (!stalled) {
        SendAll(client, body);
        return;
    }
    SendAll(client, body.left(body.size() / 2));
    while (m_service.Pause(100)) {
    }
}

QByteArray MakeUpdateDescription(const QByteArray& version, const QByteArray& url, const QByteArray& hash) {
    QByteArray text = "[UPDATE]\r\n";
    if (!version.isEmpty())
        text += "Version=" + version + "\r\n";
    if (!url.isEmpty())
        text += "Url=" + url + "\r\n";
    if (!hash.isEmpty())
        text += "Hash=" + hash + "\r\n";
    return text;
}
