// Timers per window and id; a one-shot is a timer killed on its first tick.

#include <gtest/gtest.h>

#include "tests/platform/ui/ui_test_support.h"

namespace {

int Ticks(const std::vector<SeenMessage>& log, WPARAM id) {
    int n = 0;
    for (const SeenMessage& m : log)
        n += (m.who == "w" && m.message == WM_TIMER && m.wParam == id) ? 1 : 0;
    return n;
}

TEST(WindowTimer, TimersTickPerIdAndStopWhenKilled) {
    std::vector<SeenMessage> log;
    RecordingWnd wnd("w", &log);
    ASSERT_TRUE(wnd.CreateTest(nullptr, 0));
    EXPECT_EQ(wnd.SetTimer(4097, 1), 4097u);
    EXPECT_EQ(wnd.SetTimer(4101, 2), 4101u);
    ASSERT_TRUE(WaitUntil([&] { return Ticks(log, 4097) >= 3 && Ticks(log, 4101) >= 2; }));
    EXPECT_TRUE(wnd.KillTimer(4097));
    EXPECT_FALSE(wnd.KillTimer(4097));
    int before = Ticks(log, 4097);
    ASSERT_TRUE(WaitUntil([&] { return Ticks(log, 4101) >= 6; }));
    EXPECT_EQ(Ticks(log, 4097), before);
    // Timer messages pass the walk like posted ones.
    EXPECT_EQ(log.front().who, "w.pre");
}

TEST(WindowTimer, OneShotTicksOnceAndDiesWithItsWindow) {
    std::vector<SeenMessage> log;
    RecordingWnd wnd("w", &log);
    ASSERT_TRUE(wnd.CreateTest(nullptr, 0));
    wnd.killTimerOnTick = 4098;
    wnd.SetTimer(4098, 1);
    wnd.SetTimer(9, 1);
    ASSERT_TRUE(WaitUntil([&] { return Ticks(log, 9) >= 5; }));
    EXPECT_EQ(Ticks(log, 4098), 1);

    RecordingWnd gone("gone", &log);
    ASSERT_TRUE(gone.CreateTest(nullptr, 0));
    gone.SetTimer(1, 1);
    gone.DestroyWindow();
    size_t size = log.size();
    ASSERT_TRUE(WaitUntil([&] { return Ticks(log, 9) >= 8; }));
    for (size_t i = size; i < log.size(); ++i)
        EXPECT_NE(log[i].who, "gone");
}

}  // namespace
