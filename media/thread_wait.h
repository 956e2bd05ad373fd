#pragma once

// The wait of the media threads between their turns.

class FrameQueue;

// Empties the calling thread's message queue, waiting up to waitMs for the first message. True when
// WM_QUIT was among them.
[[nodiscard]] bool QuitRequested(int waitMs);

// Makes the wake descriptors of the thread's queues (audioQueue may be null). Called once before the
// thread's first turn: a push that comes before a descriptor exists raises nothing, so a descriptor made
// only at the first wait could sleep through the frame pushed just before it.
void PrepareFrameWait(FrameQueue* videoQueue, FrameQueue* audioQueue);

// Sleeps until a message comes, a frame is pushed into one of the queues (audioQueue may be null) or
// timeoutMs passes (negative: no limit), then clears the queue signals it saw raised (one read each, none for
// a queue that was not signalled): the caller pops the queues until they are empty before it waits again,
// so no frame pushed after the clear is missed. Without a wake
// descriptor (none could be made) it waits at most FRAME_WAIT_FALLBACK_MS.
void WaitForFrames(FrameQueue* videoQueue, FrameQueue* audioQueue, int timeoutMs);

constexpr int FRAME_WAIT_FALLBACK_MS = 5;
