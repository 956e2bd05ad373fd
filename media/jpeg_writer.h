#pragma once

// A small wrapper over libjpeg-turbo's compressor: a baseline RGB JPEG at quality 75 from a picture of
// bottom-up rows of B, G, R bytes. Encoder errors (a failed write, no memory) come back as -1: the error
// manager never ends the program.

#include <cstdint>
#include <cstdio>

struct jpeg_compress_struct;
struct JpegErrorManager;

class JpegWriter {
public:
    JpegWriter() = default;
    ~JpegWriter() { Destroy(); }
    JpegWriter(const JpegWriter&) = delete;
    JpegWriter& operator=(const JpegWriter&) = delete;

    // Prepares a width x height RGB image written to file. 0, or -1 (no memory, bad size or file).
    [[nodiscard]] int Create(int width, int height, FILE* file);
    // Encodes the picture; rowLength is the distance in bytes between its rows (at least width x 3).
    // 0, or -1 without Create, without a picture or on an encoder error.
    [[nodiscard]] int Write(const uint8_t* picture, int rowLength);
    // Frees the compressor; safe to call again.
    void Destroy();

private:
    [[nodiscard]] int WriteRows(int rowLength, const uint8_t* picture);

    jpeg_compress_struct* m_compress = nullptr;
    JpegErrorManager* m_error = nullptr;
};
