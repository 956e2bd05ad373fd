// The ALSA sink: the default PCM device, non-blocking, so that a stop is seen while the device is full.

#include <alsa/asoundlib.h>

#include <cstdarg>

#include "platform/audio/sound_sink.h"

namespace {

// ALSA prints its own diagnostics on stderr when no device is there; the program falls back silently.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_format_t AlsaFormat(int bits) {
    switch (bits) {
        case 8:
            return SND_PCM_FORMAT_U8;
        case 16:
            return SND_PCM_FORMAT_S16_LE;
        case 24:
            return SND_PCM_FORMAT_S24_3LE;
        default:
            return SND_PCM_FORMAT_S32_LE;
    }
}

class AlsaSink : public SoundSink {
public:
    AlsaSink(snd_pcm_t* pcm, const PcmFormat& format) : m_pcm(pcm), m_blockAlign(format.blockAlign) {}
    ~AlsaSink() override { snd_pcm_close(m_pcm); }

    bool Write(const uint8_t* data, uint32_t bytes, const std::atomic<uint64_t>& generation,
               uint64_t mine) override {
        snd_pcm_uframes_t frames = bytes / m_blockAlign;
        while (frames > 0) {
            if (generation.load() != mine)
                return false;
            snd_pcm_sframes_t written = snd_pcm_writei(m_pcm, data, frames);
            if (written == -EAGAIN) {
                snd_pcm_wait(m_pcm, 10);
                continue;
            }
            if (written < 0) {
                // Underrun or suspend: recover once; a device that stays broken takes the bytes unplayed.
                if (snd_pcm_recover(m_pcm, static_cast<int>(written), 1) < 0)
                    return true;
                continue;
            }
            data += written * m_blockAlign;
            frames -= static_cast<snd_pcm_uframes_t>(written);
        }
        return true;
    }

    void Reset() override {
        snd_pcm_drop(m_pcm);
        snd_pcm_prepare(m_pcm);
    }

private:
    snd_pcm_t* m_pcm;
    uint32_t m_blockAlign;
};

}  // namespace

std::unique_ptr<SoundSink> OpenAlsaSink(const PcmFormat& format) {
    snd_lib_error_set_handler(QuietAlsaErrors);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return nullptr;
    if (snd_pcm_set_params(pcm, AlsaFormat(format.bitsPerSample), SND_PCM_ACCESS_RW_INTERLEAVED,
                           format.channels, format.sampleRate, 1, 100000) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::make_unique<AlsaSink>(pcm, format);
}
