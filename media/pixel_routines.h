#pragma once

// The table of pixel and bulk-memory routines. It is filled once at start-up (ImgInitDispatch) with the
// portable routines, and the vector versions that the processor supports replace some of them; every
// vector version gives the same bytes as its portable routine. Callers use the named entry points below,
// never the table.
//
// I420: one buffer of the Y plane (width x height), then U and V (width / 2 x height / 2 each, rows of
// width / 2 bytes). Sizes are even. Flip 1: for conversions into YUV the source rows are bottom-up, for
// conversions out of YUV the output rows are written bottom-up.

#include <cstdint>

using ImgZeroFn = void (*)(void* buffer, uint32_t count);
using ImgFillFn = void (*)(void* buffer, int value, uint32_t count);
using ImgCopyFn = void (*)(void* destination, const void* source, uint32_t count);
using ImgStridedI420Fn = void (*)(uint8_t* destination, const uint8_t* y, int yStride, const uint8_t* u,
                                  int uStride, const uint8_t* v, int vStride, int width, int height);
using ImgDrawGridFn = void (*)(uint8_t* frame, int width, int height);
using ImgDrawZonesFn = void (*)(uint8_t* frame, int width, int height, const uint8_t* mask);
using ImgPlanesToYuy2Fn = void (*)(uint8_t* destination, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                                   int width, int height);
using ImgI420ToPackedFn = void (*)(uint8_t* destination, const uint8_t* source, int width, int height);
using ImgConvertFn = void (*)(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
using ImgReservedFn = void (*)();

// Slot order is fixed. Slots that nothing calls keep their place and stay null.
struct PixelRoutines {
    ImgReservedFn ImgDeinterlacePlane;    // 0
    ImgZeroFn ImgZeroMem;                 // 1
    ImgFillFn ImgFillMem;                 // 2
    ImgCopyFn ImgCopyMem;                 // 3
    ImgReservedFn ImgHalveWidth;          // 4
    ImgReservedFn ImgHalveSize;           // 5
    ImgReservedFn ImgZoneDiffI420;        // 6
    ImgReservedFn ImgMaskZonesI420;       // 7
    ImgDrawZonesFn ImgDrawZonesI420;      // 8
    ImgDrawGridFn ImgDrawGridI420;        // 9
    ImgReservedFn ImgWeaveFieldI420;      // 10
    ImgReservedFn ImgPackPlanesI420;      // 11
    ImgStridedI420Fn ImgCopyStridedI420;  // 12
    ImgReservedFn ImgScaleYuy2;           // 13
    ImgReservedFn ImgZoneDiffYuy2;        // 14
    ImgReservedFn ImgMaskZonesYuy2;       // 15
    ImgReservedFn ImgDrawZonesYuy2;       // 16
    ImgReservedFn ImgDrawGridYuy2;        // 17
    ImgReservedFn ImgWeaveFieldYuy2;      // 18
    ImgReservedFn ImgI420FieldToYuy2;     // 19
    ImgPlanesToYuy2Fn ImgPlanesToYuy2;    // 20
    ImgI420ToPackedFn ImgI420ToYuy2;      // 21
    ImgConvertFn ImgRgb24ToYuv444;        // 22
    ImgReservedFn ImgYuv444ToRgb24;       // 23
    ImgReservedFn ImgBgr24ToYuv444;       // 24
    ImgReservedFn ImgYuv444ToBgr24;       // 25
    ImgConvertFn ImgBgr24ToI420;          // 26
    ImgConvertFn ImgI420ToBgr24;          // 27
    ImgReservedFn ImgBgr24ToYuy2;         // 28
    ImgReservedFn ImgYuy2ToBgr24;         // 29
    ImgReservedFn ImgBgrx32ToI420;        // 30
    ImgConvertFn ImgI420ToBgrx32;         // 31
    ImgReservedFn ImgBgrx32ToYuy2;        // 32
    ImgReservedFn ImgYuy2ToBgrx32;        // 33
    ImgReservedFn ImgPackedToI420At;      // 34
    ImgReservedFn ImgPackedToI420;        // 35
    ImgReservedFn ImgI420ToPacked;        // 36
};
static_assert(sizeof(PixelRoutines) == 37 * sizeof(void*), "one pointer per slot");

// Processor features (ImgCpuFeatures).
constexpr unsigned IMG_CPU_MMX = 0x1;
constexpr unsigned IMG_CPU_SSE = 0x2;
constexpr unsigned IMG_CPU_SSE2 = 0x4;
constexpr unsigned IMG_CPU_SSE3 = 0x8;
constexpr unsigned IMG_CPU_SSE41 = 0x10;
constexpr unsigned IMG_CPU_AVX2 = 0x20;
// AVX-512 F, BW, VL and VBMI together (with the system saving their registers).
constexpr unsigned IMG_CPU_AVX512 = 0x40;

unsigned ImgCpuFeatures();
// Fills the table from the running processor's features. Returns 0.
int ImgInitDispatch();
void ImgShutdown();
// Fills a table for the given feature set (0: portable routines only). Lets tests and benchmarks compare
// the vector versions with the portable ones.
void ImgFillRoutines(PixelRoutines* table, unsigned features);

// Entry points.
void ImgZeroMem(void* buffer, uint32_t count);
void ImgFillMem(void* buffer, int value, uint32_t count);
void ImgCopyMem(void* destination, const void* source, uint32_t count);
void ImgCopyStridedI420(uint8_t* destination, const uint8_t* y, int yStride, const uint8_t* u, int uStride,
                        const uint8_t* v, int vStride, int width, int height);
void ImgDrawGridI420(uint8_t* frame, int width, int height);
void ImgDrawZonesI420(uint8_t* frame, int width, int height, const uint8_t* mask);
void ImgI420ToYuy2(uint8_t* destination, const uint8_t* source, int width, int height);
void ImgRgb24ToYuv444(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void ImgBgr24ToI420(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void ImgI420ToBgr24(uint8_t* destination, const uint8_t* source, int width, int height, int flip);
void ImgI420ToBgrx32(uint8_t* destination, const uint8_t* source, int width, int height, int flip);

// One or two BGRX rows (rows 1 or 2) of width pixels from luma rows ys[0..rows) that share the chroma rows u
// and v: the pixels of ImgI420ToBgrx32, for callers that draw row by row into a window's canvas. Chosen by
// ImgInitDispatch like the table's routines (outside the table: no caller indexes it).
void ImgI420RowsToBgrx32(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                         const uint8_t* v, int width, int rows);

// The routine ImgI420RowsToBgrx32 uses on a processor with the given features (0: the portable one), so
// that tests and benchmarks can compare the versions.
using ImgRowsToBgrx32Fn = void (*)(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                                   const uint8_t* v, int width, int rows);
ImgRowsToBgrx32Fn ImgRowsToBgrx32For(unsigned features);

// ImgI420RowsToBgrx32 for rows written once and read much later, by another thread (a window canvas's):
// where the processor allows, 32-byte aligned rows are stored past the caches, which spares reading each
// line in first and keeps the caches for the decoders. Before another thread may read the rows, the
// writer calls ImgStreamFence (before releasing the lock that hands the rows over).
void ImgI420RowsToBgrx32Stream(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                               const uint8_t* v, int width, int rows);
void ImgStreamFence();

// Bytes of an I420 picture of this size.
inline uint32_t I420Size(int width, int height) {
    return static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 3u / 2u;
}
