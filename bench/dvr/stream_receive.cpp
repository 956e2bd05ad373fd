// Stream receive throughput of one live connection over loopback TCP: the session's receive path (drain
// the socket, cut frames at the trailer, parse them into a screen's queue) against a bare drain of the
// same socket.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "dvr/dvr_device.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/receive_path.h"
#include "dvr/slot_queues.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

constexpr size_t kPicture = 48 * 1024;
FrameQueue g_queue;

FrameQueue* Provide(int slot, SlotQueueKind kind) {
    return slot == 0 && kind == SLOT_QUEUE_VIDEO ? &g_queue : nullptr;
}

// A loopback TCP pair whose writer end is fed by a thread with frames until stopped.
struct Feeder {
    int reader = -1;
    int writer = -1;
    std::atomic<bool> stop{false};
    std::thread thread;

    Feeder() {
        int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener, 1);
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        writer = socket(AF_INET, SOCK_STREAM, 0);
        connect(writer, reinterpret_cast<sockaddr*>(&address), sizeof address);
        reader = accept(listener, nullptr, nullptr);
        close(listener);
        int rcvbuf = STREAM_SOCKET_RCVBUF;
        setsockopt(reader, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
        std::string frame = dvrsim::DvrSim::Frame(0x1FE, 0, "", std::string(kPicture, 'p'));
        std::string block;
        while (block.size() < (1u << 20))
            block += frame;
        thread = std::thread([this, block] {
            size_t offset = 0;
            while (!stop.load()) {
                ssize_t sent = send(writer, block.data() + offset, block.size() - offset, MSG_NOSIGNAL);
                if (sent <= 0)
                    break;
                offset = (offset + static_cast<size_t>(sent)) % block.size();
            }
        });
    }
    ~Feeder() {
        stop = true;
        shutdown(writer, SHUT_RDWR);  // wakes a send that waits for room
        shutdown(reader, SHUT_RDWR);
        thread.join();
        close(reader);
        close(writer);
    }
    void WaitReadable() {
        pollfd pfd{reader, POLLIN, 0};
        poll(&pfd, 1, 100);
    }
};

void BM_SessionReceivePath(benchmark::State& state) {
    g_queue.Init(LIVE_VIDEO_QUEUE_NODES);
    SetSlotQueueProvider(Provide);
    auto* device = new DVRDevice();
    if (AllocDeviceChannels(device, 1) != 0)
        std::abort();
    device->channels[0].viewSlots[0] = 0;
    Feeder feeder;
    int64_t frames = 0;
    for (auto _ : state) {
        feeder.WaitReadable();
        int before = device->liveFill;
        ReceiveDeviceData(device, nullptr, CONN_LIVE, feeder.reader);
        benchmark::DoNotOptimize(before);
        FrameNode* node = nullptr;
        while (g_queue.PopReady(&node) == 0) {
            ++frames;
            g_queue.ReleaseNode(node);
        }
    }
    state.SetBytesProcessed(frames * static_cast<int64_t>(kPicture + 24));
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    SetSlotQueueProvider(nullptr);
    delete device;
    g_queue.Destroy();
}
BENCHMARK(BM_SessionReceivePath)->UseRealTime()->MinTime(2.0);

// Reference: the same socket drained with no framing at all.
void BM_BareDrain(benchmark::State& state) {
    Feeder feeder;
    std::vector<char> buffer(STREAM_BUFFER_SIZE);
    int64_t bytes = 0;
    for (auto _ : state) {
        feeder.WaitReadable();
        for (int i = 0; i < 64; ++i) {
            ssize_t got = recv(feeder.reader, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (got <= 0)
                break;
            bytes += got;
        }
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_BareDrain)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
