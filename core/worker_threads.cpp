#include "core/worker_threads.h"

#include <cstdio>

int StartWorkerThread(WorkerThread** handle, ThreadId* id, WorkerRoutine routine, void* arg) {
    if (handle == nullptr || id == nullptr)
        return -1;
    if (*handle != nullptr && *id != 0)
        StopWorkerThread(handle, id);
    *handle = CreateWorkerThread(routine, arg, id);
    if (*handle == nullptr) {
        *id = 0;
        return -1;
    }
    return 0;
}

int StopWorkerThread(WorkerThread** handle, ThreadId* id) {
    if (handle == nullptr || *handle == nullptr)
        return 0;
    if (id != nullptr && *id != 0)
        PostThreadMessage(*id, WM_QUIT, 0, 0);
    if (!WaitWorkerThread(*handle, THREAD_STOP_WAIT_MS)) {
        std::fprintf(stderr, "worker thread %u did not stop within %d ms; waiting for it\n",
                     id != nullptr ? *id : 0u, THREAD_STOP_WAIT_MS);
    }
    CloseWorkerThread(*handle);
    *handle = nullptr;
    if (id != nullptr)
        *id = 0;
    return 0;
}
