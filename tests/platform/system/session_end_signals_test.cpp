// The desktop's end-of-session signals reach the pipe the UI thread watches, arm the shut-down's bound
// once, and leave the default handling behind when removed.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "platform/system/session_end_signals.h"

namespace {

bool Readable(int fd) {
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, 2000) == 1;
}

TEST(SessionEndSignals, EachSignalReachesThePipeAndTheFirstArmsTheBound) {
    ASSERT_EQ(InstallSessionEndSignals(30), 0);
    const int fd = SessionEndSignalFd();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(TakeSessionEndSignal(), 0);  // nothing came yet
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_EQ(raise(signal), 0);
        ASSERT_TRUE(Readable(fd)) << signal;
        EXPECT_EQ(TakeSessionEndSignal(), signal);
        EXPECT_EQ(TakeSessionEndSignal(), 0);
    }
    // Armed by the first signal only: the remaining time is the bound less what passed, not renewed.
    const unsigned remaining = alarm(30);
    EXPECT_GT(remaining, 25u);
    EXPECT_LE(remaining, 30u);

    // Removed: the bound is cancelled and each signal has its default handling again.
    RemoveSessionEndSignals();
    EXPECT_EQ(alarm(0), 0u);
    EXPECT_EQ(SessionEndSignalFd(), -1);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction now = {};
        ASSERT_EQ(sigaction(signal, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << signal;
    }
}

TEST(SessionEndSignals, ManySignalsBeforeTheReaderLooksLeaveOneAnswer) {
    ASSERT_EQ(InstallSessionEndSignals(30), 0);
    // More than the pipe holds: the handler never blocks, and the reader still learns of them.
    for (int i = 0; i < 70000; ++i)
        ASSERT_EQ(raise(i % 2 == 0 ? SIGINT : SIGTERM), 0);
    EXPECT_NE(TakeSessionEndSignal(), 0);
    EXPECT_EQ(TakeSessionEndSignal(), 0);
    RemoveSessionEndSignals();
}

}  // namespace
