// The frame parser: checking frames and routing them to the queues of their consumers.

#include <gtest/gtest.h>

#include "dvr/dvr_protocol.h"
#include "dvr/session_hooks.h"
#include "dvr/stream_frame.h"
#include "tests/dvr/test_device.h"
#include "tests/dvr/test_slot_queues.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

using dvrsim::DvrSim;

std::string Header(int width, int height) {
    VideoStreamHeader header{width, height, 2500, 16};
    return std::string(reinterpret_cast<const char*>(&header), sizeof header);
}

int Parse(TestDevice& t, const std::string& frame, int type = CONN_LIVE) {
    return ParseStreamFrame(static_cast<int>(frame.size()), t.device, nullptr, type,
                            reinterpret_cast<const uint8_t*>(frame.data()));
}

class StreamFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(AllocDeviceChannels(t.device, 4), 0);
        grid = queues.Add(0, SLOT_QUEUE_VIDEO, 4);
        gridAudio = queues.Add(0, SLOT_QUEUE_AUDIO, 3);
        record = queues.Add(0, SLOT_QUEUE_RECORD_VIDEO, 4);
        recordAudio = queues.Add(0, SLOT_QUEUE_RECORD_AUDIO, 3);
        preview1 = queues.Add(64, SLOT_QUEUE_VIDEO, 4);
        preview2 = queues.Add(65, SLOT_QUEUE_VIDEO, 4);
    }
    DVRChannel& Channel(int i) { return t.device->channels[i]; }

    TestDevice t;
    TestSlotQueues queues;
    FrameQueue* grid;
    FrameQueue* gridAudio;
    FrameQueue* record;
    FrameQueue* recordAudio;
    FrameQueue* preview1;
    FrameQueue* preview2;
};

TEST_F(StreamFrameTest, FrameChecks) {
    Channel(2).viewSlots[0] = 0;
    std::string picture(1000, 'p');
    std::string good = DvrSim::Frame(0x1FE, 2, "", picture);
    EXPECT_EQ(good.size(), 1024u);
    std::string shortLength = good;
    shortLength[12] = static_cast<char>(999 & 0xFF);  // payload length 999
    std::string badMagic = good;
    badMagic[0] = '\xFD';
    struct Case {
        const char* name;
        std::string frame;
        int result;
    } cases[] = {
        {"good", good, 0},
        {"length does not add up", shortLength, -1},
        {"no magic", badMagic, -1},
        {"shorter than a header", good.substr(0, 10), -1},
        {"extension longer than the frame", DvrSim::Frame(0x1FE, 2, std::string(200, 'e'), "").substr(0, 40),
         -1},
        {"channel not below the count", DvrSim::Frame(0x1FE, 4, "", "x"), -1},
        {"negative channel", DvrSim::Frame(0x1FE, -1, "", "x"), -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Parse(t, c.frame), c.result) << c.name;
    ASSERT_EQ(TestSlotQueues::Drain(grid).size(), 1u);
}

TEST_F(StreamFrameTest, LiveFramesBeforeTheChannelListAreDropped) {
    TestDevice fresh;
    std::string frame = DvrSim::Frame(0x1FE, 0, "", "x");
    EXPECT_EQ(Parse(fresh, frame), -1);
}

TEST_F(StreamFrameTest, HeaderGoesOnceToEachConsumer) {
    Channel(1).viewSlots[0] = 0;
    Channel(1).viewSlots[1] = 64;
    Channel(1).viewSlots[2] = 65;
    ASSERT_EQ(Parse(t, DvrSim::Frame(0x1FE, 1, Header(352, 288), "")), 0);
    EXPECT_EQ(Channel(1).flags & CHANNEL_FLAG_VIDEO_HEADER_VIEW, CHANNEL_FLAG_VIDEO_HEADER_VIEW);
    Parse(t, DvrSim::Frame(0x1FE, 1, "", "pic1"));
    Parse(t, DvrSim::Frame(0x1FE, 1, "", "pic2"));
    auto gridFrames = TestSlotQueues::Drain(grid);
    ASSERT_EQ(gridFrames.size(), 2u);
    EXPECT_EQ(gridFrames[0], std::make_pair(Header(352, 288), std::string("pic1")));
    EXPECT_EQ(gridFrames[1].first, "");
    // Only the first preview in slot order gets the new header.
    EXPECT_EQ(TestSlotQueues::Drain(preview1)[0].first, Header(352, 288));
    EXPECT_EQ(TestSlotQueues::Drain(preview2)[0].first, "");
    EXPECT_EQ(Channel(1).frameAge, 0);
}

TEST_F(StreamFrameTest, ShortAndLongHeaderBlocks) {
    Channel(0).viewSlots[0] = 0;
    Parse(t, DvrSim::Frame(0x1FE, 0, Header(704, 576) + "EXTRA", ""));
    Parse(t, DvrSim::Frame(0x1FE, 0, std::string("\x60\x01\x00\x00", 4), ""));  // width 352 only
    std::string expected = Header(352, 576);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(Channel(0).videoHeader), 16), expected);
}

TEST_F(StreamFrameTest, FullQueueDropsForThatConsumerOnly) {
    Channel(0).viewSlots[0] = 0;
    Channel(0).viewSlots[1] = 64;
    for (int i = 0; i < 6; ++i)
        Parse(t, DvrSim::Frame(0x1FE, 0, "", "p" + std::to_string(i)));
    EXPECT_EQ(TestSlotQueues::Drain(grid).size(), 4u);
    EXPECT_EQ(TestSlotQueues::Drain(preview1).size(), 4u);
}

TEST_F(StreamFrameTest, RecordingStartsAndEndsWithAMarker) {
    Channel(0).viewSlots[0] = 0;
    Parse(t, DvrSim::Frame(0x1FE, 0, Header(352, 288), ""));
    Parse(t, DvrSim::Frame(0x0FE, 0, std::string(16, 'a'), ""));
    Channel(0).flags.fetch_or(CHANNEL_FLAG_RECORD_WANTED);
    Parse(t, DvrSim::Frame(0x1FE, 0, "", "v1"));
    EXPECT_NE(Channel(0).flags & CHANNEL_FLAG_RECORDING, 0u);
    Parse(t, DvrSim::Frame(0x0FE, 0, "", "a1"));
    Channel(0).flags.fetch_and(~CHANNEL_FLAG_RECORD_WANTED);
    Parse(t, DvrSim::Frame(0x1FE, 0, "", "v2"));
    Parse(t, DvrSim::Frame(0x1FE, 0, "", "v3"));
    Parse(t, DvrSim::Frame(0x0FE, 0, "", "a2"));
    auto recorded = TestSlotQueues::Drain(record);
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0], std::make_pair(Header(352, 288), std::string("v1")));
    EXPECT_EQ(recorded[1], std::make_pair(std::string(), std::string()));  // the end marker, once
    auto audio = TestSlotQueues::Drain(recordAudio);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0], std::make_pair(std::string(16, 'a'), std::string("a1")));
    EXPECT_EQ(TestSlotQueues::Drain(gridAudio).size(), 2u);
}

TEST_F(StreamFrameTest, PreviewOnlyChannelIsNotRecorded) {
    Channel(3).viewSlots[1] = 64;
    Channel(3).flags.fetch_or(CHANNEL_FLAG_RECORD_WANTED);
    Parse(t, DvrSim::Frame(0x1FE, 3, "", "v"));
    Parse(t, DvrSim::Frame(0x0FE, 3, "", "a"));
    EXPECT_TRUE(TestSlotQueues::Drain(record).empty());
    EXPECT_EQ(Channel(3).flags & CHANNEL_FLAG_RECORDING, 0u);
    EXPECT_TRUE(TestSlotQueues::Drain(gridAudio).empty());
    EXPECT_EQ(TestSlotQueues::Drain(preview1).size(), 1u);
}

bool g_playbackOpen = false;

TEST_F(StreamFrameTest, PlaybackFramesOnlyWhileTheDialogIsOpen) {
    FrameQueue* playback = queues.Add(3, SLOT_QUEUE_PLAYBACK_VIDEO, 4);
    FrameQueue* playbackAudio = queues.Add(3, SLOT_QUEUE_PLAYBACK_AUDIO, 4);
    DvrSessionHooks hooks;
    hooks.playbackOpen = [] { return g_playbackOpen; };
    SetDvrSessionHooks(&hooks);
    std::string frame = DvrSim::Frame(0x1FE, 3, Header(352, 288), "key");
    g_playbackOpen = false;
    EXPECT_EQ(Parse(t, frame, CONN_PLAYBACK), -1);
    g_playbackOpen = true;
    EXPECT_EQ(Parse(t, frame, CONN_PLAYBACK), 0);
    EXPECT_EQ(Parse(t, DvrSim::Frame(0x0FE, 3, "", "pcm"), CONN_PLAYBACK), 0);
    EXPECT_EQ(Parse(t, DvrSim::Frame(0x1FE, 16, "", "x"), CONN_PLAYBACK), -1);
    SetDvrSessionHooks(nullptr);
    auto frames = TestSlotQueues::Drain(playback);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], std::make_pair(Header(352, 288), std::string("key")));  // header on its own frame
    EXPECT_EQ(TestSlotQueues::Drain(playbackAudio).size(), 1u);
}

TEST_F(StreamFrameTest, TextFramesAreDispatched) {
    std::string text = "131075 17 \r\n\r\n";
    EXPECT_EQ(Parse(t, DvrSim::Frame(0x2FE, 0, "", text)), 0);
    EXPECT_EQ(t.device->keepAliveSeconds.load(), 17);
    EXPECT_EQ(Parse(t, DvrSim::Frame(0x2FE, 99, "", "131075 18 \r\n\r\n"), CONN_PLAYBACK), 0);
    EXPECT_EQ(t.device->keepAliveSeconds.load(), 18);
}

}  // namespace
