#pragma once

// The two stream formats of a record file as the AVI layout stores them: the bitmap header of the video
// stream and the wave format of the audio stream, little-endian and packed.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;  // FOURCC of the codec
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;  // extra bytes after the record
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER layout");
static_assert(offsetof(BITMAPINFOHEADER, biCompression) == 16, "BITMAPINFOHEADER layout");
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX layout");
static_assert(offsetof(WAVEFORMATEX, nAvgBytesPerSec) == 8, "WAVEFORMATEX layout");

constexpr uint16_t WAVE_FORMAT_PCM = 1;

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}
constexpr uint32_t FOURCC_H264 = MakeFourCC('H', '2', '6', '4');
constexpr uint32_t FOURCC_XVID = MakeFourCC('X', 'V', 'I', 'D');
