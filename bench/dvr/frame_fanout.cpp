// Cost of one live picture fanned out by the frame parser to a grid screen, three previews and the
// recorder, against plain copies of the same payload into the same number of buffers.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "dvr/dvr_device.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/slot_queues.h"
#include "dvr/stream_frame.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

FrameQueue g_queues[5];

FrameQueue* Provide(int slot, SlotQueueKind kind) {
    if (kind == SLOT_QUEUE_VIDEO && slot == 0)
        return &g_queues[0];
    if (kind == SLOT_QUEUE_VIDEO && slot >= 64 && slot <= 66)
        return &g_queues[slot - 63];
    if (kind == SLOT_QUEUE_RECORD_VIDEO && slot == 0)
        return &g_queues[4];
    return nullptr;
}

void BM_FanOutPicture(benchmark::State& state) {
    for (FrameQueue& queue : g_queues)
        queue.Init(LIVE_VIDEO_QUEUE_NODES);
    SetSlotQueueProvider(Provide);
    auto* device = new DVRDevice();
    if (AllocDeviceChannels(device, 1) != 0)
        std::abort();
    DVRChannel& channel = device->channels[0];
    channel.viewSlots[0] = 0;
    channel.viewSlots[1] = 64;
    channel.viewSlots[2] = 65;
    channel.viewSlots[3] = 66;
    channel.flags.fetch_or(CHANNEL_FLAG_RECORD_WANTED);
    std::string frame = dvrsim::DvrSim::Frame(0x1FE, 0, "", std::string(state.range(0), 'p'));
    for (auto _ : state) {
        ParseStreamFrame(static_cast<int>(frame.size()), device, nullptr, CONN_LIVE,
                         reinterpret_cast<const uint8_t*>(frame.data()));
        for (FrameQueue& queue : g_queues) {
            FrameNode* node = nullptr;
            while (queue.PopReady(&node) == 0)
                queue.ReleaseNode(node);
        }
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    SetSlotQueueProvider(nullptr);
    FreeDeviceChannels(device);
    delete device;
    for (FrameQueue& queue : g_queues)
        queue.Destroy();
}
BENCHMARK(BM_FanOutPicture)->Arg(8 * 1024)->Arg(64 * 1024)->Arg(256 * 1024);

// Reference: five copies of the payload into buffers that already have room.
void BM_FiveCopies(benchmark::State& state) {
    std::string payload(state.range(0), 'p');
    std::vector<std::vector<char>> targets(5, std::vector<char>(payload.size()));
    for (auto _ : state) {
        for (auto& target : targets)
            std::memcpy(target.data(), payload.data(), payload.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FiveCopies)->Arg(8 * 1024)->Arg(64 * 1024)->Arg(256 * 1024);

}  // namespace

BENCHMARK_MAIN();
