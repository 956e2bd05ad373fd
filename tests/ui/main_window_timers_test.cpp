// Auto-scroll period and the picture of a late or lost screen.

#include "ui/main_window_timers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(MainWindowTimers, AutoScrollPeriodIsAtLeastASecond) {
    struct Case {
        int seconds;
        UINT ms;
    };
    const Case cases[] = {{5, 5000}, {1, 1000}, {0, 1000}, {-3, 1000}, {INT_MIN, 1000}, {INT_MAX, 86400000u}};
    for (const Case& c : cases)
        EXPECT_EQ(AutoScrollPeriodMs(c.seconds), c.ms) << c.seconds;
}

TEST(MainWindowTimers, LateScreensShowTheLastFrameThenNoVideoAndNeverAMissingPicture) {
    struct Case {
        bool lost, playback, lastFrame, noVideo;
        LatePicture shown;
    };
    const Case cases[] = {
        {false, false, true, true, LatePicture::LastFrame}, {false, false, false, true, LatePicture::NoVideo},
        {true, false, true, true, LatePicture::NoVideo},    {true, false, true, false, LatePicture::None},
        {false, false, false, false, LatePicture::None},    {false, true, true, true, LatePicture::None},
        {true, true, true, true, LatePicture::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PictureForLateScreen(c.lost, c.playback, c.lastFrame, c.noVideo), c.shown)
            << c.lost << c.playback << c.lastFrame << c.noVideo;
    }
}

}  // namespace
