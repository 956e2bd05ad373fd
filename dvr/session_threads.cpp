#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QString>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "core/net_helpers.h"
#include "dvr/device_tree_node.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/receive_path.h"
#include "dvr/session_hooks.h"
#include "platform/system/clock.h"
#include "platform/system/descriptor_account.h"

namespace {

thread_local const DVRDevice* t_commandDevice = nullptr;

// True when WM_QUIT is among the posted messages (all of them are taken).
bool QuitPosted() {
    ThreadMessage msg;
    bool quit = CurrentThreadStopRequested();
    while (PeekThreadMessage(&msg) == 1) {
        if (msg.message == WM_QUIT)
            quit = true;
    }
    return quit;
}

// A step goes out when none was sent yet (0) or more than REQUEST_RETRY_SECONDS passed since the last.
bool StepDue(int64_t last, int64_t now) {
    return last == 0 || now - last > int64_t{REQUEST_RETRY_SECONDS} * 1000;
}

void SetNonBlocking(int sock) {
    int flags = fcntl(sock, F_GETFL, 0);
    if (flags >= 0)
        fcntl(sock, F_SETFL, flags | O_NONBLOCK);
}

// A connected socket to the device's address, or -1.
int ConnectDevice(DVRDevice* device) {
    const struct addrinfo* address = device->address.get();
    int sock = socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
    if (sock < 0)
        return -1;
    NoteDescriptorOpened();
    if (ConnectWithTimeout(address->ai_addr, sock, address->ai_addrlen) != 0) {
        NoteDescriptorClosing();
        close(sock);
        return -1;
    }
    SetNonBlocking(sock);
    return sock;
}

// The host of the device's node as UTF-8 of at most 63 bytes, cut at a character boundary, and its port.
void DeviceEndpoint(const DVRDevice* device, QByteArray* host, char (&port)[16]) {
    *host = QString::fromUtf16(device->node->host).toUtf8();
    int length = host->size() > 63 ? 63 : static_cast<int>(host->size());
    while (length < host->size() && length > 0 && (static_cast<uint8_t>((*host)[length]) & 0xC0) == 0x80)
        --length;
    host->truncate(length);
    std::snprintf(port, sizeof port, "%d", device->node->port);
}

}  // namespace

// A name lookup on a detached thread of its own: the resolver cannot be interrupted, and the command
// thread, which the UI thread stops and waits for, must never sit in it. The session and the lookup
// thread share the record; whichever lets go last frees it.
struct AddressLookup {
    QByteArray host;
    char port[16] = {};
    std::mutex lock;
    bool done = false;
    struct addrinfo* result = nullptr;  // owned until taken
    ~AddressLookup() {
        if (result != nullptr)
            freeaddrinfo(result);
    }
};

namespace {

void* LookupThread(void* arg) {
    auto* shared = static_cast<std::shared_ptr<AddressLookup>*>(arg);
    std::shared_ptr<AddressLookup> lookup = std::move(*shared);
    delete shared;
    struct addrinfo* result = nullptr;
    if (ResolveTcpAddress(lookup->host.constData(), lookup->port, &result) != 0)
        result = nullptr;
    // The resolver has closed its files and sockets.
    ReleaseDescriptors(LOOKUP_DESCRIPTORS);
    std::lock_guard<std::mutex> guard(lookup->lock);
    lookup->result = result;
    lookup->done = true;
    return nullptr;
}

// Starts the lookup thread with its descriptors reserved; false when they or the thread are short.
bool StartLookup(const std::shared_ptr<AddressLookup>& lookup) {
    if (!ReserveDescriptors(LOOKUP_DESCRIPTORS, SESSION_DESCRIPTOR_RESERVE))
        return false;
    auto* arg = new (std::nothrow) std::shared_ptr<AddressLookup>(lookup);
    pthread_t thread;
    if (arg == nullptr || pthread_create(&thread, nullptr, LookupThread, arg) != 0) {
        delete arg;
        ReleaseDescriptors(LOOKUP_DESCRIPTORS);
        return false;
    }
    pthread_detach(thread);
    return true;
}

// Gives the device its address: a numeric host at once; a name through a lookup thread whose result a
// later round takes (a failed lookup is started again on the round after).
void ResolveDevice(DVRDevice* device) {
    if (device->address != nullptr || device->node == nullptr)
        return;
    if (device->addressLookup != nullptr) {
        std::lock_guard<std::mutex> guard(device->addressLookup->lock);
        if (!device->addressLookup->done)
            return;
        device->address.reset(device->addressLookup->result);
        device->addressLookup->result = nullptr;
    }
    if (device->address != nullptr || device->addressLookup != nullptr) {
        device->addressLookup.reset();
        return;
    }
    QByteArray host;
    char port[16];
    DeviceEndpoint(device, &host, port);
    struct addrinfo* result = nullptr;
    if (ResolveNumericTcpAddress(host.constData(), port, &result) == 0) {
        device->address.reset(result);
        return;
    }
    auto lookup = std::make_shared<AddressLookup>();
    lookup->host = host;
    std::memcpy(lookup->port, port, sizeof port);
    if (StartLookup(lookup))
        device->addressLookup = std::move(lookup);
}

// Waits up to timeoutMs for sock to become readable (or only for the stop request when sock is -1).
// -2 when the thread is asked to stop, 1 when readable, 0 otherwise.
// A posted message (a wake-up) also ends the wait.
int WaitReadable(int sock, int timeoutMs) {
    struct pollfd fds[2] = {{CurrentThreadMessageFd(), POLLIN, 0}, {sock, POLLIN, 0}};
    int r = PollUntilStop(fds, sock >= 0 ? 2 : 1, timeoutMs);
    if (r == -2)
        return -2;
    return r > 0 && sock >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0 ? 1 : 0;
}

enum SessionStep { STEP_NONE, STEP_HELLO, STEP_LOGIN, STEP_CHANNELS, STEP_SYSTEM_PARAMS };

// The step the session's flags call for; STEP_NONE while it waits for its binds or once it is online.
SessionStep PendingStep(uint32_t flags) {
    if ((flags & DEVICE_FLAG_HELLO) == 0)
        return STEP_HELLO;
    if ((flags & DEVICE_FLAG_LOGGED_IN) == 0)
        return STEP_LOGIN;
    if ((flags & DEVICE_FLAG_LIVE_BOUND) != 0 && (flags & DEVICE_FLAG_PLAYBACK_BOUND) != 0 &&
        (flags & DEVICE_FLAG_CHANNELS) == 0)
        return STEP_CHANNELS;
    if ((flags & DEVICE_FLAG_CHANNELS) != 0 && (flags & DEVICE_FLAG_SYSTEM_PARAMS) == 0)
        return STEP_SYSTEM_PARAMS;
    return STEP_NONE;
}

void SendSessionStep(DVRDevice* device, int64_t now) {
    if (!StepDue(device->lastRequest.load(), now))
        return;
    switch (PendingStep(device->flags.load())) {
        case STEP_HELLO:
            SendHello(device);
            break;
        case STEP_LOGIN:
            SendLogin(device, CONN_COMMAND);
            break;
        case STEP_CHANNELS:
            SendGetChannelNames(device);
            break;
        case STEP_SYSTEM_PARAMS:
            SendGetSystemParams(device);
            break;
        case STEP_NONE:
            return;
    }
    device->lastRequest.store(now);
}

// How long the command thread may sleep before the session's next step is due: 0 when it is due now, -1
// when the session's state calls for no step (a reply, a bind, a wake-up or the stop ends the wait).
int StepWaitMs(const DVRDevice* device) {
    if (PendingStep(device->flags.load()) == STEP_NONE)
        return -1;
    int64_t last = device->lastRequest.load();
    return last == 0 ? 0 : WaitMsUntil(last + int64_t{REQUEST_RETRY_SECONDS} * 1000 + 1);
}

unsigned StreamThreadProc(DVRDevice* device, int type) {
    std::atomic<int>& socketField = type == CONN_LIVE ? device->liveSocket : device->playbackSocket;
    uint32_t boundFlag = type == CONN_LIVE ? DEVICE_FLAG_LIVE_BOUND : DEVICE_FLAG_PLAYBACK_BOUND;
    HWND mainWindow = GetDvrSessionHooks().mainWindow;
    bool bindSent = false;
    bool lost = false;
    int64_t lastBind = 0;
    for (;;) {
        if (QuitPosted())
            break;
        if (socketField.load() < 0 && !lost && device->address != nullptr) {
            int sock = ConnectDevice(device);
            if (sock < 0) {
                // Paced: a refused connect is not tried again at once.
                if (WaitReadable(-1, STREAM_CONNECT_RETRY_MS) == -2)
                    break;
                continue;
            }
            int rcvbuf = STREAM_SOCKET_RCVBUF;
            setsockopt(sock, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
            device->flags.fetch_and(~boundFlag);
            socketField.store(sock);
            bindSent = false;
        }
        int sock = socketField.load();
        if (sock < 0) {
            if (WaitReadable(-1, COMMAND_WAIT_MS) == -2)
                break;
            continue;
        }
        int64_t now = static_cast<int64_t>(MonotonicMs());
        if ((device->flags.load() & boundFlag) == 0 &&
            (!bindSent || now - lastBind > int64_t{REQUEST_RETRY_SECONDS} * 1000)) {
            SendLogin(device, type);
            bindSent = true;
            lastBind = now;
        }
        // Once bound, the thread has nothing to do until data, a message or the stop arrives.
        int ready = WaitReadable(sock, (device->flags.load() & boundFlag) != 0 ? -1 : COMMAND_WAIT_MS);
        if (ready == -2)
            break;
        if (ready == 1 && ReceiveDeviceData(device, mainWindow, type, sock) != 0) {
            // A lost stream connection restarts the whole session, so the video never stops silently.
            CloseDeviceSocket(device, &socketField);
            lost = true;
            ReportLinkError(device);
        }
    }
    CloseDeviceSocket(device, &socketField);
    return 0;
}

}  // namespace

bool IsCommandThreadOf(const DVRDevice* device) {
    return device != nullptr && t_commandDevice == device;
}

unsigned CommandThreadProc(void* arg) {
    auto* device = static_cast<DVRDevice*>(arg);
    t_commandDevice = device;
    device->commandQueue.store(GetCurrentThreadId());
    HWND mainWindow = GetDvrSessionHooks().mainWindow;
    for (;;) {
        if (QuitPosted())
            break;
        ResolveDevice(device);
        if (device->commandSocket.load() < 0 && device->address != nullptr &&
            (device->flags.load() & DEVICE_FLAG_LINK_ERROR) == 0) {
            int sock = ConnectDevice(device);
            device->flags.fetch_and(~DEVICE_FLAG_HELLO);
            if (sock >= 0) {
                // Requests are whole messages of one send each: none should wait for the previous ACK.
                int one = 1;
                setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                device->commandFill = 0;
                device->commandSocket.store(sock);
                // Nothing was sent on this connection yet: its first step goes out at once.
                device->lastRequest.store(0);
            }
        }
        int sock = device->commandSocket.load();
        if (sock < 0) {
            if (WaitReadable(-1, COMMAND_WAIT_MS) == -2)
                break;
            continue;
        }
        SendSessionStep(device, static_cast<int64_t>(MonotonicMs()));
        // Between steps, and once online, the thread sleeps until a reply comes, its next step is due, or
        // another thread changes the session's state and wakes it (WakeCommandThread).
        int ready = WaitReadable(sock, StepWaitMs(device));
        if (ready == -2)
            break;
        if (ready == 1 && ReceiveDeviceData(device, mainWindow, CONN_COMMAND, sock) != 0) {
            // The connection is closed here, so nothing is written to it any more. Before the login it is
            // connected again in the next round; after it the supervisor restarts the session.
            CloseDeviceSocket(device, &device->commandSocket);
            if ((device->flags.load() & DEVICE_FLAG_LOGGED_IN) != 0)
                ReportLinkError(device);
            else if (WaitReadable(-1, COMMAND_WAIT_MS) == -2)
                break;
        }
    }
    device->commandQueue.store(0);
    CloseDeviceSocket(device, &device->commandSocket);
    return 0;
}

void WakeCommandThread(DVRDevice* device) {
    if (IsCommandThreadOf(device))
        return;  // it looks at the session's state before it waits again
    ThreadId queue = device->commandQueue.load();
    if (queue != 0)
        PostThreadMessage(queue, WM_NULL, 0, 0);
}

unsigned LiveStreamThreadProc(void* device) {
    return StreamThreadProc(static_cast<DVRDevice*>(device), CONN_LIVE);
}

unsigned PlaybackStreamThreadProc(void* device) {
    return StreamThreadProc(static_cast<DVRDevice*>(device), CONN_PLAYBACK);
}
