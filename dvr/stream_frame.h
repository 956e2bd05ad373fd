#pragma once

// Frames of the live and playback connections: a 16-byte header, an extension block (a stream header),
// the payload (a picture, an audio packet or a text message) and STREAM_TRAILER.

#include <cstddef>
#include <cstdint>

#include "dvr/stream_headers.h"
#include "platform/system/win_types.h"

struct DVRDevice;

constexpr uint8_t STREAM_MAGIC = 0xFE;
constexpr uint32_t STREAM_FLAG_VIDEO = 0x100;
constexpr uint32_t STREAM_FLAG_TEXT = 0x200;
constexpr char STREAM_TRAILER[] = "$ETX\r\n\r\n";
constexpr int STREAM_TRAILER_LENGTH = 8;
constexpr int STREAM_FRAME_OVERHEAD = 16 + STREAM_TRAILER_LENGTH;

struct StreamFrameHeader {
    uint32_t flags;  // byte 0 STREAM_MAGIC
    int32_t channel;
    uint32_t extLength;  // only the low byte counts
    uint32_t payloadLength;
};
static_assert(sizeof(StreamFrameHeader) == 16, "StreamFrameHeader layout");

// Checks one frame of frameLength bytes (trailer included) and routes it: text to DispatchDvrMessage,
// stream headers into the channel, pictures and audio into the queues of the slots that take them.
// -1 when the frame was rejected.
int ParseStreamFrame(int frameLength, DVRDevice* device, HWND mainWindow, int connectionType,
                     const uint8_t* frame);
