// Fuzz target: live frames through the frame parser into a grid screen's video queue, and every queued
// picture through the stream header it came with into the decoder, as the screen's decode thread does.
// So hostile stream headers (size, codec number) and payloads reach libavcodec. Checks: a decoded
// picture has a positive even size and its planes.

#include <cstdlib>
#include <memory>

#include "core/window_messages.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/slot_queues.h"
#include "dvr/stream_frame.h"
#include "fuzz/screen_decoder.h"
#include "tests/dvr/fuzz/fuzz_target.h"

namespace {

std::unique_ptr<FrameQueue> g_video;

FrameQueue* Provide(int slot, SlotQueueKind kind) {
    return slot == 0 && kind == SLOT_QUEUE_VIDEO ? g_video.get() : nullptr;
}

DVRDevice* MakeDevice() {
    QuietDecoderLog();
    g_video = std::make_unique<FrameQueue>();
    g_video->Init(8);
    SetSlotQueueProvider(Provide);
    auto* device = new DVRDevice();
    device->commandSocket = -1;
    device->liveSocket = -1;
    device->playbackSocket = -1;
    if (AllocDeviceChannels(device, 2) != 0)
        std::abort();  // the fuzzer cannot run without its two channels
    return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static DVRDevice* device = MakeDevice();
    device->liveFill = 0;
    DVRChannel& channel = device->channels[0];
    channel.flags.store(0);
    channel.viewSlots[0] = 0;
    channel.viewSlots[1] = -1;
    // A fresh screen per input: the first frame's header opens its decoder.
    ScreenDecoder screen;
    size_t at = 0;
    // The input is a run of whole frames, each preceded by its length (2 bytes, little-endian).
    while (at + 2 <= size) {
        size_t length = data[at] | (size_t(data[at + 1]) << 8);
        at += 2;
        if (length > size - at)
            length = size - at;
        ParseStreamFrame(static_cast<int>(length), device, nullptr, CONN_LIVE, data + at);
        at += length;
        FrameNode* node = nullptr;
        while (g_video->PopReady(&node) == 0) {
            screen.Take(node);
            g_video->ReleaseNode(node);
        }
    }
    return 0;
}
