// wansim: the simulated WAN server for the demo and for hand tests, on loopback only.
//   wansim [--port N] [--user name:password]... [--device name,host,port]... [--fault NAME]
// Faults: silent, close, param-first, param-only, logout-with-reply, trickle, no-terminator,
// list-never-ends. Prints the address it listens on and each request; runs until SIGINT or SIGTERM.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/simkit/tool_options.h"
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

const char kUsage[] =
    "usage: wansim [--port N] [--user name:password]... [--device name,host,port]... [--fault NAME]\n"
    "A simulated WAN server on 127.0.0.1 (port 19999 unless given; 0: a free one, printed). Users: admin\n"
    "with password admin unless given. Faults: none, silent, close, param-first, param-only,\n"
    "logout-with-reply, trickle, no-terminator, list-never-ends. Runs until SIGINT or SIGTERM.\n";

}  // namespace

int main(int argc, char** argv) {
    int port = 19999;
    WanServer server;
    QList<WanDevice> devices;
    WanFault fault = WanFault::None;
    bool anyUser = false;
    auto take = [&](const char* name, const char* text) {
        const QString value = QString::fromLocal8Bit(text);
        if (std::strcmp(name, "--port") == 0)
            return ParseToolNumber(text, 0, 65535, &port) == 0 ? kOptionTaken : kOptionBadValue;
        if (std::strcmp(name, "--user") == 0) {
            const qsizetype colon = value.indexOf(QLatin1Char(':'));
            server.AddUser(value.left(colon), colon < 0 ? QString() : value.mid(colon + 1));
            anyUser = true;
            return kOptionTaken;
        }
        if (std::strcmp(name, "--device") == 0) {
            const QStringList parts = value.split(QLatin1Char(','));
            WanDevice device;
            if (parts.size() != 3 || ParseToolNumber(qPrintable(parts[2]), 1, 65535, &device.port) != 0)
                return kOptionBadValue;
            device.name = parts[0];
            device.host = parts[1];
            devices.append(device);
            return kOptionTaken;
        }
        if (std::strcmp(name, "--fault") == 0)
            return ParseFault(text, &fault) ? kOptionTaken : kOptionBadValue;
        return kOptionUnknown;
    };
    int exitCode = 0;
    if (ReadToolOptions(argc, argv, kUsage, take, &exitCode) != 0)
        return exitCode;
    if (!anyUser)
        server.AddUser(QStringLiteral("admin"), QStringLiteral("admin"));
    server.SetDevices(devices);
    server.SetFault(fault);

    BlockStopSignals();
    if (server.Start(static_cast<uint16_t>(port)) != 0) {
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
