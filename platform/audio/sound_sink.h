#pragma once

// Where a sound buffer's bytes go (internal to platform/audio): ALSA, nothing at the real rate, or the
// test capture. Every call happens on the buffer's play thread.

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/audio/pcm_format.h"

class SoundSink {
public:
    virtual ~SoundSink() = default;
    // Plays bytes (whole blocks), returning when the sink has taken them: at the pace of playback.
    // Returns false, having taken none or part, as soon as *generation differs from mine.
    virtual bool Write(const uint8_t* data, uint32_t bytes, const std::atomic<uint64_t>& generation,
                       uint64_t mine) = 0;
    // Drops what is queued and starts the playback clock anew (on every start).
    virtual void Reset() = 0;
};

std::unique_ptr<SoundSink> OpenAlsaSink(const PcmFormat& format);  // nullptr when no device opens
std::unique_ptr<SoundSink> MakeNullSink(const PcmFormat& format);
std::unique_ptr<SoundSink> MakeCaptureSink(const PcmFormat& format);
