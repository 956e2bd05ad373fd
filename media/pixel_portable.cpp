#include "media/pixel_portable.h"

#include <cstring>

#include "media/pixel_color.h"

namespace pixel {

void ZeroMemPortable(void* buffer, uint32_t count) {
    if (count > 0)
        std::memset(buffer, 0, count);
}

void FillMemPortable(void* buffer, int value, uint32_t count) {
    if (count > 0)
        std::memset(buffer, value & 0xFF, count);
}

void CopyMemPortable(void* destination, const void* source, uint32_t count) {
    if (count > 0)
        std::memcpy(destination, source, count);
}

void CopyStridedI420(uint8_t* destination, const uint8_t* y, int yStride, const uint8_t* u, int uStride,
                     const uint8_t* v, int vStride, int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    uint8_t* out = destination;
    for (int row = 0; row < height; ++row) {
        ImgCopyMem(out, y, static_cast<uint32_t>(width));
        out += width;
        y += yStride;
    }
    if (height < 2)
        return;
    uint32_t luma = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    uint8_t* outU = destination + luma;
    uint8_t* outV = outU + luma / 4;
    int chromaWidth = width / 2;
    for (int row = 0; row < height / 2; ++row) {
        ImgCopyMem(outU, u, static_cast<uint32_t>(chromaWidth));
        ImgCopyMem(outV, v, static_cast<uint32_t>(chromaWidth));
        outU += chromaWidth;
        outV += chromaWidth;
        u += uStride;
        v += vStride;
    }
}

void PlanesToYuy2Portable(uint8_t* destination, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                          int width, int height) {
    int pairs = width / 2;
    for (int row = 0; row < height; ++row) {
        const uint8_t* ys = y + row * width;
        const uint8_t* us = u + (row / 2) * pairs;
        const uint8_t* vs = v + (row / 2) * pairs;
        uint8_t* out = destination + row * width * 2;
        for (int i = 0; i < pairs; ++i) {
            out[4 * i] = ys[2 * i];
            out[4 * i + 1] = us[i];
            out[4 * i + 2] = ys[2 * i + 1];
            out[4 * i + 3] = vs[i];
        }
    }
}

void I420ToYuy2(uint8_t* destination, const uint8_t* source, int width, int height) {
    I420Planes p = SplitI420(source, width, height);
    g_pixelRoutines.ImgPlanesToYuy2(destination, p.y, p.u, p.v, width, height);
}

void Rgb24ToYuv444(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    for (int row = 0; row < height; ++row) {
        const uint8_t* in = source + static_cast<size_t>(flip ? height - 1 - row : row) * width * 3;
        uint8_t* out = destination + static_cast<size_t>(row) * width * 3;
        for (int x = 0; x < width; ++x) {
            int r = in[3 * x], g = in[3 * x + 1], b = in[3 * x + 2];
            out[3 * x] = YFromRgb(r, g, b);
            out[3 * x + 1] = CbFromRgb(r, g, b);
            out[3 * x + 2] = CrFromRgb(r, g, b);
        }
    }
}

void Bgr24ToI420(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    if (width <= 0 || height <= 0)
        return;
    uint32_t luma = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    uint8_t* outU = destination + luma;
    uint8_t* outV = outU + luma / 4;
    auto sourceRow = [&](int row) {
        return source + static_cast<size_t>(flip ? height - 1 - row : row) * width * 3;
    };
    for (int row = 0; row < height; ++row) {
        const uint8_t* in = sourceRow(row);
        uint8_t* out = destination + static_cast<size_t>(row) * width;
        for (int x = 0; x < width; ++x)
            out[x] = YFromRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
    }
    int chromaWidth = width / 2;
    for (int k = 0; k < height / 2; ++k) {
        const uint8_t* top = sourceRow(2 * k);
        const uint8_t* bottom = sourceRow(2 * k + 1);
        for (int m = 0; m < chromaWidth; ++m) {
            int sum[3];
            for (int c = 0; c < 3; ++c) {
                sum[c] = top[6 * m + c] + top[6 * m + 3 + c] + bottom[6 * m + c] + bottom[6 * m + 3 + c];
            }
            int b = sum[0] >> 2, g = sum[1] >> 2, r = sum[2] >> 2;
            outU[k * chromaWidth + m] = CbFromRgb(r, g, b);
            outV[k * chromaWidth + m] = CrFromRgb(r, g, b);
        }
    }
}

namespace {
// Out of I420 into 3 or 4 bytes a pixel (B, G, R and, for 4, a zero byte).
template <int kBytes>
void I420ToBgr(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420Planes p = SplitI420(source, width, height);
    int chromaWidth = width / 2;
    for (int row = 0; row < height; ++row) {
        const uint8_t* ys = p.y + static_cast<size_t>(row) * width;
        const uint8_t* us = p.u + static_cast<size_t>(row / 2) * chromaWidth;
        const uint8_t* vs = p.v + static_cast<size_t>(row / 2) * chromaWidth;
        uint8_t* out = destination + static_cast<size_t>(flip ? height - 1 - row : row) * width * kBytes;
        for (int x = 0; x < width; ++x) {
            int y = ys[x], cb = us[x / 2], cr = vs[x / 2];
            out[kBytes * x] = BFromYuv(y, cb);
            out[kBytes * x + 1] = GFromYuv(y, cb, cr);
            out[kBytes * x + 2] = RFromYuv(y, cr);
            if (kBytes == 4)
                out[kBytes * x + 3] = 0;
        }
    }
}
}  // namespace

void I420RowsToBgrx32Portable(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                              const uint8_t* v, int width, int rows) {
    for (int r = 0; r < rows; ++r) {
        for (int x = 0; x < width; ++x) {
            int y = ys[r][x], cb = u[x / 2], cr = v[x / 2];
            out[r][4 * x] = BFromYuv(y, cb);
            out[r][4 * x + 1] = GFromYuv(y, cb, cr);
            out[r][4 * x + 2] = RFromYuv(y, cr);
            out[r][4 * x + 3] = 0;
        }
    }
}

void I420ToBgr24Portable(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgr<3>(destination, source, width, height, flip);
}

void I420ToBgrx32Portable(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgr<4>(destination, source, width, height, flip);
}

}  // namespace pixel
