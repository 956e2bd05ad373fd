#include "bench/bare_decoders.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

BareDecoders::BareDecoders(const Packets& packets, int codecId, int channels, int ticksPerRound,
                           std::chrono::milliseconds tick)
    : m_packets(packets), m_ticksPerRound(ticksPerRound), m_tick(tick) {
    for (int c = 0; c < channels; ++c)
        m_threads.emplace_back([this, codecId] { Run(codecId); });
}

BareDecoders::~BareDecoders() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_quit = true;
    }
    m_wake.notify_all();
    for (auto& t : m_threads)
        t.join();
}

void BareDecoders::Round(Clock::time_point start, size_t firstPacket) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_start = start;
        m_firstPacket = firstPacket;
        m_pending = static_cast<int>(m_threads.size());
        ++m_round;
    }
    m_wake.notify_all();
    std::unique_lock<std::mutex> guard(m_lock);
    m_done.wait(guard, [this] { return m_pending == 0; });
}

void BareDecoders::Run(int codecId) {
    const AVCodec* codec = avcodec_find_decoder(static_cast<AVCodecID>(codecId));
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->thread_count = 1;
    (void)avcodec_open2(context, codec, nullptr);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    int seen = 0;
    for (;;) {
        Clock::time_point start;
        size_t first = 0;
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_wake.wait(guard, [&] { return m_quit || m_round != seen; });
            if (m_quit)
                break;
            seen = m_round;
            start = m_start;
            first = m_firstPacket;
        }
        for (int t = 0; t < m_ticksPerRound; ++t) {
            std::this_thread::sleep_until(start + t * m_tick);
            const auto& p = m_packets[(first + static_cast<size_t>(t)) % m_packets.size()];
            packet->data = const_cast<uint8_t*>(p.data());
            packet->size = static_cast<int>(p.size());
            avcodec_send_packet(context, packet);
            while (avcodec_receive_frame(context, frame) == 0) {
            }
        }
        std::lock_guard<std::mutex> guard(m_lock);
        if (--m_pending == 0)
            m_done.notify_all();
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
}
