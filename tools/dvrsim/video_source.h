#pragma once

// Encoded test video for the simulated DVR: one group of pictures per codec and size, encoded once with
// libavcodec from moving test pictures and then replayed in a loop, so streaming costs no encoding.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dvrsim {

// DVR codec numbers of the stream headers.
constexpr int kCodecH263 = 13;
constexpr int kCodecMpeg4 = 16;
constexpr int kCodecH264 = 17;

struct EncodedPicture {
    std::string bytes;
    bool key = false;
};

struct EncodedGop {
    int codec = 0;
    int width = 0;
    int height = 0;
    int framesPerSecond = 0;
    std::vector<EncodedPicture> pictures;  // the first one is a key frame
};

// The group of pictures for codec (kCodec*), size and rate; encoded on first use and shared afterwards.
// Null when libavcodec has no encoder for the codec here.
std::shared_ptr<const EncodedGop> GetEncodedGop(int codec, int width, int height, int framesPerSecond);

// Whether libavcodec has an encoder for the DVR codec number.
bool HasEncoder(int codec);

// One packet of 16-bit mono PCM at sampleRate covering 1 / framesPerSecond seconds of a tone.
std::string PcmPacket(int sampleRate, int framesPerSecond, int index);

}  // namespace dvrsim
