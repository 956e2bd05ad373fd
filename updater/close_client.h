#pragma once

// Finding and closing running clients before a package is unpacked over them. A client is a process of
// the calling user whose executable has the client's name (ignoring letter case) and lies in the
// installation folder being updated (FindOwnProcesses): clients of other users and of other installations
// on the same machine are never asked to close, nor ended.

#include <QString>
#include <functional>
#include <vector>

#include "platform/system/process_scan.h"
#include "platform/system/win_types.h"

// 1 when such a client runs from folder, else 0.
int IsProcessRunning(const QString& name, const QString& folder);

// Returns 1 at once when no such client runs. Otherwise, for each one: force 0 sends the close request
// (WM_COPYDATA with COPYDATA_CLOSE_REQUEST, wParam = senderWindow) to its endpoint and waits until it was
// handled; force 1 ends it with SIGKILL. *delivered (when given) counts the requests that were handled.
// Returns 0.
constexpr int CLOSE_REQUEST_TIMEOUT_MS = 1000;
int CloseProcessByName(const QString& name, const QString& folder, int force, WPARAM senderWindow = 0,
                       int* delivered = nullptr, int requestTimeoutMs = CLOSE_REQUEST_TIMEOUT_MS);

struct CloseTiming {
    int passDelayMs = 100;                            // between two passes of the loop
    int requestTimeoutMs = CLOSE_REQUEST_TIMEOUT_MS;  // how long one close request may wait for its answer
    int graceMs = 10000;      // after a handled request, time for the client's own shut-down
    int forceLimitMs = 5000;  // how long termination is tried before giving up
};

enum CloseClientResult {
    CLOSE_CLIENT_STUCK = -1,    // a client is still running after the force limit
    CLOSE_CLIENT_DECLINED = 0,  // the operator did not confirm
    CLOSE_CLIENT_DONE = 1,      // no client runs (any more)
};

// The closing sequence before an update. While a client runs: on the first pass ask confirm with the
// clients found (false ends with CLOSE_CLIENT_DECLINED); on the next two passes send the close request; once
// a request was handled the client gets timing.graceMs to end by itself; then it is terminated each pass
// until it is gone. pause(ms) waits between the passes (the dialog keeps painting meanwhile). When cancelled
// (if given) turns true after a pause, the sequence ends with CLOSE_CLIENT_DECLINED and nothing more is sent
// or terminated.
int CloseRunningClient(const QString& name, const QString& folder, WPARAM senderWindow,
                       const std::function<bool(const std::vector<FoundProcess>&)>& confirm,
                       const std::function<void(int ms)>& pause, const CloseTiming& timing = CloseTiming(),
                       const std::function<bool()>& cancelled = nullptr);
