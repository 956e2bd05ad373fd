#include "core/net_helpers.h"

#include <fcntl.h>
#include <poll.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/system/thread_queue.h"

namespace {
void SetBlocking(int sock, bool blocking) {
    int flags = fcntl(sock, F_GETFL, 0);
    if (flags < 0)
        return;
    fcntl(sock, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK));
}
}  // namespace

int ConnectWithTimeout(const struct sockaddr* addr, int sock, socklen_t addrLength) {
    if (addr == nullptr || sock < 0)
        return -1;
    SetBlocking(sock, false);
    int result = -1;
    if (connect(sock, addr, addrLength) == 0) {
        result = 0;
    } else if (errno == EINPROGRESS || errno == EINTR) {
        struct pollfd pfd = {sock, POLLOUT, 0};
        int r = PollUntilStop(&pfd, 1, CONNECT_TIMEOUT_SECONDS * 1000);
        if (r > 0) {
            int error = 0;
            socklen_t len = sizeof error;
            if (getsockopt(sock, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0)
                result = 0;
        }
    }
    SetBlocking(sock, true);
    return result;
}

int ResolveTcpAddress(const char* host, const char* service, struct addrinfo** result) {
    if (result == nullptr)
        return -1;
    struct addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    getaddrinfo(host, service, &hints, result);
    return *result != nullptr ? 0 : -1;
}

int ReadEndpointSetting(const char* variable, const char* defaultHost, int defaultPort, std::string* host,
                        int* port) {
    const char* value = variable != nullptr ? std::getenv(variable) : nullptr;
    std::string text = value != nullptr ? value : "";
    *host = defaultHost;
    *port = defaultPort;
    if (text.empty())
        return 0;
    size_t colon = text.rfind(':');
    *host = text.substr(0, colon);
    if (colon == std::string::npos)
        return 0;
    std::string digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    int number = std::stoi(digits);
    if (number < 1 || number > 65535)
        return -1;
    *port = number;
    return 0;
}
