#pragma once

// Finding and closing running clients before a package is unpacked over them.

#include <QString>
#include <functional>

#include "platform/system/win_types.h"

// 1 when a process with that executable name runs (ignoring letter case), else 0.
int IsProcessRunning(const QString& name);

// Returns 1 at once when no such process runs. Otherwise, for each one: force 0 sends the close request
// (WM_COPYDATA with COPYDATA_CLOSE_REQUEST, wParam = senderWindow) to its endpoint and waits until it was
// handled; force 1 ends it with SIGKILL. *delivered (when given) counts the requests that were handled.
// Returns 0.
constexpr int CLOSE_REQUEST_TIMEOUT_MS = 1000;
int CloseProcessByName(const QString& name, int force, WPARAM senderWindow = 0, int* delivered = nullptr,
                       int requestTimeoutMs = CLOSE_REQUEST_TIMEOUT_MS);

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

// The closing sequence before an update. While a client runs: on the first pass ask confirm (false ends
// with CLOSE_CLIENT_DECLINED); on the next two passes send the close request; once a request was handled
// the client gets timing.graceMs to end by itself; then it is terminated each pass until it is gone.
// pause(ms) waits between the passes (the dialog keeps painting meanwhile). When cancelled (if given)
// turns true after a pause, the sequence ends with CLOSE_CLIENT_DECLINED and nothing more is sent or
// terminated.
int CloseRunningClient(const QString& name, WPARAM senderWindow, const std::function<bool()>& confirm,
                       const std::function<void(int ms)>& pause, const CloseTiming& timing = CloseTiming(),
                       const std::function<bool()>& cancelled = nullptr);
