#pragma once

// Small rules of the main window's timers: their ids and periods, the auto-scroll period, and which
// picture a late or lost screen shows.

#include <cstdint>

#include "platform/system/win_types.h"

constexpr uintptr_t TIMER_VIDEO_LOSS = 4097;
constexpr uintptr_t TIMER_STARTUP = 4098;
constexpr uintptr_t TIMER_AUTO_SCROLL = 4099;
constexpr uintptr_t TIMER_LEDS = 4101;
constexpr uintptr_t TIMER_IDLE_SCREENS = 4103;
// The next slice of a device tree load (a list of thousands is loaded between the window's events).
constexpr uintptr_t TIMER_TREE_LOAD = 4104;
constexpr UINT TREE_LOAD_PERIOD_MS = 1;
constexpr int TREE_LOAD_SLICE_MS = 10;

constexpr UINT VIDEO_LOSS_PERIOD_MS = 160;
constexpr UINT STARTUP_PERIOD_MS = 10;
constexpr UINT LEDS_PERIOD_MS = 1000;
constexpr UINT IDLE_SCREENS_PERIOD_MS = 200;

// The auto-scroll period for the ScrollInterval setting in seconds: a setting of 0 or less (or one too
// large for the timer) scrolls every second rather than spinning or never firing.
[[nodiscard]] UINT AutoScrollPeriodMs(int scrollIntervalSeconds);

enum class LatePicture {
    None,       // draw nothing: the screen keeps what it shows
    LastFrame,  // the channel's latest-frame copy
    NoVideo,    // the no-video picture
};

// What a late screen shows: nothing while the playback dialog is open; the last frame while the channel
// is late but not lost and a copy exists; else the no-video picture, or nothing when that picture is
// missing (never a null picture).
[[nodiscard]] LatePicture PictureForLateScreen(bool lost, bool playbackOpen, bool haveLastFrame,
                                               bool haveNoVideoPicture);
