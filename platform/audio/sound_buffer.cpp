#include "platform/audio/sound_buffer.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "platform/audio/sound_sink.h"

namespace {
std::atomic<SoundBackend> g_backend{SOUND_BACKEND_AUTO};

void SignalFd(int fd) {
    if (fd < 0)
        return;
    uint64_t one = 1;
    ssize_t r = write(fd, &one, sizeof one);
    (void)r;
}

std::unique_ptr<SoundSink> OpenSink(const PcmFormat& format) {
    switch (g_backend.load()) {
        case SOUND_BACKEND_ALSA:
            return OpenAlsaSink(format);
        case SOUND_BACKEND_NULL:
            return MakeNullSink(format);
        case SOUND_BACKEND_CAPTURE:
            return MakeCaptureSink(format);
        case SOUND_BACKEND_AUTO:
            break;
    }
    std::unique_ptr<SoundSink> sink = OpenAlsaSink(format);
    return sink ? std::move(sink) : MakeNullSink(format);
}
}  // namespace

void SetSoundBackend(SoundBackend backend) {
    g_backend.store(backend);
}

SoundBackend GetSoundBackend() {
    return g_backend.load();
}

std::unique_ptr<SoundBuffer> SoundBuffer::Create(const PcmFormat& format, uint32_t bytes) {
    if (!IsPlayablePcmFormat(format) || format.blockAlign == 0 || bytes == 0 ||
        bytes % format.blockAlign != 0)
        return nullptr;
    std::unique_ptr<SoundSink> sink = OpenSink(format);
    if (!sink)
        return nullptr;
    return std::unique_ptr<SoundBuffer>(new SoundBuffer(format, bytes, std::move(sink)));
}

SoundBuffer::SoundBuffer(const PcmFormat& format, uint32_t bytes, std::unique_ptr<SoundSink> sink)
    : m_format(format), m_sink(std::move(sink)), m_data(bytes, format.bitsPerSample == 8 ? 128 : 0) {
    uint32_t chunk = format.bytesPerSecond / 50 / format.blockAlign * format.blockAlign;
    m_chunk = chunk > 0 ? chunk : format.blockAlign;
    m_thread = std::thread([this] { PlayLoop(); });
}

SoundBuffer::~SoundBuffer() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_quit = true;
        m_generation.fetch_add(1);
    }
    m_wake.notify_all();
    m_thread.join();
}

int64_t SoundBuffer::WriteRegion(uint32_t offset, const uint8_t* data, uint32_t length, uint32_t* copied) {
    std::lock_guard<std::mutex> guard(m_lock);
    uint32_t size = Size();
    if (offset >= size || length > size)
        return -1;
    // The region is whole blocks, so that a packet with a broken last sample leaves the next packet on a
    // sample boundary; the bytes past the data are silence.
    uint32_t align = m_format.blockAlign;
    uint32_t blocks = (length + align - 1) / align * align;
    uint32_t region = std::min(blocks, size - offset);
    uint32_t copy = data != nullptr ? std::min(length, region) : 0;
    if (copy > 0)
        std::memcpy(m_data.data() + offset, data, copy);
    std::memset(m_data.data() + offset + copy, m_format.bitsPerSample == 8 ? 128 : 0, region - copy);
    if (copied != nullptr)
        *copied = copy;
    return region;
}

void SoundBuffer::Play() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_playCursor = 0;
        m_playing = true;
        m_generation.fetch_add(1);
    }
    m_wake.notify_all();
}

void SoundBuffer::Stop() {
    bool wasPlaying;
    int stopFd;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        wasPlaying = m_playing;
        m_playing = false;
        m_generation.fetch_add(1);
        stopFd = m_stopFd;
    }
    m_wake.notify_all();
    if (wasPlaying)
        SignalFd(stopFd);
}

void SoundBuffer::SetVolume(int32_t hundredthsOfDb) {
    int32_t volume = std::clamp<int32_t>(hundredthsOfDb, SOUND_VOLUME_MIN, 0);
    if (m_volume.exchange(volume) == volume || volume != SOUND_VOLUME_MIN)
        return;
    {
        // Muted: the sound queued at the old volume is dropped at once.
        std::lock_guard<std::mutex> guard(m_lock);
        m_dropQueued = true;
        m_generation.fetch_add(1);
    }
    m_wake.notify_all();
}

void SoundBuffer::SetNotifications(std::vector<uint32_t> offsets, int positionFd, int stopFd) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_notifyOffsets = std::move(offsets);
    m_positionFd = positionFd;
    m_stopFd = stopFd;
}

uint32_t SoundBuffer::PlayCursor() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_playCursor;
}

void SoundBuffer::ApplyVolume(uint8_t* data, uint32_t bytes) const {
    int32_t volume = m_volume.load();
    if (volume == 0)
        return;
    double gain = volume <= SOUND_VOLUME_MIN ? 0.0 : std::pow(10.0, volume / 2000.0);
    switch (m_format.bitsPerSample) {
        case 8:
            for (uint32_t i = 0; i < bytes; ++i)
                data[i] = static_cast<uint8_t>(128 + static_cast<int>((data[i] - 128) * gain));
            break;
        case 16:
            for (uint32_t i = 0; i + 1 < bytes; i += 2) {
                int16_t s;
                std::memcpy(&s, data + i, 2);
                s = static_cast<int16_t>(s * gain);
                std::memcpy(data + i, &s, 2);
            }
            break;
        default:
            // Wider samples are only silenced.
            if (gain == 0.0)
                std::memset(data, 0, bytes);
            break;
    }
}

void SoundBuffer::PlayLoop() {
    std::vector<uint8_t> chunk(m_chunk);
    std::unique_lock<std::mutex> guard(m_lock);
    bool started = false;
    bool queued = false;  // the sink may hold sound not yet heard
    // The loop's own clock: a device that fails, or takes bytes faster than they play, cannot make it
    // run ahead of real time by more than kPlayLead (nor flood the owner with position reports).
    const auto kPlayLead = std::chrono::milliseconds(200);
    auto clockStart = std::chrono::steady_clock::now();
    uint64_t clockBytes = 0;
    while (!m_quit) {
        if (!m_playing || m_dropQueued) {
            m_dropQueued = false;
            if (queued) {
                // Stopped or muted: what the device still holds is dropped, not played out.
                guard.unlock();
                m_sink->Reset();
                guard.lock();
                queued = false;
            }
            if (!m_playing) {
                started = false;
                // The lock was let go for the drop: a quit or start may have come in meanwhile.
                m_wake.wait(guard, [this] { return m_quit || m_playing; });
            }
            continue;
        }
        uint64_t generation = m_generation.load();
        uint32_t from = m_playCursor;
        uint32_t bytes = std::min(m_chunk, Size() - from);
        std::memcpy(chunk.data(), m_data.data() + from, bytes);
        guard.unlock();
        if (!started) {
            m_sink->Reset();
            started = true;
            clockStart = std::chrono::steady_clock::now();
            clockBytes = 0;
        }
        ApplyVolume(chunk.data(), bytes);
        bool played = m_sink->Write(chunk.data(), bytes, m_generation, generation);
        queued = true;
        guard.lock();
        if (!played || m_generation.load() != generation) {
            // A restart or stop came in: the sink starts anew (a mute only drops what it holds).
            if (!m_dropQueued)
                started = false;
            continue;
        }
        m_playCursor = (from + bytes) % Size();
        for (uint32_t offset : m_notifyOffsets) {
            if (offset >= from && offset < from + bytes)
                SignalFd(m_positionFd);
        }
        clockBytes += bytes;
        auto now = std::chrono::steady_clock::now();
        auto due = clockStart + std::chrono::microseconds(clockBytes * 1000000 / m_format.bytesPerSecond);
        if (now > due) {
            // Behind (a slow device): no credit is kept, so the clock never lets a burst through later.
            clockStart = now - std::chrono::microseconds(clockBytes * 1000000 / m_format.bytesPerSecond);
        } else if (due - now > kPlayLead) {
            m_wake.wait_until(guard, due - kPlayLead,
                              [&] { return m_quit || m_generation.load() != generation; });
        }
    }
}
