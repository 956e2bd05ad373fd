#pragma once

// Short video streams encoded with libavcodec's own encoders, for the decoder, the decode threads and the
// benchmarks.

#include <cstdint>
#include <vector>

struct EncodedStream {
    int width = 0;
    int height = 0;
    std::vector<std::vector<uint8_t>> packets;  // one per frame, in decoding order
};

// The I420 source picture of frame i: left half luma 60, right half 200, a 16 x 16 box of luma 120
// moving 8 pixels a frame, chroma Cb 100, Cr 160. Textured: a fine luma pattern that changes every frame
// is added, so that every frame costs the decoder about what a camera's does.
std::vector<uint8_t> TestPicture(int frame, int width, int height, bool textured = false);

// Encodes `frames` pictures with the named libavcodec encoder ("libx264", "mpeg4", "h263", "mjpeg"). A
// key frame every `gop` frames, no B-frames, in-band headers. False when the encoder is missing or fails.
// yuv422 encodes 4:2:2 pictures (for the decoder's format check).
bool EncodeTestStream(const char* encoder, int width, int height, int frames, EncodedStream* out,
                      int gop = 12, bool yuv422 = false, bool textured = false);
bool HaveEncoder(const char* encoder);
