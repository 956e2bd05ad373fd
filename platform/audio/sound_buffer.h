#pragma once

// A looping PCM buffer with position notifications: the program writes at offsets of its own choice, and
// a play thread plays the buffer from offset 0 round and round while it is started. Each notification
// offset signals an event descriptor when playback passes it; stopping signals the stop descriptor.
// Volume is in hundredths of a decibel (0 full, -10000 silent), applied to the samples as they play.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/pcm_format.h"

class SoundSink;

enum SoundBackend {
    SOUND_BACKEND_AUTO,     // ALSA's default device, else the null sink
    SOUND_BACKEND_ALSA,     // ALSA only (buffers fail without a device)
    SOUND_BACKEND_NULL,     // no sound, the same timing
    SOUND_BACKEND_CAPTURE,  // the test capture (sound_capture.h)
};
// The backend of the buffers made from now on.
void SetSoundBackend(SoundBackend backend);
SoundBackend GetSoundBackend();

constexpr int32_t SOUND_VOLUME_MIN = -10000;

class SoundBuffer {
public:
    // nullptr when the format is not playable, the size is not a whole number of blocks or is 0, or the
    // chosen backend has no device.
    static std::unique_ptr<SoundBuffer> Create(const PcmFormat& format, uint32_t bytes);
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    uint32_t Size() const { return static_cast<uint32_t>(m_data.size()); }
    // Writes at offset up to the end of the buffer (the first region only). The region is length rounded
    // up to whole blocks, cut at the buffer's end; min(length, region) bytes are copied and the rest of
    // the region is silence. Returns the region's size, or -1 when offset or length do not fit in the
    // buffer. *copied receives the bytes copied.
    int64_t WriteRegion(uint32_t offset, const uint8_t* data, uint32_t length, uint32_t* copied);
    // Starts playing from offset 0, looping.
    void Play();
    // Stops; signals the stop descriptor when it was playing.
    void Stop();
    void SetVolume(int32_t hundredthsOfDb);
    int32_t Volume() const { return m_volume.load(); }
    // Offsets whose passing signals positionFd (an eventfd), and the stop descriptor (-1: none).
    void SetNotifications(std::vector<uint32_t> offsets, int positionFd, int stopFd);
    // Offset of the next byte to play.
    uint32_t PlayCursor() const;

private:
    SoundBuffer(const PcmFormat& format, uint32_t bytes, std::unique_ptr<SoundSink> sink);
    void PlayLoop();
    void ApplyVolume(uint8_t* data, uint32_t bytes) const;

    PcmFormat m_format;
    std::unique_ptr<SoundSink> m_sink;
    uint32_t m_chunk;  // bytes played per step (about 20 ms, whole blocks)
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<uint8_t> m_data;
    uint32_t m_playCursor = 0;
    bool m_playing = false;
    bool m_quit = false;
    bool m_dropQueued = false;  // set by a mute: the play thread drops what the sink holds
    std::vector<uint32_t> m_notifyOffsets;
    int m_positionFd = -1;
    int m_stopFd = -1;
    std::atomic<int32_t> m_volume{0};
    std::atomic<uint64_t> m_generation{0};  // changes at every start, stop, mute and at the end
    std::thread m_thread;
};
