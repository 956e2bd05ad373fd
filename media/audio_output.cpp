#include "media/audio_output.h"

#include <new>

#include "platform/audio/pcm_format.h"

AudioOutput g_liveAudio;

namespace {
bool SameFormat(const LiveAudioFormat& a, const LiveAudioFormat& b) {
    return a.channels == b.channels && a.sampleRate == b.sampleRate && a.bitsPerSample == b.bitsPerSample;
}

int ReplaceUnderLock(AudioOutput& output, const LiveAudioFormat& format, HWND owner) {
    delete output.player;
    output.player = nullptr;
    PcmFormat pcm = MakePcmFormat(format.bitsPerSample, static_cast<int>(format.sampleRate), format.channels);
    if (!IsPlayablePcmFormat(pcm)) {
        output.format = format;
        return 0;
    }
    auto* player = new (std::nothrow) AudioPlayer();
    if (player == nullptr)
        return -1;
    output.format = format;
    player->SetWindow(owner);
    player->SetFormat(format.bitsPerSample, static_cast<int>(format.sampleRate), format.channels);
    player->CreateBuffer(2 * pcm.bytesPerSecond);  // two seconds
    output.player = player;
    player->Stop();
    return 0;
}
}  // namespace

int ReplaceAudioPlayer(AudioOutput& output, const LiveAudioFormat& format, HWND owner) {
    std::lock_guard<std::mutex> guard(output.lock);
    return ReplaceUnderLock(output, format, owner);
}

int PlayAudioPacket(AudioOutput& output, const uint8_t* data, uint32_t length, const LiveAudioFormat& format,
                    HWND owner, int32_t volume) {
    std::lock_guard<std::mutex> guard(output.lock);
    if (!SameFormat(format, output.format) && ReplaceUnderLock(output, format, owner) != 0)
        return -1;
    AudioPlayer* player = output.player;
    if (player == nullptr)
        return 0;
    if (length >= 1) {
        uint32_t taken = 0;
        player->Write(data, length, &taken);
    } else {
        player->Stop();
    }
    if (!player->IsPlaying()) {
        player->SetVolume(volume);
        player->Play();
    }
    return 0;
}

void StopAudioOutput(AudioOutput& output) {
    std::lock_guard<std::mutex> guard(output.lock);
    if (output.player != nullptr)
        output.player->Stop();
}

void SetAudioOutputVolume(AudioOutput& output, int32_t hundredthsOfDb) {
    std::lock_guard<std::mutex> guard(output.lock);
    if (output.player != nullptr)
        output.player->SetVolume(hundredthsOfDb);
}

void FreeAudioOutput(AudioOutput& output) {
    std::lock_guard<std::mutex> guard(output.lock);
    delete output.player;
    output.player = nullptr;
    output.format = LiveAudioFormat{};
}
