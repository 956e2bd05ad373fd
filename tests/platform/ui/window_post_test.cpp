// Posting to windows from worker threads: order, pointer-width parameters, delivery on the UI thread,
// payloads of posts that cannot be delivered, and SendMessage refused off the UI thread.

#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <map>
#include <thread>
#include <vector>

#include "platform/ui/message_loop.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

constexpr UINT kMsg = WM_USER + 100;
std::atomic<int> g_payloadsFreed{0};

struct Payload {
    int value;
};
void FreePayload(LPARAM lParam) {
    delete reinterpret_cast<Payload*>(lParam);
    g_payloadsFreed.fetch_add(1);
}

TEST(WindowPost, PostsFromManyThreadsArriveInOrderOnTheUiThread) {
    std::vector<SeenMessage> log;
    RecordingWnd wnd("w", &log);
    ASSERT_TRUE(wnd.CreateTest(nullptr, 0));
    Qt::HANDLE uiThread = QThread::currentThreadId();
    bool allOnUiThread = true;
    wnd.onMessage = [&](UINT, WPARAM, LPARAM) { allOnUiThread &= QThread::currentThreadId() == uiThread; };

    constexpr int kThreads = 8;
    constexpr int kPerThread = 500;
    HWND hwnd = wnd.m_hWnd;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([hwnd, t] {
            for (int i = 0; i < kPerThread; ++i) {
                // The high half of wParam carries the thread, so the full pointer width must survive.
                WPARAM w = (static_cast<WPARAM>(t) << 40) | static_cast<WPARAM>(i);
                PostMessage(hwnd, kMsg, w, static_cast<LPARAM>(-1 - i));
            }
        });
    }
    for (auto& th : threads)
        th.join();
    std::vector<SeenMessage> handled;
    ASSERT_TRUE(WaitUntil([&] {
        handled.clear();
        for (const SeenMessage& m : log) {
            if (m.who == "w")
                handled.push_back(m);
        }
        return handled.size() == kThreads * kPerThread;
    }));

    std::map<WPARAM, int> next;
    for (const SeenMessage& m : handled) {
        WPARAM thread = m.wParam >> 40;
        int seq = static_cast<int>(m.wParam & 0xFFFFFFFF);
        EXPECT_EQ(seq, next[thread]) << "thread " << thread;
        EXPECT_EQ(m.lParam, static_cast<LPARAM>(-1 - seq));
        next[thread] = seq + 1;
    }
    EXPECT_TRUE(allOnUiThread);
}

TEST(WindowPost, PayloadOfAPostToADestroyedWindowIsReleased) {
    std::vector<SeenMessage> log;
    g_payloadsFreed = 0;

    // Destroyed before the post: refused at once.
    RecordingWnd gone("gone", &log);
    ASSERT_TRUE(gone.CreateTest(nullptr, 0));
    HWND goneHandle = gone.m_hWnd;
    gone.DestroyWindow();
    EXPECT_FALSE(PostMessage(goneHandle, kMsg, 0, reinterpret_cast<LPARAM>(new Payload{1}), FreePayload));
    EXPECT_EQ(g_payloadsFreed.load(), 1);

    // Destroyed while the post is queued: dropped at delivery.
    RecordingWnd queued("queued", &log);
    ASSERT_TRUE(queued.CreateTest(nullptr, 0));
    HWND queuedHandle = queued.m_hWnd;
    std::thread poster([queuedHandle] {
        PostMessage(queuedHandle, kMsg, 0, reinterpret_cast<LPARAM>(new Payload{2}), FreePayload);
    });
    poster.join();
    queued.DestroyWindow();

    // A new window that takes the freed table entry must not receive the old handle's posts.
    RecordingWnd reuse("reuse", &log);
    ASSERT_TRUE(reuse.CreateTest(nullptr, 0));
    EXPECT_NE(reuse.m_hWnd, queuedHandle);
    EXPECT_FALSE(PostMessage(queuedHandle, kMsg, 0, reinterpret_cast<LPARAM>(new Payload{3}), FreePayload));
    DrainPostedEvents();
    EXPECT_EQ(g_payloadsFreed.load(), 3);
    for (const SeenMessage& m : log)
        EXPECT_NE(m.message, kMsg) << m.who;
}

TEST(WindowPost, DeliveredPayloadBelongsToTheReceiver) {
    std::vector<SeenMessage> log;
    g_payloadsFreed = 0;
    RecordingWnd wnd("w", &log);
    ASSERT_TRUE(wnd.CreateTest(nullptr, 0));
    int seen = 0;
    wnd.onMessage = [&](UINT message, WPARAM, LPARAM lParam) {
        if (message != kMsg)
            return;
        auto* payload = reinterpret_cast<Payload*>(lParam);
        seen = payload->value;
        delete payload;
    };
    std::thread([h = wnd.m_hWnd] {
        PostMessage(h, kMsg, 0, reinterpret_cast<LPARAM>(new Payload{42}), FreePayload);
    }).join();
    ASSERT_TRUE(WaitUntil([&] { return seen == 42; }));
    EXPECT_EQ(g_payloadsFreed.load(), 0);
}

TEST(WindowPost, QueuedPayloadsAreReleasedWhenTheLoopIsRemoved) {
    std::vector<SeenMessage> log;
    g_payloadsFreed = 0;
    RecordingWnd wnd("w", &log);
    ASSERT_TRUE(wnd.CreateTest(nullptr, 0));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(PostMessage(wnd.m_hWnd, kMsg, 0, reinterpret_cast<LPARAM>(new Payload{i}), FreePayload));
    RemoveWindowMessageLoop();
    EXPECT_EQ(g_payloadsFreed.load(), 3);
    EXPECT_FALSE(PostMessage(wnd.m_hWnd, kMsg, 0, reinterpret_cast<LPARAM>(new Payload{9}), FreePayload));
    EXPECT_EQ(g_payloadsFreed.load(), 4);
    InstallWindowMessageLoop();
    DrainPostedEvents();
    EXPECT_TRUE(log.empty());
}

TEST(WindowPost, SendMessageFromAWorkerCallsNothing) {
    std::vector<SeenMessage> log;
    RecordingWnd wnd("w", &log);
    ASSERT_TRUE(wnd.CreateTest(nullptr, 0));
    LRESULT result = 1;
    std::thread([&] { result = SendMessage(wnd.m_hWnd, kMsg, 1, 2); }).join();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(log.empty());
    SendMessage(wnd.m_hWnd, kMsg, 1, 2);
    ASSERT_EQ(log.size(), 1u);
    // A sent message skips the pre-translate walk.
    EXPECT_EQ(log[0].who, "w");
}

}  // namespace
