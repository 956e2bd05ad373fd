#pragma once

// An audio player with the format it was made for, both guarded by one lock: the decode thread that
// replaces the player and the UI thread that stops it or changes its volume never meet a freed player.

#include <cstdint>
#include <mutex>

#include "media/audio_player.h"

struct LiveAudioFormat {
    uint16_t channels;
    uint32_t sampleRate;
    uint16_t bitsPerSample;
};

struct AudioOutput {
    std::mutex lock;
    AudioPlayer* player = nullptr;  // owned
    LiveAudioFormat format{};
};

// The live player of the main window's selected screen.
extern AudioOutput g_liveAudio;

// Makes a stopped player of two seconds for a format (owner window gets its notifications) and stores
// both; the previous player is deleted. A format that cannot be played (no channels, fewer than 8 bits,
// an absurd rate) is stored without a player: the output stays silent until the format changes.
// 0, or -1 when a player cannot be made (the next packet tries again).
int ReplaceAudioPlayer(AudioOutput& output, const LiveAudioFormat& format, HWND owner);
// One packet for an output: a new format replaces the player; a packet of 1 byte or more is written, an
// empty one stops the player; a player that is not playing gets `volume` and is started from the
// beginning of its buffer. 0, or -1 when a player cannot be made.
int PlayAudioPacket(AudioOutput& output, const uint8_t* data, uint32_t length, const LiveAudioFormat& format,
                    HWND owner, int32_t volume);
void StopAudioOutput(AudioOutput& output);
void SetAudioOutputVolume(AudioOutput& output, int32_t hundredthsOfDb);
// Deletes the player (end of the media system).
void FreeAudioOutput(AudioOutput& output);
