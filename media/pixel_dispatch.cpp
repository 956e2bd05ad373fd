// The routine table, the processor's features and the named entry points.

#include "media/pixel_portable.h"
#include "media/pixel_routines.h"
#include "media/pixel_vector.h"

namespace pixel {
namespace {
constexpr PixelRoutines PortableRoutines() {
    PixelRoutines table{};
    table.ImgZeroMem = ZeroMemPortable;
    table.ImgFillMem = FillMemPortable;
    table.ImgCopyMem = CopyMemPortable;
    table.ImgDrawZonesI420 = DrawZonesI420;
    table.ImgDrawGridI420 = DrawGridI420;
    table.ImgCopyStridedI420 = CopyStridedI420;
    table.ImgPlanesToYuy2 = PlanesToYuy2Portable;
    table.ImgI420ToYuy2 = I420ToYuy2;
    table.ImgRgb24ToYuv444 = Rgb24ToYuv444;
    table.ImgBgr24ToI420 = Bgr24ToI420;
    table.ImgI420ToBgr24 = I420ToBgr24Portable;
    table.ImgI420ToBgrx32 = I420ToBgrx32Portable;
    return table;
}
}  // namespace

// Portable routines from the start (constant-initialised), so nothing ever calls through a null entry,
// not even before ImgInitDispatch.
constinit PixelRoutines g_pixelRoutines = PortableRoutines();

using RowsToBgrxFn = void (*)(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                              const uint8_t* v, int width, int rows);
constinit RowsToBgrxFn g_rowsToBgrx = I420RowsToBgrx32Portable;
constinit RowsToBgrxFn g_rowsToBgrxStream = I420RowsToBgrx32Portable;
void NoFence() {}
using FenceFn = void (*)();
constinit FenceFn g_streamFence = NoFence;
}  // namespace pixel

using pixel::g_pixelRoutines;

unsigned ImgCpuFeatures() {
    unsigned features = 0;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("mmx"))
        features |= IMG_CPU_MMX;
    if (__builtin_cpu_supports("sse"))
        features |= IMG_CPU_SSE;
    if (__builtin_cpu_supports("sse2"))
        features |= IMG_CPU_SSE2;
    if (__builtin_cpu_supports("sse3"))
        features |= IMG_CPU_SSE3;
    if (__builtin_cpu_supports("sse4.1"))
        features |= IMG_CPU_SSE41;
    if (__builtin_cpu_supports("avx2"))
        features |= IMG_CPU_AVX2;
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi"))
        features |= IMG_CPU_AVX512;
#endif
    return features;
}

void ImgFillRoutines(PixelRoutines* table, unsigned features) {
    *table = pixel::PortableRoutines();
#if defined(__x86_64__) || defined(__i386__)
    if (features & IMG_CPU_AVX2) {
        table->ImgZeroMem = pixel::ZeroMemAvx2;
        table->ImgFillMem = pixel::FillMemAvx2;
        table->ImgCopyMem = pixel::CopyMemAvx2;
        table->ImgPlanesToYuy2 = pixel::PlanesToYuy2Avx2;
        table->ImgI420ToBgr24 = pixel::I420ToBgr24Avx2;
        table->ImgI420ToBgrx32 = pixel::I420ToBgrx32Avx2;
        table->ImgBgr24ToI420 = pixel::Bgr24ToI420Avx2;
        if (features & IMG_CPU_AVX512) {
            table->ImgI420ToBgr24 = pixel::I420ToBgr24Avx512;
            table->ImgI420ToBgrx32 = pixel::I420ToBgrx32Avx512;
        }
    } else if (features & IMG_CPU_SSE2) {
        table->ImgZeroMem = pixel::ZeroMemSse2;
        table->ImgFillMem = pixel::FillMemSse2;
        table->ImgCopyMem = pixel::CopyMemSse2;
        table->ImgPlanesToYuy2 = pixel::PlanesToYuy2Sse2;
        table->ImgI420ToBgr24 = pixel::I420ToBgr24Sse2;
        table->ImgI420ToBgrx32 = pixel::I420ToBgrx32Sse2;
    }
#endif
}

ImgRowsToBgrx32Fn ImgRowsToBgrx32For(unsigned features) {
#if defined(__x86_64__) || defined(__i386__)
    if ((features & IMG_CPU_AVX2) && (features & IMG_CPU_AVX512))
        return pixel::I420RowsToBgrx32Avx512;
    if (features & IMG_CPU_AVX2)
        return pixel::I420RowsToBgrx32Avx2;
#endif
    (void)features;
    return pixel::I420RowsToBgrx32Portable;
}

int ImgInitDispatch() {
    unsigned features = ImgCpuFeatures();
    ImgFillRoutines(&g_pixelRoutines, features);
    pixel::g_rowsToBgrx = ImgRowsToBgrx32For(features);
#if defined(__x86_64__) || defined(__i386__)
    if (features & IMG_CPU_AVX2) {
        pixel::g_rowsToBgrxStream = pixel::I420RowsToBgrx32StreamAvx2;
        pixel::g_streamFence = pixel::StreamFence;
    }
#endif
    return 0;
}

void ImgShutdown() {}

void ImgZeroMem(void* buffer, uint32_t count) {
    g_pixelRoutines.ImgZeroMem(buffer, count);
}
void ImgFillMem(void* buffer, int value, uint32_t count) {
    g_pixelRoutines.ImgFillMem(buffer, value, count);
}
void ImgCopyMem(void* destination, const void* source, uint32_t count) {
    g_pixelRoutines.ImgCopyMem(destination, source, count);
}
void ImgCopyStridedI420(uint8_t* destination, const uint8_t* y, int yStride, const uint8_t* u, int uStride,
                        const uint8_t* v, int vStride, int width, int height) {
    g_pixelRoutines.ImgCopyStridedI420(destination, y, yStride, u, uStride, v, vStride, width, height);
}
void ImgDrawGridI420(uint8_t* frame, int width, int height) {
    g_pixelRoutines.ImgDrawGridI420(frame, width, height);
}
void ImgDrawZonesI420(uint8_t* frame, int width, int height, const uint8_t* mask) {
    g_pixelRoutines.ImgDrawZonesI420(frame, width, height, mask);
}
void ImgI420ToYuy2(uint8_t* destination, const uint8_t* source, int width, int height) {
    g_pixelRoutines.ImgI420ToYuy2(destination, source, width, height);
}
void ImgRgb24ToYuv444(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    g_pixelRoutines.ImgRgb24ToYuv444(destination, source, width, height, flip);
}
void ImgBgr24ToI420(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    g_pixelRoutines.ImgBgr24ToI420(destination, source, width, height, flip);
}
void ImgI420ToBgr24(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    g_pixelRoutines.ImgI420ToBgr24(destination, source, width, height, flip);
}
void ImgI420ToBgrx32(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    g_pixelRoutines.ImgI420ToBgrx32(destination, source, width, height, flip);
}
void ImgI420RowsToBgrx32(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                         const uint8_t* v, int width, int rows) {
    pixel::g_rowsToBgrx(out, ys, u, v, width, rows);
}
void ImgI420RowsToBgrx32Stream(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                               const uint8_t* v, int width, int rows) {
    pixel::g_rowsToBgrxStream(out, ys, u, v, width, rows);
}
void ImgStreamFence() {
    pixel::g_streamFence();
}
