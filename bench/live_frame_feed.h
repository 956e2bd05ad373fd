#pragma once

// Stream frames as a DVR sends them on its live connection, and their hand-over to the frame parser (in a
// file of their own: the parser's header and the media headers both define the stream-header records).

#include <cstdint>
#include <vector>

struct DVRDevice;

// A video stream frame of channel: 16-byte header, extension (the stream header, or none), payload,
// trailer.
std::vector<uint8_t> LiveVideoFrame(int channel, const void* ext, uint32_t extLength, const uint8_t* payload,
                                    uint32_t payloadLength);
// The frame parser's result for one frame of the live connection.
int ParseLiveFrame(DVRDevice* device, const std::vector<uint8_t>& frame);
