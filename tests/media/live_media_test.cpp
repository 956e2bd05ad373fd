// The live pipeline end to end inside the client: packets pushed into the slots' real frame queues are
// decoded by the slots' decode threads and drawn into registered window canvases (the video window and
// the preview windows); the selected screen's audio plays on the live player (capture backend).

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <thread>

#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"
#include "dvr/stream_headers.h"
#include "media/audio_output.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "media/pixel_routines.h"
#include "media/video_renderer.h"
#include "platform/audio/sound_buffer.h"
#include "platform/audio/sound_capture.h"
#include "tests/bounded_wait.h"
#include "tests/context_switches.h"
#include "tests/media/test_streams.h"

namespace {

using harness::MeasureIdle;

HWND Handle(uintptr_t id) {
    return reinterpret_cast<HWND>(id);
}
const HWND kVideoWindow = Handle(0x91);
const HWND kMainWindow = Handle(0x95);
HWND PreviewWindow(int i) {
    return Handle(0x92 + i);
}

// A canvas whose repaints a test can wait for.
struct WatchedCanvas {
    std::shared_ptr<VideoCanvas> canvas = std::make_shared<VideoCanvas>();
    std::mutex lock;
    std::condition_variable painted;

    WatchedCanvas(HWND window, int width, int height) {
        canvas->Resize(width, height);
        canvas->SetRepaintHook([this] {
            (void)canvas->TakeDrawn();
            canvas->RepaintDone();
            std::lock_guard<std::mutex> guard(lock);
            painted.notify_all();
        });
        RegisterWindowCanvas(window, canvas);
    }
    QRgb At(int x, int y) {
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
        return canvas->Image().pixel(x, y) & 0xFFFFFF;
    }
    // Waits (bounded) until the canvas satisfies a condition, re-checking at every repaint.
    bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
        return harness::WaitUntil(condition, timeoutMs, [this] {
            std::unique_lock<std::mutex> guard(lock);
            painted.wait_for(guard, std::chrono::milliseconds(20));
        });
    }
};

bool Near(QRgb rgb, int r, int g, int b, int tolerance = 14) {
    return std::abs(qRed(rgb) - r) <= tolerance && std::abs(qGreen(rgb) - g) <= tolerance &&
           std::abs(qBlue(rgb) - b) <= tolerance;
}

// Waits (bounded) for a condition that no repaint announces.
bool Eventually(const std::function<bool()>& condition, int timeoutMs = 5000) {
    return harness::WaitUntil(condition, timeoutMs);
}

// Queues one frame the way the stream parser does: a free node, an optional 16-byte header, the payload.
bool PushFrame(FrameQueue* queue, const void* header, const uint8_t* payload, uint32_t length) {
    FrameNode* node = nullptr;
    if (!Eventually([&] { return queue->GetFreeNode(&node) == 0; }, 2000))
        return false;
    if (header != nullptr)
        queue->SetNodeHeader(node, 16, header);
    queue->SetNodePayload(node, length, payload);
    return queue->PushReady(node) == 0;
}

void PushStream(int slot, const EncodedStream& stream, int dvrCodec, bool withHeader = true) {
    VideoStreamHeader header{stream.width, stream.height, 2500, dvrCodec};
    for (size_t i = 0; i < stream.packets.size(); ++i) {
        const auto& p = stream.packets[i];
        ASSERT_TRUE(PushFrame(g_screenSlots[slot].videoQueue.get(), withHeader && i == 0 ? &header : nullptr,
                              p.data(), static_cast<uint32_t>(p.size())));
    }
}

bool QueueDrained(FrameQueue* queue) {
    std::lock_guard<std::mutex> guard(queue->lock);
    return queue->readyHead == nullptr;
}

int64_t FrozenSecond() {
    return 1000;
}

class LiveMedia : public ::testing::Test {
protected:
    void SetUp() override {
        SetSoundBackend(SOUND_BACKEND_CAPTURE);
        sound_capture::Reset();
        ImgInitDispatch();
        MainWindowState& w = g_mainWindowState;
        w.m_bPlaybackOpen = 0;
        w.m_nCurScreen = 1;
        w.m_hWnd = kMainWindow;
        w.m_nVolumePos = 50;
        w.m_bMute = 0;
        for (int i = 0; i < MAIN_SCREEN_COUNT; ++i)
            w.m_bScreenShown[i] = i < 4;
        for (int k = 0; k < 4; ++k)
            w.SetScreenRect(
                k, VideoRect{(k % 2) * 176, (k / 2) * 144, (k % 2) * 176 + 176, (k / 2) * 144 + 144});
        ASSERT_EQ(InitMediaSystem(), 0);
        g_renderers[0]->SetWindow(kVideoWindow);
        device = new DVRDevice();
        ASSERT_EQ(AllocDeviceChannels(device, 4), 0);
        for (int k = 0; k < 4; ++k)
            Assign(k, k);
        ASSERT_EQ(StartMediaThreads(&threads), 0);
    }
    void TearDown() override {
        StopMediaThreads(&threads);
        FreeMediaSystem();
        UnregisterWindowCanvas(kVideoWindow);
        for (int i = 0; i < PREVIEW_WINDOW_COUNT; ++i) {
            UnregisterWindowCanvas(PreviewWindow(i));
            g_previewWindows[i] = nullptr;
        }
        delete device;
        SetLastFrameClock(nullptr);
        SetSoundBackend(SOUND_BACKEND_AUTO);
    }
    void Assign(int slot, int channel) { ASSERT_EQ(AssignSlotChannel(slot, device, channel), 0); }
    static EncodedStream Stream(const char* encoder, int w, int h, int frames = 8) {
        EncodedStream s;
        EXPECT_TRUE(EncodeTestStream(encoder, w, h, frames, &s, 4));
        return s;
    }
    // A watched canvas registered for a window; it lives until the decode threads have stopped.
    WatchedCanvas& Canvas(HWND window, int width, int height) {
        canvases.push_back(std::make_unique<WatchedCanvas>(window, width, height));
        return *canvases.back();
    }
    std::vector<std::unique_ptr<WatchedCanvas>> canvases;
    DVRDevice* device = nullptr;
    MediaThreadTable threads;
};

// The left half of the test picture (Y 60, Cb 100, Cr 160) in RGB.
constexpr int kLeftR = 105, kLeftG = 46, kLeftB = 10;

TEST_F(LiveMedia, GridScreensShowEachFrameInItsRectangleWithItsBorder) {
    WatchedCanvas& video = Canvas(kVideoWindow, 352, 288);
    EncodedStream stream = Stream("mpeg4", 176, 144);
    for (int slot = 0; slot < 4; ++slot)
        PushStream(slot, stream, 16);
    auto drawn = [&](int k) {
        int x = (k % 2) * 176, y = (k / 2) * 144;
        QRgb border = k == 1 ? 0x00FF00u : 0xFFFFFFu;
        return video.At(x, y) == border && video.At(x + 175, y + 143) == border &&
               Near(video.At(x + 44, y + 72), kLeftR, kLeftG, kLeftB);
    };
    EXPECT_TRUE(video.WaitUntil([&] { return drawn(0) && drawn(1) && drawn(2) && drawn(3); }));
    EXPECT_EQ(g_screenSlots[2].decodedWidth.load(), 176);
}

TEST_F(LiveMedia, HeadersOpenTheDecoderAndFollowSizeAndCodecChanges) {
    SetLastFrameClock(FrozenSecond);
    WatchedCanvas& video = Canvas(kVideoWindow, 352, 288);
    EncodedStream h263 = Stream("h263", 176, 144);
    // Packets before the first header are dropped.
    PushStream(2, h263, 13, false);
    ASSERT_TRUE(Eventually([] { return QueueDrained(g_screenSlots[2].videoQueue.get()); }));
    EXPECT_EQ(g_screenSlots[2].decodedWidth.load(), 0);
    EXPECT_EQ(video.At(0, 144), 0u);
    PushStream(2, h263, 13);
    EXPECT_TRUE(video.WaitUntil([&] { return Near(video.At(44, 144 + 72), kLeftR, kLeftG, kLeftB); }));
    // Another codec and size: the decoder is reopened and the larger picture is drawn into the same place.
    EncodedStream mpeg4 = Stream("mpeg4", 352, 288);
    PushStream(2, mpeg4, 16);
    EXPECT_TRUE(Eventually([] { return g_screenSlots[2].decodedWidth.load() == 352; }));
    EXPECT_TRUE(Eventually([] { return QueueDrained(g_screenSlots[2].videoQueue.get()); }));
    EXPECT_TRUE(Near(video.At(44, 144 + 72), kLeftR, kLeftG, kLeftB));
    // The latest-frame copy was made in the frozen second from the first picture and keeps its own size.
    std::lock_guard<std::mutex> guard(g_screenSlots[2].lastFrameLock);
    EXPECT_EQ(g_screenSlots[2].lastFrameWidth, 176);
    EXPECT_EQ(g_screenSlots[2].lastFrameHeight, 144);
    EXPECT_GE(g_screenSlots[2].lastFrameCapacity, I420Size(176, 144));
}

TEST_F(LiveMedia, APictureLargerThanItsHeaderSaysIsResizedBeforeTheCopy) {
    WatchedCanvas& video = Canvas(kVideoWindow, 352, 288);
    EncodedStream stream = Stream("mpeg4", 176, 288);
    VideoStreamHeader header{176, 144, 2500, 16};  // announces half the real height
    for (size_t i = 0; i < stream.packets.size(); ++i) {
        const auto& p = stream.packets[i];
        ASSERT_TRUE(PushFrame(g_screenSlots[3].videoQueue.get(), i == 0 ? &header : nullptr, p.data(),
                              static_cast<uint32_t>(p.size())));
    }
    EXPECT_TRUE(video.WaitUntil([&] { return Near(video.At(176 + 44, 144 + 72), kLeftR, kLeftG, kLeftB); }));
    EXPECT_EQ(g_screenSlots[3].decodedHeight.load(), 288);
}

TEST_F(LiveMedia, PreviewsDrawTheGridAndTheMotionZonesIntoTheirWindows) {
    WatchedCanvas& grid = Canvas(PreviewWindow(0), 176, 144);
    WatchedCanvas& zones = Canvas(PreviewWindow(2), 176, 144);
    g_previewWindows[0] = PreviewWindow(0);
    g_previewWindows[2] = PreviewWindow(2);
    Assign(64, 0);
    Assign(66, 3);
    {
        std::lock_guard<std::mutex> guard(device->channels[3].lock);
        device->channels[3].motionMask.rows[0] = 0x01;
    }
    EncodedStream stream = Stream("mpeg4", 176, 144);
    PushStream(64, stream, 16);
    PushStream(66, stream, 16);
    // Slot 64: green grid line on luma row 18. Slot 66: the red cross of zone (0, 0) on luma row 9.
    EXPECT_TRUE(grid.WaitUntil([&] { return grid.At(50, 18) == 0x00FF00u && grid.At(0, 0) == 0xFFFFFFu; }));
    EXPECT_TRUE(zones.WaitUntil([&] { return Near(zones.At(10, 9), 254, 0, 0, 2); }));
    EXPECT_FALSE(Near(zones.At(30, 9), 254, 0, 0, 40));  // zone (0, 1) is not selected: no cross
}

TEST_F(LiveMedia, APreviewWhoseWindowIsHiddenIsNotDrawn) {
    WatchedCanvas& hidden = Canvas(PreviewWindow(0), 176, 144);
    WatchedCanvas& shown = Canvas(PreviewWindow(1), 176, 144);
    hidden.canvas->SetShown(false);
    g_previewWindows[0] = PreviewWindow(0);
    g_previewWindows[1] = PreviewWindow(1);
    Assign(64, 0);
    Assign(65, 1);
    EncodedStream stream = Stream("mpeg4", 176, 144);
    PushStream(64, stream, 16);
    PushStream(65, stream, 16);
    EXPECT_TRUE(shown.WaitUntil([&] { return shown.At(88, 72) != 0u; }));
    EXPECT_TRUE(Eventually([] { return QueueDrained(g_screenSlots[64].videoQueue.get()); }));
    EXPECT_EQ(hidden.At(50, 18), 0u);
    EXPECT_EQ(hidden.At(88, 72), 0u);
}

TEST_F(LiveMedia, WhilePlaybackIsOpenNothingIsDrawnButTheCopyGoesOn) {
    WatchedCanvas& video = Canvas(kVideoWindow, 352, 288);
    g_mainWindowState.m_bPlaybackOpen = 1;
    PushStream(0, Stream("mpeg4", 176, 144), 16);
    EXPECT_TRUE(Eventually([] {
        std::lock_guard<std::mutex> guard(g_screenSlots[0].lastFrameLock);
        return g_screenSlots[0].lastFrameWidth == 176;
    }));
    EXPECT_TRUE(Eventually([] { return QueueDrained(g_screenSlots[0].videoQueue.get()); }));
    EXPECT_EQ(video.At(0, 0), 0u);
    EXPECT_EQ(video.At(44, 72), 0u);
}

// --- live audio ---

void PushAudio(int slot, const AudioStreamHeader* header, int16_t value, uint32_t bytes) {
    std::vector<int16_t> samples(bytes / 2, value);
    ASSERT_TRUE(PushFrame(g_screenSlots[slot].audioQueue.get(), header,
                          reinterpret_cast<const uint8_t*>(samples.data()), bytes));
}

int16_t Sample(const std::vector<uint8_t>& played, size_t at) {
    int16_t s = 0;
    std::memcpy(&s, played.data() + at, 2);
    return s;
}

bool LiveFormatIs(uint16_t channels, uint32_t rate) {
    std::lock_guard<std::mutex> guard(g_liveAudio.lock);
    return g_liveAudio.format.channels == channels && g_liveAudio.format.sampleRate == rate;
}

TEST_F(LiveMedia, OnlyTheSelectedScreenPlaysAndMuteSurvivesANewPlayer) {
    AudioStreamHeader header{};
    header.channels = 1;
    header.sampleRate = 8000;
    header.bitsPerSample = 16;
    PushAudio(0, &header, 1111, 320);  // screen 0 is not selected
    ASSERT_TRUE(Eventually([] { return QueueDrained(g_screenSlots[0].audioQueue.get()); }));
    PushAudio(1, nullptr, 3333, 320);  // before its first header: dropped
    PushAudio(1, &header, 2222, 320);
    sound_capture::Grant(640);
    ASSERT_TRUE(sound_capture::WaitPlayed(640, 5000));
    std::vector<uint8_t> played = sound_capture::Played();
    EXPECT_EQ(Sample(played, 0), 2222);
    EXPECT_EQ(Sample(played, 318), 2222);
    EXPECT_EQ(Sample(played, 320), 0);

    // Muted, then another sample rate: the new player starts silent.
    g_mainWindowState.m_bMute = 1;
    header.sampleRate = 16000;
    PushAudio(1, &header, 2222, 640);
    ASSERT_TRUE(Eventually([] { return LiveFormatIs(1, 16000); }));
    sound_capture::Reset();
    sound_capture::Grant(1280);
    ASSERT_TRUE(sound_capture::WaitPlayed(1280, 5000));
    played = sound_capture::Played();
    for (size_t i = 0; i < played.size(); i += 2)
        ASSERT_EQ(Sample(played, i), 0) << "byte " << i;
}

TEST_F(LiveMedia, AnAbsurdAudioHeaderLeavesTheScreenSilent) {
    struct Case {
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
    };
    const Case cases[] = {{0, 8000, 16}, {1, 8000, 4}, {1, 4000000000u, 16}, {65535, 8000, 16}};
    for (const Case& c : cases) {
        AudioStreamHeader header{};
        header.channels = c.channels;
        header.sampleRate = c.rate;
        header.bitsPerSample = c.bits;
        PushAudio(1, &header, 500, 320);
        ASSERT_TRUE(Eventually([&] { return LiveFormatIs(c.channels, c.rate); }));
        std::lock_guard<std::mutex> guard(g_liveAudio.lock);
        EXPECT_EQ(g_liveAudio.player, nullptr);
    }
}

// --- threads ---

std::atomic<int> g_standInsRunning{0};

unsigned StandInThread(void*) {
    g_standInsRunning.fetch_add(1);
    ThreadMessage msg;
    while (GetThreadMessage(&msg, -1) == 1 && msg.message != WM_QUIT) {
    }
    g_standInsRunning.fetch_sub(1);
    return 0;
}

TEST(MediaThreads, AllStartAndStopWithinTheirBoundAndSleepWhileIdle) {
    SetSoundBackend(SOUND_BACKEND_NULL);
    ASSERT_EQ(InitMediaSystem(), 0);
    MediaThreadTable threads;
    threads.recordRoutine = StandInThread;
    threads.supervisorRoutine = StandInThread;
    ASSERT_EQ(StartMediaThreads(&threads), 0);
    int started = 0;
    for (const auto& t : threads.recordThreads)
        started += t.handle != nullptr;
    for (const auto& t : threads.decodeThreads)
        started += t.handle != nullptr;
    started += threads.supervisorThread.handle != nullptr;
    EXPECT_EQ(started, 132);
    EXPECT_TRUE(Eventually([] { return g_standInsRunning.load() == 65; }));
    // No slot shows a channel. 67 decode threads that looked at their queues every few milliseconds would
    // switch well over a thousand times in this interval; sleeping ones hardly at all.
    EXPECT_LT(MeasureIdle(50, 20, 300).switches, 250);
    auto start = std::chrono::steady_clock::now();
    StopMediaThreads(&threads);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
    EXPECT_EQ(g_standInsRunning.load(), 0);
    for (const auto& t : threads.decodeThreads)
        EXPECT_EQ(t.handle, nullptr);
    FreeMediaSystem();
    SetSoundBackend(SOUND_BACKEND_AUTO);
}

TEST(MediaSystem, SlotsStartFreeWithTheirQueuesAndTheParserFindsThem) {
    SetSoundBackend(SOUND_BACKEND_NULL);
    ASSERT_EQ(InitMediaSystem(), 0);
    for (int i = 0; i < SCREEN_SLOT_COUNT; ++i) {
        ScreenSlot& s = g_screenSlots[i];
        EXPECT_EQ(s.device, nullptr);
        EXPECT_EQ(s.channel, -1);
        ASSERT_NE(s.videoQueue, nullptr);
        EXPECT_EQ(s.videoQueue->nodeCount, LIVE_VIDEO_QUEUE_NODES);
        bool grid = i < GRID_SCREEN_COUNT;
        EXPECT_EQ(s.audioQueue != nullptr, grid);
        EXPECT_EQ(s.recordVideoQueue != nullptr, grid);
        EXPECT_EQ(s.recordAudioQueue != nullptr, grid);
        EXPECT_NE(s.decoder, nullptr);
        EXPECT_EQ(GetSlotQueue(i, SLOT_QUEUE_VIDEO), s.videoQueue.get());
        EXPECT_EQ(GetSlotQueue(i, SLOT_QUEUE_RECORD_AUDIO), s.recordAudioQueue.get());
    }
    EXPECT_EQ(g_screenSlots[0].audioQueue->nodeCount, LIVE_AUDIO_QUEUE_NODES);
    EXPECT_EQ(GetSlotQueue(67, SLOT_QUEUE_VIDEO), nullptr);
    EXPECT_EQ(GetSlotQueue(0, SLOT_QUEUE_PLAYBACK_VIDEO), nullptr);
    {
        std::lock_guard<std::mutex> guard(g_liveAudio.lock);
        ASSERT_NE(g_liveAudio.player, nullptr);
        EXPECT_EQ(g_liveAudio.player->BufferSize(), 32000u);
    }
    // The built-in pictures are 352 x 288 when their bitmaps exist, else empty; either way the start holds.
    for (const I420Picture* p : {&g_noVideoImage, &g_idleImage})
        EXPECT_TRUE((p->width == 352 && p->data.size() == I420Size(352, 288)) || p->data.empty());
    FreeMediaSystem();
    EXPECT_EQ(GetSlotQueue(0, SLOT_QUEUE_VIDEO), nullptr);
    EXPECT_EQ(g_screenSlots[0].videoQueue, nullptr);
    SetSoundBackend(SOUND_BACKEND_AUTO);
}

}  // namespace
