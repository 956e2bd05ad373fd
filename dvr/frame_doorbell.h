#pragma once

// The wake of a thread that consumes frame queues, over one futex word: a producer rings it, the consumer
// waits on it. A ring costs a system call only when the consumer sleeps (the first ring after it went to
// sleep); a wait costs one, which also clears the ring, and none when a ring came since the last wait. So a
// frame handed to a sleeping consumer costs one system call on each side.

#include <atomic>
#include <cstdint>

class FrameDoorbell {
public:
    // Marks the bell rung and wakes the consumer when it sleeps.
    void Ring();
    // Returns at once when the bell was rung since the last wait, else sleeps until it is; the ring is
    // cleared either way. The consumer then looks at every queue it serves before it waits again, so a
    // ring that comes while it looks is not lost: the next wait returns at once.
    void Wait();

private:
    static constexpr uint32_t kRung = 1;
    static constexpr uint32_t kSleeping = 2;
    std::atomic<uint32_t> m_word{0};
};
