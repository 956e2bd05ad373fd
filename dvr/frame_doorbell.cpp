#include "dvr/frame_doorbell.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
void FutexWait(std::atomic<uint32_t>* word, uint32_t expected) {
    // Returns at once when the word no longer holds expected; a signal or a spurious wake only ends the
    // wait early (the caller clears and looks at its queues either way).
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(word), FUTEX_WAIT_PRIVATE, expected, nullptr, nullptr, 0);
}

void FutexWakeOne(std::atomic<uint32_t>* word) {
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}
}  // namespace

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) &&
              std::atomic<uint32_t>::is_always_lock_free);

void FrameDoorbell::Ring() {
    // Only the ring that finds the consumer asleep and not yet rung wakes it.
    if (m_word.fetch_or(kRung) == kSleeping)
        FutexWakeOne(&m_word);
}

void FrameDoorbell::Wait() {
    uint32_t expected = 0;
    if (m_word.compare_exchange_strong(expected, kSleeping))
        FutexWait(&m_word, kSleeping);
    m_word.store(0);
}
