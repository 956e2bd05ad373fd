#include "tools/lansim/lan_responder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/system/codepage.h"

namespace {

constexpr int kReplyId = 0x20033;

QByteArray ReplyText(const QString& text) {
    if (text.isEmpty())
        return "(NULL)";
    QByteArray bytes = WideToAnsi(text);
    bytes.replace(' ', '\x08');
    return bytes;
}

bool IsLoopback(const sockaddr_in& address) {
    return (ntohl(address.sin_addr.s_addr) >> 24) == 127;
}

}  // namespace

int LanResponder::Start(uint16_t port) {
    Stop();
    m_socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return -1;
    int yes = 1;
    setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(port);
    socklen_t len = sizeof addr;
    if (bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        pipe2(m_wake, O_CLOEXEC) != 0) {
        Stop();
        return -1;
    }
    m_port = ntohs(addr.sin_port);
    m_stop = false;
    m_thread = std::thread([this] { Run(); });
    return 0;
}

void LanResponder::Stop() {
    m_stop = true;
    if (m_wake[1] >= 0) {
        char b = 1;
        (void)!write(m_wake[1], &b, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    for (int* fd : {&m_socket, &m_wake[0], &m_wake[1]}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
    m_port = 0;
}

void LanResponder::SetReplyPort(uint16_t port) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_replyPort = port;
}

void LanResponder::SetReplies(const QList<QByteArray>& datagrams) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_replies = datagrams;
}

void LanResponder::SetDelay(int milliseconds) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_delayMs = milliseconds;
}

QByteArray LanResponder::LastRequest() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastRequest;
}

bool LanResponder::Pause(int ms) {
    pollfd wake = {m_wake[0], POLLIN, 0};
    return !m_stop && poll(&wake, 1, ms) == 0;
}

void LanResponder::Run() {
    while (!m_stop) {
        pollfd fds[2] = {{m_socket, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        int ready = poll(fds, 2, -1);
        if (ready < 0 && errno != EINTR)
            return;
        if (m_stop || (fds[1].revents & POLLIN))
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        char request[2048];
        sockaddr_in from = {};
        socklen_t fromLength = sizeof from;
        ssize_t n =
            recvfrom(m_socket, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n < 0 || !IsLoopback(from))
            continue;
        QList<QByteArray> replies;
        int delayMs;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_lastRequest = QByteArray(request, n);
            replies = m_replies;
            delayMs = m_delayMs;
            from.sin_port = htons(m_replyPort);
        }
        ++m_requests;
        if (m_logging) {
            std::printf("lansim: request of %d bytes, %d replies\n", static_cast<int>(n),
                        static_cast<int>(replies.size()));
            std::fflush(stdout);
        }
        if (delayMs > 0 && !Pause(delayMs))
            return;
        for (const QByteArray& reply : replies) {
            sendto(m_socket, reply.constData(), static_cast<size_t>(reply.size()), MSG_NOSIGNAL,
                   reinterpret_cast<sockaddr*>(&from), sizeof from);
        }
    }
}

QByteArray MakeDiscoveryReply(const QString& name, const QString& host, int port, int status, int error) {
    return QByteArray::number(kReplyId) + ' ' + QByteArray::number(status) + ' ' + QByteArray::number(error) +
           " 0 " + ReplyText(name) + ' ' + ReplyText(host) + " 0 " + QByteArray::number(port) + "\r\n\r\n";
}
