// The sink of a machine without a sound device: takes the bytes at the rate they would play.

#include <chrono>
#include <thread>

#include "platform/audio/sound_sink.h"

namespace {
class NullSink : public SoundSink {
public:
    explicit NullSink(const PcmFormat& format) : m_bytesPerSecond(format.bytesPerSecond) { Reset(); }

    bool Write(const uint8_t*, uint32_t bytes, const std::atomic<uint64_t>& generation,
               uint64_t mine) override {
        m_queued += bytes;
        auto due = m_start + std::chrono::microseconds(m_queued * 1000000 / m_bytesPerSecond);
        // Sleeps in short slices so that a stop is seen within a few milliseconds.
        while (std::chrono::steady_clock::now() < due) {
            if (generation.load() != mine)
                return false;
            auto slice = std::min<std::chrono::steady_clock::duration>(due - std::chrono::steady_clock::now(),
                                                                       std::chrono::milliseconds(5));
            std::this_thread::sleep_for(slice);
        }
        return generation.load() == mine;
    }

    void Reset() override {
        m_start = std::chrono::steady_clock::now();
        m_queued = 0;
    }

private:
    uint64_t m_bytesPerSecond;
    std::chrono::steady_clock::time_point m_start;
    uint64_t m_queued = 0;
};
}  // namespace

std::unique_ptr<SoundSink> MakeNullSink(const PcmFormat& format) {
    return std::make_unique<NullSink>(format);
}
