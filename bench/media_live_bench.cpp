// The whole live path in steady state against bare libavcodec decoding of the same streams: 64 CIF and
// 16 D1 channels, H.264 (MPEG-4 Part 2 when this libavcodec has no H.264 encoder), each channel paced at
// 25 frames a second as cameras send them.
//
// Ours: the stream frames go through the frame parser (its copy into the queue nodes included) into the
// slots' queues; the media system's decode threads, started once, decode, reduce, border, convert and draw
// into the video window's canvas (the "undrawn" workloads leave the screens hidden: decoded, not drawn).
// Reference: one persistent thread and decoder per channel, each decoding its packets at the same pace. Each
// side's cost is the processor time of the whole process over an interval of the same length (every packet of
// the interval handled); the sides alternate, and the ratio of their medians and the range of the ratios
// over the rounds are reported.

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "bench/bare_decoders.h"
#include "bench/interleaved_rounds.h"
#include "bench/live_frame_feed.h"
#include "bench/live_grid.h"
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

constexpr int kStreamFrames = 50;
constexpr int kTicksPerRound = 50;  // two seconds at 25 frames a second
constexpr int kRounds = 7;
constexpr auto kTick = std::chrono::milliseconds(40);
constexpr int kCanvasWidth = 1920;
constexpr int kCanvasHeight = 1152;
const HWND kVideoWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xB1));

using Clock = std::chrono::steady_clock;

void SleepUntil(Clock::time_point when) {
    std::this_thread::sleep_until(when);
}

struct Workload {
    const char* name;
    int channels;
    int columns;
    int width;
    int height;
    // False: the channels are decoded (and their latest frames kept) but their screens are not shown, so
    // nothing is drawn. What the live path costs besides drawing.
    bool drawn = true;
};

const EncodedStream& StreamFor(int width, int height, int* dvrCodec) {
    static EncodedStream cif, d1;
    static int codec = HaveEncoder("libx264") ? 17 : 16;
    EncodedStream& s = width == 352 ? cif : d1;
    if (s.packets.empty())
        EncodeTestStream(codec == 17 ? "libx264" : "mpeg4", width, height, kStreamFrames, &s, 25, false,
                         true);
    *dvrCodec = codec;
    return s;
}

// The media system with its threads running, a video window canvas and one DVR of 64 channels.
struct LiveSetup {
    DVRDevice* device = nullptr;
    std::shared_ptr<VideoCanvas> canvas = std::make_shared<VideoCanvas>();
    MediaThreadTable threads;
    LiveSetup() {
        SetSoundBackend(SOUND_BACKEND_NULL);
        ImgInitDispatch();
        (void)InitMediaSystem();
        canvas->Resize(kCanvasWidth, kCanvasHeight);
        RegisterWindowCanvas(kVideoWindow, canvas);
        g_renderers[0]->SetWindow(kVideoWindow);
        device = MakeGridDevice();
        (void)StartMediaThreads(&threads);
    }
    // The media system is freed here, before the statics its threads and record storage rely on go.
    ~LiveSetup() {
        StopMediaThreads(&threads);
        FreeMediaSystem();
    }
    void Layout(const Workload& w) {
        int cellW = kCanvasWidth / w.columns, cellH = kCanvasHeight / w.columns;
        ShowGridChannels(device, w.channels, w.drawn, [&](int i) {
            return VideoRect{(i % w.columns) * cellW, (i / w.columns) * cellH, (i % w.columns + 1) * cellW,
                             (i / w.columns + 1) * cellH};
        });
    }
};

LiveSetup& Live() {
    static LiveSetup setup;
    return setup;
}

void SteadyState(benchmark::State& state, Workload w) {
    int dvrCodec = 0;
    const EncodedStream& stream = StreamFor(w.width, w.height, &dvrCodec);
    LiveSetup& live = Live();
    live.Layout(w);
    // What the DVR sends: the stream header once, then the pictures.
    VideoStreamHeader header{w.width, w.height, 2500, dvrCodec};
    std::vector<std::vector<std::vector<uint8_t>>> frames(static_cast<size_t>(w.channels));
    for (int c = 0; c < w.channels; ++c) {
        std::vector<uint8_t> h = LiveVideoFrame(c, &header, 16, nullptr, 0);
        (void)ParseLiveFrame(live.device, h);
        for (const auto& p : stream.packets)
            frames[static_cast<size_t>(c)].push_back(
                LiveVideoFrame(c, nullptr, 0, p.data(), static_cast<uint32_t>(p.size())));
    }
    BareDecoders bare(stream.packets, dvrCodec == 17 ? AV_CODEC_ID_H264 : AV_CODEC_ID_MPEG4, w.channels,
                      kTicksPerRound, kTick);
    size_t next = 0;
    auto oursRound = [&] {
        Clock::time_point start = Clock::now();
        double cpu = ProcessSeconds();
        for (int t = 0; t < kTicksPerRound; ++t, ++next) {
            SleepUntil(start + t * kTick);
            for (int c = 0; c < w.channels; ++c) {
                const auto& f = frames[static_cast<size_t>(c)][next % stream.packets.size()];
                (void)ParseLiveFrame(live.device, f);
            }
        }
        while (!GridQueuesDrained(w.channels))
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        return ProcessSeconds() - cpu;
    };
    auto bareRound = [&] { return bare.TimedRound(); };
    int counted = RunInterleavedRounds(state, kRounds, oursRound, bareRound, "bare_cpu_s");
    state.SetItemsProcessed(static_cast<int64_t>(counted) * w.channels * kTicksPerRound);
    live.Layout(Workload{w.name, 0, w.columns, w.width, w.height});
}

}  // namespace

int main(int argc, char** argv) {
    const Workload workloads[] = {{"live_64cif", 64, 8, 352, 288},
                                  {"live_16d1", 16, 4, 704, 576},
                                  {"live_64cif_undrawn", 64, 8, 352, 288, false},
                                  {"live_16d1_undrawn", 16, 4, 704, 576, false}};
    for (const Workload& w : workloads) {
        benchmark::RegisterBenchmark((std::string(w.name) + "_paced").c_str(), SteadyState, w)
            ->Unit(benchmark::kSecond)
            ->Iterations(1);
    }
    return RunWithRatios(argc, argv);
}
