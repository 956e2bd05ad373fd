#include "platform/system/thread_queue.h"

#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

// Waits here run on the real monotonic clock: a clock injected by a test must never stretch them.
uint64_t SteadyMs() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// One thread's message queue with one descriptor, wakeFd. It is readable while the queue holds messages
// (level), and a WM_QUIT raises it even when messages are already waiting, so a poll on it notices the
// stop. PollUntilStop clears it while it waits for other descriptors and raises it again before it returns
// when messages are still waiting, so no poster's wake-up is lost.
struct MessageQueue {
    ThreadId id = 0;
    std::mutex lock;
    std::deque<ThreadMessage> messages;
    bool closed = false;
    std::atomic<bool> stopRequested{false};
    int wakeFd = -1;

    MessageQueue() { wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }
    ~MessageQueue() {
        if (wakeFd >= 0)
            close(wakeFd);
    }
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    void Signal() {
        uint64_t one = 1;
        ssize_t r = write(wakeFd, &one, sizeof one);
        (void)r;  // only fails when the counter is full, i.e. already readable
    }
    void Drain() {
        uint64_t value = 0;
        ssize_t r = read(wakeFd, &value, sizeof value);
        (void)r;  // EAGAIN when it was not raised
    }

    bool Push(const ThreadMessage& msg) {
        std::lock_guard<std::mutex> guard(lock);
        if (closed)
            return false;
        bool quit = msg.message == WM_QUIT && !stopRequested.exchange(true);
        if (messages.empty() || quit)
            Signal();
        messages.push_back(msg);
        return true;
    }
    bool Pop(ThreadMessage* msg) {
        std::lock_guard<std::mutex> guard(lock);
        if (messages.empty())
            return false;
        *msg = messages.front();
        messages.pop_front();
        if (messages.empty())
            Drain();
        return true;
    }
    // Clears a wake-up that was not a stop (PollUntilStop, while it waits for other descriptors).
    void Absorb() {
        std::lock_guard<std::mutex> guard(lock);
        Drain();
    }
    // Makes the descriptor readable again when messages are waiting (after Absorb).
    void Restore() {
        std::lock_guard<std::mutex> guard(lock);
        if (!messages.empty())
            Signal();
    }
    void Close() {
        std::lock_guard<std::mutex> guard(lock);
        closed = true;
    }
};

std::mutex g_registryLock;
std::unordered_map<ThreadId, std::shared_ptr<MessageQueue>> g_registry;
std::atomic<ThreadId> g_nextId{1};
thread_local std::shared_ptr<MessageQueue> t_queue;

std::shared_ptr<MessageQueue> MakeQueue() {
    auto queue = std::make_shared<MessageQueue>();
    if (queue->wakeFd < 0)
        return nullptr;
    queue->id = g_nextId.fetch_add(1);
    std::lock_guard<std::mutex> guard(g_registryLock);
    g_registry[queue->id] = queue;
    return queue;
}

void Unregister(ThreadId id) {
    std::lock_guard<std::mutex> guard(g_registryLock);
    g_registry.erase(id);
}

std::shared_ptr<MessageQueue> FindQueue(ThreadId id) {
    std::lock_guard<std::mutex> guard(g_registryLock);
    auto it = g_registry.find(id);
    return it == g_registry.end() ? nullptr : it->second;
}

}  // namespace

class WorkerThread {
public:
    std::shared_ptr<MessageQueue> queue;
    WorkerRoutine routine = nullptr;
    void* arg = nullptr;
    pthread_t thread{};
    bool joinable = false;
    std::mutex doneLock;
    std::condition_variable doneCv;
    bool done = false;

    static void* Run(void* self) {
        auto* worker = static_cast<WorkerThread*>(self);
        t_queue = worker->queue;
        worker->routine(worker->arg);
        worker->queue->Close();
        t_queue.reset();
        std::lock_guard<std::mutex> guard(worker->doneLock);
        worker->done = true;
        worker->doneCv.notify_all();
        return nullptr;
    }
};

WorkerThread* CreateWorkerThread(WorkerRoutine routine, void* arg, ThreadId* id) {
    if (routine == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    auto queue = MakeQueue();
    if (!queue)
        return nullptr;  // errno from eventfd
    auto* worker = new (std::nothrow) WorkerThread;
    if (worker == nullptr) {
        Unregister(queue->id);
        errno = ENOMEM;
        return nullptr;
    }
    worker->queue = queue;
    worker->routine = routine;
    worker->arg = arg;
    // pthread_create reports a failure (EAGAIN when threads run out) instead of throwing it.
    int error = pthread_create(&worker->thread, nullptr, WorkerThread::Run, worker);
    if (error != 0) {
        Unregister(queue->id);
        delete worker;
        errno = error;
        return nullptr;
    }
    worker->joinable = true;
    if (id != nullptr)
        *id = queue->id;
    return worker;
}

bool WaitWorkerThread(WorkerThread* thread, int timeoutMs) {
    if (thread == nullptr)
        return true;
    std::unique_lock<std::mutex> guard(thread->doneLock);
    if (timeoutMs < 0) {
        thread->doneCv.wait(guard, [thread] { return thread->done; });
        return true;
    }
    return thread->doneCv.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                   [thread] { return thread->done; });
}

void CloseWorkerThread(WorkerThread* thread) {
    if (thread == nullptr)
        return;
    if (thread->joinable)
        pthread_join(thread->thread, nullptr);
    Unregister(thread->queue->id);
    delete thread;
}

BOOL PostThreadMessage(ThreadId id, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto queue = FindQueue(id);
    if (!queue)
        return FALSE;
    return queue->Push(ThreadMessage{msg, wParam, lParam}) ? TRUE : FALSE;
}

ThreadId GetCurrentThreadId() {
    return t_queue ? t_queue->id : 0;
}

ThreadId EnsureCurrentThreadQueue() {
    if (!t_queue) {
        t_queue = MakeQueue();
        if (!t_queue)
            return 0;
    }
    return t_queue->id;
}

int PeekThreadMessage(ThreadMessage* msg) {
    if (!t_queue || msg == nullptr)
        return 0;
    return t_queue->Pop(msg) ? 1 : 0;
}

int GetThreadMessage(ThreadMessage* msg, int timeoutMs) {
    if (!t_queue || msg == nullptr)
        return 0;
    uint64_t start = SteadyMs();
    for (;;) {
        if (t_queue->Pop(msg))
            return 1;
        int wait = timeoutMs;
        if (timeoutMs >= 0) {
            uint64_t elapsed = SteadyMs() - start;
            if (elapsed >= static_cast<uint64_t>(timeoutMs))
                return 0;
            wait = timeoutMs - static_cast<int>(elapsed);
        }
        struct pollfd pfd = {t_queue->wakeFd, POLLIN, 0};
        int r = poll(&pfd, 1, wait);
        if (r < 0 && errno != EINTR)
            return 0;
    }
}

bool CurrentThreadStopRequested() {
    return t_queue && t_queue->stopRequested.load();
}

int CurrentThreadStopFd() {
    return t_queue ? t_queue->wakeFd : -1;
}

int CurrentThreadMessageFd() {
    return t_queue ? t_queue->wakeFd : -1;
}

int PollUntilStop(struct pollfd* fds, nfds_t count, int timeoutMs) {
    MessageQueue* queue = t_queue.get();
    // The caller may wait on the queue's descriptor itself (a posted message then ends the wait); when it
    // does not, a message only wakes this loop, which clears the descriptor and waits on.
    bool callerWaitsOnQueue = false;
    for (nfds_t i = 0; i < count; ++i)
        callerWaitsOnQueue = callerWaitsOnQueue || (queue != nullptr && fds[i].fd == queue->wakeFd);
    std::vector<struct pollfd> all(fds, fds + count);
    if (queue != nullptr && !callerWaitsOnQueue)
        all.push_back(pollfd{queue->wakeFd, POLLIN, 0});
    bool absorbed = false;
    auto finish = [queue, &absorbed](int result) {
        if (absorbed)
            queue->Restore();
        return result;
    };
    uint64_t start = SteadyMs();
    for (;;) {
        if (CurrentThreadStopRequested())
            return finish(-2);
        int wait = timeoutMs;
        if (timeoutMs >= 0) {
            uint64_t elapsed = SteadyMs() - start;
            wait = elapsed >= static_cast<uint64_t>(timeoutMs) ? 0 : timeoutMs - static_cast<int>(elapsed);
        }
        int r = poll(all.data(), all.size(), wait);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return finish(-1);
        }
        if (CurrentThreadStopRequested())
            return finish(-2);
        if (all.size() > count && (all[count].revents & POLLIN) != 0) {
            queue->Absorb();
            absorbed = true;
            if (--r == 0)
                continue;
        }
        for (nfds_t i = 0; i < count; ++i)
            fds[i].revents = all[i].revents;
        return finish(r);
    }
}
