// Time from starting a session to logged in, and to the end of its start-up steps (bound, channel list,
// system parameters), against the simulated DVR on loopback.

#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/dvr/bench_session.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

void RunUntil(benchmark::State& state, uint32_t mask) {
    dvrsim::DvrSim sim(TextOnlySimConfig(16));
    if (sim.Start() != 0) {
        state.SkipWithError("no loopback port");
        return;
    }
    DeviceTreeNode* node = LoopbackNode(sim.Port());
    InitDeviceList();
    for (auto _ : state) {
        auto* device = new DVRDevice();
        device->node = node;
        auto start = std::chrono::steady_clock::now();
        if (StartDeviceSession(device) != 0)
            std::abort();
        bool done = WaitForFlags(device, mask, 10000);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        StopDeviceSession(device);
        delete device;
        if (!done) {
            state.SkipWithError("the session did not get there");
            break;
        }
    }
    std::free(node);
}

void BM_StartToLoggedIn(benchmark::State& state) {
    RunUntil(state, DEVICE_FLAG_LOGGED_IN);
}
BENCHMARK(BM_StartToLoggedIn)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_StartToOnline(benchmark::State& state) {
    RunUntil(state, kSessionOnline);
}
BENCHMARK(BM_StartToOnline)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
