#include "platform/system/wake_signal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

WakeSignal::~WakeSignal() {
    int fd = m_fd.load();
    if (fd >= 0)
        close(fd);
}

int WakeSignal::Fd() {
    int fd = m_fd.load(std::memory_order_acquire);
    if (fd >= 0)
        return fd;
    std::lock_guard<std::mutex> guard(m_create);
    fd = m_fd.load(std::memory_order_relaxed);
    if (fd < 0) {
        fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_fd.store(fd, std::memory_order_release);
    }
    return fd;
}

void WakeSignal::Raise() {
    int fd = m_fd.load(std::memory_order_acquire);
    if (fd < 0)
        return;
    uint64_t one = 1;
    ssize_t r = write(fd, &one, sizeof one);
    (void)r;  // only fails when the counter is full, i.e. already readable
}

void WakeSignal::Clear() {
    int fd = m_fd.load(std::memory_order_acquire);
    if (fd < 0)
        return;
    uint64_t value = 0;
    ssize_t r = read(fd, &value, sizeof value);
    (void)r;  // EAGAIN when it was not raised
}
