#pragma once

// The 16-byte stream headers with which a DVR announces a video stream (picture size, frame rate, codec)
// or an audio stream (sample format). They arrive as the extension block of a stream frame and travel to
// the consumers in the header buffer of a frame node. Little-endian on the wire, as on this machine. The
// stream parser, the decode threads and the record and playback threads share this one definition.

#include <cstddef>
#include <cstdint>

struct VideoStreamHeader {
    int32_t width;
    int32_t height;
    int32_t frameRate;  // hundredths of a frame per second
    int32_t codecType;  // DVR codec number
};
static_assert(sizeof(VideoStreamHeader) == 16, "VideoStreamHeader layout");

struct AudioStreamHeader {
    uint16_t channels;
    uint8_t unused1[2];
    uint32_t sampleRate;
    uint16_t bitsPerSample;
    uint8_t unused2[6];
};
static_assert(sizeof(AudioStreamHeader) == 16, "AudioStreamHeader layout");
static_assert(offsetof(AudioStreamHeader, sampleRate) == 4, "AudioStreamHeader layout");
static_assert(offsetof(AudioStreamHeader, bitsPerSample) == 8, "AudioStreamHeader layout");

// Longest extension block a stream frame may carry.
constexpr int STREAM_HEADER_MAX = 16;

// Copies a header block over a header: a block shorter than 16 bytes fills the header from its start and
// the rest keeps its previous values; bytes past 16 are ignored.
void ApplyStreamHeaderBlock(void* header, const uint8_t* block, uint32_t length);
