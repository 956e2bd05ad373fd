#include "platform/system/copydata_endpoint.h"

#include "platform/system/runtime_folder.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/system/clock.h"

namespace {

constexpr uint32_t kRecordMagic = 0x56434452;  // "VCDR"
constexpr uint32_t kMaxPayload = 64 * 1024;
constexpr int kReceiveWaitMs = 500;

// The fixed head of a message on the socket, followed by cbData bytes.
struct CopyDataRecord {
    uint32_t magic;
    uint32_t cbData;
    uint64_t dwData;
    uint64_t wParam;
};
struct CopyDataReply {
    uint32_t magic;
    uint32_t reserved;
    int64_t result;
};

bool FillAddress(const QByteArray& path, sockaddr_un* addr) {
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof addr->sun_path)
        return false;
    std::memcpy(addr->sun_path, path.constData(), size_t(path.size()));
    return true;
}

bool PeerIs(int fd, pid_t wantedPid) {
    struct ucred cred;
    socklen_t len = sizeof cred;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    return cred.uid == getuid() && (wantedPid == 0 || cred.pid == wantedPid);
}

// Reads or writes exactly length bytes before deadlineMs on the monotonic clock.
bool TransferAll(int fd, void* data, size_t length, uint64_t deadlineMs, bool reading) {
    auto* p = static_cast<char*>(data);
    while (length > 0) {
        uint64_t now = MonotonicMs();
        if (now >= deadlineMs)
            return false;
        struct pollfd pfd = {fd, short(reading ? POLLIN : POLLOUT), 0};
        int ready = poll(&pfd, 1, int(deadlineMs - now));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        ssize_t n = reading ? recv(fd, p, length, 0) : send(fd, p, length, MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        p += n;
        length -= size_t(n);
    }
    return true;
}

}  // namespace

QString CopyDataEndpointFolder() {
    return UserRuntimeFolder();
}

QString CopyDataEndpointPath(pid_t pid) {
    QString folder = CopyDataEndpointFolder();
    if (folder.isEmpty())
        return QString();
    return folder + QStringLiteral("/copydata-%1").arg(pid);
}

int CopyDataEndpoint::Open() {
    return OpenAt(CopyDataEndpointPath(getpid()));
}

int CopyDataEndpoint::OpenAt(const QString& endpointPath) {
    Close();
    QByteArray path = QFile::encodeName(endpointPath);
    sockaddr_un addr;
    if (!FillAddress(path, &addr))
        return -1;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    // A file left by an earlier process with the same id is in the way.
    unlink(path.constData());
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 8) != 0) {
        close(fd);
        return -1;
    }
    m_listen = fd;
    m_path = path;
    return 0;
}

void CopyDataEndpoint::Close() {
    if (m_listen < 0)
        return;
    close(m_listen);
    m_listen = -1;
    unlink(m_path.constData());
    m_path.clear();
}

int CopyDataEndpoint::Service(const Handler& handler) {
    int handled = 0;
    while (m_listen >= 0) {
        int client = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        uint64_t deadline = MonotonicMs() + kReceiveWaitMs;
        CopyDataRecord record;
        QByteArray payload;
        bool ok = PeerIs(client, 0) && TransferAll(client, &record, sizeof record, deadline, true) &&
                  record.magic == kRecordMagic && record.cbData <= kMaxPayload;
        if (ok && record.cbData > 0) {
            payload.resize(record.cbData);
            ok = TransferAll(client, payload.data(), record.cbData, deadline, true);
        }
        if (ok) {
            COPYDATASTRUCT data = {uintptr_t(record.dwData), record.cbData,
                                   record.cbData > 0 ? payload.constData() : nullptr};
            CopyDataReply reply = {kRecordMagic, 0, int64_t(handler(WPARAM(record.wParam), data))};
            ++handled;
            TransferAll(client, &reply, sizeof reply, MonotonicMs() + kReceiveWaitMs, false);
        }
        close(client);
    }
    return handled;
}

namespace {

// Sends to the endpoint at path; the peer must be this user's, and process wantedPid unless it is 0.
int SendToEndpoint(const QString& path, pid_t wantedPid, WPARAM wParam, const COPYDATASTRUCT& data,
                   int timeoutMs, LRESULT* result) {
    if (data.cbData > kMaxPayload || (data.cbData > 0 && data.lpData == nullptr))
        return -1;
    sockaddr_un addr;
    if (!FillAddress(QFile::encodeName(path), &addr))
        return -1;
    // Non-blocking: a receiver whose queue of senders is full refuses at once instead of holding us.
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    uint64_t deadline = MonotonicMs() + uint64_t(timeoutMs > 0 ? timeoutMs : 0);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && PeerIs(fd, wantedPid);
    if (ok) {
        CopyDataRecord record = {kRecordMagic, data.cbData, uint64_t(data.dwData), uint64_t(wParam)};
        ok = TransferAll(fd, &record, sizeof record, deadline, false) &&
             (data.cbData == 0 ||
              TransferAll(fd, const_cast<void*>(data.lpData), data.cbData, deadline, false));
    }
    CopyDataReply reply = {};
    ok = ok && TransferAll(fd, &reply, sizeof reply, deadline, true) && reply.magic == kRecordMagic;
    close(fd);
    if (!ok)
        return -1;
    if (result != nullptr)
        *result = LRESULT(reply.result);
    return 0;
}

}  // namespace

int SendCopyData(pid_t pid, WPARAM wParam, const COPYDATASTRUCT& data, int timeoutMs, LRESULT* result) {
    return SendToEndpoint(CopyDataEndpointPath(pid), pid, wParam, data, timeoutMs, result);
}

int SendCopyDataTo(const QString& path, WPARAM wParam, const COPYDATASTRUCT& data, int timeoutMs,
                   LRESULT* result) {
    return SendToEndpoint(path, 0, wParam, data, timeoutMs, result);
}
