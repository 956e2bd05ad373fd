#pragma once

// WM_COPYDATA between processes of the same user: each process that accepts the message opens a local
// (Unix) socket of its own, named by its process id in a folder that only the user can enter. A sender
// connects, hands over the message and waits until the receiver has handled it, as SendMessage would.
// Both sides check the peer's credentials: only the same user is accepted, and the sender only talks to
// the socket of the process it means. No Qt: the owner watches Fd() with its own loop (a socket
// notifier, poll) and calls Service() when it is readable.

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <functional>

#include "platform/system/win_types.h"

struct COPYDATASTRUCT {
    uintptr_t dwData;  // what the message means; receivers act on it
    DWORD cbData;      // bytes at lpData
    const void* lpData;
};

// The folder that holds the sockets ($XDG_RUNTIME_DIR/vistal, or /tmp/vistal-<uid>), made on first use
// with mode 0700. "" when it cannot be made safely (it exists and is not the user's private folder).
QString CopyDataEndpointFolder();
// The socket path of process pid's endpoint.
QString CopyDataEndpointPath(pid_t pid);

class CopyDataEndpoint {
public:
    // Handles one message: wParam is the sender's window, data the copied bytes. Its result goes back.
    using Handler = std::function<LRESULT(WPARAM wParam, const COPYDATASTRUCT& data)>;

    CopyDataEndpoint() = default;
    CopyDataEndpoint(const CopyDataEndpoint&) = delete;
    CopyDataEndpoint& operator=(const CopyDataEndpoint&) = delete;
    ~CopyDataEndpoint() { Close(); }

    // Listens at the endpoint of the calling process. 0, or -1.
    [[nodiscard]] int Open();
    // Listens at path (a file in CopyDataEndpointFolder()); a file left there is replaced, so only the
    // process entitled to the name (the holder of the instance lock) opens it. 0, or -1.
    [[nodiscard]] int OpenAt(const QString& path);
    // Stops listening and removes the socket file.
    void Close();
    // Readable while senders wait; -1 when not open.
    int Fd() const { return m_listen; }
    // Takes every waiting sender without blocking, reads its message (bounded wait), runs handler and
    // answers with its result. Returns the number of messages handled.
    int Service(const Handler& handler);

private:
    int m_listen = -1;
    QByteArray m_path;
};

// Sends WM_COPYDATA to process pid and waits up to timeoutMs until its endpoint has handled it.
// 0 when handled (*result receives the handler's result), -1 when the process has no endpoint, is not
// the same user's, or did not answer in time.
[[nodiscard]] int SendCopyData(pid_t pid, WPARAM wParam, const COPYDATASTRUCT& data, int timeoutMs,
                               LRESULT* result = nullptr);
// The same to the endpoint at path, whichever process of this user listens there.
[[nodiscard]] int SendCopyDataTo(const QString& path, WPARAM wParam, const COPYDATASTRUCT& data,
                                 int timeoutMs, LRESULT* result = nullptr);
