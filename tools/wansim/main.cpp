// wansim: the simulated WAN server for the demo and for hand tests, on loopback only.
//   wansim [--port N] [--user name:password]... [--device name,host,port]... [--fault NAME]
// Faults: silent, close, param-first, param-only, logout-with-reply, trickle, no-terminator,
// list-never-ends. Prints the address it listens on and each request; runs until SIGINT or SIGTERM.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/wansim/wan_server.h"

namespace {

bool ParseFault(const char* name, WanFault* fault) {
    static const struct {
        const char* name;
        WanFault fault;
    } kFaults[] = {
        {"none", WanFault::None},
        {"silent", WanFault::Silent},
        {"close", WanFault::Close},
        {"param-first", WanFault::ParamFirst},
        {"param-only", WanFault::ParamOnly},
        {"logout-with-reply", WanFault::LogoutWithReply},
        {"trickle", WanFault::Trickle},
        {"no-terminator", WanFault::NoTerminator},
        {"list-never-ends", WanFault::ListNeverEnds},
    };
    for (const auto& entry : kFaults) {
        if (std::strcmp(entry.name, name) == 0) {
            *fault = entry.fault;
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int port = 19999;
    WanServer server;
    QList<WanDevice> devices;
    WanFault fault = WanFault::None;
    bool anyUser = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (std::strcmp(argv[i], "--port") == 0) {
            port = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--user") == 0) {
            const qsizetype colon = value.indexOf(QLatin1Char(':'));
            server.AddUser(value.left(colon), colon < 0 ? QString() : value.mid(colon + 1));
            anyUser = true;
        } else if (std::strcmp(argv[i], "--device") == 0) {
            const QStringList parts = value.split(QLatin1Char(','));
            if (parts.size() != 3) {
                std::fprintf(stderr, "wansim: --device takes name,host,port\n");
                return 1;
            }
            WanDevice device;
            device.name = parts[0];
            device.host = parts[1];
            device.port = parts[2].toInt();
            devices.append(device);
        } else if (std::strcmp(argv[i], "--fault") == 0) {
            if (!ParseFault(argv[i + 1], &fault)) {
                std::fprintf(stderr, "wansim: unknown fault %s\n", argv[i + 1]);
                return 1;
            }
        }
    }
    if (!anyUser)
        server.AddUser(QStringLiteral("admin"), QStringLiteral("admin"));
    server.SetDevices(devices);
    server.SetFault(fault);

    BlockStopSignals();
    if (port < 0 || port > 65535 || server.Start(static_cast<uint16_t>(port)) != 0) {
        std::fprintf(stderr, "wansim: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    server.SetLogging(true);
    std::printf("wansim listening on %s with %d devices\n", server.HostPort().constData(),
                static_cast<int>(devices.size()));
    std::fflush(stdout);
    WaitForStopSignal();
    server.Stop();
    return 0;
}
