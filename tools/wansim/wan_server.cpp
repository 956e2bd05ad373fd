#include "tools/wansim/wan_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/base64.h"
#include "core/text_helpers.h"
#include "platform/system/codepage.h"

namespace {

constexpr int kWaitMs = 100;
constexpr int kMaxRequestBytes = 65536;
constexpr char kTerminator[] = "\r\n\r\n";
constexpr int kReqLogin = 0x30002;
constexpr int kReqGetDevices = 0x30012;
constexpr int kReqDeleteDevice = 0x30013;
constexpr int kRspLogin = 0x40002;
constexpr int kRspParam = 0x40003;
constexpr int kRspLogout = 0x40004;
constexpr int kRspDevices = 0x40012;
constexpr int kListBegin = 240;
constexpr int kListEnd = 255;
constexpr int kClientBufferSize = 8192;

QByteArray Message(const QByteArray& fields) {
    return fields + kTerminator;
}

// A credential field of the login: "(NULL)" or the Base64 of its code-page bytes with spaces sent as 0x08.
QString DecodeCredential(const QByteArray& field) {
    QString text;
    if (field == "(NULL)" || !Base64ToWide(QString::fromLatin1(field), &text))
        return QString();
    RestoreSpaces(&text);
    return text;
}

QByteArray Token(const QString& text, bool ansi) {
    return ansi ? WideToAnsi(text) : text.toUtf8();
}

}  // namespace

int WanServer::Start(uint16_t port) {
    return m_service.Start(SOCK_STREAM, INADDR_LOOPBACK, port, [this] { Run(); });
}

QByteArray WanServer::HostPort() const {
    return "127.0.0.1:" + QByteArray::number(Port());
}

void WanServer::AddUser(const QString& user, const QString& password) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_users.append(qMakePair(user, password));
}

void WanServer::SetDevices(const QList<WanDevice>& devices) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_devices = devices;
}

void WanServer::SetAnnouncedCount(int count) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_countSet = true;
    m_announcedCount = count;
}

void WanServer::SetFault(WanFault fault) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_fault = fault;
}

void WanServer::SetTrickleDelay(int milliseconds) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_trickleMs = milliseconds;
}

QList<QByteArray> WanServer::Requests() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_requests;
}

void WanServer::Run() {
    m_service.ServeConnections([this](int client) { Serve(client); });
}

void WanServer::Serve(int client) {
    QByteArray pending;
    while (m_service.WaitReadable(client, -1) > 0) {
        char buf[4096];
        ssize_t n = recv(client, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        pending.append(buf, n);
        qsizetype end;
        while ((end = pending.indexOf(kTerminator)) >= 0) {
            QByteArray request = pending.left(end);
            pending.remove(0, end + 4);
            {
                std::lock_guard<std::mutex> guard(m_lock);
                m_requests.append(request);
            }
            if (m_logging) {
                std::printf("wansim: %s\n", request.constData());
                std::fflush(stdout);
            }
            if (!Answer(client, request))
                return;
        }
        if (pending.size() > kMaxRequestBytes)
            return;
    }
}

bool WanServer::Send(int client, const QByteArray& bytes) {
    int trickleMs;
    WanFault fault;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        trickleMs = m_trickleMs;
        fault = m_fault;
    }
    const int step = fault == WanFault::Trickle ? 1 : static_cast<int>(bytes.size());
    for (qsizetype sent = 0; sent < bytes.size();) {
        if (fault == WanFault::Trickle && sent > 0 && !m_service.Pause(trickleMs))
            return false;
        qsizetype chunk = qMin<qsizetype>(step, bytes.size() - sent);
        ssize_t n = send(client, bytes.constData() + sent, static_cast<size_t>(chunk), MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            if (!m_service.Pause(1))
                return false;
            continue;
        }
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

QByteArray WanServer::LoginReply(const QByteArray& request) {
    QList<QByteArray> fields = request.simplified().split(' ');
    const QString user = DecodeCredential(fields.value(1));
    const QString password = DecodeCredential(fields.value(2));
    std::lock_guard<std::mutex> guard(m_lock);
    bool known = !user.isEmpty() && m_users.contains(qMakePair(user, password));
    int relayId = m_nextRelayId++;
    return Message(QByteArray::number(kRspLogin) + ' ' + QByteArray::number(relayId) + ' ' +
                   QByteArray::number(known ? 0 : -1));
}

QByteArray WanServer::DeviceList() {
    std::lock_guard<std::mutex> guard(m_lock);
    const QByteArray id = QByteArray::number(kRspDevices);
    const int count = m_countSet ? m_announcedCount : static_cast<int>(m_devices.size());
    QByteArray list = Message(id + ' ' + QByteArray::number(kListBegin) + ' ' + QByteArray::number(count));
    for (qsizetype i = 0; i < m_devices.size(); ++i) {
        const WanDevice& d = m_devices[i];
        const QString alt = d.altHost.isEmpty() ? d.host : d.altHost;
        list += Message(id + ' ' + QByteArray::number(i) + " 0 " + Token(d.name, true) + " 0 0 " +
                        Token(d.host, false) + ' ' + QByteArray::number(d.port) + ' ' + Token(alt, false) +
                        ' ' + QByteArray::number(d.altValue) + ' ' + QByteArray::number(d.useAltHost));
        if (m_fault == WanFault::ListNeverEnds)
            return list;
    }
    return list + Message(id + ' ' + QByteArray::number(kListEnd));
}

bool WanServer::Answer(int client, const QByteArray& request) {
    const int id = request.simplified().split(' ').value(0).toInt();
    WanFault fault;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        fault = m_fault;
    }
    const QByteArray param = Message(QByteArray::number(kRspParam) + " 1");
    if (id == kReqLogin) {
        switch (fault) {
            case WanFault::Silent:
                return true;
            case WanFault::Close:
                return false;
            case WanFault::ParamOnly:
                return Send(client, param);
            case WanFault::ParamFirst:
                return Send(client, param) && m_service.Pause(50) && Send(client, LoginReply(request));
            case WanFault::LogoutWithReply:
                return Send(client, Message(QByteArray::number(kRspLogout)) + LoginReply(request));
            case WanFault::NoTerminator:
                return Send(client, QByteArray(kClientBufferSize, 'x')) && m_service.Pause(50) &&
                       Send(client, LoginReply(request));
            default:
                return Send(client, LoginReply(request));
        }
    }
    if (id == kReqGetDevices) {
        if (fault == WanFault::Silent)
            return true;
        const QByteArray list = DeviceList();
        if (!Send(client, list))
            return false;
        if (fault != WanFault::ListNeverEnds)
            return true;
        // The list goes on without end: its last entry again every few milliseconds until the stop.
        QByteArray last = list.mid(list.indexOf(kTerminator) + 4);
        if (last.isEmpty())
            last = param;
        while (m_service.Pause(20)) {
            if (!Send(client, last))
                return false;
        }
        return false;
    }
    if (id == kReqDeleteDevice) {
        QList<QByteArray> fields = request.split(' ');
        const QString name = QString::fromUtf8(fields.mid(2).join(' ').trimmed());
        std::lock_guard<std::mutex> guard(m_lock);
        for (qsizetype i = 0; i < m_devices.size(); ++i) {
            if (m_devices[i].name == name) {
                m_devices.removeAt(i);
                break;
            }
        }
    }
    return true;
}
