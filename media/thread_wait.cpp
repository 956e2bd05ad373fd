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
    struct pollfd fds[3];
    nfds_t count = 0;
    int messageFd = CurrentThreadMessageFd();
    int videoFd = videoQueue->ReadyFd();
    int audioFd = audioQueue != nullptr ? audioQueue->ReadyFd() : -1;
    bool complete = messageFd >= 0 && videoFd >= 0 && (audioQueue == nullptr || audioFd >= 0);
    for (int fd : {messageFd, videoFd, audioFd}) {
        if (fd >= 0)
            fds[count++] = pollfd{fd, POLLIN, 0};
    }
    if (!complete && (timeoutMs < 0 || timeoutMs > FRAME_WAIT_FALLBACK_MS))
        timeoutMs = FRAME_WAIT_FALLBACK_MS;
    // An interrupted or failed poll only ends the wait early: the caller looks at its queues either way.
    (void)poll(fds, count, timeoutMs);
    videoQueue->ClearReadySignal();
    if (audioQueue != nullptr)
        audioQueue->ClearReadySignal();
}
