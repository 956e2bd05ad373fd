#include "updater/close_client.h"

#include <signal.h>

#include <QFile>

#include "platform/system/clock.h"
#include "platform/system/copydata_endpoint.h"
#include "platform/system/process_scan.h"
#include "updater/close_request.h"

int IsProcessRunning(const QString& name) {
    return FindProcessesByName(name).empty() ? 0 : 1;
}

int CloseProcessByName(const QString& name, int force, WPARAM senderWindow, int* delivered,
                       int requestTimeoutMs) {
    std::vector<pid_t> pids = FindProcessesByName(name);
    if (pids.empty())
        return 1;
    for (pid_t pid : pids) {
        if (force) {
            // A process ended this way cannot remove its endpoint itself.
            if (kill(pid, SIGKILL) == 0)
                QFile::remove(CopyDataEndpointPath(pid));
            continue;
        }
        COPYDATASTRUCT request = {COPYDATA_CLOSE_REQUEST, 0, nullptr};
        if (SendCopyData(pid, senderWindow, request, requestTimeoutMs) == 0 && delivered != nullptr)
            ++*delivered;
    }
    return 0;
}

int CloseRunningClient(const QString& name, WPARAM senderWindow, const std::function<bool()>& confirm,
                       const std::function<void(int ms)>& pause, const CloseTiming& timing,
                       const std::function<bool()>& cancelled) {
    int pass = 0;
    uint64_t graceEnd = 0;
    uint64_t forceStart = 0;
    while (IsProcessRunning(name)) {
        ++pass;
        uint64_t now = MonotonicMs();
        if (pass == 1) {
            if (!confirm())
                return CLOSE_CLIENT_DECLINED;
        } else if (pass <= 3) {
            int delivered = 0;
            CloseProcessByName(name, 0, senderWindow, &delivered, timing.requestTimeoutMs);
            if (delivered > 0)
                graceEnd = MonotonicMs() + uint64_t(timing.graceMs);
        } else if (now >= graceEnd) {
            if (forceStart == 0)
                forceStart = now;
            else if (now - forceStart >= uint64_t(timing.forceLimitMs))
                return CLOSE_CLIENT_STUCK;
            CloseProcessByName(name, 1);
        }
        pause(timing.passDelayMs);
        // The operator's Cancel during a pause ends the sequence before anything else is done.
        if (cancelled && cancelled())
            return CLOSE_CLIENT_DECLINED;
    }
    return CLOSE_CLIENT_DONE;
}
