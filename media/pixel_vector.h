#pragma once

// The vector versions of the pixel table (internal to the pixel routines): SSE2, AVX2 and AVX-512 (F, BW,
// VL and VBMI). Each gives the same bytes as its portable routine.

#include <cstddef>
#include <cstdint>

namespace pixel {

// BGRX pixels of one row from luma and per-pixel offsets (clamp(Y + offset) for B, G and R).
using BgrxRowKernel = void (*)(uint8_t* out, const uint8_t* y, const int16_t* offB, const int16_t* offG,
                               const int16_t* offR, int count);
// Drives a row kernel over an I420 picture into 3- or 4-byte pixels (green of the marked chroma pairs is
// computed with the exact formula).
void I420ToBgrWithKernel(uint8_t* destination, const uint8_t* source, int width, int height, int flip,
                         int bytesPerPixel, BgrxRowKernel kernel);

void ZeroMemSse2(void* buffer, uint32_t count);
void FillMemSse2(void* buffer, int value, uint32_t count);
void CopyMemSse2(void* destination, const void* source, uint32_t count);
void PlanesToYuy2Sse2(uint8_t* destination, const uint8_t* y, const uint8_t* u, const uint8_t* v, int width,
                      int height);
void I420ToBgr24Sse2(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void I420ToBgrx32Sse2(uint8_t* destination, const uint8_t* source, int width, int height, int flip);

void ZeroMemAvx2(void* buffer, uint32_t count);
void FillMemAvx2(void* buffer, int value, uint32_t count);
void CopyMemAvx2(void* destination, const void* source, uint32_t count);
void PlanesToYuy2Avx2(uint8_t* destination, const uint8_t* y, const uint8_t* u, const uint8_t* v, int width,
                      int height);
void I420ToBgr24Avx2(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void I420ToBgrx32Avx2(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void I420RowsToBgrx32Avx2(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                          const uint8_t* v, int width, int rows);
void I420RowsToBgrx32StreamAvx2(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                                const uint8_t* v, int width, int rows);
void StreamFence();
void Bgr24ToI420Avx2(uint8_t* destination, const uint8_t* source, int width, int height, int flip);

void I420ToBgr24Avx512(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void I420ToBgrx32Avx512(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void I420RowsToBgrx32Avx512(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                            const uint8_t* v, int width, int rows);

}  // namespace pixel
