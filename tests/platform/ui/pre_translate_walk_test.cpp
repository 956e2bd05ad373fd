// Delivery of posted messages through the pre-translate walk, and in nested loops.

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <thread>

#include "tests/platform/ui/ui_test_support.h"

namespace {

constexpr UINT kMsg = WM_USER + 27;

class WalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(main.CreateTest(nullptr, 0));
        ASSERT_TRUE(dialog.CreateTest(&main, 0));  // owned by the main window
        ASSERT_TRUE(page.CreateTest(&dialog, WS_CHILD, 1));
        AfxGetApp()->m_pMainWnd = &main;
    }
    void TearDown() override { AfxGetApp()->m_pMainWnd = nullptr; }

    std::vector<std::string> Who() const {
        std::vector<std::string> who;
        for (const SeenMessage& m : log)
            who.push_back(m.who);
        return who;
    }

    std::vector<SeenMessage> log;
    RecordingWnd main{"main", &log};
    RecordingWnd dialog{"dialog", &log};
    RecordingWnd page{"page", &log};
};

TEST_F(WalkTest, WalkRunsFromTheTargetUpToTheMainWindowThenTheHandler) {
    page.PostMessage(kMsg, 3, 4);
    ASSERT_TRUE(WaitUntil([&] { return log.size() == 4; }));
    EXPECT_EQ(Who(), (std::vector<std::string>{"page.pre", "dialog.pre", "main.pre", "page"}));
}

TEST_F(WalkTest, FirstWindowThatTakesTheMessageEndsTheWalk) {
    dialog.takeMessage = kMsg;
    page.PostMessage(kMsg);
    ASSERT_TRUE(WaitUntil([&] { return log.size() == 2; }));
    DrainPostedEvents();
    EXPECT_EQ(Who(), (std::vector<std::string>{"page.pre", "dialog.pre"}));
}

TEST_F(WalkTest, MainWindowHasTheLastWordOnWindowsOutsideItsTree) {
    std::vector<SeenMessage> otherLog;
    RecordingWnd stray("stray", &log);
    ASSERT_TRUE(stray.CreateTest(nullptr, 0));
    main.takeMessage = kMsg;
    stray.PostMessage(kMsg);
    ASSERT_TRUE(WaitUntil([&] { return log.size() == 2; }));
    DrainPostedEvents();
    EXPECT_EQ(Who(), (std::vector<std::string>{"stray.pre", "main.pre"}));
}

TEST_F(WalkTest, NestedLoopKeepsDeliveringPostsAndTimers) {
    // A handler that runs a loop of its own, as a modal dialog or a message box does.
    bool sawPostInside = false;
    bool sawTimerInside = false;
    bool nested = false;
    main.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message != WM_USER + 1)
            return;
        QEventLoop loop;
        nested = true;
        std::thread([h = page.m_hWnd] { PostMessage(h, kMsg, 0, 0); }).join();
        page.SetTimer(5, 1);
        page.onMessage = [&](UINT m, WPARAM w, LPARAM) {
            if (m == kMsg)
                sawPostInside = nested;
            if (m == WM_TIMER && w == 5) {
                sawTimerInside = nested;
                page.KillTimer(5);
            }
            if (sawPostInside && sawTimerInside)
                loop.quit();
        };
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        nested = false;
    };
    main.PostMessage(WM_USER + 1);
    ASSERT_TRUE(WaitUntil([&] { return sawPostInside && sawTimerInside && !nested; }));
}

}  // namespace
