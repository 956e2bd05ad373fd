#pragma once

// A level signal between threads over an eventfd: a producer raises it, a consumer polls its descriptor
// (with other descriptors, without a time-out) and clears it before it looks for work. The descriptor is
// made on the first call of Fd(), so a signal nobody waits on costs no descriptor and no system call.

#include <atomic>
#include <mutex>

class WakeSignal {
public:
    WakeSignal() = default;
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    // The descriptor, readable while the signal is raised; made on the first call. -1 when none can be made.
    int Fd();
    // Makes the descriptor readable (nothing when no waiter ever asked for it).
    void Raise();
    // Makes the descriptor unreadable until the next Raise.
    void Clear();

private:
    std::mutex m_create;
    std::atomic<int> m_fd{-1};
};
