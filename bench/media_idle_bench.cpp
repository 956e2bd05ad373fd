// The client at rest: sessions logged in to 64 simulated DVRs, the media threads running, nothing on
// screen. The simulated DVRs run in a child process, so the processor time measured is the client's
// alone; it is reported as the share of one core over intervals of two seconds (median, range and mean).

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

#include "bench/ratio_reporter.h"
#include "dvr/dvr_session.h"
#include "media/media_system.h"
#include "media/pixel_routines.h"
#include "platform/audio/sound_buffer.h"
#include "tests/media/live_view_support.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"

namespace {

constexpr int kDvrs = 64;
constexpr int kIntervals = 5;
constexpr auto kInterval = std::chrono::seconds(2);

double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The child: 64 simulated DVRs on loopback; their ports go up the pipe, and they run until the parent
// closes its end of the other pipe.
[[noreturn]] void RunSimulators(int portsOut, int quitIn) {
    std::vector<std::unique_ptr<dvrsim::DvrSim>> sims;
    for (int i = 0; i < kDvrs; ++i) {
        dvrsim::SimConfig config;
        config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
        for (int c = 0; c < 4; ++c)
            config.channels.push_back(dvrsim::SimChannel{"Camera", dvrsim::kCodecMpeg4, 352, 288});
        sims.push_back(std::make_unique<dvrsim::DvrSim>(config));
        uint16_t port = sims.back()->Start() == 0 ? sims.back()->Port() : 0;
        if (write(portsOut, &port, sizeof port) != sizeof port)
            _exit(1);
    }
    close(portsOut);
    char byte = 0;
    while (read(quitIn, &byte, 1) > 0) {
    }
    for (auto& sim : sims)
        sim->Stop();
    _exit(0);
}

std::vector<uint16_t> g_ports;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void IdleClient(benchmark::State& state) {
    SetSoundBackend(SOUND_BACKEND_NULL);
    ImgInitDispatch();
    if (InitMediaSystem() != 0) {
        state.SkipWithError("the media system did not start");
        return;
    }
    MediaThreadTable threads;
    threads.supervisorRoutine = SupervisorThreadProc;
    (void)StartMediaThreads(&threads);
    std::vector<DeviceTreeNode*> nodes;
    std::vector<DVRDevice*> devices;
    for (size_t i = 0; i < g_ports.size(); ++i) {
        nodes.push_back(live_view::MakeDvrNode(static_cast<int>(i) + 1, g_ports[i]));
        devices.push_back(live_view::StartSession(nodes.back()));
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    auto online = [&] {
        return std::all_of(devices.begin(), devices.end(),
                           [](DVRDevice* d) { return live_view::IsOnline(d); });
    };
    while (!online() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int loggedIn = static_cast<int>(std::count_if(devices.begin(), devices.end(), live_view::IsOnline));
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the log-in traffic settles
    std::vector<double> shares;
    for (auto _ : state) {
        for (int i = 0; i < kIntervals; ++i) {
            auto start = std::chrono::steady_clock::now();
            double cpu = ProcessSeconds();
            std::this_thread::sleep_for(kInterval);
            double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            shares.push_back(100.0 * (ProcessSeconds() - cpu) / wall);
        }
    }
    state.counters["dvrs_online"] = loggedIn;
    state.counters["core_pct_median"] = Median(shares);
    // The intervals together span one keep-alive period (10 s), so the mean includes its round trip once.
    state.counters["core_pct_mean"] = std::accumulate(shares.begin(), shares.end(), 0.0) / shares.size();
    state.counters["core_pct_min"] = *std::min_element(shares.begin(), shares.end());
    state.counters["core_pct_max"] = *std::max_element(shares.begin(), shares.end());
    StopMediaThreads(&threads);
    FreeMediaSystem();
    for (DeviceTreeNode* node : nodes)
        std::free(node);
}

}  // namespace

int main(int argc, char** argv) {
    // The simulators' process is made before this one starts any thread.
    int ports[2], quit[2];
    if (pipe(ports) != 0 || pipe(quit) != 0)
        return 1;
    pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        close(ports[0]);
        close(quit[1]);
        RunSimulators(ports[1], quit[0]);
    }
    close(ports[1]);
    close(quit[0]);
    for (int i = 0; i < kDvrs; ++i) {
        uint16_t port = 0;
        if (read(ports[0], &port, sizeof port) != sizeof port || port == 0)
            break;
        g_ports.push_back(port);
    }
    close(ports[0]);
    benchmark::RegisterBenchmark("idle_64_dvrs", IdleClient)->Unit(benchmark::kSecond)->Iterations(1);
    int result = RunWithRatios(argc, argv);
    close(quit[1]);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}
