#include "platform/system/thread_queue.h"

#include <gtest/gtest.h>
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
