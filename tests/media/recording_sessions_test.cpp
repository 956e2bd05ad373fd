// Recording end to end: two channels of the simulated DVR (H.264 and MPEG-4 Part 2, each with PCM audio)
// stream through a real session into two grid screens, whose record threads write AVI files; the files are
// read back with libavformat and compared with what the simulator sent.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <thread>
#include <vector>

#include "dvr/dvr_device.h"
#include "dvr/session_hooks.h"
#include "media/media_system.h"
#include "media/record_storage.h"
#include "platform/audio/sound_buffer.h"
#include "tests/bounded_wait.h"
#include "tests/media/avi_readback.h"
#include "tests/media/live_view_support.h"
#include "tests/media/record_drive.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"

namespace {

using harness::WaitUntil;

// 2024-06-01 12:01:40 UTC: far from a half-hour boundary.
int64_t FixedClock() {
    return 1717243300;
}
int PlentyFree(QChar, uint64_t* freeBytes) {
    *freeBytes = 1ull << 40;
    return 0;
}

bool QueueEmpty(FrameQueue* queue) {
    std::lock_guard<std::mutex> guard(queue->lock);
    return queue->readyHead == nullptr;
}

class RecordingSessions : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(drive.isValid()); }
    void TearDown() override {
        for (DeviceTreeNode* node : nodes)
            std::free(node);
        SetDvrSessionHooks(nullptr);
    }
    // Waits until the simulator's counts stay put and the screens' record queues are empty.
    static bool Settle(dvrsim::DvrSim& sim, const std::vector<int>& screens) {
        return WaitUntil(
            [&] {
                dvrsim::SimStreamed a = sim.Streamed(0), b = sim.Streamed(1);
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                dvrsim::SimStreamed c = sim.Streamed(0), d = sim.Streamed(1);
                bool drained = true;
                for (int slot : screens)
                    drained = drained && QueueEmpty(g_screenSlots[slot].recordVideoQueue.get()) &&
                              QueueEmpty(g_screenSlots[slot].recordAudioQueue.get()) &&
                              QueueEmpty(g_screenSlots[slot].videoQueue.get());
                return drained && a.pictures == c.pictures && b.pictures == d.pictures;
            },
            8000);
    }
    RecordDrive drive{FixedClock, PlentyFree};
    std::vector<DeviceTreeNode*> nodes;
};

TEST_F(RecordingSessions, TwoChannelsRecordWhatTheDvrSentIntoCompleteFiles) {
    if (!dvrsim::HasEncoder(dvrsim::kCodecH264))
        GTEST_SKIP() << "no H.264 encoder";
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    config.channels.push_back(dvrsim::SimChannel{"Door", dvrsim::kCodecH264, 352, 288});
    config.channels.push_back(dvrsim::SimChannel{"Yard", dvrsim::kCodecMpeg4, 352, 288});
    config.framesPerSecond = 25;
    config.audioSampleRate = 8000;
    dvrsim::DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);

    ASSERT_EQ(InitMediaSystem(), 0);
    g_recordStorage = std::make_unique<RecordStorage>(RecordDrive::Storage(0));
    MediaThreadTable threads;
    threads.supervisorRoutine = SupervisorThreadProc;
    ASSERT_EQ(StartMediaThreads(&threads), 0);
    nodes.push_back(live_view::MakeDvrNode(1, sim.Port()));
    DVRDevice* device = live_view::StartSession(nodes.back());
    ASSERT_TRUE(WaitUntil([&] { return live_view::IsOnline(device); }));
    const std::vector<int> screens = {5, 9};
    ASSERT_EQ(live_view::ShowChannel(device, 0, screens[0]), 0);
    ASSERT_EQ(live_view::ShowChannel(device, 1, screens[1]), 0);
    ASSERT_TRUE(WaitUntil([&] {
        return g_screenSlots[screens[0]].decodedWidth.load() == 352 &&
               g_screenSlots[screens[1]].decodedWidth.load() == 352;
    }));

    // Recording is switched on while the DVR is quiet, so the files must hold exactly what comes after.
    sim.SetSilent(true);
    ASSERT_TRUE(Settle(sim, screens));
    const dvrsim::SimStreamed before[2] = {sim.Streamed(0), sim.Streamed(1)};
    for (int channel : {0, 1})
        device->channels[channel].flags.fetch_or(CHANNEL_FLAG_RECORD_WANTED);
    sim.SetSilent(false);
    ASSERT_TRUE(WaitUntil([&] { return sim.Streamed(1).pictures >= before[1].pictures + 50; }, 10000));
    sim.SetSilent(true);
    ASSERT_TRUE(Settle(sim, screens));
    // Stopping the media threads in the middle of the recording closes the files.
    StopMediaThreads(&threads);

    struct Expected {
        AVCodecID codec;
        uint32_t tag;
    } expected[2] = {{AV_CODEC_ID_H264, MakeFourCC('H', '2', '6', '4')},
                     {AV_CODEC_ID_MPEG4, MakeFourCC('X', 'V', 'I', 'D')}};
    for (int channel : {0, 1}) {
        SCOPED_TRACE(channel);
        const dvrsim::SimStreamed after = sim.Streamed(channel);
        const int pictures = after.pictures - before[channel].pictures;
        const int64_t audioBytes = after.audioBytes - before[channel].audioBytes;
        QDir day(drive.filePath(QStringLiteral("Records/DVR/2024_06_01")));
        const QStringList files = day.entryList(
            {QStringLiteral("CH%1_*").arg(channel + 1, 3, 10, QLatin1Char('0'))}, QDir::Files, QDir::Name);
        ASSERT_FALSE(files.isEmpty());
        int frames = 0;
        int64_t audio = 0;
        for (const QString& name : files) {
            AviContents c;
            ASSERT_TRUE(ReadAvi(day.filePath(name), &c)) << name.toStdString();
            const AviStreamContents* v = c.Of(AVMEDIA_TYPE_VIDEO);
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(v->codec, expected[channel].codec);
            EXPECT_EQ(v->tag, expected[channel].tag);
            EXPECT_EQ(v->width, 352);
            EXPECT_EQ(v->height, 288);
            EXPECT_DOUBLE_EQ(v->secondsPerUnit, 0.04);
            EXPECT_EQ(IndexedKeyFrames(day.filePath(name)), static_cast<int>(v->packets.size()));
            frames += static_cast<int>(v->packets.size());
            if (const AviStreamContents* a = c.Of(AVMEDIA_TYPE_AUDIO)) {
                EXPECT_EQ(a->codec, AV_CODEC_ID_PCM_S16LE);
                EXPECT_EQ(a->sampleRate, 8000);
                audio += a->bytes;
            }
        }
        EXPECT_EQ(frames, pictures);
        // The audio header travels on the first audio packet. When a turn of the record thread took the
        // first picture alone, its file began without audio and the header began the next one: if that
        // turn took the header's packet alone, no file was open for it; if it took a picture too, the new
        // file began with both and kept it. When the first audio packet came before the first picture, no
        // file was open for it either. So at most one audio packet has no file; every other one is in the
        // files.
        const int64_t packetBytes = 8000 / 25 * 2;
        EXPECT_TRUE(audio == audioBytes || audio == audioBytes - packetBytes)
            << audio << " of " << audioBytes;
        EXPECT_LE(files.size(), 2);
    }
    FreeMediaSystem();
}

}  // namespace
