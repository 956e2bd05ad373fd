#include "dvr/lan_discovery.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "core/base64.h"
#include "core/net_helpers.h"
#include "core/text_helpers.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_protocol.h"
#include "platform/system/codepage.h"

namespace {

constexpr char kDefaultDiscoveryHost[] = "255.255.255.255";

// A reply text field: "(NULL)" is empty, SPACE_SUBSTITUTE stands for a space, the bytes are in the 8-bit
// code page.
QString DecodeReplyText(char* token) {
    if (std::strcmp(token, NULL_TEXT) == 0)
        return QString();
    static_cast<void>(RestoreSpacesA(token));
    return AnsiToWide(QByteArray(token));
}

int ReplyPort() {
    const char* value = std::getenv("VISTAL_DISCOVERY_REPLY_PORT");
    if (value == nullptr || *value == '\0')
        return DISCOVERY_REPLY_PORT;
    char* end = nullptr;
    long port = std::strtol(value, &end, 10);
    return (*end == '\0' && port >= 1 && port <= 65535) ? static_cast<int>(port) : -1;
}

// The discovery address: numeric IPv4 only, so that no name is ever looked up.
int DiscoveryAddress(sockaddr_in* address) {
    std::string host;
    int port = 0;
    if (ReadEndpointSetting("VISTAL_DISCOVERY_ADDRESS", kDefaultDiscoveryHost, DISCOVERY_PORT, &host,
                            &port) != 0)
        return -1;
    std::memset(address, 0, sizeof *address);
    address->sin_family = AF_INET;
    address->sin_port = htons(static_cast<uint16_t>(port));
    return inet_pton(AF_INET, host.c_str(), &address->sin_addr) == 1 ? 0 : -1;
}

// Closes a socket descriptor when it goes.
class SocketHolder {
public:
    explicit SocketHolder(int fd) : m_fd(fd) {}
    SocketHolder(const SocketHolder&) = delete;
    SocketHolder& operator=(const SocketHolder&) = delete;
    ~SocketHolder() {
        if (m_fd >= 0)
            close(m_fd);
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// A port field of decimal digits only, 1 to 65535 ("80abc", "65535.9", "+80" and "" are none); -1 when
// it is none.
int WholePort(const char* field) {
    long port = 0;
    int digits = 0;
    for (const char* p = field; *p != '\0'; ++p, ++digits) {
        if (*p < '0' || *p > '9' || digits >= 10)
            return -1;
        port = port * 10 + (*p - '0');
    }
    return digits > 0 && port >= 1 && port <= 65535 ? static_cast<int>(port) : -1;
}

}  // namespace

QByteArray FormatDiscoveryRequest() {
    char text[64];
    int n = std::snprintf(text, sizeof text, "%d %d %s", DVR_REQ_DISCOVER, 0, MESSAGE_TERMINATOR);
    return QByteArray(text, n);
}

int ParseDiscoveryReply(const char* bytes, int length, DiscoveryReply* reply) {
    FieldReader reader(bytes, length);
    int32_t id = 0, status = 0, error = 0, unused = 0, unused2 = 0;
    char name[TEXT_FIELD_SIZE];
    char host[TEXT_FIELD_SIZE];
    char portField[TEXT_FIELD_SIZE];
    if (!reader.Int(&id) || !reader.Int(&status) || !reader.Int(&error) || !reader.Int(&unused) ||
        !reader.Token(name, sizeof name) || !reader.Token(host, sizeof host) || !reader.Int(&unused2) ||
        !reader.Token(portField, sizeof portField))
        return -1;
    const int port = WholePort(portField);
    if (status != 0 || error != 0 || port < 0)
        return -1;
    reply->name = DecodeReplyText(name);
    reply->host = DecodeReplyText(host);
    reply->port = port;
    return 0;
}

DiscoveryReceiver::~DiscoveryReceiver() {
    if (m_socket >= 0)
        close(m_socket);
}

int DiscoveryReceiver::Open() {
    int port = ReplyPort();
    if (port < 0)
        return -1;
    m_socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return -1;
    int on = 1;
    setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(m_socket);
        m_socket = -1;
        return -1;
    }
    return 0;
}

int DiscoveryReceiver::Receive(int timeoutMs, QByteArray* datagram) {
    if (m_socket < 0)
        return -1;
    pollfd pfd = {m_socket, POLLIN, 0};
    int ready = poll(&pfd, 1, timeoutMs);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return 0;
    if (ready < 0)
        return -1;
    char bytes[DISCOVERY_REPLY_SIZE + 1];
    // MSG_TRUNC gives the datagram's real length, so a cut one is recognised and dropped.
    ssize_t n = recv(m_socket, bytes, sizeof bytes, MSG_TRUNC | MSG_DONTWAIT);
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    if (n > DISCOVERY_REPLY_SIZE)
        return 2;
    *datagram = QByteArray(bytes, static_cast<qsizetype>(n));
    return 1;
}

int DiscoveryReceiver::DropQueued() {
    if (m_socket < 0)
        return 0;
    int dropped = 0;
    char byte;
    while (recv(m_socket, &byte, sizeof byte, MSG_DONTWAIT | MSG_TRUNC) >= 0)
        ++dropped;
    return dropped;
}

int SendDiscoveryRequest() {
    sockaddr_in address;
    if (DiscoveryAddress(&address) != 0)
        return -1;
    SocketHolder sender(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (sender.Get() < 0)
        return -1;
    int on = 1;
    setsockopt(sender.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    const QByteArray request = FormatDiscoveryRequest();
    ssize_t sent = sendto(sender.Get(), request.constData(), static_cast<size_t>(request.size()),
                          MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return sent == request.size() ? 0 : -1;
}

int DiscoverDevices(DeviceList* found) {
    return DiscoverDevices(found, DiscoveryPass{});
}

int DiscoverDevices(DeviceList* found, const DiscoveryPass& pass) {
    found->Clear();
    // Replies count only from the request until the last round's wait ends: whatever reached the port
    // before the request is dropped, and the port is closed when the rounds end.
    DiscoveryReceiver receiver;
    if (receiver.Open() != 0)
        return -1;
    static_cast<void>(receiver.DropQueued());
    if (SendDiscoveryRequest() != 0)
        return -1;
    const QString defaultUser =
        pass.plainUser ? QStringLiteral("admin") : WideToBase64(QStringLiteral("admin"));
    for (int round = 0; round < DISCOVERY_ROUNDS; ++round) {
        QByteArray datagram;
        DiscoveryReply reply;
        if (receiver.Receive(DISCOVERY_ROUND_MS, &datagram) == 1 &&
            ParseDiscoveryReply(datagram.constData(), static_cast<int>(datagram.size()), &reply) == 0) {
            DeviceTreeNode node{};
            node.type = NODE_DVR;
            node.id = found->Count();
            SetNodeText(node.name, reply.name);
            SetNodeText(node.host, reply.host);
            node.port = reply.port;
            SetNodeText(node.user, defaultUser);
            bool known = false;
            for (const DeviceListNode* n = found->Head(); n != nullptr && !known; n = n->next)
                known = NodeText(n->host) == NodeText(node.host);
            if (!known && found->Append(node) == nullptr)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pass.pauseMs));
    }
    return 0;
}
