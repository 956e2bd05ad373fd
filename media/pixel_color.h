#pragma once

// The colour formulas shared by the portable routines and the vector versions (internal to the pixel
// routines). BT.601, full range; each result is computed in double precision and truncated toward zero.
// Keep the operation order: the vector versions must reproduce these results bit for bit.

#include <cstdint>

namespace pixel {

inline uint8_t Clamp255(int value) {
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

inline uint8_t YFromRgb(int r, int g, int b) {
    return static_cast<uint8_t>(static_cast<int>(0.299 * r + 0.587 * g + 0.114 * b));
}
inline uint8_t CbFromRgb(int r, int g, int b) {
    return static_cast<uint8_t>(static_cast<int>(0.5 * b - 0.331264 * g - 0.168736 * r + 128));
}
inline uint8_t CrFromRgb(int r, int g, int b) {
    return static_cast<uint8_t>(static_cast<int>(0.5 * r - 0.418688 * g - 0.081312 * b + 128));
}

inline uint8_t RFromYuv(int y, int cr) {
    return Clamp255(static_cast<int>(y + 1.4075 * (cr - 128)));
}
inline uint8_t GFromYuv(int y, int cb, int cr) {
    return Clamp255(static_cast<int>(y - 0.3455 * (cb - 128) - 0.7169 * (cr - 128)));
}
inline uint8_t BFromYuv(int y, int cb) {
    return Clamp255(static_cast<int>(y + 1.779 * (cb - 128)));
}

// Integer form of the YUV to RGB formulas for the vector versions: each component is clamp(Y + offset),
// with an offset per chroma value (pair). It equals the formulas above for every Y except for the few
// (Cb, Cr) pairs whose exact green offset is a whole number: there the double rounding depends on Y, and
// those pairs are marked so that their pixels are computed with GFromYuv (all but grey, whose formula
// terms are exactly 0).
struct ChromaOffsets {
    int16_t r[256];         // by Cr
    int16_t b[256];         // by Cb
    int16_t g[65536];       // by Cb << 8 | Cr
    uint8_t gExact[65536];  // 1: compute green with GFromYuv
};
const ChromaOffsets& GetChromaOffsets();

}  // namespace pixel
