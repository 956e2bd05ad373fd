// The real main window with 64 channels streaming from four simulated DVRs (16 CIF MPEG-4 channels each,
// 25 frames a second, each simulator its own dvrsim process so that its encoding is not counted) into its
// grid, on the offscreen platform. While the operator pages and switches the
// screen count (one action every 100 ms), a 5 ms UI-thread tick measures how late the UI thread runs:
// the longest stall and the 99th percentile of the lateness. The whole process's CPU time per second of
// the same interval is reported beside it, with the grid open (the window) and with every screen closed
// (the same sessions and threads, nothing decoded or drawn). The reference is bare libavcodec decoding of
// the same pictures the simulators send (their encoded group of pictures), 64 threads at 25 frames a
// second, measured in this process before the window opens and again after it closed.

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "bench/bare_decoders.h"
#include "bench/ui/offscreen_window_bench.h"
#include "dvr/dvr_session.h"
#include "media/pixel_routines.h"
#include "media/screen_slot.h"
#include "platform/audio/sound_buffer.h"
#include "tests/ui/main_window_home.h"
#include "tools/dvrsim/video_source.h"
#include "ui/main_window.h"

namespace {

constexpr int kDvrs = 4;
constexpr int kChannelsPerDvr = 16;
constexpr int kMeasureMs = 6000;
constexpr int kTickMs = 5;
constexpr int kActionMs = 100;

double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

constexpr int kFramesPerSecond = 25;

// Process CPU seconds per second of bare decoding of the simulators' pictures on every channel, over an
// interval as long as the window's.
double BareDecodingCpuPerSecond() {
    std::shared_ptr<const dvrsim::EncodedGop> gop =
        dvrsim::GetEncodedGop(dvrsim::kCodecMpeg4, 352, 288, kFramesPerSecond);
    if (gop == nullptr || gop->pictures.empty())
        return 0;
    BareDecoders::Packets packets;
    for (const dvrsim::EncodedPicture& picture : gop->pictures)
        packets.emplace_back(picture.bytes.begin(), picture.bytes.end());
    const auto tick = std::chrono::milliseconds(1000 / kFramesPerSecond);
    const int ticks = kMeasureMs / static_cast<int>(tick.count());
    BareDecoders bare(packets, AV_CODEC_ID_MPEG4, kDvrs * kChannelsPerDvr, ticks, tick);
    // One second to open the decoders and reach the steady state, not counted.
    BareDecoders warm(packets, AV_CODEC_ID_MPEG4, kDvrs * kChannelsPerDvr, kFramesPerSecond, tick);
    warm.Round(BareDecoders::Clock::now(), 0);
    double cpu0 = ProcessSeconds();
    bare.Round(BareDecoders::Clock::now(), 0);
    return (ProcessSeconds() - cpu0) / (kMeasureMs / 1000.0);
}

struct Lateness {
    double maxMs = 0;
    double p99Ms = 0;
    double cpuPerSecond = 0;
};

// Runs the loop for kMeasureMs with the tick and, when act, the operator's actions; returns the lateness
// of the ticks and the process CPU per second.
Lateness Measure(CTarvikDlg& window, bool act) {
    LatenessTick tick(kTickMs);
    const int counts[] = {4, 9, 16, 25, 36, 49, 64, 1, 6, 8};
    int step = 0;
    QTimer action;
    QObject::connect(&action, &QTimer::timeout, [&] {
        if (!act)
            return;
        if (step % 3 == 2) {
            int index = (step / 3) % static_cast<int>(std::size(counts));
            window.m_grid.m_nFirstScreen = 0;
            window.LayoutScreens(0, counts[index], FALSE);
        } else {
            window.NextPage();
        }
        ++step;
    });
    action.start(kActionMs);
    double cpu0 = ProcessSeconds();
    Pump(kMeasureMs);
    double cpu1 = ProcessSeconds();
    action.stop();
    Lateness result;
    tick.Stop(&result.maxMs, &result.p99Ms);
    result.cpuPerSecond = (cpu1 - cpu0) / (kMeasureMs / 1000.0);
    return result;
}

void MainWindow64Channels(benchmark::State& state) {
    SetSoundBackend(SOUND_BACKEND_NULL);
    ImgInitDispatch();
    const double bareBefore = BareDecodingCpuPerSecond();
    std::vector<std::unique_ptr<QProcess>> sims;
    std::vector<HomeDvr> dvrs;
    for (int d = 0; d < kDvrs; ++d) {
        sims.push_back(std::make_unique<QProcess>());
        QProcess& sim = *sims.back();
        sim.start(QStringLiteral(DVRSIM_BINARY), {"--port", "0", "--user", "admin:", "--channels",
                                                  QString::number(kChannelsPerDvr), "--fps", "25"});
        // It names its port on its first line.
        QByteArray line;
        for (int i = 0; i < 50 && !line.contains('\n'); ++i) {
            sim.waitForReadyRead(100);
            line += sim.readAllStandardOutput();
        }
        uint16_t port = static_cast<uint16_t>(line.mid(line.lastIndexOf(':') + 1).trimmed().toUInt());
        if (port == 0) {
            state.SkipWithError("simulator did not start");
            return;
        }
        dvrs.push_back(HomeDvr{d + 1, QStringLiteral("DVR %1").arg(d + 1), port});
    }
    QTemporaryDir folder;
    if (!PrepareMainWindowHome(folder.path() + QStringLiteral("/"), dvrs, {})) {
        state.SkipWithError("program folder");
        return;
    }
    CTarvikDlg window;
    if (!ShowMainWindow(window, state))
        return;
    // Every session online with its channels, then all 64 on the grid.
    QElapsedTimer waited;
    waited.start();
    auto channelsKnown = [] {
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        int n = 0;
        for (DVRDevice* d = g_deviceList; d != nullptr; d = d->next)
            n += d->channelCount.load();
        return n;
    };
    while (channelsKnown() < kDvrs * kChannelsPerDvr && waited.elapsed() < 20000)
        Pump(50);
    window.OpenAllChannels();
    Pump(2000);

    for (auto _ : state) {
        Lateness idle = Measure(window, false);
        Lateness acting = Measure(window, true);
        window.CloseAllChannels();
        Pump(1000);
        Lateness closed = Measure(window, false);
        state.counters["stall_max_ms"] = acting.maxMs;
        state.counters["stall_p99_ms"] = acting.p99Ms;
        state.counters["steady_stall_max_ms"] = idle.maxMs;
        state.counters["steady_stall_p99_ms"] = idle.p99Ms;
        state.counters["cpu_s_per_s_grid"] = idle.cpuPerSecond;
        state.counters["cpu_s_per_s_paging"] = acting.cpuPerSecond;
        state.counters["cpu_s_per_s_closed"] = closed.cpuPerSecond;
    }
    window.DestroyWindow();
    AfxGetApp()->m_pMainWnd = nullptr;
    for (auto& sim : sims) {
        sim->kill();
        sim->waitForFinished(2000);
    }
    const double bareAfter = BareDecodingCpuPerSecond();
    const double bare = (bareBefore + bareAfter) / 2;
    state.counters["bare_cpu_s_per_s_before"] = bareBefore;
    state.counters["bare_cpu_s_per_s_after"] = bareAfter;
    if (bare > 0)
        state.counters["grid_to_bare"] = state.counters["cpu_s_per_s_grid"] / bare;
    SetSoundBackend(SOUND_BACKEND_AUTO);
}

}  // namespace

int main(int argc, char** argv) {
    return RunOffscreenWindowBenchmark(argc, argv, "main_window_64_channels", MainWindow64Channels);
}
