// SSE2 and AVX2 versions of the memory routines, the YUYV packing and the conversions out of I420. The
// AVX2 functions carry their own target attribute and run only when the processor has AVX2.

#include <immintrin.h>

#include <cstring>

#include "media/pixel_color.h"
#include "media/pixel_portable.h"
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
// 8 x 32-bit offsets (each within 16 bits) -> 16 x 16-bit, each offset twice (two pixels per chroma
// sample): the low half of every 32-bit lane copied into its high half, which keeps the lanes in place.
VISTAL_AVX2 inline __m256i PixelPairs(__m256i x) {
    return _mm256_blend_epi16(x, _mm256_slli_epi32(x, 16), 0xAA);
}

// The constants of ChromaOffsetsAvx2, eight lanes each, read from memory where they are used: held in
// registers they crowd the conversion loops, which then rebuild them for every block.
struct alignas(32) ChromaConstants {
    int32_t bias[8], red[8], blue[8], greenU[8], greenV[8], wholeBias[8], fractionMask[8], wholeLimit[8];
    // The same in 16-bit lanes (ChromaOffsets16Avx2): two 16-bit values per 32-bit word, low one first.
    int32_t bias16[8], redFraction16[8], blueFraction16[8], greenHigh16[8], greenLow16[8];
};
constexpr int32_t Pair16(int low, int high) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(low)) |
                                static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16);
}
constexpr ChromaConstants MakeChromaConstants() {
    ChromaConstants c{};
    for (int i = 0; i < 8; ++i) {
        c.bias[i] = 128;
        c.red[i] = 92242;       // 1.4075 x 2^16
        c.blue[i] = 116589;     // 1.779 x 2^16
        c.greenU[i] = 2898264;  // 0.3455 x 2^23
        c.greenV[i] = 6013793;  // 0.7169 x 2^23
        c.wholeBias[i] = 419;
        c.fractionMask[i] = (1 << 23) - 1;
        c.wholeLimit[i] = 838;
        c.bias16[i] = Pair16(128, 128);
        // 92242 = 2^16 + 26706 and 116589 = 2 x 2^16 - 14483, so that
        // R = v + (26706 v >> 16) and B = 2 u + (-14483 u >> 16).
        c.redFraction16[i] = Pair16(26706, 26706);
        c.blueFraction16[i] = Pair16(-14483, -14483);
        // -(2898264 u + 6013793 v) = (-44 u - 92 v) x 2^16 + (-14680 u + 15519 v): each part is one
        // multiply-add of the (u, v) pairs.
        c.greenHigh16[i] = Pair16(-44, -92);
        c.greenLow16[i] = Pair16(-14680, 15519);
    }
    return c;
}
constexpr ChromaConstants kChroma = MakeChromaConstants();

// The constants' address, hidden from the compiler so that it reads them from memory rather than folding
// them back into immediates.
inline const ChromaConstants* ChromaConstantsInMemory() {
    const ChromaConstants* c = &kChroma;
    asm("" : "+r"(c));
    return c;
}

VISTAL_AVX2 __attribute__((always_inline)) inline __m256i Lanes(const int32_t (&values)[8]) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(values));
}

// Chroma offsets of 8 samples computed in fixed point: R = floor(1.4075 v), B = floor(1.779 u),
// G = floor(-(0.3455 u + 0.7169 v)), with u = Cb - 128, v = Cr - 128. The constants are close enough that
// each floor equals the double formula's for every input (the exhaustive test holds them to it), except
// where the exact green value is a whole number: those lanes, but for grey, are reported in the returned
// bit mask.
VISTAL_AVX2 __attribute__((always_inline)) inline int ChromaOffsetsAvx2(const uint8_t* us, const uint8_t* vs,
                                                                        __m256i* offB, __m256i* offG,
                                                                        __m256i* offR) {
    const ChromaConstants& k = *ChromaConstantsInMemory();
    const __m256i bias = Lanes(k.bias);
    __m256i u =
        _mm256_sub_epi32(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(us))), bias);
    __m256i v =
        _mm256_sub_epi32(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(vs))), bias);
    __m256i r = _mm256_srai_epi32(_mm256_mullo_epi32(v, Lanes(k.red)), 16);
    __m256i b = _mm256_srai_epi32(_mm256_mullo_epi32(u, Lanes(k.blue)), 16);
    __m256i g = _mm256_sub_epi32(
        _mm256_setzero_si256(),
        _mm256_add_epi32(_mm256_mullo_epi32(u, Lanes(k.greenU)), _mm256_mullo_epi32(v, Lanes(k.greenV))));
    // Whole-number green: the fraction lies within the constants' error of 0 or 1.
    __m256i fraction = _mm256_and_si256(_mm256_add_epi32(g, Lanes(k.wholeBias)), Lanes(k.fractionMask));
    __m256i whole = _mm256_cmpgt_epi32(Lanes(k.wholeLimit), fraction);
    // Grey (Cb = Cr = 128) is whole too, but its offset 0 is exact for every Y (the formula's terms are
    // exactly 0): only the other whole lanes are reported.
    __m256i grey = _mm256_cmpeq_epi32(_mm256_or_si256(u, v), _mm256_setzero_si256());
    int exact = _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_andnot_si256(grey, whole)));
    g = _mm256_srai_epi32(g, 23);
    *offB = PixelPairs(b);
    *offG = PixelPairs(g);
    *offR = PixelPairs(r);
    return exact;
}

// Each of 8 offsets of 16-bit lanes in natural order (sample 0 first) twice, for the 16 pixels of samples
// 0-7 (first) and of samples 8-15 (second).
VISTAL_AVX2 __attribute__((always_inline)) inline void PixelPairs16(__m256i x, __m256i* first,
                                                                    __m256i* second) {
    __m256i y = _mm256_permute4x64_epi64(x, 0xD8);  // samples 0-3, 8-11 | 4-7, 12-15
    *first = _mm256_unpacklo_epi16(y, y);
    *second = _mm256_unpackhi_epi16(y, y);
}

// ChromaOffsetsAvx2 for 16 samples (32 pixels, two blocks) at once: R and B in 16-bit lanes, green's
// fixed-point value in 32-bit lanes from two multiply-adds of the (u, v) pairs. The same offsets and marks
// as two calls of ChromaOffsetsAvx2 (the exhaustive conversion test holds them to the portable formulas).
VISTAL_AVX2 __attribute__((always_inline)) inline void ChromaOffsets16Avx2(const uint8_t* us,
                                                                           const uint8_t* vs, __m256i offB[2],
                                                                           __m256i offG[2], __m256i offR[2],
                                                                           int exact[2]) {
    const ChromaConstants& k = *ChromaConstantsInMemory();
    const __m256i bias = Lanes(k.bias16);
    __m256i u =
        _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(us))), bias);
    __m256i v =
        _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(vs))), bias);
    __m256i r = _mm256_add_epi16(v, _mm256_mulhi_epi16(v, Lanes(k.redFraction16)));
    __m256i b = _mm256_add_epi16(_mm256_add_epi16(u, u), _mm256_mulhi_epi16(u, Lanes(k.blueFraction16)));
    __m256i halves[2] = {_mm256_unpacklo_epi16(u, v),
                         _mm256_unpackhi_epi16(u, v)};  // 0-3 | 8-11, 4-7 | 12-15
    __m256i green[2], whole[2];
    for (int h = 0; h < 2; ++h) {
        green[h] = _mm256_add_epi32(_mm256_slli_epi32(_mm256_madd_epi16(halves[h], Lanes(k.greenHigh16)), 16),
                                    _mm256_madd_epi16(halves[h], Lanes(k.greenLow16)));
        __m256i fraction =
            _mm256_and_si256(_mm256_add_epi32(green[h], Lanes(k.wholeBias)), Lanes(k.fractionMask));
        whole[h] = _mm256_cmpgt_epi32(Lanes(k.wholeLimit), fraction);
        green[h] = _mm256_srai_epi32(green[h], 23);
    }
    // Packing the two halves puts the samples back in order.
    __m256i g = _mm256_packs_epi32(green[0], green[1]);
    __m256i grey = _mm256_cmpeq_epi16(_mm256_or_si256(u, v), _mm256_setzero_si256());
    unsigned marks = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_andnot_si256(grey, _mm256_packs_epi32(whole[0], whole[1]))));
    exact[0] = exact[1] = 0;
    // Two mask bits per sample; marked samples are rare.
    for (int sample = 0; marks != 0; ++sample, marks >>= 2) {
        if (marks & 1)
            exact[sample / 8] |= 1 << (sample % 8);
    }
    PixelPairs16(b, &offB[0], &offB[1]);
    PixelPairs16(g, &offG[0], &offG[1]);
    PixelPairs16(r, &offR[0], &offR[1]);
}

// 16 pixels of one row: clamp(Y + offset) for B, G and R, stored as BGRX (64 bytes) or BGR (48 bytes
// stored, 52 written: the caller leaves room for 4 bytes past the block). kStream: BGRX stored past the
// caches (out 32-byte aligned).
template <int kBytes, bool kStream = false>
VISTAL_AVX2 __attribute__((always_inline)) inline void BgrPixelsAvx2(uint8_t* out, const uint8_t* y,
                                                                     __m256i offB, __m256i offG,
                                                                     __m256i offR) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i luma = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y)));
    __m256i bg8 = _mm256_packus_epi16(_mm256_add_epi16(luma, offB), _mm256_add_epi16(luma, offG));
    __m256i r8 = _mm256_packus_epi16(_mm256_add_epi16(luma, offR), zero);
    __m256i bg = _mm256_unpacklo_epi8(bg8, _mm256_srli_si256(bg8, 8));
    __m256i r0 = _mm256_unpacklo_epi8(r8, zero);
    __m256i lo = _mm256_unpacklo_epi16(bg, r0);  // pixels 0-3 | 8-11
    __m256i hi = _mm256_unpackhi_epi16(bg, r0);  // pixels 4-7 | 12-15
    if (kBytes == 4 && kStream) {
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(lo, hi, 0x20));
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out + 32), _mm256_permute2x128_si256(lo, hi, 0x31));
        return;
    }
    if (kBytes == 4) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(lo, hi, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32), _mm256_permute2x128_si256(lo, hi, 0x31));
        return;
    }
    // Drop every fourth byte: 12 bytes of 4 pixels at the low end of each 128-bit lane.
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4,
                                          5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    __m256i a = _mm256_shuffle_epi8(lo, pack);
    __m256i b = _mm256_shuffle_epi8(hi, pack);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(a));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_castsi256_si128(b));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 24), _mm256_extracti128_si256(a, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 36), _mm256_extracti128_si256(b, 1));
}

// Green of the lanes whose exact value is a whole number, with the exact formula: one row of the 16-pixel
// block at column x.
template <int kBytes>
inline void FixExactGreen(uint8_t* block, const uint8_t* y, const uint8_t* us, const uint8_t* vs, int x,
                          int exact) {
    for (int lane = 0; exact != 0; ++lane, exact >>= 1) {
        if ((exact & 1) == 0)
            continue;
        int m = x / 2 + lane;
        for (int px = 2 * m; px <= 2 * m + 1; ++px)
            block[kBytes * (px - x) + 1] = GFromYuv(y[px], us[m], vs[m]);
    }
}

// A 64-byte block stored past the caches (out 32-byte aligned).
VISTAL_AVX2 __attribute__((always_inline)) inline void StreamBlock(uint8_t* out, const uint8_t* block) {
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out),
                        _mm256_load_si256(reinterpret_cast<const __m256i*>(block)));
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out + 32),
                        _mm256_load_si256(reinterpret_cast<const __m256i*>(block + 32)));
}

// 16 pixels from column x (even) of one or two rows sharing their chroma row; out[r] points at the
// block's first pixel of row r.
template <int kBytes>
VISTAL_AVX2 __attribute__((always_inline)) inline void BgrBlockAvx2(uint8_t* const out[2],
                                                                    const uint8_t* const ys[2],
                                                                    const uint8_t* us, const uint8_t* vs,
                                                                    int x, int rows) {
    __m256i offB, offG, offR;
    int exact = ChromaOffsetsAvx2(us + x / 2, vs + x / 2, &offB, &offG, &offR);
    for (int r = 0; r < rows; ++r) {
        BgrPixelsAvx2<kBytes>(out[r], ys[r] + x, offB, offG, offR);
        FixExactGreen<kBytes>(out[r], ys[r], us, vs, x, exact);
    }
}

template <int kBytes>
void BgrPixelExact(uint8_t* out, int y, int cb, int cr) {
    out[0] = BFromYuv(y, cb);
    out[1] = GFromYuv(y, cb, cr);
    out[2] = RFromYuv(y, cr);
    if (kBytes == 4)
        out[3] = 0;
}

// One or two rows sharing their chroma row (rows 1 or 2; with 1 only ys[0] and out[0] are used). The
// chroma offsets of a stretch of blocks are computed once, during the first row, and kept for the
// second: each row is then written from start to end, which keeps the writes to memory in one stream
// (the rows of a picture that is not in the cache come in half as fast when two are written in turn).
// kStream: the whole blocks are stored past the caches (the rows 32-byte aligned).
template <int kBytes, bool kStream = false>
VISTAL_AVX2 __attribute__((always_inline)) inline void BgrRowsAvx2(uint8_t* const out[2],
                                                                   const uint8_t* const ys[2],
                                                                   const uint8_t* us, const uint8_t* vs,
                                                                   int width, int rows) {
    constexpr int kStretchBlocks = 64;
    struct BlockOffsets {
        __m256i b, g, r;
        int exact;
    };
    BlockOffsets kept[kStretchBlocks];
    // BGR blocks write 4 bytes past themselves: they stop while two more pixels follow in the row.
    int blockEnd = kBytes == 4 ? width : width - 2;
    int x = 0;
    while (x + 16 <= blockEnd) {
        int blocks = (blockEnd - x) / 16 < kStretchBlocks ? (blockEnd - x) / 16 : kStretchBlocks;
        for (int r = 0; r < rows; ++r) {
            for (int k = 0; k < blocks; ++k) {
                int bx = x + 16 * k;
                BlockOffsets& o = kept[k];
                if (r == 0 && k % 2 == 0 && k + 1 < blocks) {
                    // Two blocks' offsets at once.
                    __m256i b[2], g[2], red[2];
                    int exact[2];
                    ChromaOffsets16Avx2(us + bx / 2, vs + bx / 2, b, g, red, exact);
                    kept[k] = BlockOffsets{b[0], g[0], red[0], exact[0]};
                    kept[k + 1] = BlockOffsets{b[1], g[1], red[1], exact[1]};
                } else if (r == 0 && k % 2 == 0) {
                    o.exact = ChromaOffsetsAvx2(us + bx / 2, vs + bx / 2, &o.b, &o.g, &o.r);
                }
                if (kStream && o.exact != 0) {
                    // The exact green is patched into the block in the cache-bypassing case too: the
                    // block goes through a scratch buffer first.
                    alignas(32) uint8_t block[64];
                    BgrPixelsAvx2<kBytes>(block, ys[r] + bx, o.b, o.g, o.r);
                    FixExactGreen<kBytes>(block, ys[r], us, vs, bx, o.exact);
                    StreamBlock(out[r] + kBytes * bx, block);
                    continue;
                }
                BgrPixelsAvx2<kBytes, kStream>(out[r] + kBytes * bx, ys[r] + bx, o.b, o.g, o.r);
                if (!kStream)
                    FixExactGreen<kBytes>(out[r] + kBytes * bx, ys[r], us, vs, bx, o.exact);
            }
        }
        x += 16 * blocks;
    }
    if (x < width && width >= 16) {
        // The last 16 pixels of the row from an even column (a block pairs its pixels with their chroma
        // samples from its first one) through a scratch block (the BGR block writes past its end),
        // redoing some pixels already written with the same values; an odd width leaves its last pixel
        // to the loop below.
        alignas(32) uint8_t scratch[2][64 + 4];
        uint8_t* block[2] = {scratch[0], scratch[1]};
        int last = (width - 16) & ~1;
        BgrBlockAvx2<kBytes>(block, ys, us, vs, last, rows);
        for (int r = 0; r < rows; ++r)
            std::memcpy(out[r] + kBytes * last, scratch[r], kBytes * 16);
        x = last + 16;
    }
    for (; x < width; ++x) {
        for (int r = 0; r < rows; ++r)
            BgrPixelExact<kBytes>(out[r] + kBytes * x, ys[r][x], us[x / 2], vs[x / 2]);
    }
}

template <int kBytes>
VISTAL_AVX2 void I420ToBgrAvx2(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    if (width <= 0 || height <= 0)
        return;
    I420Planes p = SplitI420(source, width, height);
    int chromaWidth = width / 2;
    size_t rowBytes = static_cast<size_t>(width) * kBytes;
    for (int row = 0; row < height; row += 2) {
        int rows = row + 1 < height ? 2 : 1;
        const uint8_t* ys[2] = {p.y + static_cast<size_t>(row) * width,
                                p.y + static_cast<size_t>(row + rows - 1) * width};
        uint8_t* out[2] = {
            destination + static_cast<size_t>(flip ? height - 1 - row : row) * rowBytes,
            destination + static_cast<size_t>(flip ? height - row - rows : row + rows - 1) * rowBytes};
        const uint8_t* us = p.u + static_cast<size_t>(row / 2) * chromaWidth;
        const uint8_t* vs = p.v + static_cast<size_t>(row / 2) * chromaWidth;
        BgrRowsAvx2<kBytes>(out, ys, us, vs, width, rows);
    }
}
}  // namespace

void I420ToBgr24Avx2(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgrAvx2<3>(destination, source, width, height, flip);
}

void I420ToBgrx32Avx2(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgrAvx2<4>(destination, source, width, height, flip);
}

VISTAL_AVX2 void I420RowsToBgrx32Avx2(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                                      const uint8_t* v, int width, int rows) {
    BgrRowsAvx2<4>(out, ys, u, v, width, rows);
}

VISTAL_AVX2 void I420RowsToBgrx32StreamAvx2(uint8_t* const out[2], const uint8_t* const ys[2],
                                            const uint8_t* u, const uint8_t* v, int width, int rows) {
    auto aligned = [](const uint8_t* p) { return (reinterpret_cast<uintptr_t>(p) & 31) == 0; };
    if (aligned(out[0]) && aligned(out[rows - 1]))
        BgrRowsAvx2<4, true>(out, ys, u, v, width, rows);
    else
        BgrRowsAvx2<4>(out, ys, u, v, width, rows);
}

void StreamFence() {
    _mm_sfence();
}

namespace {
// B, G and R of 4 BGR24 pixels (12 bytes at p; 16 are read) as 32-bit integers.
VISTAL_AVX2 __attribute__((always_inline)) inline void SplitBgr4(const uint8_t* p, __m128i* b, __m128i* g,
                                                                 __m128i* r) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    *b = _mm_shuffle_epi8(x, _mm_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1));
    *g = _mm_shuffle_epi8(x, _mm_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1));
    *r = _mm_shuffle_epi8(x, _mm_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1));
}

// a x p + b x q + c x s + bias of 4 values, with the portable formulas' double operations in their order
// ((a p + b q) + c s + bias, or a p - b q - c s + bias), truncated toward zero.
VISTAL_AVX2 __attribute__((always_inline)) inline __m128i Weigh4(__m128i p, __m128i q, __m128i s, double a,
                                                                 double b, double c, bool subtract,
                                                                 double bias) {
    __m256d x = _mm256_mul_pd(_mm256_set1_pd(a), _mm256_cvtepi32_pd(p));
    __m256d y = _mm256_mul_pd(_mm256_set1_pd(b), _mm256_cvtepi32_pd(q));
    __m256d z = _mm256_mul_pd(_mm256_set1_pd(c), _mm256_cvtepi32_pd(s));
    __m256d sum = subtract ? _mm256_sub_pd(_mm256_sub_pd(x, y), z) : _mm256_add_pd(_mm256_add_pd(x, y), z);
    if (bias != 0.0)
        sum = _mm256_add_pd(sum, _mm256_set1_pd(bias));
    return _mm256_cvttpd_epi32(sum);
}

// Means of four 2 x 2 blocks of one component (two rows of 8 pixels): (sum of four) >> 2.
VISTAL_AVX2 __attribute__((always_inline)) inline __m128i BlockMeans(__m128i (&c)[2][2]) {
    return _mm_srai_epi32(_mm_add_epi32(_mm_hadd_epi32(c[0][0], c[0][1]), _mm_hadd_epi32(c[1][0], c[1][1])),
                          2);
}

VISTAL_AVX2 __attribute__((always_inline)) inline __m128i Bytes8(__m128i lo, __m128i hi) {
    return _mm_packus_epi16(_mm_packs_epi32(lo, hi), _mm_setzero_si128());
}
}  // namespace

VISTAL_AVX2 void Bgr24ToI420Avx2(uint8_t* destination, const uint8_t* source, int width, int height,
                                 int flip) {
    if (width <= 0 || height <= 0)
        return;
    uint32_t luma = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    uint8_t* outU = destination + luma;
    uint8_t* outV = outU + luma / 4;
    int chromaWidth = width / 2;
    auto sourceRow = [&](int row) {
        return source + static_cast<size_t>(flip ? height - 1 - row : row) * width * 3;
    };
    // Blocks of 8 pixels read 4 bytes past themselves: they stop while 2 more pixels follow in the row.
    int blockEnd = width - 2;
    for (int row = 0; row < height; row += 2) {
        bool pair = row + 1 < height;
        const uint8_t* in[2] = {sourceRow(row), sourceRow(pair ? row + 1 : row)};
        uint8_t* outY[2] = {destination + static_cast<size_t>(row) * width,
                            destination + static_cast<size_t>(pair ? row + 1 : row) * width};
        int x = 0;
        for (; x + 8 <= blockEnd; x += 8) {
            __m128i b[2][2], g[2][2], r[2][2];
            for (int k = 0; k < 2; ++k) {
                SplitBgr4(in[k] + 3 * x, &b[k][0], &g[k][0], &r[k][0]);
                SplitBgr4(in[k] + 3 * x + 12, &b[k][1], &g[k][1], &r[k][1]);
                __m128i y0 = Weigh4(r[k][0], g[k][0], b[k][0], 0.299, 0.587, 0.114, false, 0.0);
                __m128i y1 = Weigh4(r[k][1], g[k][1], b[k][1], 0.299, 0.587, 0.114, false, 0.0);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(outY[k] + x), Bytes8(y0, y1));
            }
            if (!pair)
                continue;
            __m128i mb = BlockMeans(b), mg = BlockMeans(g), mr = BlockMeans(r);
            __m128i cb = Weigh4(mb, mg, mr, 0.5, 0.331264, 0.168736, true, 128.0);
            __m128i cr = Weigh4(mr, mg, mb, 0.5, 0.418688, 0.081312, true, 128.0);
            __m128i packed = Bytes8(cb, cr);  // Cb 0-3, Cr 0-3
            int m = row / 2 * chromaWidth + x / 2;
            uint32_t u = static_cast<uint32_t>(_mm_cvtsi128_si32(packed));
            uint32_t v = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(packed, 4)));
            std::memcpy(outU + m, &u, 4);
            std::memcpy(outV + m, &v, 4);
        }
        for (int k = 0; k < (pair ? 2 : 1); ++k) {
            for (int px = x; px < width; ++px)
                outY[k][px] = YFromRgb(in[k][3 * px + 2], in[k][3 * px + 1], in[k][3 * px]);
        }
        for (int m = x / 2; pair && m < chromaWidth; ++m) {
            int sum[3];
            for (int c = 0; c < 3; ++c)
                sum[c] = in[0][6 * m + c] + in[0][6 * m + 3 + c] + in[1][6 * m + c] + in[1][6 * m + 3 + c];
            int bm = sum[0] >> 2, gm = sum[1] >> 2, rm = sum[2] >> 2;
            outU[row / 2 * chromaWidth + m] = CbFromRgb(rm, gm, bm);
            outV[row / 2 * chromaWidth + m] = CrFromRgb(rm, gm, bm);
        }
    }
}

}  // namespace pixel
