#include "tools/simkit/sim_service.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

int SimService::Start(int type, uint32_t address, uint16_t port, std::function<void()> run) {
    Stop();
    m_socket = socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return -1;
    int yes = 1;
    setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(address);
    addr.sin_port = htons(port);
    socklen_t len = sizeof addr;
    if (bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        (type == SOCK_STREAM && listen(m_socket, 16) != 0) ||
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        pipe2(m_wake, O_CLOEXEC) != 0) {
        Stop();
        return -1;
    }
    m_port = ntohs(addr.sin_port);
    m_stop = false;
    m_thread = std::thread(std::move(run));
    return 0;
}

void SimService::Stop() {
    m_stop = true;
    if (m_wake[1] >= 0) {
        char b = 1;
        (void)!write(m_wake[1], &b, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    for (int* fd : {&m_socket, &m_wake[0], &m_wake[1]}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
    m_port = 0;
}

int SimService::WaitReadable(int fd, int timeoutMs) const {
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        int ready = poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || m_stop || (fds[1].revents & POLLIN))
            return -1;
        return ready == 0 ? 0 : 1;
    }
}

bool SimService::Pause(int ms) const {
    pollfd wake = {m_wake[0], POLLIN, 0};
    return !m_stop && poll(&wake, 1, ms) == 0;
}

namespace {
sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}
}  // namespace

void BlockStopSignals() {
    sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void WaitForStopSignal() {
    sigset_t signals = StopSignals();
    int signal = 0;
    sigwait(&signals, &signal);
}

void SimService::ServeConnections(const std::function<void(int client)>& serve) const {
    while (WaitReadable(m_socket, -1) > 0) {
        int client = accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        serve(client);
        close(client);
    }
}
