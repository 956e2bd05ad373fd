#pragma once

// Bare libavcodec decoding, the reference the live-path benchmarks compare against: one thread and one
// decoder per channel for the whole run; each round every thread decodes its next packets at the pace
// cameras send them (one per tick), then the round ends when all are done.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// The reference's drawing, when it draws: each channel's picture scaled to its cell (libyuv I420Scale
// without filtering) and converted to ARGB (I420ToARGB) into a canvas of the window's size.
struct BareDisplay {
    uint8_t* canvas = nullptr;
    int stride = 0;  // bytes per canvas row
    struct Cell {
        int left, top, width, height;
    };
    std::vector<Cell> cells;  // one per channel
};

class BareDecoders {
public:
    using Clock = std::chrono::steady_clock;
    using Packets = std::vector<std::vector<uint8_t>>;

    // codecId: an AVCodecID. packets: one per picture in decoding order, replayed in a loop. display: what
    // the decoders draw into (null: they only decode); it must outlive the decoders.
    BareDecoders(const Packets& packets, int codecId, int channels, int ticksPerRound,
                 std::chrono::milliseconds tick, const BareDisplay* display = nullptr);
    ~BareDecoders();
    BareDecoders(const BareDecoders&) = delete;
    BareDecoders& operator=(const BareDecoders&) = delete;

    // One round of ticksPerRound ticks from start, beginning at packet firstPacket; returns when every
    // thread has decoded its packets.
    void Round(Clock::time_point start, size_t firstPacket);
    // A round from now, on from where the last one of these ended; returns the process's processor seconds
    // over it.
    double TimedRound();

private:
    void Run(int codecId, int channel);

    const Packets& m_packets;
    const int m_ticksPerRound;
    const std::chrono::milliseconds m_tick;
    const BareDisplay* m_display;
    std::vector<std::thread> m_threads;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    bool m_quit = false;
    int m_round = 0;
    int m_pending = 0;
    Clock::time_point m_start;
    size_t m_firstPacket = 0;
    size_t m_nextTimed = 0;
};
