// CPU used by many connected, idle DVR sessions (with the simulator that serves them in the same
// process): the threads sleep in poll on their sockets and stop descriptors, so the figure stays near 0.
// stop_all_ms: the time FreeDeviceList takes to stop them all.

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <thread>
#include <vector>

#include "bench/dvr/bench_session.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void BM_IdleSessions(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    dvrsim::DvrSim sim(TextOnlySimConfig(4));
    if (sim.Start() != 0) {
        state.SkipWithError("no loopback port");
        return;
    }
    InitDeviceList();
    if (StartSupervisorThread() != 0)
        std::abort();
    std::vector<DeviceTreeNode*> nodes;
    std::vector<DVRDevice*> devices;
    for (int i = 0; i < count; ++i) {
        nodes.push_back(LoopbackNode(sim.Port()));
        auto* device = new DVRDevice();
        device->node = nodes.back();
        if (StartDeviceSession(device) != 0)
            std::abort();
        AppendDevice(device);
        devices.push_back(device);
    }
    bool online = true;
    for (DVRDevice* device : devices)
        online = online && WaitForFlags(device, kSessionOnline, 30000);
    if (!online)
        state.SkipWithError("sessions did not come online");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let the start-up settle
    for (auto _ : state) {
        double cpuBefore = ProcessCpuSeconds();
        auto wallBefore = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        double cpu = ProcessCpuSeconds() - cpuBefore;
        state.SetIterationTime(wall);
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
    }
    StopSupervisorThread();
    // How long stopping every online session takes (each thread leaves within one turn of its loop).
    auto stopBefore = std::chrono::steady_clock::now();
    FreeDeviceList();
    state.counters["stop_all_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - stopBefore).count();
    for (DeviceTreeNode* node : nodes)
        std::free(node);
}
BENCHMARK(BM_IdleSessions)->Arg(64)->Arg(256)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
