// lansim: a LAN discovery responder for the demo and for hand tests, on loopback only.
//   lansim [--port N] [--reply-port N] [--delay ms] [--dvr name,host,port]... [--raw text]...
// Each --dvr adds a well-formed reply, each --raw a datagram of the given bytes. Prints its port and each
// request; runs until SIGINT or SIGTERM.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/lansim/lan_responder.h"

int main(int argc, char** argv) {
    int port = 18999;
    int replyPort = 8998;
    int delayMs = 0;
    QList<QByteArray> replies;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--port") == 0) {
            port = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--reply-port") == 0) {
            replyPort = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--delay") == 0) {
            delayMs = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--dvr") == 0) {
            const QStringList parts = QString::fromLocal8Bit(argv[i + 1]).split(QLatin1Char(','));
            if (parts.size() != 3) {
                std::fprintf(stderr, "lansim: --dvr takes name,host,port\n");
                return 1;
            }
            replies.append(MakeDiscoveryReply(parts[0], parts[1], parts[2].toInt()));
        } else if (std::strcmp(argv[i], "--raw") == 0) {
            replies.append(QByteArray(argv[i + 1]));
        }
    }
    BlockStopSignals();

    LanResponder responder;
    if (port < 0 || port > 65535 || replyPort < 1 || replyPort > 65535 ||
        responder.Start(static_cast<uint16_t>(port)) != 0) {
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
