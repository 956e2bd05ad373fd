#pragma once

// Encoded test video for the simulated DVR: one group of pictures per codec and size, encoded once with
// libavcodec from moving test pictures and then replayed in a loop, so streaming costs no encoding.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

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

// The pictures of a recording: each encoded on its own as a key frame, the moving test picture of its
// frame index with the time mark (time_mark.h) of the second it was recorded at.
class RecordedPictureEncoder {
public:
    RecordedPictureEncoder(int codec, int width, int height, int framesPerSecond);
    ~RecordedPictureEncoder();
    RecordedPictureEncoder(const RecordedPictureEncoder&) = delete;
    RecordedPictureEncoder& operator=(const RecordedPictureEncoder&) = delete;

    // One key frame; false when libavcodec has no encoder for the codec here or encoding failed.
    bool Encode(int64_t index, uint32_t recordedTime, std::string* bytes);

private:
    AVCodecContext* context_;
    AVFrame* frame_;
    AVPacket* packet_;
    int64_t nextPts_ = 0;
};

// One packet of 16-bit mono PCM at sampleRate covering 1 / framesPerSecond seconds of a tone.
std::string PcmPacket(int sampleRate, int framesPerSecond, int index);

}  // namespace dvrsim
