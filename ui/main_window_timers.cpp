#include "ui/main_window_timers.h"

UINT AutoScrollPeriodMs(int scrollIntervalSeconds) {
    constexpr int kLongest = 24 * 60 * 60;  // a day: far beyond any sensible setting, and within a UINT
    if (scrollIntervalSeconds <= 0)
        return 1000;
    if (scrollIntervalSeconds > kLongest)
        scrollIntervalSeconds = kLongest;
    return static_cast<UINT>(scrollIntervalSeconds) * 1000u;
}

LatePicture PictureForLateScreen(bool lost, bool playbackOpen, bool haveLastFrame, bool haveNoVideoPicture) {
    if (playbackOpen)
        return LatePicture::None;
    if (!lost && haveLastFrame)
        return LatePicture::LastFrame;
    return haveNoVideoPicture ? LatePicture::NoVideo : LatePicture::None;
}
