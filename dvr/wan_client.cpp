#include "dvr/wan_client.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "core/base64.h"
#include "core/net_helpers.h"
#include "core/tarvik_app.h"
#include "core/text_helpers.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree_merge.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_protocol.h"
#include "platform/system/clock.h"
#include "platform/system/codepage.h"

RelaySession* g_relaySession = nullptr;

namespace {

int SendRelayFormatted(RelaySession* session, const char* format, ...) __attribute__((format(printf, 2, 3)));
int SendRelayFormatted(RelaySession* session, const char* format, ...) {
    char text[REQUEST_BUFFER_SIZE] = {};
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0)
        return -1;
    if (n > REQUEST_BUFFER_SIZE - 1)
        n = REQUEST_BUFFER_SIZE - 1;
    return SendRelayMessage(session, text, n);
}

// Opens a connection to the WAN server: VISTAL_WAN_SERVER when set, else the built-in host. -1 when it
// cannot be reached.
int ConnectWanServer() {
    std::string host;
    int port = 0;
    if (ReadEndpointSetting("VISTAL_WAN_SERVER", WAN_SERVER_HOST, std::atoi(RELAY_PORT), &host, &port) != 0)
        return -1;
    const std::string service = std::to_string(port);
    addrinfo* addresses = nullptr;
    if (ResolveTcpAddress(host.c_str(), service.c_str(), &addresses) != 0)
        return -1;
    int sock = socket(addresses->ai_family, addresses->ai_socktype | SOCK_CLOEXEC, addresses->ai_protocol);
    if (sock >= 0 && ConnectWithTimeout(addresses->ai_addr, sock, addresses->ai_addrlen) != 0) {
        close(sock);
        sock = -1;
    }
    freeaddrinfo(addresses);
    if (sock >= 0) {
        timeval timeout = {RELAY_TIMEOUT_MS / 1000, (RELAY_TIMEOUT_MS % 1000) * 1000};
        setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    }
    return sock;
}

bool ReadIntFields(FieldReader* reader, int32_t* first, int32_t* second) {
    return reader->Int(first) && reader->Int(second);
}

// The list start: the entry array is made anew for count entries, all zeroed.
void BeginDeviceList(RelaySession* session, int32_t count) {
    if (count < 0)
        count = 0;
    if (count > RELAY_MAX_ENTRIES)
        count = RELAY_MAX_ENTRIES;
    session->entries.clear();
    session->entries.shrink_to_fit();
    session->entries.resize(static_cast<size_t>(count));
    session->entryCount = count;
}

// The eight entry fields and the flag of an entry message, after its id and index.
bool ReadDeviceEntry(FieldReader* reader, RelayDeviceEntry* entry, int32_t* useAltHost) {
    return reader->Int(&entry->spare0) && reader->Token(entry->name, sizeof entry->name) &&
           reader->Int(&entry->spare1) && reader->Int(&entry->spare2) &&
           reader->Token(entry->host, sizeof entry->host) && reader->Int(&entry->port) &&
           reader->Token(entry->altHost, sizeof entry->altHost) && reader->Int(&entry->altValue) &&
           reader->Int(useAltHost);
}

// The list end: one DVR node per received entry in index order, merged into the tree file.
void EndDeviceList(RelaySession* session) {
    const QString defaultUser = WideToBase64(QStringLiteral("admin"));
    DeviceList list;
    for (const RelayDeviceEntry& entry : session->entries) {
        if (!entry.received)
            continue;
        DeviceTreeNode node{};
        node.type = NODE_DVR;
        node.id = list.Count();
        SetNodeText(node.name, AnsiToWide(QByteArray(entry.name)));
        SetNodeText(node.host, QString::fromUtf8(entry.host));
        node.port = entry.port;
        SetNodeText(node.altHost, QString::fromUtf8(entry.altHost));
        node.altValue = entry.altValue;
        SetNodeText(node.user, defaultUser);
        if (list.Append(node) == nullptr)
            break;
    }
    // A tree file that cannot be read or written is left as it was; the list is complete all the same.
    static_cast<void>(MergeDeviceTreeFile(list.Head()));
    session->flags |= RELAY_FLAG_LIST_COMPLETE;
}

using RelayParser = int (*)(const char*, int, RelaySession*);
struct RelayRoute {
    int id;
    RelayParser parser;
};
const RelayRoute kRelayRoutes[] = {
    {RELAY_RSP_LOGIN, ParseRelayLoginReply},
    {RELAY_RSP_PARAM, ParseRelayParam},
    {RELAY_RSP_LOGOUT, ParseRelayLogout},
    {RELAY_RSP_DEVICES, ParseRelayDeviceList},
};

}  // namespace

int InitRelaySession() {
    if (g_relaySession == nullptr)
        g_relaySession = new (std::nothrow) RelaySession();
    return g_relaySession != nullptr ? 0 : -1;
}

void FreeRelaySession() {
    if (g_relaySession == nullptr)
        return;
    CloseRelayConnection(g_relaySession);
    delete g_relaySession;
    g_relaySession = nullptr;
}

void CloseRelayConnection(RelaySession* session) {
    if (session == nullptr)
        return;
    if (session->socket >= 0)
        close(session->socket);
    session->socket = -1;
    session->fill = 0;
}

int CheckLogin(const QString& user, const QString& password) {
    if (user.isEmpty())
        return LOGIN_FAILED;
    if (theApp.m_bLanMode != 0)
        return (user == theApp.m_strSystemUser && password == theApp.m_strSystemPassword) ? LOGIN_OK
                                                                                          : LOGIN_FAILED;
    // What the login cannot carry whole is refused before anything is tried.
    for (const QString* text : {&user, &password}) {
        const int fault =
            CredentialFieldFault(reinterpret_cast<const char16_t*>(text->utf16()), TEXT_FIELD_SIZE);
        if (fault == FIELD_TOO_LONG)
            return LOGIN_CREDENTIAL_TOO_LONG;
        if (fault == FIELD_NOT_IN_CODE_PAGE)
            return LOGIN_CREDENTIAL_NOT_IN_CODE_PAGE;
    }
    RelaySession* session = g_relaySession;
    if (session == nullptr)
        return LOGIN_NO_SERVER;
    // The earlier connection keeps serving until the new one is up: a server that cannot be reached
    // leaves it (and its relay id) in use for the device list and deletes.
    const int socket = ConnectWanServer();
    if (socket < 0)
        return LOGIN_NO_SERVER;
    // A new login starts on the new connection with an empty buffer: nothing of the old one is read as its
    // reply.
    CloseRelayConnection(session);
    session->socket = socket;
    session->flags &= ~RELAY_FLAG_LOGIN_ANSWERED;
    static_cast<void>(SendRelayLogin(user, password, session));
    // The connect may have taken up to its own time-out; the reply then gets the whole deadline.
    const uint64_t deadline = MonotonicMs() + RELAY_LOGIN_DEADLINE_MS;
    if (ReceiveRelayMessages(session, RELAY_FLAG_LOGIN_ANSWERED, deadline) != 0)
        return LOGIN_NO_SERVER;
    if (session->loginResult < 0)
        return LOGIN_FAILED;
    theApp.m_strWanUser = user;
    theApp.m_strWanPassword = password;
    return LOGIN_OK;
}

int ReceiveRelayMessages(RelaySession* session, uint32_t doneFlag, uint64_t deadlineMs) {
    if (session == nullptr || session->socket < 0)
        return -1;
    for (;;) {
        // Messages already in the buffer come first (a reply may have arrived with the previous one).
        for (;;) {
            if ((session->flags & doneFlag) != 0)
                return 0;
            int end =
                FindBytes(MESSAGE_TERMINATOR, MESSAGE_TERMINATOR_LENGTH, session->fill, session->buffer);
            if (end < 0)
                break;
            static_cast<void>(
                DispatchRelayMessage(session, reinterpret_cast<const char*>(session->buffer), end));
            const int used = end + MESSAGE_TERMINATOR_LENGTH;
            std::memmove(session->buffer, session->buffer + used, static_cast<size_t>(session->fill - used));
            session->fill -= used;
        }
        // A full buffer without a terminator holds nothing that can still be read: drop it rather than
        // stop listening.
        if (session->fill >= RELAY_BUFFER_SIZE)
            session->fill = 0;
        const uint64_t now = MonotonicMs();
        if (now >= deadlineMs)
            return -1;
        // Each receive waits at most RELAY_TIMEOUT_MS: a silent server ends the wait before the deadline.
        const uint64_t left = deadlineMs - now;
        pollfd pfd = {session->socket, POLLIN, 0};
        int ready = poll(&pfd, 1, static_cast<int>(left < RELAY_TIMEOUT_MS ? left : RELAY_TIMEOUT_MS));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return -1;
        ssize_t n = recv(session->socket, session->buffer + session->fill,
                         static_cast<size_t>(RELAY_BUFFER_SIZE - session->fill), MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            continue;
        if (n <= 0)
            return -1;
        session->fill += static_cast<int32_t>(n);
    }
}

int DispatchRelayMessage(RelaySession* session, const char* message, int length) {
    FieldReader reader(message, length);
    int32_t id = 0;
    if (session == nullptr || !reader.Int(&id))
        return -1;
    for (const RelayRoute& route : kRelayRoutes) {
        if (route.id == id) {
            static_cast<void>(route.parser(message, length, session));
            break;
        }
    }
    return 0;
}

int SendRelayMessage(RelaySession* session, const char* bytes, int length) {
    if (session == nullptr || session->socket < 0)
        return -1;
    return static_cast<int>(send(session->socket, bytes, static_cast<size_t>(length), MSG_NOSIGNAL));
}

int SendRelayLogin(const QString& user, const QString& password, RelaySession* session) {
    char userField[TEXT_FIELD_SIZE];
    char passwordField[TEXT_FIELD_SIZE];
    // A credential too long for its field is refused rather than sent cut.
    if (EncodeCredentialField(reinterpret_cast<const char16_t*>(user.utf16()), userField, sizeof userField) !=
            0 ||
        EncodeCredentialField(reinterpret_cast<const char16_t*>(password.utf16()), passwordField,
                              sizeof passwordField) != 0)
        return -1;
    return SendRelayFormatted(session, "%d %s %s %s", RELAY_REQ_LOGIN, userField, passwordField,
                              MESSAGE_TERMINATOR);
}

int SendRelayGetDevices(RelaySession* session) {
    if (session == nullptr)
        return -1;
    return SendRelayFormatted(session, "%d %d %s", RELAY_REQ_GET_DEVICES, session->relayId,
                              MESSAGE_TERMINATOR);
}

void SendRelayDeleteDevice(DeviceTreeNode* node) {
    if (node == nullptr)
        return;
    QByteArray name = NodeText(node->name).toUtf8();
    std::free(node);
    // Cut to 255 bytes, never inside a character.
    qsizetype n = name.size() < 255 ? name.size() : 255;
    if (n < name.size()) {
        while (n > 0 && (static_cast<unsigned char>(name.at(n)) & 0xC0) == 0x80)
            --n;
    }
    name.truncate(n);
    RelaySession* session = g_relaySession;
    if (session == nullptr)
        return;
    static_cast<void>(SendRelayFormatted(session, "%d %d %s %s", RELAY_REQ_DELETE_DEVICE, session->relayId,
                                         name.constData(), MESSAGE_TERMINATOR));
}

int ParseRelayLoginReply(const char* message, int length, RelaySession* session) {
    FieldReader reader(message, length);
    int32_t id = 0, relayId = 0, result = 0;
    if (!ReadIntFields(&reader, &id, &relayId) || !reader.Int(&result))
        return -1;
    session->relayId = relayId;
    session->flags |= RELAY_FLAG_LOGIN_ANSWERED;
    session->loginResult = result < 0 ? -1 : result;
    return 0;
}

int ParseRelayParam(const char* message, int length, RelaySession* session) {
    FieldReader reader(message, length);
    int32_t id = 0, value = 0;
    if (!ReadIntFields(&reader, &id, &value))
        return -1;
    session->param = value;
    return 0;
}

int ParseRelayLogout(const char* message, int length, RelaySession* session) {
    FieldReader reader(message, length);
    int32_t id = 0;
    if (!reader.Int(&id))
        return -1;
    session->relayId = -1;
    session->loginResult = -1;
    return 0;
}

int ParseRelayDeviceList(const char* message, int length, RelaySession* session) {
    FieldReader reader(message, length);
    int32_t id = 0, kind = 0;
    if (!ReadIntFields(&reader, &id, &kind))
        return -1;
    // Entries 240 and 255 carry the index of the list start and end: their eleven fields tell them apart.
    RelayDeviceEntry entry;
    int32_t useAltHost = 0;
    FieldReader entryReader = reader;
    const bool isEntry = ReadDeviceEntry(&entryReader, &entry, &useAltHost);
    if (!isEntry && kind == LIST_BEGIN) {
        int32_t count = 0;
        if (!reader.Int(&count))
            return -1;
        BeginDeviceList(session, count);
        return 0;
    }
    if (!isEntry && kind == LIST_END) {
        EndDeviceList(session);
        return 0;
    }
    if (!isEntry || kind < 0 || kind >= session->entryCount)
        return -1;
    if (useAltHost != 0)
        std::memcpy(entry.host, entry.altHost, sizeof entry.host);
    entry.received = true;
    session->entries[static_cast<size_t>(kind)] = entry;
    return 0;
}
