// The whole live path (frame queue, decode thread, decoder, conversion, stretch blit into the video
// window's canvas) against bare libavcodec decoding of the same streams on as many threads: 64 CIF and
// 16 D1 channels, H.264 (MPEG-4 Part 2 when this libavcodec has no H.264 encoder). Times are processor
// time of the whole process per run.

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <time.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/ratio_reporter.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"
#include "dvr/stream_headers.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "media/pixel_routines.h"
#include "media/video_decoder.h"
#include "media/video_renderer.h"
#include "platform/audio/sound_buffer.h"
#include "tests/media/test_streams.h"

namespace {

// The cost of a run is the processor time the whole process spends on it (all threads), so that other
// work on the machine does not count.
double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

constexpr int kFrames = 50;
constexpr int kCanvasWidth = 1920;
constexpr int kCanvasHeight = 1152;
const HWND kVideoWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xB1));

struct Workload {
    const char* name;
    int channels;
    int columns;
    int width;
    int height;
};

const EncodedStream& StreamFor(int width, int height, int* dvrCodec) {
    static EncodedStream cif, d1;
    static int codec = HaveEncoder("libx264") ? 17 : 16;
    EncodedStream& s = width == 352 ? cif : d1;
    if (s.packets.empty())
        EncodeTestStream(codec == 17 ? "libx264" : "mpeg4", width, height, kFrames, &s, 25, false, true);
    *dvrCodec = codec;
    return s;
}

// Bare decoding: one libavcodec decoder per channel, each on its own thread.
void DecodeBare(const EncodedStream& stream, int codecId) {
    const AVCodec* codec = avcodec_find_decoder(static_cast<AVCodecID>(codecId));
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->thread_count = 1;
    avcodec_open2(context, codec, nullptr);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    for (const auto& p : stream.packets) {
        packet->data = const_cast<uint8_t*>(p.data());
        packet->size = static_cast<int>(p.size());
        avcodec_send_packet(context, packet);
        while (avcodec_receive_frame(context, frame) == 0) {
        }
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
}

void BareDecoding(benchmark::State& state, Workload w) {
    int dvrCodec = 0;
    const EncodedStream& stream = StreamFor(w.width, w.height, &dvrCodec);
    for (auto _ : state) {
        double start = ProcessSeconds();
        std::vector<std::thread> threads;
        for (int c = 0; c < w.channels; ++c)
            threads.emplace_back([&] { DecodeBare(stream, DecoderCodecId(dvrCodec)); });
        for (auto& t : threads)
            t.join();
        state.SetIterationTime(ProcessSeconds() - start);
    }
    state.SetItemsProcessed(state.iterations() * w.channels * kFrames);
}

// The media system with a video window canvas and one DVR whose channels fill the grid.
struct LiveSetup {
    DVRDevice* device = nullptr;
    std::shared_ptr<VideoCanvas> canvas = std::make_shared<VideoCanvas>();
    LiveSetup() {
        SetSoundBackend(SOUND_BACKEND_NULL);
        ImgInitDispatch();
        InitMediaSystem();
        canvas->Resize(kCanvasWidth, kCanvasHeight);
        RegisterWindowCanvas(kVideoWindow, canvas);
        g_renderers[0]->SetWindow(kVideoWindow);
        device = new DVRDevice();
        if (AllocDeviceChannels(device, GRID_SCREEN_COUNT) != 0)
            std::abort();
    }
    void Layout(const Workload& w) {
        int cellW = kCanvasWidth / w.columns, cellH = kCanvasHeight / w.columns;
        for (int i = 0; i < GRID_SCREEN_COUNT; ++i) {
            bool used = i < w.channels;
            g_mainWindowState.m_bScreenShown[i] = used;
            g_mainWindowState.SetScreenRect(
                i, VideoRect{(i % w.columns) * cellW, (i / w.columns) * cellH, (i % w.columns + 1) * cellW,
                             (i / w.columns + 1) * cellH});
            if (!used || AssignSlotChannel(i, device, i) != 0)
                ReleaseSlot(i);
        }
    }
};

LiveSetup& Live() {
    static LiveSetup setup;
    return setup;
}

bool AllNodesFree(int channels) {
    for (int i = 0; i < channels; ++i) {
        FrameQueue* q = g_screenSlots[i].videoQueue.get();
        std::lock_guard<std::mutex> guard(q->lock);
        int free = 0;
        for (FrameNode* n = q->freeHead; n != nullptr; n = n->next)
            ++free;
        if (free != q->nodeCount)
            return false;
    }
    return true;
}

void LivePath(benchmark::State& state, Workload w) {
    int dvrCodec = 0;
    const EncodedStream& stream = StreamFor(w.width, w.height, &dvrCodec);
    LiveSetup& live = Live();
    live.Layout(w);
    VideoStreamHeader header{w.width, w.height, 2500, dvrCodec};
    for (auto _ : state) {
        // The frame parser's part: every packet queued before the threads start.
        for (int c = 0; c < w.channels; ++c) {
            FrameQueue* q = g_screenSlots[c].videoQueue.get();
            for (size_t i = 0; i < stream.packets.size(); ++i) {
                FrameNode* node = nullptr;
                q->GetFreeNode(&node);
                if (i == 0)
                    q->SetNodeHeader(node, 16, &header);
                q->SetNodePayload(node, static_cast<uint32_t>(stream.packets[i].size()),
                                  stream.packets[i].data());
                q->PushReady(node);
            }
        }
        MediaThreadTable threads;
        double start = ProcessSeconds();
        StartMediaThreads(&threads);
        while (!AllNodesFree(w.channels))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        state.SetIterationTime(ProcessSeconds() - start);
        StopMediaThreads(&threads);
    }
    state.SetItemsProcessed(state.iterations() * w.channels * kFrames);
}

}  // namespace

int main(int argc, char** argv) {
    const Workload workloads[] = {{"live_64cif", 64, 8, 352, 288}, {"live_16d1", 16, 4, 704, 576}};
    for (const Workload& w : workloads) {
        benchmark::RegisterBenchmark((std::string(w.name) + "/ours").c_str(), LivePath, w)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
        benchmark::RegisterBenchmark((std::string(w.name) + "/reference").c_str(), BareDecoding, w)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    return RunWithRatios(argc, argv);
}
