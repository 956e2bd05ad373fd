#include "media/pixel_color.h"

#include <cmath>

namespace pixel {

namespace {
ChromaOffsets MakeOffsets() {
    ChromaOffsets t{};
    for (int c = 0; c < 256; ++c) {
        t.r[c] = static_cast<int16_t>(std::floor(1.4075 * (c - 128)));
        t.b[c] = static_cast<int16_t>(std::floor(1.779 * (c - 128)));
    }
    for (int cb = 0; cb < 256; ++cb) {
        for (int cr = 0; cr < 256; ++cr) {
            int index = cb << 8 | cr;
            // -(0.3455 u + 0.7169 v) = -(3455 u + 7169 v) / 10000: a whole number exactly when the
            // numerator is a multiple of 10000.
            int numerator = 3455 * (cb - 128) + 7169 * (cr - 128);
            // Grey (numerator 0) is whole too, but its offset 0 is exact for every Y: not marked.
            t.gExact[index] = numerator % 10000 == 0 && numerator != 0 ? 1 : 0;
            t.g[index] = static_cast<int16_t>(std::floor(-0.3455 * (cb - 128) - 0.7169 * (cr - 128)));
        }
    }
    return t;
}
}  // namespace

const ChromaOffsets& GetChromaOffsets() {
    static const ChromaOffsets offsets = MakeOffsets();
    return offsets;
}

}  // namespace pixel
