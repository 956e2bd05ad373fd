#pragma once

// The start and stop pair of every worker thread of the programs. A worker loops on its message queue
// (GetThreadMessage) and leaves on WM_QUIT.

#include "platform/system/thread_queue.h"

constexpr int THREAD_STOP_WAIT_MS = 1500;

// Stops a thread still held in the pair first, then starts routine(arg). 0, or -1 (handle null).
[[nodiscard]] int StartWorkerThread(WorkerThread** handle, ThreadId* id, WorkerRoutine routine, void* arg);

// Posts WM_QUIT, waits THREAD_STOP_WAIT_MS for the thread to end; a thread that misses the bound is
// reported on stderr and still joined (threads are never killed). Both values become 0. Returns 0.
int StopWorkerThread(WorkerThread** handle, ThreadId* id);
