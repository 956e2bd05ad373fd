#pragma once

// What every simulator on loopback runs on: its socket, a wake pipe and one thread. Every wait of the
// thread goes through WaitReadable or Pause, so Stop ends it within one turn of its loop.

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

class SimService {
public:
    SimService() = default;
    SimService(const SimService&) = delete;
    SimService& operator=(const SimService&) = delete;
    ~SimService() { Stop(); }

    // A socket of type (SOCK_STREAM listens, SOCK_DGRAM) bound to address:port (host byte order; port 0:
    // a free one) with SO_REUSEADDR, then run on a new thread. 0, or -1 (nothing started).
    int Start(int type, uint32_t address, uint16_t port, std::function<void()> run);
    // Wakes the thread, joins it, closes the socket and the pipe.
    void Stop();
    int Socket() const { return m_socket; }
    uint16_t Port() const { return m_port; }
    bool Stopping() const { return m_stop; }
    // Waits until fd is readable: 1 readable, 0 time-out (timeoutMs; -1 waits without one), -1 stopped or
    // failed.
    int WaitReadable(int fd, int timeoutMs) const;
    // Waits ms unless stopped first; false when stopped.
    bool Pause(int ms) const;
    // For a listening service: accepts one connection at a time, hands it to serve and closes it, until
    // stopped.
    void ServeConnections(const std::function<void(int client)>& serve) const;

private:
    int m_socket = -1;
    int m_wake[2] = {-1, -1};
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// For the simulators' programs: BlockStopSignals before any thread starts, so that WaitForStopSignal is
// the only taker of SIGINT and SIGTERM; it returns when one arrives.
void BlockStopSignals();
void WaitForStopSignal();
