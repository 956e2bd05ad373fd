// The playback dialog's plain logic: screen layouts of every count, the skin and control places, the day
// bar colours, the channel of a file name, the transport buttons of each state, the time text in both
// modes and the seek targets.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dvr/dvr_records.h"
#include "ui/playback_layout.h"
#include "ui/playback_search.h"
#include "ui/playback_transport.h"

namespace {

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(PlaybackLayout, SizesOfAScreen) {
    RECT area = PlaybackVideoArea(RECT{0, 0, 1280, 1024}, false);
    EXPECT_TRUE(Same(area, RECT{30, 30, 960, 854}));
    EXPECT_TRUE(Same(PlaybackVideoArea(RECT{0, 0, 1280, 1024}, true), RECT{0, 0, 1280, 1024}));
    EXPECT_EQ(PlaybackPosWidth(1280), 912);
    EXPECT_EQ(PlaybackPosWidth(1024), 672);
    for (const ControlPlacement& c : PlaybackControlPlacements(1280, 1024)) {
        if (c.id == 1121) {
            EXPECT_EQ(c.rect.right - c.rect.left, 951);
        }
        if (c.id == 1032) {
            EXPECT_FALSE(c.visible) << "the download button is always hidden";
        }
    }
}

TEST(PlaybackLayout, EveryCountOnA930x824Area) {
    const RECT area{30, 30, 960, 854};
    const struct {
        int count;
        int placed;
        int screen;
        RECT rect;
    } cases[] = {
        {1, 1, 0, {30, 30, 960, 854}},      {4, 4, 0, {30, 30, 495, 442}},
        {4, 4, 3, {495, 442, 960, 854}},    {6, 6, 0, {30, 30, 650, 579}},
        {6, 6, 1, {650, 30, 960, 304}},     {6, 6, 2, {650, 304, 960, 579}},
        {6, 6, 5, {650, 579, 960, 854}},    {8, 8, 0, {30, 30, 727, 648}},
        {8, 8, 1, {727, 30, 960, 236}},     {8, 8, 3, {727, 442, 960, 648}},
        {8, 8, 4, {30, 648, 262, 854}},     {8, 8, 6, {494, 648, 727, 854}},
        {8, 8, 7, {727, 648, 960, 854}},    {9, 9, 4, {340, 304, 650, 578}},
        {9, 9, 8, {650, 578, 960, 854}},    {16, 16, 5, {262, 236, 494, 442}},
        {16, 16, 15, {726, 648, 960, 854}}, {7, 0, 0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        RECT rects[PLAYBACK_SCREEN_COUNT] = {};
        int shown[PLAYBACK_SCREEN_COUNT] = {};
        EXPECT_EQ(LayoutPlaybackScreens(area, 0, c.count, rects, shown), c.placed) << c.count;
        int shownCount = 0;
        for (int s : shown)
            shownCount += s;
        EXPECT_EQ(shownCount, c.placed) << c.count;
        if (c.placed == 0)
            continue;
        EXPECT_TRUE(Same(rects[c.screen], c.rect))
            << c.count << " screens, screen " << c.screen << ": " << rects[c.screen].left << ","
            << rects[c.screen].top << "," << rects[c.screen].right << "," << rects[c.screen].bottom;
    }
}

TEST(PlaybackLayout, ScreenCountsAndSkin) {
    EXPECT_EQ(PlaybackScreenCounts(16), (std::vector<int>{1, 4, 6, 8, 9, 16}));
    EXPECT_EQ(PlaybackSkinPieces(1024, 768).size(), 1u);
    auto pieces = PlaybackSkinPieces(1280, 1024);
    ASSERT_EQ(pieces.size(), 9u);
    EXPECT_FALSE(pieces[0].stretch);
    EXPECT_TRUE(Same(pieces[2].dst, RECT{960, 848, 1280, 1024}));
    EXPECT_TRUE(pieces[8].stretch);
}

DayRecordMap MapWith(std::initializer_list<int> recorded, std::initializer_list<int> alarms) {
    DayRecordMap map{};
    for (int m : recorded)
        map.minutes[m / 4] |= static_cast<uint8_t>(1 << (2 * (m % 4)));
    for (int m : alarms)
        map.minutes[m / 4] |= static_cast<uint8_t>(2 << (2 * (m % 4)));
    return map;
}

TEST(DayBar, HoursColouredFromTheMinuteMap) {
    const struct {
        DayRecordMap map;
        int hour;
        COLORREF colour;
    } cases[] = {
        {MapWith({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {125}), 0, DAY_BAR_RECORDED},
        {MapWith({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {125}), 1, DAY_BAR_EMPTY},
        {MapWith({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {125}), 2, DAY_BAR_ALARM},
        {MapWith({1439}, {}), 23, DAY_BAR_RECORDED},
        {MapWith({120, 130}, {179}), 2, DAY_BAR_ALARM},
        {MapWith({}, {}), 12, DAY_BAR_EMPTY},
    };
    for (const auto& c : cases) {
        COLORREF hours[24];
        DayBarColours(c.map, hours);
        EXPECT_EQ(hours[c.hour], c.colour) << "hour " << c.hour;
    }
    COLORREF hours[24];
    DayBarColours(MapWith({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {125}), hours);
    for (int h = 3; h < 24; ++h)
        EXPECT_EQ(hours[h], DAY_BAR_EMPTY) << h;
}

TEST(FileName, ChannelAfterTheLastBackslash) {
    const struct {
        const char16_t* name;
        bool ok;
        int channel;
    } cases[] = {
        {u"D:\\rec\\20261210\\CH03_20261210_101500.avi", true, 2},
        {u"CH01\\CH16_x", true, 15},
        {u"D:\\a_b\\CH07.avi", true, 6},   // the last underscore may come before the backslash
        {u"\\CHxx_1", true, -1},           // no digits: no channel
        {u"D:\\rec\\CH03.avi", false, 0},  // no underscore
        {u"CH03_20261210.avi", false, 0},  // no backslash
        {u"", false, 0},
    };
    for (const auto& c : cases) {
        int channel = 99;
        std::u16string name(c.name);
        EXPECT_EQ(ChannelFromFileName(name.c_str(), static_cast<int>(name.size()), &channel), c.ok)
            << std::string(name.begin(), name.end());
        if (c.ok) {
            EXPECT_EQ(channel, c.channel) << std::string(name.begin(), name.end());
        }
    }
}

TEST(SearchSpan, OneMinuteToSevenDaysInclusive) {
    const int64_t ten = 36000;
    EXPECT_TRUE(SearchSpanValid(ten, ten + 60));
    EXPECT_FALSE(SearchSpanValid(ten, ten - 1));
    EXPECT_FALSE(SearchSpanValid(ten, ten + 59));
    EXPECT_TRUE(SearchSpanValid(ten, ten + 604800));
    EXPECT_FALSE(SearchSpanValid(ten, ten + 604801));
}

TEST(Transport, ButtonsFollowTheReportedState) {
    // play shown/enabled, pause shown/enabled, stop, step, moves
    const struct {
        int state;
        TransportButtons b;
    } cases[] = {
        {PLAYBACK_STATE_PLAYING, {false, false, true, true, true, true, true}},
        {PLAYBACK_STATE_PAUSED, {true, true, false, false, true, true, true}},
        {PLAYBACK_STATE_SPEED, {true, true, false, false, true, true, true}},
        {PLAYBACK_STATE_STEPPING, {true, true, false, false, true, true, false}},
        {PLAYBACK_STATE_NO_STOP, {true, true, false, false, false, false, true}},
        {PLAYBACK_STATE_IDLE, {true, true, false, false, false, false, false}},
        {PLAYBACK_STATE_STOPPED, {true, true, false, false, false, false, false}},
        {42, {true, true, false, false, false, false, false}},
    };
    for (const auto& c : cases) {
        TransportButtons b = TransportButtonsFor(c.state);
        EXPECT_EQ(std::memcmp(&b, &c.b, sizeof b), 0) << "state " << c.state;
    }
}

TEST(Transport, PositionTextInBothModes) {
    const int day = 1765324800;
    const struct {
        int mode;
        PlaybackValues v;
        const char* text;
        int slider;
    } cases[] = {
        {PLAYBACK_MODE_FILE, {PLAYBACK_STATE_PLAYING, 6, 0, 3725, 125, 0}, "0:02:05/1:02:05", 33},
        {PLAYBACK_MODE_FILE, {PLAYBACK_STATE_PAUSED, 6, 0, 0, 5, 0}, "0:00:05/0:00:00", 0},
        {PLAYBACK_MODE_FILE, {PLAYBACK_STATE_PLAYING, 6, 0, 400000, 360000, 0}, "100:00:00/111:06:40", 900},
        {PLAYBACK_MODE_TIME, {PLAYBACK_STATE_PLAYING, 6, day + 45000, 0, 296, day}, "12:34:56/23:59:59", 524},
        {PLAYBACK_MODE_TIME, {PLAYBACK_STATE_STOPPED, 6, day, 0, 100, day}, "00:00:00/00:00:00", 0},
        {PLAYBACK_MODE_FILE, {PLAYBACK_STATE_IDLE, 0, 0, 100, 50, 0}, "00:00:00/00:00:00", 0},
    };
    for (const auto& c : cases) {
        QString text;
        int slider = -1;
        PositionText(c.mode, c.v, &text, &slider);
        EXPECT_EQ(text.toStdString(), c.text);
        EXPECT_EQ(slider, c.slider) << c.text;
    }
}

TEST(Transport, SeekTargets) {
    const int day = 1765324800;
    PlaybackValues file{PLAYBACK_STATE_PLAYING, 6, 0, 3600, 30, 0};
    EXPECT_EQ(SliderDragSeconds(PLAYBACK_MODE_FILE, 500, 3600), 1800);
    EXPECT_EQ(ClockText(SliderDragSeconds(PLAYBACK_MODE_FILE, 500, 3600)).toStdString(), "0:30:00");
    EXPECT_EQ(SliderSeekTarget(PLAYBACK_MODE_FILE, 500, file), 1800);
    EXPECT_EQ(SliderSeekTarget(PLAYBACK_MODE_FILE, 1000, file), 3600);
    EXPECT_EQ(SliderSeekTarget(PLAYBACK_MODE_FILE, 0, file), 0);
    EXPECT_EQ(JumpTarget(PLAYBACK_MODE_FILE, -60, file), 0);
    file.position = 3580;
    EXPECT_EQ(JumpTarget(PLAYBACK_MODE_FILE, 60, file), 3600);
    PlaybackValues time{PLAYBACK_STATE_PLAYING, 6, day + 100, 0, 20, day};
    EXPECT_EQ(SliderSeekTarget(PLAYBACK_MODE_TIME, 500, time), day + 43200);
    EXPECT_EQ(SliderDragSeconds(PLAYBACK_MODE_TIME, 1000, 0), 86399);
    EXPECT_EQ(JumpTarget(PLAYBACK_MODE_TIME, 60, time), day + 180);
    EXPECT_EQ(JumpTarget(PLAYBACK_MODE_TIME, -60, time), day + 60);
}

}  // namespace
