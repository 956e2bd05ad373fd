#pragma once

// The portable routines of the pixel table (internal to the pixel routines).

#include <cstddef>
#include <cstdint>

#include "media/pixel_routines.h"

namespace pixel {

void ZeroMemPortable(void* buffer, uint32_t count);
void FillMemPortable(void* buffer, int value, uint32_t count);
void CopyMemPortable(void* destination, const void* source, uint32_t count);
void CopyStridedI420(uint8_t* destination, const uint8_t* y, int yStride, const uint8_t* u, int uStride,
                     const uint8_t* v, int vStride, int width, int height);
void DrawGridI420(uint8_t* frame, int width, int height);
void DrawZonesI420(uint8_t* frame, int width, int height, const uint8_t* mask);
void PlanesToYuy2Portable(uint8_t* destination, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                          int width, int height);
void I420ToYuy2(uint8_t* destination, const uint8_t* source, int width, int height);
void Rgb24ToYuv444(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void Bgr24ToI420(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void I420ToBgr24Portable(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void I420ToBgrx32Portable(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void I420RowsToBgrx32Portable(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                              const uint8_t* v, int width, int rows);

// The table's current routines (the entry points read it).
extern PixelRoutines g_pixelRoutines;

// Plane pointers of a contiguous I420 picture.
struct I420Planes {
    const uint8_t* y;
    const uint8_t* u;
    const uint8_t* v;
};
inline I420Planes SplitI420(const uint8_t* frame, int width, int height) {
    uint32_t luma = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    return {frame, frame + luma, frame + luma + luma / 4};
}

}  // namespace pixel
