// The live path at the real window's geometry against a reference that draws. Ours: the stream frames go
// through the frame parser into the slots' queues; the decode threads decode and draw into the canvas of a
// real video window (CDlgVideo on the offscreen platform), whose repaints run on this thread's event loop.
// The video window has the size and the screens the cells of the main window's video area for a window
// of 1920 x 1200 or 1280 x 1024 (the grid layout of the main window). Reference: one thread and decoder
// per channel, each scaling its picture to its cell (libyuv I420Scale, no filtering) and converting it
// into a canvas of the same size (I420ToARGB). Both sides at 25 pictures a second per channel; the pictures
// are the simulated DVR's (its MPEG-4 group of pictures) or the test stream (H.264 where this libavcodec
// encodes it). Each side's cost is the process's processor time over a round; the sides alternate, and the
// ratio of their medians and the range of the per-round ratios are reported.

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <pthread.h>

#include <QApplication>
#include <QEventLoop>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/bare_decoders.h"
#include "bench/interleaved_rounds.h"
#include "bench/live_frame_feed.h"
#include "bench/live_grid.h"
#include "bench/ratio_reporter.h"
#include "dvr/dvr_session.h"
#include "dvr/stream_headers.h"
#include "media/media_system.h"
#include "media/pixel_routines.h"
#include "media/video_renderer.h"
#include "platform/audio/sound_buffer.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/win_app.h"
#include "tests/media/test_streams.h"
#include "tools/dvrsim/video_source.h"
#include "ui/client_resources.h"
#include "ui/controls/dlg_video.h"
#include "ui/screen_grid.h"

namespace {

constexpr int kRounds = 5;
constexpr int kTicksPerRound = 50;  // rounds of two seconds at 25 pictures a second
constexpr auto kTick = std::chrono::milliseconds(40);
constexpr int kStreamFrames = 50;

using Clock = std::chrono::steady_clock;

struct Workload {
    int windowWidth;
    int windowHeight;
    int channels;  // on as many screens
    int width;     // picture size
    int height;
    bool simStream;  // the simulated DVR's pictures, else the test stream
};

struct Stream {
    BareDecoders::Packets packets;
    int dvrCodec = 0;
};

const Stream& StreamFor(const Workload& w) {
    static std::map<std::tuple<bool, int, int>, Stream> streams;
    Stream& s = streams[{w.simStream, w.width, w.height}];
    if (!s.packets.empty())
        return s;
    if (w.simStream) {
        auto gop = dvrsim::GetEncodedGop(dvrsim::kCodecMpeg4, w.width, w.height, 25);
        for (const auto& p : gop->pictures)
            s.packets.emplace_back(p.bytes.begin(), p.bytes.end());
        s.dvrCodec = dvrsim::kCodecMpeg4;
        return s;
    }
    bool h264 = HaveEncoder("libx264");
    EncodedStream encoded;
    EncodeTestStream(h264 ? "libx264" : "mpeg4", w.width, w.height, kStreamFrames, &encoded, 25, false, true);
    s.packets = encoded.packets;
    s.dvrCodec = h264 ? 17 : 16;
    return s;
}

// The video window and its cells for a main window of the workload's size.
struct Geometry {
    int width = 0;
    int height = 0;
    std::vector<VideoRect> cells;
};

Geometry GeometryFor(const Workload& w) {
    RECT window{0, 0, w.windowWidth, w.windowHeight};
    RECT area = GridVideoArea(window, false, w.windowWidth, w.windowHeight);
    RECT cells[GRID_SCREENS];
    int n = GridLayoutCells(w.channels, area, cells);
    Geometry g;
    g.width = area.right - area.left;
    g.height = area.bottom - area.top;
    for (int i = 0; i < n; ++i)
        g.cells.push_back(VideoRect{cells[i].left - area.left, cells[i].top - area.top,
                                    cells[i].right - area.left, cells[i].bottom - area.top});
    return g;
}

// The media system with its threads, the video window and one DVR of 64 channels.
struct WindowSetup {
    DVRDevice* device = nullptr;
    MediaThreadTable threads;
    std::unique_ptr<CDlgVideo> video;
    WindowSetup() {
        SetSoundBackend(SOUND_BACKEND_NULL);
        ImgInitDispatch();
        (void)InitMediaSystem();
        video = std::make_unique<CDlgVideo>(nullptr, 0);
        if (!video->Create(CDlgVideo::IDD, nullptr))
            std::abort();
        device = MakeGridDevice();
        (void)StartMediaThreads(&threads);
    }
    ~WindowSetup() {
        StopMediaThreads(&threads);
        FreeMediaSystem();
        video->DestroyWindow();
    }
    void Place(const Geometry& g) {
        video->MoveWindow(0, 0, g.width, g.height);
        video->ShowWindow(SW_SHOW);
        QCoreApplication::processEvents();
        g_renderers[0]->SetWindow(video->m_hWnd);
    }
    void Layout(const Geometry& g, int channels) {
        ShowGridChannels(device, channels, true, [&](int i) { return g.cells[static_cast<size_t>(i)]; });
    }
};

// Made at the first workload, ended before the application.
std::unique_ptr<WindowSetup> g_setup;

WindowSetup& Setup() {
    if (!g_setup)
        g_setup = std::make_unique<WindowSetup>();
    return *g_setup;
}

void SteadyState(benchmark::State& state, Workload w) {
    const Stream& stream = StreamFor(w);
    Geometry geometry = GeometryFor(w);
    WindowSetup& setup = Setup();
    setup.Place(geometry);
    setup.Layout(geometry, w.channels);
    VideoStreamHeader header{w.width, w.height, 2500, stream.dvrCodec};
    std::vector<std::vector<std::vector<uint8_t>>> frames(static_cast<size_t>(w.channels));
    for (int c = 0; c < w.channels; ++c) {
        std::vector<uint8_t> h = LiveVideoFrame(c, &header, 16, nullptr, 0);
        (void)ParseLiveFrame(setup.device, h);
        for (const auto& p : stream.packets)
            frames[static_cast<size_t>(c)].push_back(
                LiveVideoFrame(c, nullptr, 0, p.data(), static_cast<uint32_t>(p.size())));
    }
    std::vector<uint32_t> referenceCanvas(static_cast<size_t>(geometry.width) * geometry.height);
    BareDisplay display;
    display.canvas = reinterpret_cast<uint8_t*>(referenceCanvas.data());
    display.stride = geometry.width * 4;
    for (const VideoRect& r : geometry.cells)
        display.cells.push_back(BareDisplay::Cell{r.left, r.top, r.right - r.left, r.bottom - r.top});
    BareDecoders bare(stream.packets, stream.dvrCodec == 17 ? AV_CODEC_ID_H264 : AV_CODEC_ID_MPEG4,
                      w.channels, kTicksPerRound, kTick, &display);
    size_t next = 0;
    auto oursRound = [&] {
        Clock::time_point start = Clock::now();
        double cpu = ProcessSeconds();
        std::atomic<bool> fed{false};
        // The frames come in on another thread (as from the sessions' receive threads); this thread runs
        // the window's event loop meanwhile, which repaints what the decode threads draw.
        std::thread feeder([&] {
            pthread_setname_np(pthread_self(), "feeder");
            for (int t = 0; t < kTicksPerRound; ++t) {
                std::this_thread::sleep_until(start + t * kTick);
                for (int c = 0; c < w.channels; ++c)
                    (void)ParseLiveFrame(setup.device,
                                         frames[static_cast<size_t>(c)][(next + t) % stream.packets.size()]);
            }
            fed.store(true);
            QMetaObject::invokeMethod(
                qApp, [] {}, Qt::QueuedConnection);  // wakes the event loop
        });
        while (!fed.load())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        feeder.join();
        next += kTicksPerRound;
        while (!GridQueuesDrained(w.channels)) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        QCoreApplication::processEvents();
        return ProcessSeconds() - cpu;
    };
    auto bareRound = [&] { return bare.TimedRound(); };
    (void)RunInterleavedRounds(state, kRounds, oursRound, bareRound, "ref_cpu_s");
    setup.Layout(geometry, 0);
}

std::string NameOf(const Workload& w) {
    std::string size = w.width == 352 ? "cif" : "d1";
    return "window_" + std::to_string(w.windowWidth) + "x" + std::to_string(w.windowHeight) + "/" +
           std::to_string(w.channels) + size + "/" + (w.simStream ? "sim" : "test") + "_stream";
}

// The reference alone, for the whole-process comparison: channels CIF channels of the simulated DVR's
// pictures in the cells of a 1920 x 1200 window, rounds of two seconds; prints the median share of a core.
int ReferenceCpu(int channels) {
    Workload w{1920, 1200, channels, 352, 288, true};
    const Stream& stream = StreamFor(w);
    Geometry geometry = GeometryFor(w);
    std::vector<uint32_t> canvas(static_cast<size_t>(geometry.width) * geometry.height);
    BareDisplay display;
    display.canvas = reinterpret_cast<uint8_t*>(canvas.data());
    display.stride = geometry.width * 4;
    for (const VideoRect& r : geometry.cells)
        display.cells.push_back(BareDisplay::Cell{r.left, r.top, r.right - r.left, r.bottom - r.top});
    BareDecoders bare(stream.packets, AV_CODEC_ID_MPEG4, channels, kTicksPerRound, kTick, &display);
    (void)bare.TimedRound();
    std::vector<double> shares;
    for (int r = 0; r < kRounds; ++r)
        shares.push_back(100.0 * bare.TimedRound() / (kTicksPerRound * 0.04));
    auto [low, high] = std::minmax_element(shares.begin(), shares.end());
    std::printf("reference %d cif: %.2f %% of a core (median of %d rounds of 2 s, %.2f - %.2f)\n", channels,
                Median(shares), kRounds, *low, *high);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // --reference-cpu CHANNELS: only the reference, as the whole-process run compares against it.
    if (argc == 3 && std::string(argv[1]) == "--reference-cpu")
        return ReferenceCpu(std::atoi(argv[2]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallClientResources();
    InstallWindowMessageLoop();
    CWinApp windowApp;
    std::vector<Workload> workloads;
    for (bool sim : {true, false}) {
        for (auto [ww, wh] : {std::pair{1920, 1200}, {1280, 1024}}) {
            for (int channels : {4, 16, 64})
                workloads.push_back(Workload{ww, wh, channels, 352, 288, sim});
            workloads.push_back(Workload{ww, wh, 16, 704, 576, sim});
        }
    }
    for (const Workload& w : workloads) {
        benchmark::RegisterBenchmark(NameOf(w).c_str(), SteadyState, w)
            ->Unit(benchmark::kSecond)
            ->Iterations(1);
    }
    int result = RunWithRatios(argc, argv);
    g_setup.reset();
    RemoveWindowMessageLoop();
    return result;
}
