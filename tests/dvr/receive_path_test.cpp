// Cutting received bytes into messages and frames, whatever the receives look like.

#include <gtest/gtest.h>

#include <QString>

#include "dvr/dvr_protocol.h"
#include "dvr/receive_path.h"
#include "dvr/stream_frame.h"
#include "tests/dvr/test_device.h"
#include "tests/dvr/test_slot_queues.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

using dvrsim::DvrSim;

const std::string kCommandStream =
    "131077 240 3 \r\n\r\n"
    "131077 3 0 North\x08gate \r\n\r\n"
    "131077 3 1 (NULL) \r\n\r\n"
    "131075 7 \r\n\r\n"
    "131077 3 2 Yard \r\n\r\n"
    "131077 255 \r\n\r\n"
    "131126 0 65536 \r\n\r\n";

// What the command messages left in the device.
std::string CommandOutcome(DVRDevice* device) {
    std::string out =
        std::to_string(device->keepAliveSeconds.load()) + "|" + std::to_string(device->flags.load());
    for (int i = 0; i < device->channelCount.load(); ++i) {
        out += "|" + QString::fromUtf16(device->channels[i].name).toStdString();
        out += std::to_string(device->channels[i].flags.load());
    }
    return out;
}

void Feed(TestDevice& t, int type, const std::string& bytes, size_t from, size_t to) {
    if (to > from)
        SplitReceivedData(type, static_cast<int>(to - from), bytes.data() + from, t.device, nullptr);
}

TEST(ReceivePath, CommandStreamSplitAnywhereGivesTheSameMessages) {
    TestDevice whole;
    Feed(whole, CONN_COMMAND, kCommandStream, 0, kCommandStream.size());
    std::string expected = CommandOutcome(whole.device);
    EXPECT_EQ(expected, "7|16|North gate64|2112|Yard64");
    for (size_t cut = 1; cut < kCommandStream.size(); ++cut) {
        TestDevice t;
        Feed(t, CONN_COMMAND, kCommandStream, 0, cut);
        Feed(t, CONN_COMMAND, kCommandStream, cut, kCommandStream.size());
        ASSERT_EQ(CommandOutcome(t.device), expected) << "cut at " << cut;
    }
    TestDevice bytewise;
    for (size_t i = 0; i < kCommandStream.size(); ++i)
        Feed(bytewise, CONN_COMMAND, kCommandStream, i, i + 1);
    EXPECT_EQ(CommandOutcome(bytewise.device), expected);
}

TEST(ReceivePath, MessageIsParsedWithinItsOwnLength) {
    TestDevice t;
    std::string bytes = "131073\r\n\r\n67108864 \r\n\r\n";
    Feed(t, CONN_COMMAND, bytes, 0, bytes.size());
    EXPECT_EQ(t.device->flags & DEVICE_FLAG_HELLO, 0u);
}

TEST(ReceivePath, FullCommandBufferResynchronises) {
    TestDevice t;
    std::string bytes = std::string(9000, 'x') + "\r\n\r\n" + "131075 9 \r\n\r\n";
    Feed(t, CONN_COMMAND, bytes, 0, bytes.size());
    EXPECT_EQ(t.device->keepAliveSeconds.load(), 9);
    EXPECT_EQ(t.device->commandFill, 0);
}

class StreamReceiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(AllocDeviceChannels(t.device, 2), 0);
        t.device->channels[0].viewSlots[0] = 0;
        video = queues.Add(0, SLOT_QUEUE_VIDEO, 64);
        audio = queues.Add(0, SLOT_QUEUE_AUDIO, 64);
    }
    TestDevice t;
    TestSlotQueues queues;
    FrameQueue* video;
    FrameQueue* audio;
};

TEST_F(StreamReceiveTest, StreamSplitAnywhereGivesTheSameFrames) {
    std::string header(16, 'h');
    std::string stream = DvrSim::Frame(0x1FE, 0, header, "") + DvrSim::Frame(0x1FE, 0, "", "picture one") +
                         DvrSim::Frame(0x0FE, 0, "", "pcm") +
                         DvrSim::Frame(0x2FE, 0, "", "131075 4 \r\n\r\n") +
                         DvrSim::Frame(0x1FE, 0, "", "picture two");
    using Frames = std::vector<std::pair<std::string, std::string>>;
    const Frames expected = {{header, "picture one"}, {"", "picture two"}};
    for (size_t cut = 0; cut < stream.size(); ++cut) {
        TestDevice local;
        ASSERT_EQ(AllocDeviceChannels(local.device, 2), 0);
        local.device->channels[0].viewSlots[0] = 0;
        Feed(local, CONN_LIVE, stream, 0, cut);
        Feed(local, CONN_LIVE, stream, cut, stream.size());
        ASSERT_EQ(TestSlotQueues::Drain(video), expected) << "cut at " << cut;
        ASSERT_EQ(TestSlotQueues::Drain(audio).size(), 1u) << "cut at " << cut;
        ASSERT_EQ(local.device->keepAliveSeconds.load(), 4);
    }
}

TEST_F(StreamReceiveTest, BadFramesAreDroppedAndTheNextOnesParsed) {
    std::string good = DvrSim::Frame(0x1FE, 0, "", "good");
    std::string badMagic = DvrSim::Frame(0x1FD, 0, "", "bad");
    std::string noTrailer = DvrSim::Frame(0x1FE, 0, "", "lost", false);
    // A frame larger than the whole stream buffer.
    std::string oversized = DvrSim::Frame(0x1FE, 0, "", std::string(STREAM_BUFFER_SIZE + 1000, 'o'));
    std::string stream =
        badMagic + good + noTrailer + DvrSim::Frame(0x1FE, 0, "", "swallowed") + good + oversized + good;
    Feed(t, CONN_LIVE, stream, 0, stream.size());
    auto frames = TestSlotQueues::Drain(video);
    ASSERT_EQ(frames.size(), 3u);
    for (const auto& frame : frames)
        EXPECT_EQ(frame.second, "good");
    EXPECT_EQ(t.device->liveFill, 0);
}

TEST_F(StreamReceiveTest, PayloadHoldingTheTrailerIsCutThereAndDropped) {
    std::string payload = std::string("abc") + STREAM_TRAILER + "def";
    std::string stream = DvrSim::Frame(0x1FE, 0, "", payload) + DvrSim::Frame(0x1FE, 0, "", "next");
    Feed(t, CONN_LIVE, stream, 0, stream.size());
    auto frames = TestSlotQueues::Drain(video);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].second, "next");
}

}  // namespace
