#include "tools/lansim/lan_responder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
    return m_service.Start(SOCK_DGRAM, INADDR_ANY, port, [this] { Run(); });
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

void LanResponder::Run() {
    while (m_service.WaitReadable(m_service.Socket(), -1) > 0) {
        char request[2048];
        sockaddr_in from = {};
        socklen_t fromLength = sizeof from;
        ssize_t n = recvfrom(m_service.Socket(), request, sizeof request, 0,
                             reinterpret_cast<sockaddr*>(&from), &fromLength);
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
        if (delayMs > 0 && !m_service.Pause(delayMs))
            return;
        for (const QByteArray& reply : replies) {
            sendto(m_service.Socket(), reply.constData(), static_cast<size_t>(reply.size()), MSG_NOSIGNAL,
                   reinterpret_cast<sockaddr*>(&from), sizeof from);
        }
    }
}

QByteArray MakeDiscoveryReply(const QString& name, const QString& host, int port, int status, int error) {
    return QByteArray::number(kReplyId) + ' ' + QByteArray::number(status) + ' ' + QByteArray::number(error) +
           " 0 " + ReplyText(name) + ' ' + ReplyText(host) + " 0 " + QByteArray::number(port) + "\r\n\r\n";
}
