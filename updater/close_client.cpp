#include "updater/close_client.h"

#include <signal.h>

#include <QFile>

#include "platform/system/clock.h"
#include "platform/system/copydata_endpoint.h"
#include "platform/system/process_scan.h"
#include "updater/close_request.h"

int IsProcessRunning(const QString& name, const QString& folder) {
    return FindOwnProcesses(name, folder).empty() ? 0 : 1;
}

int CloseProcessByName(const QString& name, const QString& folder, int force, WPARAM senderWindow,
                       int* delivered, int requestTimeoutMs) {
    std::vector<FoundProcess> found = FindOwnProcesses(name, folder);
    if (found.empty())
        return 1;
    for (const FoundProcess& process : found) {
        const pid_t pid = process.pid;
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

int CloseRunningClient(const QString& name, const QString& folder, WPARAM senderWindow,
                       const std::function<bool(const std::vector<FoundProcess>&)>& confirm,
                       const std::function<void(int ms)>& pause, const CloseTiming& timing,
                       const std::function<bool()>& cancelled) {
    int pass = 0;
    uint64_t graceEnd = 0;
    uint64_t forceStart = 0;
    for (std::vector<FoundProcess> found = FindOwnProcesses(name, folder); !found.empty();
         found = FindOwnProcesses(name, folder)) {
        ++pass;
        uint64_t now = MonotonicMs();
        if (pass == 1) {
            if (!confirm(found))
                return CLOSE_CLIENT_DECLINED;
        } else if (pass <= 3) {
            int delivered = 0;
            CloseProcessByName(name, folder, 0, senderWindow, &delivered, timing.requestTimeoutMs);
            if (delivered > 0)
                graceEnd = MonotonicMs() + uint64_t(timing.graceMs);
        } else if (now >= graceEnd) {
            if (forceStart == 0)
                forceStart = now;
            else if (now - forceStart >= uint64_t(timing.forceLimitMs))
                return CLOSE_CLIENT_STUCK;
            CloseProcessByName(name, folder, 1);
        }
        pause(timing.passDelayMs);
        // The operator's Cancel during a pause ends the sequence before anything else is done.
        if (cancelled && cancelled())
            return CLOSE_CLIENT_DECLINED;
    }
    return CLOSE_CLIENT_DONE;
}
