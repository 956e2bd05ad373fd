#include "bench/bare_decoders.h"

#include "bench/interleaved_rounds.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <pthread.h>

#include <libyuv/convert_argb.h>
#include <libyuv/scale.h>

namespace {
// Scales the decoded picture to the channel's cell and converts it into the canvas.
void DrawCell(const BareDisplay& display, int channel, const AVFrame* frame, std::vector<uint8_t>* scaled) {
    const BareDisplay::Cell& cell = display.cells[static_cast<size_t>(channel)];
    int cw = (cell.width + 1) / 2, ch = (cell.height + 1) / 2;
    size_t luma = static_cast<size_t>(cell.width) * static_cast<size_t>(cell.height);
    scaled->resize(luma + 2 * static_cast<size_t>(cw) * static_cast<size_t>(ch));
    uint8_t* y = scaled->data();
    uint8_t* u = y + luma;
    uint8_t* v = u + static_cast<size_t>(cw) * static_cast<size_t>(ch);
    libyuv::I420Scale(frame->data[0], frame->linesize[0], frame->data[1], frame->linesize[1], frame->data[2],
                      frame->linesize[2], frame->width, frame->height, y, cell.width, u, cw, v, cw,
                      cell.width, cell.height, libyuv::kFilterNone);
    uint8_t* out = display.canvas + static_cast<ptrdiff_t>(cell.top) * display.stride +
                   static_cast<ptrdiff_t>(cell.left) * 4;
    libyuv::I420ToARGB(y, cell.width, u, cw, v, cw, out, display.stride, cell.width, cell.height);
}
}  // namespace

BareDecoders::BareDecoders(const Packets& packets, int codecId, int channels, int ticksPerRound,
                           std::chrono::milliseconds tick, const BareDisplay* display)
    : m_packets(packets), m_ticksPerRound(ticksPerRound), m_tick(tick), m_display(display) {
    for (int c = 0; c < channels; ++c)
        m_threads.emplace_back([this, codecId, c] { Run(codecId, c); });
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

double BareDecoders::TimedRound() {
    double cpu = ProcessSeconds();
    Round(Clock::now(), m_nextTimed);
    m_nextTimed += static_cast<size_t>(m_ticksPerRound);
    return ProcessSeconds() - cpu;
}

void BareDecoders::Run(int codecId, int channel) {
    pthread_setname_np(pthread_self(), "reference");  // its share shows apart in a profile
    std::vector<uint8_t> scaled;
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
                if (m_display != nullptr)
                    DrawCell(*m_display, channel, frame, &scaled);
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
