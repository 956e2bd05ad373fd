#include "platform/system/thread_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

// Waits here run on the real monotonic clock: a clock injected by a test must never stretch them.
uint64_t SteadyMs() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// One thread's message queue. messageFd is kept readable exactly while the queue is not empty.
struct MessageQueue {
    ThreadId id = 0;
    std::mutex lock;
    std::deque<ThreadMessage> messages;
    bool closed = false;
    std::atomic<bool> stopRequested{false};
    int messageFd = -1;
    int stopFd = -1;

    MessageQueue() {
        messageFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    ~MessageQueue() {
        if (messageFd >= 0)
            close(messageFd);
        if (stopFd >= 0)
            close(stopFd);
    }
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    static void Signal(int fd) {
        uint64_t one = 1;
        ssize_t r = write(fd, &one, sizeof one);
        (void)r;
    }
    static void Drain(int fd) {
        uint64_t value = 0;
        ssize_t r = read(fd, &value, sizeof value);
        (void)r;
    }

    bool Push(const ThreadMessage& msg) {
        std::lock_guard<std::mutex> guard(lock);
        if (closed)
            return false;
        if (messages.empty())
            Signal(messageFd);
        messages.push_back(msg);
        if (msg.message == WM_QUIT && !stopRequested.exchange(true))
            Signal(stopFd);
        return true;
    }
    bool Pop(ThreadMessage* msg) {
        std::lock_guard<std::mutex> guard(lock);
        if (messages.empty())
            return false;
        *msg = messages.front();
        messages.pop_front();
        if (messages.empty())
            Drain(messageFd);
        return true;
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
    if (queue->messageFd < 0 || queue->stopFd < 0)
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
    std::thread thread;
    std::mutex doneLock;
    std::condition_variable doneCv;
    bool done = false;
};

WorkerThread* CreateWorkerThread(WorkerRoutine routine, void* arg, ThreadId* id) {
    if (routine == nullptr)
        return nullptr;
    auto queue = MakeQueue();
    if (!queue)
        return nullptr;
    auto* worker = new WorkerThread;
    worker->queue = queue;
    worker->thread = std::thread([worker, routine, arg]() {
        t_queue = worker->queue;
        routine(arg);
        worker->queue->Close();
        t_queue.reset();
        std::lock_guard<std::mutex> guard(worker->doneLock);
        worker->done = true;
        worker->doneCv.notify_all();
    });
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
    if (thread->thread.joinable())
        thread->thread.join();
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
        struct pollfd pfd = {t_queue->messageFd, POLLIN, 0};
        int r = poll(&pfd, 1, wait);
        if (r < 0 && errno != EINTR)
            return 0;
    }
}

bool CurrentThreadStopRequested() {
    return t_queue && t_queue->stopRequested.load();
}

int CurrentThreadStopFd() {
    return t_queue ? t_queue->stopFd : -1;
}

int CurrentThreadMessageFd() {
    return t_queue ? t_queue->messageFd : -1;
}

int PollUntilStop(struct pollfd* fds, nfds_t count, int timeoutMs) {
    std::vector<struct pollfd> all(fds, fds + count);
    int stopFd = CurrentThreadStopFd();
    if (stopFd >= 0)
        all.push_back(pollfd{stopFd, POLLIN, 0});
    uint64_t start = SteadyMs();
    for (;;) {
        if (CurrentThreadStopRequested())
            return -2;
        int wait = timeoutMs;
        if (timeoutMs >= 0) {
            uint64_t elapsed = SteadyMs() - start;
            wait = elapsed >= static_cast<uint64_t>(timeoutMs) ? 0 : timeoutMs - static_cast<int>(elapsed);
        }
        int r = poll(all.data(), all.size(), wait);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (CurrentThreadStopRequested())
            return -2;
        for (nfds_t i = 0; i < count; ++i)
            fds[i].revents = all[i].revents;
        return r;
    }
}
