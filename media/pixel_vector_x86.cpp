// SSE2 and AVX2 versions of the memory routines, the YUYV packing and the conversions out of I420. The
// AVX2 functions carry their own target attribute and run only when the processor has AVX2.

#include <immintrin.h>

#include "media/pixel_color.h"
#include "media/pixel_vector.h"

#define VISTAL_AVX2 __attribute__((target("avx2")))

namespace pixel {

namespace {
inline void BgrxTail(uint8_t* out, const uint8_t* y, const int16_t* offB, const int16_t* offG,
                     const int16_t* offR, int from, int count) {
    for (int x = from; x < count; ++x) {
        out[4 * x] = Clamp255(y[x] + offB[x]);
        out[4 * x + 1] = Clamp255(y[x] + offG[x]);
        out[4 * x + 2] = Clamp255(y[x] + offR[x]);
        out[4 * x + 3] = 0;
    }
}

inline void Yuy2Tail(uint8_t* out, const uint8_t* y, const uint8_t* u, const uint8_t* v, int fromPair,
                     int pairs) {
    for (int i = fromPair; i < pairs; ++i) {
        out[4 * i] = y[2 * i];
        out[4 * i + 1] = u[i];
        out[4 * i + 2] = y[2 * i + 1];
        out[4 * i + 3] = v[i];
    }
}
}  // namespace

// --- SSE2 ---

void FillMemSse2(void* buffer, int value, uint32_t count) {
    auto* p = static_cast<uint8_t*>(buffer);
    const __m128i v = _mm_set1_epi8(static_cast<char>(value));
    for (; count >= 64; count -= 64, p += 64) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48), v);
    }
    for (; count >= 16; count -= 16, p += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    for (; count > 0; --count)
        *p++ = static_cast<uint8_t>(value);
}

void ZeroMemSse2(void* buffer, uint32_t count) {
    FillMemSse2(buffer, 0, count);
}

void CopyMemSse2(void* destination, const void* source, uint32_t count) {
    auto* d = static_cast<uint8_t*>(destination);
    const auto* s = static_cast<const uint8_t*>(source);
    for (; count >= 64; count -= 64, d += 64, s += 64) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
        __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 48));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), c);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 48), e);
    }
    for (; count >= 16; count -= 16, d += 16, s += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
    for (; count > 0; --count)
        *d++ = *s++;
}

void PlanesToYuy2Sse2(uint8_t* destination, const uint8_t* y, const uint8_t* u, const uint8_t* v, int width,
                      int height) {
    int pairs = width / 2;
    for (int row = 0; row < height; ++row) {
        const uint8_t* ys = y + static_cast<size_t>(row) * width;
        const uint8_t* us = u + static_cast<size_t>(row / 2) * pairs;
        const uint8_t* vs = v + static_cast<size_t>(row / 2) * pairs;
        uint8_t* out = destination + static_cast<size_t>(row) * width * 2;
        int i = 0;
        for (; i + 8 <= pairs; i += 8) {
            __m128i luma = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ys + 2 * i));
            __m128i uv = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(us + i)),
                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(vs + i)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i), _mm_unpacklo_epi8(luma, uv));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i + 16), _mm_unpackhi_epi8(luma, uv));
        }
        Yuy2Tail(out, ys, us, vs, i, pairs);
    }
}

namespace {
void BgrxRowSse2(uint8_t* out, const uint8_t* y, const int16_t* offB, const int16_t* offG,
                 const int16_t* offR, int count) {
    const __m128i zero = _mm_setzero_si128();
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        __m128i luma = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + x)), zero);
        __m128i b = _mm_add_epi16(luma, _mm_loadu_si128(reinterpret_cast<const __m128i*>(offB + x)));
        __m128i g = _mm_add_epi16(luma, _mm_loadu_si128(reinterpret_cast<const __m128i*>(offG + x)));
        __m128i r = _mm_add_epi16(luma, _mm_loadu_si128(reinterpret_cast<const __m128i*>(offR + x)));
        __m128i bg8 = _mm_packus_epi16(b, g);
        __m128i r8 = _mm_packus_epi16(r, zero);
        __m128i bg = _mm_unpacklo_epi8(bg8, _mm_srli_si128(bg8, 8));
        __m128i r0 = _mm_unpacklo_epi8(r8, zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_unpacklo_epi16(bg, r0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x + 16), _mm_unpackhi_epi16(bg, r0));
    }
    BgrxTail(out, y, offB, offG, offR, x, count);
}
}  // namespace

void I420ToBgr24Sse2(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgrWithKernel(destination, source, width, height, flip, 3, BgrxRowSse2);
}

void I420ToBgrx32Sse2(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgrWithKernel(destination, source, width, height, flip, 4, BgrxRowSse2);
}

// --- AVX2 ---

VISTAL_AVX2 void FillMemAvx2(void* buffer, int value, uint32_t count) {
    auto* p = static_cast<uint8_t*>(buffer);
    const __m256i v = _mm256_set1_epi8(static_cast<char>(value));
    for (; count >= 64; count -= 64, p += 64) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 32), v);
    }
    for (; count >= 16; count -= 16, p += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    for (; count > 0; --count)
        *p++ = static_cast<uint8_t>(value);
}

VISTAL_AVX2 void ZeroMemAvx2(void* buffer, uint32_t count) {
    FillMemAvx2(buffer, 0, count);
}

VISTAL_AVX2 void CopyMemAvx2(void* destination, const void* source, uint32_t count) {
    auto* d = static_cast<uint8_t*>(destination);
    const auto* s = static_cast<const uint8_t*>(source);
    for (; count >= 64; count -= 64, d += 64, s += 64) {
        __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), a);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 32), b);
    }
    for (; count >= 16; count -= 16, d += 16, s += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
    for (; count > 0; --count)
        *d++ = *s++;
}

VISTAL_AVX2 void PlanesToYuy2Avx2(uint8_t* destination, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                                  int width, int height) {
    int pairs = width / 2;
    for (int row = 0; row < height; ++row) {
        const uint8_t* ys = y + static_cast<size_t>(row) * width;
        const uint8_t* us = u + static_cast<size_t>(row / 2) * pairs;
        const uint8_t* vs = v + static_cast<size_t>(row / 2) * pairs;
        uint8_t* out = destination + static_cast<size_t>(row) * width * 2;
        int i = 0;
        for (; i + 16 <= pairs; i += 16) {
            __m256i luma = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ys + 2 * i));
            __m128i cu = _mm_loadu_si128(reinterpret_cast<const __m128i*>(us + i));
            __m128i cv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(vs + i));
            __m256i uv = _mm256_set_m128i(_mm_unpackhi_epi8(cu, cv), _mm_unpacklo_epi8(cu, cv));
            __m256i lo = _mm256_unpacklo_epi8(luma, uv);  // pixels 0-7 | 16-23
            __m256i hi = _mm256_unpackhi_epi8(luma, uv);  // pixels 8-15 | 24-31
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * i),
                                _mm256_permute2x128_si256(lo, hi, 0x20));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * i + 32),
                                _mm256_permute2x128_si256(lo, hi, 0x31));
        }
        Yuy2Tail(out, ys, us, vs, i, pairs);
    }
}

namespace {
VISTAL_AVX2 void BgrxRowAvx2(uint8_t* out, const uint8_t* y, const int16_t* offB, const int16_t* offG,
                             const int16_t* offR, int count) {
    const __m256i zero = _mm256_setzero_si256();
    int x = 0;
    for (; x + 16 <= count; x += 16) {
        __m256i luma = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x)));
        __m256i b = _mm256_add_epi16(luma, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offB + x)));
        __m256i g = _mm256_add_epi16(luma, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offG + x)));
        __m256i r = _mm256_add_epi16(luma, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offR + x)));
        __m256i bg8 = _mm256_packus_epi16(b, g);    // B0-7 G0-7 | B8-15 G8-15
        __m256i r8 = _mm256_packus_epi16(r, zero);  // R0-7 0 | R8-15 0
        __m256i bg = _mm256_unpacklo_epi8(bg8, _mm256_srli_si256(bg8, 8));
        __m256i r0 = _mm256_unpacklo_epi8(r8, zero);
        __m256i lo = _mm256_unpacklo_epi16(bg, r0);  // pixels 0-3 | 8-11
        __m256i hi = _mm256_unpackhi_epi16(bg, r0);  // pixels 4-7 | 12-15
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x), _mm256_permute2x128_si256(lo, hi, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x + 32),
                            _mm256_permute2x128_si256(lo, hi, 0x31));
    }
    BgrxTail(out, y, offB, offG, offR, x, count);
}
}  // namespace

void I420ToBgr24Avx2(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgrWithKernel(destination, source, width, height, flip, 3, BgrxRowAvx2);
}

void I420ToBgrx32Avx2(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgrWithKernel(destination, source, width, height, flip, 4, BgrxRowAvx2);
}

}  // namespace pixel
