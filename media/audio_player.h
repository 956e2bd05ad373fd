#pragma once

// Plays a stream of PCM packets through one looping sound buffer of about two seconds. Packets are
// written at a write cursor that wraps at the buffer's end; Play starts the buffer from its beginning.
// A notify thread posts WM_AUDIO_NOTIFY_POSITION to the owner window at the end of each quarter played
// and WM_AUDIO_NOTIFY_STOP when the buffer stops (wParam = the player).
// The player's own lock makes its calls safe from the decode thread and the UI thread at once; the
// pointer to a player is guarded by its owner (AudioOutput).

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/audio/pcm_format.h"
#include "platform/system/thread_queue.h"
#include "platform/system/win_types.h"

class SoundBuffer;

constexpr int AUDIO_NOTIFY_STOP_WAIT_MS = 1000;

class AudioPlayer {
public:
    AudioPlayer();
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    int SetWindow(HWND window);
    // 1, or 0 when the format is not playable (no channels, fewer than 8 bits, an absurd rate).
    int SetFormat(int bitsPerSample, int sampleRate, int channels);
    int CreateBuffer(uint32_t size);
    // Always 0; *taken receives the bytes stored (0 when nothing could be written).
    int Write(const uint8_t* data, uint32_t length, uint32_t* taken);
    int Play();
    int Stop();
    int IsPlaying() const { return m_playing.load(); }
    int SetVolume(int32_t hundredthsOfDb);

    uint32_t BufferSize() const;
    uint32_t WriteCursor() const;

private:
    int CreateDevice();
    void DestroyBuffer();
    int StartNotify(uint32_t quarter);
    static unsigned NotifyThread(void* arg);

    mutable std::mutex m_lock;
    bool m_device = false;
    std::unique_ptr<PcmFormat> m_format;
    std::atomic<HWND> m_window{nullptr};
    std::unique_ptr<SoundBuffer> m_buffer;
    uint32_t m_bufferSize = 0;
    uint32_t m_writeCursor = 0;
    int m_positionEvent = -1;
    int m_stopEvent = -1;
    WorkerThread* m_notifyThread = nullptr;
    ThreadId m_notifyThreadId = 0;
    std::atomic<int> m_playing{0};
};

void DeleteAudioPlayer(AudioPlayer* player);
