#pragma once

// The time mark of a recorded picture: the second it was recorded at (seconds since 1970), drawn as a band
// of black and white cells across the top of the picture, so that whoever shows the picture (a decoded
// picture, a screen grab of any size) can read back which moment of the recording it shows. Row 0 holds
// bits 31..16, row 1 bits 15..0 and row 2 the complement of row 1, as a check.

#include <cstdint>
#include <functional>

namespace dvrsim {

constexpr int kTimeMarkColumns = 16;
constexpr int kTimeMarkRows = 3;
// The band covers this share of the picture's height.
constexpr double kTimeMarkHeight = 0.25;

constexpr uint8_t kTimeMarkDark = 16;
constexpr uint8_t kTimeMarkLight = 235;

// Draws the mark into a luma plane (its chroma, where the caller has one, is best left neutral).
void DrawTimeMark(uint8_t* luma, int stride, int width, int height, uint32_t time);

// Reads a mark through a sampler that gives the brightness (0-255) at a point of the picture in
// fractions of its width and height (0..1). The time, or -1 when the check row does not agree.
int64_t ReadTimeMark(const std::function<int(double x, double y)>& brightness);

// The mark of an I420 or grey picture's luma plane.
int64_t ReadTimeMarkLuma(const uint8_t* luma, int stride, int width, int height);

}  // namespace dvrsim
