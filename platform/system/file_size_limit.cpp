#include "platform/system/file_size_limit.h"

#include <csignal>

int IgnoreFileSizeSignal() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGXFSZ, &action, nullptr) == 0 ? 0 : -1;
}
