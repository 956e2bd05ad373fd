#pragma once

// The video-loss count of the main window's 160 ms timer: each tick ages every shown channel's frame
// count by one; a channel with no frame for more than 5 ticks is late (its last frame is shown again),
// for more than 30 ticks lost (the no-video picture, and its recording ends). Plain logic over the
// channels; the main window reads the slots and draws.

#include <cstdint>

#include "dvr/dvr_device.h"

constexpr int32_t FRAME_AGE_LATE = 5;
constexpr int32_t FRAME_AGE_LOST = 30;
constexpr int32_t FRAME_AGE_WRAP = 0xFFFFFF;  // the count starts again from 3 here
constexpr int FRAME_AGE_SLOTS = 67;           // 64 grid screens and three previews

struct FrameAgeState {
    bool late;
    bool lost;
    bool recordingEnded;  // the channel was recording and has just been found lost
};

// One tick of one channel, under its lock: the count goes up, the video-loss flag follows it, and a lost
// channel's recording flag is cleared.
FrameAgeState AgeChannelFrame(DVRChannel& channel);

struct FrameAgeTick {
    FrameAgeState slots[FRAME_AGE_SLOTS];  // the state of the channel each slot shows (all false: none)
    int endMarkerSlots[FRAME_AGE_SLOTS];   // grid slots that get the end-of-recording marker
    int endMarkerCount;
};

// One tick over the slots: slotChannels[s] is the channel slot s shows, or null. A channel shown on
// several slots (a grid screen and a preview) is aged once, and every slot showing it sees the same
// state. A recording that ends is marked on the channel's grid slot (its record queue), whichever slot
// came first.
void RunFrameAgeTick(DVRChannel* const (&slotChannels)[FRAME_AGE_SLOTS], FrameAgeTick& tick);
