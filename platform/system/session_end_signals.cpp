#include "platform/system/session_end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Read by the handler: plain values set before the handlers are installed, atomics otherwise.
int g_pipe[2] = {-1, -1};
unsigned g_boundSeconds = 0;
std::atomic<bool> g_boundArmed{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnSessionEndSignal(int signal) {
    const int savedErrno = errno;
    if (!g_boundArmed.exchange(true))
        alarm(g_boundSeconds);
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds a signal for the reader.
    (void)!write(g_pipe[1], &number, 1);
    errno = savedErrno;
}

}  // namespace

int InstallSessionEndSignals(unsigned boundSeconds) {
    if (g_pipe[0] >= 0)
        return 0;
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return -1;
    }
    g_boundSeconds = boundSeconds;
    g_boundArmed = false;
    struct sigaction action = {};
    action.sa_handler = OnSessionEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        if (sigaction(signal, &action, nullptr) != 0) {
            RemoveSessionEndSignals();
            return -1;
        }
    }
    return 0;
}

int SessionEndSignalFd() {
    return g_pipe[0];
}

int TakeSessionEndSignal() {
    if (g_pipe[0] < 0)
        return 0;
    int last = 0;
    unsigned char buffer[16];
    for (;;) {
        const ssize_t got = read(g_pipe[0], buffer, sizeof buffer);
        if (got > 0) {
            last = buffer[got - 1];
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return last;
    }
}

void RemoveSessionEndSignals() {
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (int signal : kSignals)
        sigaction(signal, &fallback, nullptr);
    if (g_boundArmed.exchange(false))
        alarm(0);
    for (int& fd : g_pipe) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}
