#include "media/thread_wait.h"

#include <poll.h>

#include "dvr/frame_queue.h"
#include "platform/system/thread_queue.h"

bool QuitRequested(int waitMs) {
    ThreadMessage msg;
    bool quit = false;
    if (GetThreadMessage(&msg, waitMs) == 0)
        return false;
    do {
        quit = quit || msg.message == WM_QUIT;
    } while (PeekThreadMessage(&msg));
    return quit;
}

void PrepareFrameWait(FrameQueue* videoQueue, FrameQueue* audioQueue) {
    for (FrameQueue* queue : {videoQueue, audioQueue}) {
        if (queue != nullptr)
            (void)queue->ReadyFd();
    }
}

void WaitForFrames(FrameQueue* videoQueue, FrameQueue* audioQueue, int timeoutMs) {
    FrameQueue* queues[2] = {videoQueue, audioQueue};
    struct pollfd fds[3];
    int queueAt[2] = {-1, -1};  // each queue's place in fds
    nfds_t count = 0;
    int messageFd = CurrentThreadMessageFd();
    bool complete = messageFd >= 0;
    if (messageFd >= 0)
        fds[count++] = pollfd{messageFd, POLLIN, 0};
    for (int q = 0; q < 2; ++q) {
        if (queues[q] == nullptr)
            continue;
        int fd = queues[q]->ReadyFd();
        complete = complete && fd >= 0;
        if (fd >= 0) {
            queueAt[q] = static_cast<int>(count);
            fds[count++] = pollfd{fd, POLLIN, 0};
        }
    }
    if (!complete && (timeoutMs < 0 || timeoutMs > FRAME_WAIT_FALLBACK_MS))
        timeoutMs = FRAME_WAIT_FALLBACK_MS;
    // An interrupted or failed poll only ends the wait early: the caller looks at its queues either way.
    // Only a signal seen raised is cleared: one that was not has nothing to clear, and a raise after the poll
    // stays for the next wait (the caller pops that frame now and is woken once more for nothing).
    int ready = poll(fds, count, timeoutMs);
    for (int q = 0; q < 2; ++q) {
        if (queueAt[q] >= 0 && ready > 0 && (fds[queueAt[q]].revents & POLLIN) != 0)
            queues[q]->ClearReadySignal();
    }
}
