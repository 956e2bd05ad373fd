#pragma once

// The thin wrapper over libavcodec with which a screen slot turns the compressed video packets of one
// channel into planar YUV 4:2:0 pictures: one packet in, at most one picture out. Used by one thread.

#include <cstdint>

struct AVCodecContext;
struct AVCodec;
struct AVFrame;
struct AVPacket;
struct AVBufferRef;

// The libavcodec codec id for a DVR codec number: 0 is MPEG-4 Part 2, the rest go through the codec map.
// 0 (no codec) for a number the map does not know.
int DecoderCodecId(int dvrCodec);

class VideoDecoder {
public:
    VideoDecoder() = default;
    ~VideoDecoder() { Close(); }
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Opens the decoder of a libavcodec codec id, on one thread; pictures over 16 megapixels are refused. 0,
    // or -1 (what was made is freed by the next Close; callers always Close before Open).
    int Open(int codecId);
    void Close();
    // Decodes one packet. 0 when a picture came out: *frame holds its planes (owned by the decoder, valid
    // until the next call) and *width / *height its size, made even. -1 for no picture, a decoding
    // error, an empty packet (never sent: it would end the stream) or a picture that is not 4:2:0 planar
    // (dropped). The size is given out in every case.
    int Decode(const uint8_t* data, int length, AVFrame** frame, int* width, int* height);

    bool IsOpen() const { return context != nullptr; }

private:
    AVCodecContext* context = nullptr;
    const AVCodec* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    // The bytes of the packet being sent, in buffers libavcodec can hold a reference to: the decoder keeps
    // the last packet until the next one comes, so two take turns and no packet costs an allocation.
    AVBufferRef* packetBuffers[2] = {};
};
