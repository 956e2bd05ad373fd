// The video-loss count driven tick by tick: late after 5 ticks, lost after 30, one end-of-recording
// marker on the channel's grid slot, and a channel on two slots aged once per tick.

#include "ui/frame_age.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<DVRChannel> MakeChannel(int gridSlot, uint32_t flags) {
    auto channel = std::make_unique<DVRChannel>();
    channel->frameAge = 0;
    channel->flags = flags;
    for (int32_t& slot : channel->viewSlots)
        slot = -1;
    channel->viewSlots[0] = gridSlot;
    return channel;
}

TEST(FrameAge, CountsTicksToLateAndLostAndEndsTheRecordingOnce) {
    struct Case {
        const char* name;
        std::vector<int> slots;  // slots that show the channel
        int gridSlot;            // its grid entry
        int32_t startAge;
        int ticks;
        bool late, lost;
        std::vector<int> markers;  // marker slots over all ticks
    };
    const Case cases[] = {
        {"5 ticks: still live", {2}, 2, 0, 5, false, false, {}},
        {"6 ticks: late", {2}, 2, 0, 6, true, false, {}},
        {"30 ticks: late, not lost", {2}, 2, 0, 30, true, false, {}},
        {"31 ticks: lost, one marker", {2}, 2, 0, 31, true, true, {2}},
        {"40 ticks: still one marker", {2}, 2, 0, 40, true, true, {2}},
        {"grid and preview: aged once a tick", {3, 65}, 3, 0, 30, true, false, {}},
        {"grid and preview: lost after 31 ticks", {3, 65}, 3, 0, 31, true, true, {3}},
        {"preview first in the pass: marker on the grid slot", {64, 9}, 9, 0, 31, true, true, {9}},
        {"preview only: no record queue, no marker", {66}, -1, 0, 31, true, true, {}},
        {"count wraps to 3", {1}, 1, FRAME_AGE_WRAP - 1, 1, false, false, {}},
    };
    for (const Case& c : cases) {
        auto channel = MakeChannel(c.gridSlot, CHANNEL_FLAG_RECORDING);
        channel->frameAge = c.startAge;
        DVRChannel* slots[FRAME_AGE_SLOTS] = {};
        for (int s : c.slots)
            slots[s] = channel.get();
        std::vector<int> markers;
        FrameAgeTick tick{};
        for (int t = 0; t < c.ticks; ++t) {
            RunFrameAgeTick(slots, tick);
            markers.insert(markers.end(), tick.endMarkerSlots, tick.endMarkerSlots + tick.endMarkerCount);
        }
        for (int s : c.slots) {
            EXPECT_EQ(tick.slots[s].late, c.late) << c.name << " slot " << s;
            EXPECT_EQ(tick.slots[s].lost, c.lost) << c.name << " slot " << s;
        }
        EXPECT_EQ(markers, c.markers) << c.name;
        uint32_t flags = channel->flags.load();
        EXPECT_EQ((flags & CHANNEL_FLAG_VIDEO_LOSS) != 0, c.lost) << c.name;
        EXPECT_EQ((flags & CHANNEL_FLAG_RECORDING) != 0, !c.lost) << c.name;
        for (int s = 0; s < FRAME_AGE_SLOTS; ++s) {
            if (slots[s] == nullptr) {
                EXPECT_FALSE(tick.slots[s].late || tick.slots[s].lost) << c.name << " free slot " << s;
            }
        }
    }
}

TEST(FrameAge, AFrameAfterLossBringsTheChannelBack) {
    auto channel = MakeChannel(4, 0);
    DVRChannel* slots[FRAME_AGE_SLOTS] = {};
    slots[4] = channel.get();
    FrameAgeTick tick{};
    for (int t = 0; t < 31; ++t)
        RunFrameAgeTick(slots, tick);
    ASSERT_TRUE(tick.slots[4].lost);
    EXPECT_EQ(tick.endMarkerCount, 0);  // it was not recording
    channel->frameAge = 0;              // what the frame parser does for each live video frame
    RunFrameAgeTick(slots, tick);
    EXPECT_FALSE(tick.slots[4].late);
    EXPECT_FALSE(tick.slots[4].lost);
    EXPECT_EQ(channel->flags.load() & CHANNEL_FLAG_VIDEO_LOSS, 0u);
}

TEST(FrameAge, ChannelsAgeIndependently) {
    auto a = MakeChannel(0, 0);
    auto b = MakeChannel(1, 0);
    DVRChannel* slots[FRAME_AGE_SLOTS] = {};
    slots[0] = a.get();
    slots[1] = b.get();
    FrameAgeTick tick{};
    for (int t = 0; t < 10; ++t) {
        b->frameAge = 0;  // b keeps sending
        RunFrameAgeTick(slots, tick);
    }
    EXPECT_TRUE(tick.slots[0].late);
    EXPECT_FALSE(tick.slots[1].late);
    EXPECT_EQ(a->frameAge, 10);
    EXPECT_EQ(b->frameAge, 1);
}

}  // namespace
