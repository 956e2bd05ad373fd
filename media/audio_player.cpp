#include "media/audio_player.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdio>

#include "core/window_messages.h"
#include "platform/audio/sound_buffer.h"
#include "platform/system/window_post.h"

AudioPlayer::AudioPlayer() {
    CreateDevice();
}

AudioPlayer::~AudioPlayer() {
    if (m_notifyThread != nullptr) {
        PostThreadMessage(m_notifyThreadId, WM_QUIT, 0, 0);
        if (!WaitWorkerThread(m_notifyThread, AUDIO_NOTIFY_STOP_WAIT_MS))
            std::fprintf(stderr, "audio notify thread did not stop within %d ms; waiting for it\n",
                         AUDIO_NOTIFY_STOP_WAIT_MS);
        CloseWorkerThread(m_notifyThread);
        m_notifyThread = nullptr;
    }
    DestroyBuffer();
    for (int* fd : {&m_positionEvent, &m_stopEvent}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

int AudioPlayer::CreateDevice() {
    // The sound layer always has a device: ALSA's, or the null sink that keeps the timing.
    m_device = true;
    return 0;
}

void AudioPlayer::DestroyBuffer() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_buffer.reset();
    m_device = false;
}

int AudioPlayer::SetWindow(HWND window) {
    if (!m_device)
        return 0;
    m_window.store(window);
    return 1;
}

int AudioPlayer::SetFormat(int bitsPerSample, int sampleRate, int channels) {
    if (channels <= 0 || bitsPerSample < 8 || sampleRate <= 0)
        return 0;
    PcmFormat format = MakePcmFormat(bitsPerSample, sampleRate, channels);
    if (!IsPlayablePcmFormat(format))
        return 0;
    std::lock_guard<std::mutex> guard(m_lock);
    m_format = std::make_unique<PcmFormat>(format);
    return 1;
}

int AudioPlayer::CreateBuffer(uint32_t size) {
    uint32_t quarter;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_device || !m_format)
            return 0;
        uint32_t align = m_format->blockAlign;
        quarter = size / 4;
        uint32_t bytes = size;
        if (quarter % align != 0) {
            quarter += align - quarter % align;
            bytes = 4 * quarter;
        }
        m_buffer = SoundBuffer::Create(*m_format, bytes);
        if (!m_buffer)
            return 0;
        m_bufferSize = bytes;
        m_writeCursor = 0;
    }
    return StartNotify(quarter);
}

int AudioPlayer::StartNotify(uint32_t quarter) {
    for (int* fd : {&m_positionEvent, &m_stopEvent}) {
        if (*fd < 0)
            *fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (*fd < 0)
            return 0;
    }
    if (m_notifyThread == nullptr) {
        m_notifyThread = CreateWorkerThread(NotifyThread, this, &m_notifyThreadId);
        if (m_notifyThread == nullptr)
            return 0;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_buffer)
        return 0;
    m_buffer->SetNotifications({quarter - 1, 2 * quarter - 1, 3 * quarter - 1, 4 * quarter - 1},
                               m_positionEvent, m_stopEvent);
    return 1;
}

unsigned AudioPlayer::NotifyThread(void* arg) {
    auto* self = static_cast<AudioPlayer*>(arg);
    for (;;) {
        struct pollfd fds[3] = {{self->m_positionEvent, POLLIN, 0},
                                {self->m_stopEvent, POLLIN, 0},
                                {CurrentThreadMessageFd(), POLLIN, 0}};
        if (poll(fds, 3, -1) < 0)
            continue;
        const UINT messages[2] = {WM_AUDIO_NOTIFY_POSITION, WM_AUDIO_NOTIFY_STOP};
        for (int i = 0; i < 2; ++i) {
            uint64_t count = 0;
            if ((fds[i].revents & POLLIN) == 0 || read(fds[i].fd, &count, sizeof count) != sizeof count)
                continue;
            // Signals that came while the thread was away merge into one post, as an auto-reset event's do.
            HWND window = self->m_window.load();
            if (count > 0 && window != nullptr)
                PostMessage(window, messages[i], reinterpret_cast<WPARAM>(self), 0);
        }
        bool quit = false;
        ThreadMessage msg;
        while (PeekThreadMessage(&msg))
            quit = quit || msg.message == WM_QUIT;
        if (quit)
            return 0;
    }
}

int AudioPlayer::Write(const uint8_t* data, uint32_t length, uint32_t* taken) {
    if (taken == nullptr)
        return 0;
    *taken = 0;
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_buffer || length == 0)
        return 0;
    // The packet goes at the write cursor up to the buffer's end; a packet that reaches past the end is
    // cut there and the next one starts at offset 0.
    uint32_t copied = 0;
    int64_t region = m_buffer->WriteRegion(m_writeCursor, data, length, &copied);
    if (region < 0)
        return 0;
    *taken = copied;
    m_writeCursor = static_cast<uint32_t>((m_writeCursor + region) % m_bufferSize);
    return 0;
}

int AudioPlayer::Play() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_buffer)
        return 0;
    m_buffer->Play();
    m_playing.store(1);
    return 1;
}

int AudioPlayer::Stop() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_buffer)
        return 0;
    m_buffer->Stop();
    m_playing.store(0);
    return 1;
}

int AudioPlayer::SetVolume(int32_t hundredthsOfDb) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_buffer)
        return 0;
    m_buffer->SetVolume(hundredthsOfDb);
    return 1;
}

uint32_t AudioPlayer::BufferSize() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bufferSize;
}

uint32_t AudioPlayer::WriteCursor() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_writeCursor;
}

void DeleteAudioPlayer(AudioPlayer* player) {
    delete player;
}
