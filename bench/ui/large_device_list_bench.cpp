// The real main window loading a device list of 4,096 DVRs, on the offscreen platform: a 5 ms UI-thread
// tick measures how late the UI thread runs from the load until the sessions have started (the longest
// stall and the 99th percentile of the lateness), and again while a reload replaces them. The DVRs all
// listen on one loopback port that never accepts, so every session connects and waits for its hello
// reply, as DVRs on a slow WAN do. The reference run starts the same number of sessions on the UI thread
// itself, one after another, as a load did before the sessions were started by the supervisor.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/ui/offscreen_window_bench.h"
#include "dvr/dvr_session.h"
#include "platform/audio/sound_buffer.h"
#include "tests/ui/main_window_home.h"
#include "ui/main_window.h"

namespace {

constexpr int kDvrs = 4096;
constexpr int kTickMs = 5;
// How long the start of the sessions is watched at most (it ends sooner once no session is waiting).
constexpr int kStartWatchMs = 20000;

struct Lateness {
    double maxMs = 0;
    double p99Ms = 0;
    double elapsedMs = 0;
};

// Runs the UI thread's loop with the tick: `act` once at the start, then until `done` holds (looked at every
// 50 ms) or limitMs passed.
Lateness Measure(const std::function<void()>& act, const std::function<bool()>& done, int limitMs) {
    LatenessTick tick(kTickMs);
    Pump(100);
    QTimer::singleShot(0, act);
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (done() || tick.ElapsedMs() > limitMs)
            loop.quit();
    });
    watch.start(50);
    loop.exec();
    Lateness result;
    result.elapsedMs = static_cast<double>(tick.ElapsedMs());
    tick.Stop(&result.maxMs, &result.p99Ms);
    return result;
}

struct SessionCounts {
    int listed = 0;
    int started = 0;  // with a command thread
    int waiting = 0;  // not started and due for a start now (not held back by a shortage)
};

SessionCounts CountSessions() {
    SessionCounts counts;
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    for (DVRDevice* d = g_deviceList; d != nullptr; d = d->next) {
        ++counts.listed;
        if (d->reservedDescriptors.load() > 0)
            ++counts.started;
        else if (d->restartNotBefore.load() == 0)
            ++counts.waiting;
    }
    return counts;
}

// A loopback listener that never accepts: connects complete into its backlog and nothing answers.
int SilentListener(uint16_t* port) {
    int sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (sock < 0 || bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(sock, kDvrs) != 0 || getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (sock >= 0)
            close(sock);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return sock;
}

void LargeDeviceList(benchmark::State& state) {
    SetSoundBackend(SOUND_BACKEND_NULL);
    uint16_t port = 0;
    const int listener = SilentListener(&port);
    if (listener < 0) {
        state.SkipWithError("no loopback port");
        return;
    }
    std::vector<HomeDvr> dvrs;
    for (int d = 0; d < kDvrs; ++d)
        dvrs.push_back(HomeDvr{d + 1, QStringLiteral("DVR %1").arg(d + 1), port});
    // The start-up logs in with an empty tree; the list is written after that, for the measured load.
    QTemporaryDir folder;
    if (!PrepareMainWindowHome(folder.path() + QStringLiteral("/"), {}, {})) {
        state.SkipWithError("program folder");
        return;
    }
    CTarvikDlg window;
    if (!ShowMainWindow(window, state))
        return;
    for (int waited = 0; waited < 10000 && g_bLoggedIn == 0; waited += 100)
        Pump(100);
    std::vector<DeviceTreeNode> records;
    for (const HomeDvr& d : dvrs)
        records.push_back(DvrRecord(d.id, d.name, QStringLiteral("127.0.0.1"), d.port));
    if (g_bLoggedIn == 0 || !WriteBytes(theApp.m_strDataDir + "tree.dat", TreeFileBytes(records))) {
        state.SkipWithError("login or tree file");
        return;
    }
    Pump(500);

    // Done when every session listed has started or waits for descriptors (held back by the reserve).
    auto settled = [] {
        SessionCounts counts = CountSessions();
        return counts.listed == kDvrs && counts.waiting == 0;
    };
    for (auto _ : state) {
        double loadCallMs = 0;
        Lateness load = Measure(
            [&] {
                QElapsedTimer call;
                call.start();
                window.LoadDeviceTree();
                loadCallMs = static_cast<double>(call.nsecsElapsed()) / 1e6;
            },
            settled, kStartWatchMs);
        SessionCounts counts = CountSessions();
        Pump(1000);
        Lateness reload = Measure([&] { window.LoadDeviceTree(); }, settled, kStartWatchMs);
        state.counters["load_call_ms"] = loadCallMs;
        state.counters["load_stall_max_ms"] = load.maxMs;
        state.counters["load_stall_p99_ms"] = load.p99Ms;
        state.counters["load_to_settled_ms"] = load.elapsedMs;
        state.counters["sessions_started"] = counts.started;
        state.counters["reload_stall_max_ms"] = reload.maxMs;
        state.counters["reload_stall_p99_ms"] = reload.p99Ms;
    }
    window.DestroyWindow();
    AfxGetApp()->m_pMainWnd = nullptr;
    FreeDeviceList();
    InitDeviceList();

    // The reference: the same sessions started on the UI thread itself.
    std::vector<DeviceTreeNode*> nodes;
    for (int d = 0; d < kDvrs; ++d) {
        auto* node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
        node->type = NODE_DVR;
        node->id = d + 1;
        std::memcpy(node->host, u"127.0.0.1", sizeof(u"127.0.0.1"));
        node->port = port;
        nodes.push_back(node);
    }
    Lateness inline_start = Measure(
        [&] {
            for (DeviceTreeNode* node : nodes) {
                auto* device = new DVRDevice();
                device->node = node;
                static_cast<void>(StartDeviceSession(device));
                AppendDevice(device);
            }
        },
        [] { return CountSessions().listed == kDvrs; }, kStartWatchMs);
    state.counters["reference_ui_thread_start_stall_ms"] = inline_start.maxMs;
    FreeDeviceList();
    InitDeviceList();
    for (DeviceTreeNode* node : nodes)
        std::free(node);
    close(listener);
    SetSoundBackend(SOUND_BACKEND_AUTO);
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing leaves loopback: the start-up's discovery, WAN and update requests go nowhere.
    qputenv("VISTAL_DISCOVERY_ADDRESS", "127.0.0.1:9");
    qputenv("VISTAL_DISCOVERY_REPLY_PORT", "0");
    qputenv("VISTAL_WAN_SERVER", "127.0.0.1:9");
    qputenv("VISTAL_UPDATE_HOST", "127.0.0.1:9");
    return RunOffscreenWindowBenchmark(argc, argv, "large_device_list_4096", LargeDeviceList);
}
