#pragma once

// Worker threads with message queues. Each worker's queue is made before the thread runs, so a post to
// its id right after the start is never lost. A worker loops on its queue and leaves on WM_QUIT; every
// blocking call inside a worker waits on its socket together with the thread's stop descriptor
// (PollUntilStop), so a stop is noticed within one turn of the loop.

#include <poll.h>

#include "platform/system/win_types.h"

struct ThreadMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class WorkerThread;
using WorkerRoutine = unsigned (*)(void* arg);

// Starts routine(arg) on a new thread with its own queue; *id receives the queue's id. nullptr on failure,
// with errno saying why (EMFILE or ENFILE: no descriptor for the queue; EAGAIN: no thread).
WorkerThread* CreateWorkerThread(WorkerRoutine routine, void* arg, ThreadId* id);
// Waits up to timeoutMs (negative: no limit) for the routine to return; true when it has returned.
bool WaitWorkerThread(WorkerThread* thread, int timeoutMs);
// Joins the thread (without limit) and frees it. The queue's id stops accepting posts.
void CloseWorkerThread(WorkerThread* thread);

// Queues a message for the thread that owns queue id. FALSE when there is no such queue or its thread
// has ended (the caller keeps ownership of any payload). WM_QUIT also raises the thread's stop signal.
BOOL PostThreadMessage(ThreadId id, UINT msg, WPARAM wParam, LPARAM lParam);

// --- Called on the thread that owns the queue ---

// Id of the calling thread's queue; 0 when it has none.
ThreadId GetCurrentThreadId();
// Gives the calling thread a queue when it has none (tests, the main thread) and returns its id.
ThreadId EnsureCurrentThreadQueue();
// Takes the next message, waiting up to timeoutMs (negative: no limit). 1 when taken, 0 when none came.
int GetThreadMessage(ThreadMessage* msg, int timeoutMs);
// Takes the next message without waiting. 1 when taken, 0 when the queue is empty.
int PeekThreadMessage(ThreadMessage* msg);
// True once WM_QUIT was posted to the calling thread's queue.
bool CurrentThreadStopRequested();
// Each queue has one descriptor: readable while the queue holds messages, and raised by every WM_QUIT.
// The calling thread's queue descriptor, for a wait that a stop must end (-1 without a queue).
int CurrentThreadStopFd();
// The same descriptor, for a wait that a posted message must end (-1 without a queue).
int CurrentThreadMessageFd();
// poll() on fds plus the calling thread's stop descriptor: the poll result (>0 ready, 0 time-out), -1 on
// a poll error, -2 when a stop was requested. EINTR is retried within the time-out. When fds hold the
// queue's descriptor a posted message ends the wait too; otherwise messages only wait for the caller.
int PollUntilStop(struct pollfd* fds, nfds_t count, int timeoutMs);
