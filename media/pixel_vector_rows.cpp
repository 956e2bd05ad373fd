// The row driver of the vector colour conversions: chroma offsets are looked up once per chroma row and
// chunk of pixels and used by both luma rows; the vector kernel does the per-pixel work.

#include <cstring>

#include "media/pixel_color.h"
#include "media/pixel_portable.h"
#include "media/pixel_vector.h"

namespace pixel {

namespace {
constexpr int kChunk = 512;  // pixels per chunk (even)

struct ChunkOffsets {
    int16_t b[kChunk];
    int16_t g[kChunk];
    int16_t r[kChunk];
    int exact[kChunk / 2];  // chroma samples of the chunk whose green takes the exact formula
    int exactCount;
};

void LoadOffsets(ChunkOffsets* o, const uint8_t* us, const uint8_t* vs, int samples) {
    const ChromaOffsets& t = GetChromaOffsets();
    o->exactCount = 0;
    for (int m = 0; m < samples; ++m) {
        int cb = us[m], cr = vs[m];
        int pair = cb << 8 | cr;
        int16_t b = t.b[cb], g = t.g[pair], r = t.r[cr];
        o->b[2 * m] = o->b[2 * m + 1] = b;
        o->g[2 * m] = o->g[2 * m + 1] = g;
        o->r[2 * m] = o->r[2 * m + 1] = r;
        if (t.gExact[pair])
            o->exact[o->exactCount++] = m;
    }
}

void FixExactGreen(uint8_t* out, int bytesPerPixel, const uint8_t* ys, const uint8_t* us, const uint8_t* vs,
                   const ChunkOffsets& o, int count) {
    for (int e = 0; e < o.exactCount; ++e) {
        int m = o.exact[e];
        for (int x = 2 * m; x <= 2 * m + 1 && x < count; ++x)
            out[x * bytesPerPixel + 1] = GFromYuv(ys[x], us[m], vs[m]);
    }
}

void PackBgrxToBgr(uint8_t* out, const uint8_t* bgrx, int count) {
    for (int x = 0; x < count; ++x) {
        out[3 * x] = bgrx[4 * x];
        out[3 * x + 1] = bgrx[4 * x + 1];
        out[3 * x + 2] = bgrx[4 * x + 2];
    }
}
}  // namespace

void I420ToBgrWithKernel(uint8_t* destination, const uint8_t* source, int width, int height, int flip,
                         int bytesPerPixel, BgrxRowKernel kernel) {
    if (width <= 0 || height <= 0)
        return;
    I420Planes p = SplitI420(source, width, height);
    int chromaWidth = width / 2;
    size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    ChunkOffsets offsets;
    alignas(32) uint8_t packed[kChunk * 4];
    for (int row = 0; row < height; row += 2) {
        const uint8_t* us = p.u + static_cast<size_t>(row / 2) * chromaWidth;
        const uint8_t* vs = p.v + static_cast<size_t>(row / 2) * chromaWidth;
        for (int x0 = 0; x0 < width; x0 += kChunk) {
            int count = width - x0 < kChunk ? width - x0 : kChunk;
            LoadOffsets(&offsets, us + x0 / 2, vs + x0 / 2, (count + 1) / 2);
            for (int r = row; r < row + 2 && r < height; ++r) {
                const uint8_t* ys = p.y + static_cast<size_t>(r) * width + x0;
                uint8_t* out = destination + static_cast<size_t>(flip ? height - 1 - r : r) * rowBytes +
                               static_cast<size_t>(x0) * bytesPerPixel;
                uint8_t* target = bytesPerPixel == 4 ? out : packed;
                kernel(target, ys, offsets.b, offsets.g, offsets.r, count);
                FixExactGreen(target, 4, ys, us + x0 / 2, vs + x0 / 2, offsets, count);
                if (bytesPerPixel == 3)
                    PackBgrxToBgr(out, packed, count);
            }
        }
    }
}

}  // namespace pixel
