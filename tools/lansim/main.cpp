// lansim: a LAN discovery responder for the demo and for hand tests, on loopback only.
//   lansim [--port N] [--reply-port N] [--delay ms] [--dvr name,host,port]... [--raw text]...
// Each --dvr adds a well-formed reply, each --raw a datagram of the given bytes. Prints its port and each
// request; runs until SIGINT or SIGTERM.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/lansim/lan_responder.h"
#include "tools/simkit/tool_options.h"

namespace {

const char kUsage[] =
    "usage: lansim [--port N] [--reply-port N] [--delay ms] [--dvr name,host,port]... [--raw text]...\n"
    "A LAN discovery responder on loopback (port 18999 unless given; 0: a free one, printed) that answers\n"
    "each search on the reply port (8998 unless given) with a reply per --dvr and a datagram per --raw,\n"
    "after --delay milliseconds. Runs until SIGINT or SIGTERM.\n";

}  // namespace

int main(int argc, char** argv) {
    int port = 18999;
    int replyPort = 8998;
    int delayMs = 0;
    QList<QByteArray> replies;
    auto take = [&](const char* name, const char* value) {
        if (std::strcmp(name, "--port") == 0)
            return ParseToolNumber(value, 0, 65535, &port) == 0 ? kOptionTaken : kOptionBadValue;
        if (std::strcmp(name, "--reply-port") == 0)
            return ParseToolNumber(value, 1, 65535, &replyPort) == 0 ? kOptionTaken : kOptionBadValue;
        if (std::strcmp(name, "--delay") == 0)
            return ParseToolNumber(value, 0, 600000, &delayMs) == 0 ? kOptionTaken : kOptionBadValue;
        if (std::strcmp(name, "--dvr") == 0) {
            const QStringList parts = QString::fromLocal8Bit(value).split(QLatin1Char(','));
            int dvrPort = 0;
            if (parts.size() != 3 || ParseToolNumber(qPrintable(parts[2]), 1, 65535, &dvrPort) != 0)
                return kOptionBadValue;
            replies.append(MakeDiscoveryReply(parts[0], parts[1], dvrPort));
            return kOptionTaken;
        }
        if (std::strcmp(name, "--raw") == 0) {
            replies.append(QByteArray(value));
            return kOptionTaken;
        }
        return kOptionUnknown;
    };
    int exitCode = 0;
    if (ReadToolOptions(argc, argv, kUsage, take, &exitCode) != 0)
        return exitCode;
    BlockStopSignals();

    LanResponder responder;
    if (responder.Start(static_cast<uint16_t>(port)) != 0) {
        std::fprintf(stderr, "lansim: cannot listen on port %d\n", port);
        return 1;
    }
    responder.SetReplyPort(static_cast<uint16_t>(replyPort));
    responder.SetDelay(delayMs);
    responder.SetReplies(replies);
    responder.SetLogging(true);
    std::printf("lansim listening on port %d, replies to port %d\n", responder.Port(), replyPort);
    std::fflush(stdout);
    WaitForStopSignal();
    responder.Stop();
    return 0;
}
