#include "platform/system/thread_queue.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

struct Received {
    std::vector<ThreadMessage> messages;
};

unsigned CollectUntilQuit(void* arg) {
    auto* received = static_cast<Received*>(arg);
    ThreadMessage msg;
    for (;;) {
        if (GetThreadMessage(&msg, 1000) == 0)
            continue;
        if (msg.message == WM_QUIT)
            return 0;
        received->messages.push_back(msg);
    }
}

TEST(ThreadQueue, DeliversEveryPostInOrderPerSender) {
    Received received;
    ThreadId id = 0;
    WorkerThread* worker = CreateWorkerThread(CollectUntilQuit, &received, &id);
    ASSERT_NE(worker, nullptr);
    constexpr int kSenders = 8;
    constexpr int kPosts = 2000;
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([id, s] {
            for (int i = 0; i < kPosts; ++i)
                ASSERT_TRUE(PostThreadMessage(id, WM_USER + s, static_cast<WPARAM>(i), 0));
        });
    }
    for (auto& t : senders)
        t.join();
    PostThreadMessage(id, WM_QUIT, 0, 0);
    ASSERT_TRUE(WaitWorkerThread(worker, 5000));
    CloseWorkerThread(worker);

    ASSERT_EQ(received.messages.size(), static_cast<size_t>(kSenders * kPosts));
    std::vector<WPARAM> next(kSenders, 0);
    for (const ThreadMessage& m : received.messages) {
        int s = static_cast<int>(m.message - WM_USER);
        EXPECT_EQ(m.wParam, next[s]++);
    }
}

TEST(ThreadQueue, PostRightAfterStartIsNotLostAndEndedThreadRefusesPosts) {
    Received received;
    ThreadId id = 0;
    WorkerThread* worker = CreateWorkerThread(CollectUntilQuit, &received, &id);
    ASSERT_TRUE(PostThreadMessage(id, WM_USER, 7, 8));
    ASSERT_TRUE(PostThreadMessage(id, WM_QUIT, 0, 0));
    ASSERT_TRUE(WaitWorkerThread(worker, 5000));
    EXPECT_FALSE(PostThreadMessage(id, WM_USER, 1, 1));
    CloseWorkerThread(worker);
    ASSERT_EQ(received.messages.size(), 1u);
    EXPECT_EQ(received.messages[0].lParam, 8);
    EXPECT_FALSE(PostThreadMessage(id, WM_USER, 1, 1));
}

// A worker blocked on a socket that never becomes readable notices the stop at once.
unsigned BlockOnSocket(void* arg) {
    int fd = *static_cast<int*>(arg);
    struct pollfd pfd = {fd, POLLIN, 0};
    int r = PollUntilStop(&pfd, 1, 60000);
    return r == -2 ? 0 : 1;
}

TEST(ThreadQueue, StopInterruptsABlockingPoll) {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    ThreadId id = 0;
    WorkerThread* worker = CreateWorkerThread(BlockOnSocket, &fds[0], &id);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    auto start = std::chrono::steady_clock::now();
    PostThreadMessage(id, WM_QUIT, 0, 0);
    EXPECT_TRUE(WaitWorkerThread(worker, 1500));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    CloseWorkerThread(worker);
    close(fds[0]);
    close(fds[1]);
}

// A wait on a socket while messages arrive: the messages neither end the wait nor make it spin, they are
// still signalled on the queue's descriptor when it ends, and a WM_QUIT posted behind them still ends it.
struct MessagesDuringPoll {
    int sock = -1;
    std::atomic<int> waitsStarted{0};
    int firstResult = 0;
    bool messageFdRaisedAfter = false;
    int messagesAfter = 0;
    int secondResult = 0;
    long firstWaitCpuMs = 0;
};

long ThreadCpuMs() {
    struct rusage usage = {};
    getrusage(RUSAGE_THREAD, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

unsigned PollWhileMessagesArrive(void* arg) {
    auto* state = static_cast<MessagesDuringPoll*>(arg);
    struct pollfd pfd = {state->sock, POLLIN, 0};
    state->waitsStarted.store(1);
    long cpuBefore = ThreadCpuMs();
    state->firstResult = PollUntilStop(&pfd, 1, 300);
    state->firstWaitCpuMs = ThreadCpuMs() - cpuBefore;
    struct pollfd queue = {CurrentThreadMessageFd(), POLLIN, 0};
    state->messageFdRaisedAfter = poll(&queue, 1, 0) == 1;
    ThreadMessage msg;
    while (PeekThreadMessage(&msg) == 1 && msg.message != WM_QUIT)
        ++state->messagesAfter;
    state->waitsStarted.store(2);
    state->secondResult = PollUntilStop(&pfd, 1, 60000);
    return 0;
}

TEST(ThreadQueue, MessagesWaitForTheCallerOfAPollAndAStopStillEndsIt) {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    MessagesDuringPoll state;
    state.sock = fds[0];
    ThreadId id = 0;
    WorkerThread* worker = CreateWorkerThread(PollWhileMessagesArrive, &state, &id);
    ASSERT_NE(worker, nullptr);
    while (state.waitsStarted.load() == 0)
        std::this_thread::yield();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(PostThreadMessage(id, WM_USER, static_cast<WPARAM>(i), 0));
    while (state.waitsStarted.load() == 1)
        std::this_thread::yield();
    // Messages wait in the queue (none taken) and the stop must still reach the second wait.
    ASSERT_TRUE(PostThreadMessage(id, WM_USER, 9, 0));
    ASSERT_TRUE(PostThreadMessage(id, WM_QUIT, 0, 0));
    ASSERT_TRUE(WaitWorkerThread(worker, 5000));
    CloseWorkerThread(worker);
    EXPECT_EQ(state.firstResult, 0);      // the full time-out: nothing on the socket
    EXPECT_LT(state.firstWaitCpuMs, 50);  // slept, did not spin on the raised descriptor
    EXPECT_TRUE(state.messageFdRaisedAfter);
    EXPECT_EQ(state.messagesAfter, 3);
    EXPECT_EQ(state.secondResult, -2);
    close(fds[0]);
    close(fds[1]);
}

// One descriptor per queue: a worker costs exactly one while it runs and none after it is closed.
int OpenDescriptors() {
    int count = 0;
    for (int fd = 0; fd < 4096; ++fd)
        count += fcntl(fd, F_GETFD) != -1 ? 1 : 0;
    return count;
}

unsigned WaitForQuit(void*) {
    ThreadMessage msg;
    while (GetThreadMessage(&msg, -1) == 0 || msg.message != WM_QUIT) {
    }
    return 0;
}

TEST(ThreadQueue, AWorkerCostsOneDescriptor) {
    const int before = OpenDescriptors();
    constexpr int kWorkers = 16;
    WorkerThread* workers[kWorkers];
    ThreadId ids[kWorkers];
    for (int i = 0; i < kWorkers; ++i)
        ASSERT_NE(workers[i] = CreateWorkerThread(WaitForQuit, nullptr, &ids[i]), nullptr);
    EXPECT_EQ(OpenDescriptors(), before + kWorkers);
    for (int i = 0; i < kWorkers; ++i) {
        PostThreadMessage(ids[i], WM_QUIT, 0, 0);
        CloseWorkerThread(workers[i]);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(ThreadQueue, GetWithTimeoutReturnsNothingWhenEmpty) {
    ThreadId id = EnsureCurrentThreadQueue();
    ASSERT_NE(id, 0u);
    ThreadMessage msg;
    EXPECT_EQ(GetThreadMessage(&msg, 10), 0);
    EXPECT_EQ(PeekThreadMessage(&msg), 0);
    PostThreadMessage(id, WM_USER + 1, 2, 3);
    EXPECT_EQ(PeekThreadMessage(&msg), 1);
    EXPECT_EQ(msg.message, WM_USER + 1);
}

}  // namespace
