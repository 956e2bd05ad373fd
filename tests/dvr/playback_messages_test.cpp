// PTZ, auto-scan and remote playback messages: request bytes and the replies handed to the playback
// dialog.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/window_messages.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/playback_requests.h"
#include "tests/dvr/post_capture.h"
#include "tests/dvr/test_device.h"

namespace {

class PlaybackMessages : public PostCapture {
protected:
    void SetUp() override {
        PostCapture::SetUp();
        ASSERT_EQ(AllocDeviceChannels(t.device, 4), 0);
        g_currentDevice = t.device;
    }
    void TearDown() override {
        g_currentDevice = nullptr;
        PostCapture::TearDown();
    }
    int Dispatch(const std::string& text) {
        return DispatchDvrMessage(text.data(), t.device, nullptr, static_cast<int>(text.size()));
    }
    std::vector<PostedMessage> PlaybackPosts() {
        std::vector<PostedMessage> out;
        for (const PostedMessage& m : g_posted) {
            if (m.hwnd == kPlaybackDialog && m.msg == WM_PLAYBACK_DATA_RECEIVED)
                out.push_back(m);
        }
        return out;
    }
    TestDevice t;
};

TEST_F(PlaybackMessages, PtzAndAutoScanBytes) {
    struct Case {
        int channel, command, param1, param2;
        const char* bytes;  // nullptr: nothing sent
    } cases[] = {
        {3, PTZ_ZOOM_IN, 0, 0, "65544 3 7 0 0 \r\n\r\n"},
        {0, PTZ_PRESET_GOTO, 0xFFFF, 2, "65544 0 13 -1 2 \r\n\r\n"},
        {1, PTZ_STOP, 65534, -1, "65544 1 14 65534 -1 \r\n\r\n"},
        {4, PTZ_TILT_UP, 0, 0, nullptr},  // not below the channel count
        {-1, PTZ_TILT_UP, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        int sent = SendChannelPtz(t.device, c.channel, c.command, c.param1, c.param2);
        EXPECT_EQ(t.Sent(), c.bytes != nullptr ? c.bytes : "");
        EXPECT_EQ(sent, c.bytes != nullptr ? static_cast<int>(strlen(c.bytes)) : -1);
    }
    EXPECT_EQ(SendChannelPtz(nullptr, 0, PTZ_TILT_UP, 0, 0), -1);
    EXPECT_GT(SendAutoScan(1u << 16 | 1u, t.device, 2), 0);
    EXPECT_EQ(t.Sent(), "65579 2 1 1 \r\n\r\n");
    EXPECT_GT(SendAutoScan(0, t.device, 0), 0);
    EXPECT_EQ(t.Sent(), "65579 0 0 0 \r\n\r\n");
}

TEST_F(PlaybackMessages, PlaybackRequestBytes) {
    EXPECT_GT(SendSearchFiles(t.device,
                              std::make_unique<PlaybackSearch>(PlaybackSearch{-1, 1700000000, 1700086400})),
              0);
    EXPECT_EQ(t.Sent(), "65549 -1 1700000000 1700086400 \r\n\r\n");
    EXPECT_EQ(SendSearchFiles(t.device, nullptr), -1);

    auto open = std::make_unique<PlaybackOpen>();
    *open = PlaybackOpen{PLAYBACK_MODE_TIME, 3, 2, 1700000000, {}};
    EXPECT_GT(SendPlaybackOpen(t.device, std::move(open)), 0);
    EXPECT_EQ(t.Sent(), "65547 0 3 2 1700000000 \r\n\r\n");
    open = std::make_unique<PlaybackOpen>();
    *open = PlaybackOpen{PLAYBACK_MODE_FILE, 1, 0, 0, {}};
    t.SetText(open->path, 256, u"/rec/ch 1/10 00.avi");
    EXPECT_GT(SendPlaybackOpen(t.device, std::move(open)), 0);
    EXPECT_EQ(t.Sent(),
              "65547 1 1 /rec/ch\x08"
              "1/10\x08"
              "00.avi \r\n\r\n");
    open = std::make_unique<PlaybackOpen>();
    *open = PlaybackOpen{PLAYBACK_MODE_FILE, 2, 0, 0, {}};
    EXPECT_GT(SendPlaybackOpen(t.device, std::move(open)), 0);
    EXPECT_EQ(t.Sent(), "65547 1 2  \r\n\r\n");  // an empty path is not "(NULL)"
    open = std::make_unique<PlaybackOpen>();
    open->mode = 5;
    EXPECT_EQ(SendPlaybackOpen(t.device, std::move(open)), -1);
    EXPECT_EQ(SendPlaybackOpen(t.device, nullptr), -1);

    EXPECT_GT(SendPlaybackClose(t.device, 15), 0);
    EXPECT_EQ(t.Sent(), "65548 15 \r\n\r\n");
    PlaybackControl control{4, PLAYBACK_CMD_SPEED, -1};
    EXPECT_GT(SendPlaybackControl(t.device, &control, PLAYBACK_MODE_FILE), 0);
    EXPECT_EQ(t.Sent(), "65581 4 5 -1 1 \r\n\r\n");
    EXPECT_EQ(SendPlaybackControl(t.device, nullptr, 0), -1);
    EXPECT_GT(SendGetMonthRecords(t.device, 1701388800), 0);
    EXPECT_EQ(t.Sent(), "65580 1701388800 \r\n\r\n");
    EXPECT_GT(SendGetDayRecords(t.device, 2u << 16 | 5u, 1701388800), 0);
    EXPECT_EQ(t.Sent(), "65582 131077 1701388800 \r\n\r\n");
    EXPECT_EQ(t.Sent(), "");
}

TEST_F(PlaybackMessages, FileListIsBuiltAsideAndHandedOver) {
    Dispatch("131085 240 3 \r\n\r\n");
    Dispatch("131085 3 2 /rec/a.avi 1 2 \r\n\r\n");
    Dispatch(
        "131085 3 0 /rec/b\x08"
        "c.avi 3 4 \r\n\r\n");
    Dispatch("131085 3 9 /rec/d.avi 5 -6 \r\n\r\n");  // index not checked
    Dispatch("131085 3 1 /rec/e.avi 5 \r\n\r\n");     // five fields: dropped
    EXPECT_EQ(t.device->lists.remoteFiles.Current(), nullptr);
    Dispatch("131085 255 \r\n\r\n");
    auto files = t.device->lists.remoteFiles.Current();
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->size(), 3u);
    // Arrival order, whatever the indexes say; linked both ways.
    EXPECT_EQ(std::u16string((*files)[0].name), u"/rec/a.avi");
    EXPECT_EQ(std::u16string((*files)[1].name), u"/rec/b c.avi");
    EXPECT_EQ((*files)[2].param2, -6);
    EXPECT_EQ((*files)[0].prev, nullptr);
    EXPECT_EQ((*files)[0].next, &(*files)[1]);
    EXPECT_EQ((*files)[2].prev, &(*files)[1]);
    EXPECT_EQ((*files)[2].next, nullptr);
    ASSERT_EQ(PlaybackPosts().size(), 1u);
    EXPECT_EQ(PlaybackPosts()[0].wParam, static_cast<WPARAM>(PLAYBACK_DATA_FILE_LIST));
    // A new search: its LIST_BEGIN drops the working list; the handed one stays with its holder.
    Dispatch("131085 240 1 \r\n\r\n");
    Dispatch("131085 1 0 /rec/new.avi 0 0 \r\n\r\n");
    Dispatch("131085 255 \r\n\r\n");
    EXPECT_EQ(files->size(), 3u);
    EXPECT_EQ(t.device->lists.remoteFiles.Current()->size(), 1u);
}

TEST_F(PlaybackMessages, FileListIsBounded) {
    Dispatch("131085 240 0 \r\n\r\n");
    for (int i = 0; i < MAX_LIST_FILES + 5; ++i)
        Dispatch("131085 1 0 f 0 0 \r\n\r\n");
    Dispatch("131085 255 \r\n\r\n");
    EXPECT_EQ(t.device->lists.remoteFiles.Current()->size(), static_cast<size_t>(MAX_LIST_FILES));
}

TEST_F(PlaybackMessages, MonthAndDayRecords) {
    Dispatch("131116 0 -2147483647 \r\n\r\n");
    Dispatch("131116 0 \r\n\r\n");  // two fields
    std::string day = "131118 7 8 400";
    for (int i = 0; i < 400; ++i)
        day += i == 0 ? " 1FF" : i == 359 ? " AB" : " 0";
    Dispatch(day + " \r\n\r\n");                    // n = 400 stores 360 bytes
    Dispatch("131118 1 2 10 1 2 3 zz 5 \r\n\r\n");  // stops at the value that does not convert
    auto posts = PlaybackPosts();
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[0].wParam, static_cast<WPARAM>(PLAYBACK_DATA_MONTH_RECORDS));
    EXPECT_EQ(static_cast<uint32_t>(posts[0].lParam), 0x80000001u);
    EXPECT_EQ(posts[1].wParam, static_cast<WPARAM>(PLAYBACK_DATA_DAY_RECORDS));
    const auto* map = reinterpret_cast<const DayRecordMap*>(posts[1].lParam);
    EXPECT_EQ(map->value1, 7);
    EXPECT_EQ(map->value2, 8);
    EXPECT_EQ(map->minutes[0], 0xFF);  // low byte of 0x1FF
    EXPECT_EQ(map->minutes[359], 0xAB);
    const auto* partial = reinterpret_cast<const DayRecordMap*>(posts[2].lParam);
    EXPECT_EQ(partial->minutes[2], 3);
    EXPECT_EQ(partial->minutes[3], 0);
    EXPECT_EQ(partial->minutes[4], 0);  // nothing after the unconvertible value
    // Without the playback dialog nothing is allocated or posted.
    g_playbackExists = false;
    ClearPosted();
    EXPECT_EQ(Dispatch("131118 1 2 1 FF \r\n\r\n"), 0);
    EXPECT_EQ(Dispatch("131116 0 5 \r\n\r\n"), 0);
    EXPECT_TRUE(g_posted.empty());
}

TEST_F(PlaybackMessages, PlaybackState) {
    const std::string state = "131119 3 9 1 6 100 200 150 1700000000 \r\n\r\n";
    auto parse = [&](const std::string& text) {
        return ParsePlaybackState(text.data(), static_cast<int>(text.size()), t.device, nullptr);
    };
    EXPECT_EQ(parse(state), 0);
    EXPECT_EQ(std::vector<int>(g_storedState[3], g_storedState[3] + 6),
              (std::vector<int>{1, 6, 100, 200, 150, 1700000000}));
    ASSERT_EQ(PlaybackPosts().size(), 1u);
    EXPECT_EQ(PlaybackPosts()[0].wParam, static_cast<WPARAM>(PLAYBACK_DATA_STATE));
    EXPECT_EQ(PlaybackPosts()[0].lParam, static_cast<LPARAM>(9 << 16 | 3));
    ClearPosted();
    std::memset(g_storedState, 0, sizeof g_storedState);
    g_playbackOpen = false;  // dialog closed
    EXPECT_EQ(parse(state), -1);
    g_playbackOpen = true;
    EXPECT_EQ(parse("131119 16 9 1 6 100 200 150 1 \r\n\r\n"), -1);
    EXPECT_EQ(parse("131119 -1 9 1 6 100 200 150 1 \r\n\r\n"), -1);
    EXPECT_EQ(parse("131119 3 9 1 6 100 200 150 \r\n\r\n"), -1);  // eight fields
    g_currentDevice = nullptr;                                    // another DVR
    EXPECT_EQ(parse(state), -1);
    EXPECT_TRUE(g_posted.empty());
    EXPECT_EQ(g_storedState[3][0], 0);
}

}  // namespace
