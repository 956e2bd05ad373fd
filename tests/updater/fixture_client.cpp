// A stand-in for the client in the tests of the closing sequence. It carries the client's version text
// and, by its first argument:
//   obey <ms> <marker>   opens the close-request endpoint; on the request it takes <ms> for its own
//                        shut-down, writes <marker> and ends
//   ignore               opens the endpoint, answers requests and keeps running
//   none                 has no endpoint
// Every mode ends by itself after 60 s so that nothing is left behind.

#include <poll.h>

#include <QFile>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "core/file_version_text.h"
#include "platform/system/clock.h"
#include "platform/system/copydata_endpoint.h"
#include "updater/close_request.h"

VISTAL_FILE_VERSION_TEXT("4.4.2.0")

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "none";
    const uint64_t end = MonotonicMs() + 60000;
    if (std::strcmp(mode, "none") == 0) {
        while (MonotonicMs() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return 0;
    }
    const bool obey = std::strcmp(mode, "obey") == 0;
    const int shutdownMs = obey && argc > 2 ? std::atoi(argv[2]) : 0;
    const char* marker = obey && argc > 3 ? argv[3] : nullptr;
    CopyDataEndpoint endpoint;
    if (endpoint.Open() != 0)
        return 2;
    bool closeRequested = false;
    while (!closeRequested && MonotonicMs() < end) {
        struct pollfd pfd = {endpoint.Fd(), POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0)
            continue;
        endpoint.Service([&](WPARAM, const COPYDATASTRUCT& data) -> LRESULT {
            if (obey && data.dwData == COPYDATA_CLOSE_REQUEST)
                closeRequested = true;
            return 0;
        });
    }
    endpoint.Close();
    if (closeRequested) {
        // The client's shut-down: saving its view, closing its record files.
        std::this_thread::sleep_for(std::chrono::milliseconds(shutdownMs));
        if (marker != nullptr) {
            QFile f(QFile::decodeName(marker));
            if (f.open(QIODevice::WriteOnly))
                f.write("closed");
        }
    }
    return 0;
}
