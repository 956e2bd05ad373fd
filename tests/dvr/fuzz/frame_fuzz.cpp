// Fuzz target: received live and playback bytes, cut into frames and parsed into the slots' queues.

#include <memory>

#include "dvr/dvr_device.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/receive_path.h"
#include "dvr/session_hooks.h"
#include "dvr/slot_queues.h"
#include "dvr/stream_frame.h"
#include "tests/dvr/fuzz/fuzz_target.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

constexpr int kKinds = SLOT_QUEUE_PLAYBACK_AUDIO + 1;
std::unique_ptr<FrameQueue> g_queues[2][kKinds];

FrameQueue* Provide(int slot, SlotQueueKind kind) {
    if (slot == 0 || slot == 64)
        return g_queues[slot == 0 ? 0 : 1][kind].get();
    return nullptr;
}

void Setup() {
    static bool done = false;
    if (done)
        return;
    done = true;
    for (auto& row : g_queues) {
        for (auto& queue : row) {
            queue = std::make_unique<FrameQueue>();
            queue->Init(4);
        }
    }
    SetSlotQueueProvider(Provide);
    static DvrSessionHooks hooks;
    hooks.playbackOpen = [] { return true; };
    SetDvrSessionHooks(&hooks);
}

void DrainQueues() {
    for (auto& row : g_queues) {
        for (auto& queue : row) {
            FrameNode* node = nullptr;
            while (queue->PopReady(&node) == 0)
                queue->ReleaseNode(node);
        }
    }
}

}  // namespace

std::vector<std::string> FuzzSeeds() {
    using dvrsim::DvrSim;
    std::string header(16, '\x10');
    return {
        DvrSim::Frame(0x1FE, 0, header, "") + DvrSim::Frame(0x1FE, 0, "", "picture"),
        DvrSim::Frame(0x0FE, 1, header, "") + DvrSim::Frame(0x0FE, 1, "", "pcm"),
        DvrSim::Frame(0x2FE, 0, "", "131075 4 \r\n\r\n"),
        DvrSim::Frame(0x1FE, 3, "", "x", false) + DvrSim::Frame(0x1FE, 2, "", "y"),
        DvrSim::Frame(0x1FE, 0, std::string(40, 'e'), "long header"),
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Setup();
    // One device for every input: its 2 MB stream buffers are made once, each input starts with them empty.
    static DVRDevice* device = [] {
        auto* made = new DVRDevice();
        made->commandSocket = -1;
        made->liveSocket = -1;
        made->playbackSocket = -1;
        if (AllocDeviceChannels(made, 4) != 0)
            std::abort();
        return made;
    }();
    device->liveFill = 0;
    device->playbackFill = 0;
    for (int i = 0; i < 4; ++i) {
        DVRChannel& channel = device->channels[i];
        channel.flags.store(i == 1 ? CHANNEL_FLAG_RECORD_WANTED : 0);
        channel.viewSlots[0] = i < 2 ? 0 : -1;
        channel.viewSlots[1] = i == 0 ? 64 : -1;
    }
    ParseStreamFrame(static_cast<int>(size), device, nullptr, CONN_LIVE, data);
    SplitReceivedData(CONN_LIVE, static_cast<int>(size), data, device, nullptr);
    SplitReceivedData(CONN_PLAYBACK, static_cast<int>(size), data, device, nullptr);
    DrainQueues();
    return 0;
}
