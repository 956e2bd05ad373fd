#pragma once

// The three planes of an I420 picture with their row strides: a decoder's picture as it stands, or a
// contiguous I420 buffer.

#include <cstddef>
#include <cstdint>

struct I420Source {
    const uint8_t* plane[3];  // Y, U, V
    int stride[3];
};

// The planes of a contiguous width x height I420 buffer.
inline I420Source ContiguousI420(const uint8_t* picture, int width, int height) {
    const uint8_t* u = picture + static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    const uint8_t* v = u + static_cast<uint32_t>(width) * static_cast<uint32_t>(height) / 4;
    return I420Source{{picture, u, v}, {width, width / 2, width / 2}};
}

// The contiguous buffer a source describes, or null when its planes lie elsewhere.
inline const uint8_t* ContiguousBuffer(const I420Source& source, int width, int height) {
    I420Source c = ContiguousI420(source.plane[0], width, height);
    for (int p = 0; p < 3; ++p) {
        if (source.plane[p] != c.plane[p] || source.stride[p] != c.stride[p])
            return nullptr;
    }
    return source.plane[0];
}

// Asks the processor to fetch the first bytes bytes of row planeRow of plane ahead of their use (a hint
// only: nothing is read here).
inline void PrefetchPlaneRow(const I420Source& source, int plane, int planeRow, int bytes) {
    const uint8_t* in = source.plane[plane] + static_cast<ptrdiff_t>(planeRow) * source.stride[plane];
    for (int x = 0; x < bytes; x += 64)
        __builtin_prefetch(in + x);
}
