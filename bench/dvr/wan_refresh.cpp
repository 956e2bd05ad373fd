// Time from the WAN login check to a merged tree file of N DVRs (login, device list request, list
// received and parsed, treew.dat written), against the simulated WAN server on loopback.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QTemporaryDir>
#include <vector>

#include "core/tarvik_app.h"
#include "dvr/device_list_refresh.h"
#include "dvr/device_tree.h"
#include "dvr/wan_client.h"
#include "tools/wansim/wan_server.h"

namespace {

void BM_LoginToMergedTree(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    WanServer server;
    QTemporaryDir dir;
    if (server.Start() != 0 || !dir.isValid() || InitRelaySession() != 0) {
        state.SkipWithError("no loopback port or temporary folder");
        return;
    }
    server.AddUser(QStringLiteral("admin"), QStringLiteral("admin"));
    QList<WanDevice> devices;
    for (int i = 0; i < count; ++i) {
        WanDevice d;
        d.name = QStringLiteral("DVR%1").arg(i);
        d.host = QStringLiteral("10.1.%1.%2").arg(i / 250).arg(i % 250);
        d.port = 9000 + i;
        devices.append(d);
    }
    server.SetDevices(devices);
    setenv("VISTAL_WAN_SERVER", server.HostPort().constData(), 1);
    theApp.m_bLanMode = 0;
    theApp.m_strDataDir = dir.path() + QStringLiteral("/");
    const QString path = DeviceTreeFilePath(theApp.m_strDataDir, false);
    for (auto _ : state) {
        if (CheckLogin(QStringLiteral("admin"), QStringLiteral("admin")) != LOGIN_OK) {
            state.SkipWithError("login refused");
            break;
        }
        RefreshDeviceList();
        state.PauseTiming();
        std::vector<DeviceTreeNode> records;
        const bool merged =
            ReadDeviceTreeFile(path, &records) == 0 && static_cast<int>(records.size()) == count;
        state.ResumeTiming();
        if (!merged) {
            state.SkipWithError("the tree file does not hold every DVR");
            break;
        }
    }
    FreeRelaySession();
    state.counters["DVRs"] = count;
}
BENCHMARK(BM_LoginToMergedTree)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
