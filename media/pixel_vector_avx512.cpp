// AVX-512 versions of the conversions out of I420 (BGRX and BGR): 32 pixels a step, the bytes of a step
// put in place by one byte permutation per 64 output bytes (VBMI). The functions carry their own target
// attribute and run only when the processor has AVX-512 F, BW, VL and VBMI.
//
// A row pair is written one row after the other, the chroma offsets of each step computed in registers
// as it goes (for both rows): the only stores are the pixels, which is what counts on a picture that is
// not in the cache (see BgrRowsAvx512).

#include <immintrin.h>

#include "media/pixel_color.h"
#include "media/pixel_portable.h"
#include "media/pixel_vector.h"

// GCC 12's AVX-512 intrinsics start some results from a deliberately undefined vector, which its
// maybe-uninitialized warning reports at every use. Clang has no such warning (and, under -Werror,
// refuses to be told to ignore one it does not know).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#define VISTAL_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx2")))
#define VISTAL_AVX512_INLINE VISTAL_AVX512 __attribute__((always_inline)) inline

namespace pixel {

namespace {

constexpr int kBlock = 32;  // pixels a step

// Byte permutations from (B and G bytes, R bytes) of 32 pixels to the output. After the two saturating
// packs, 128-bit lane L of the first source holds B of pixels 8L..8L+7 then their G, lane L of the
// second (bytes 64 on in the permutation's numbering) R of the same pixels then 8 zero bytes.
struct alignas(64) PermuteTables {
    uint8_t bgrx[2][64];  // pixels 0-15, 16-31
    uint8_t bgr[2][64];   // output bytes 0-63, 64-95 (then filler)
};
constexpr uint8_t SourceByte(int pixel, int component) {
    int lane = pixel / 8, i = pixel % 8;
    switch (component) {
        case 0:
            return static_cast<uint8_t>(16 * lane + i);
        case 1:
            return static_cast<uint8_t>(16 * lane + 8 + i);
        case 2:
            return static_cast<uint8_t>(64 + 16 * lane + i);
        default:
            return 64 + 8;  // a zero byte
    }
}
constexpr PermuteTables MakePermuteTables() {
    PermuteTables t{};
    for (int half = 0; half < 2; ++half) {
        for (int j = 0; j < 64; ++j) {
            t.bgrx[half][j] = SourceByte(16 * half + j / 4, j % 4);
            int byte = 64 * half + j;
            t.bgr[half][j] = byte < 96 ? SourceByte(byte / 3, byte % 3) : 0;
        }
    }
    return t;
}
constexpr PermuteTables kPermute = MakePermuteTables();

// The chroma constants, 32-bit lanes holding two 16-bit values (the low one applies to Cb, the high one to
// Cr): the same fixed-point forms as the AVX2 versions'. With u = Cb - 128 and v = Cr - 128:
// B = 2 u + (-14483 u >> 16) = floor(1.779 u), R = v + (26706 v >> 16) = floor(1.4075 v), and green's
// value -(0.3455 u + 0.7169 v) x 2^23 = (-44 u - 92 v) x 2^16 + (-14680 u + 15519 v).
constexpr int32_t Pair16(int low, int high) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(low)) |
                                static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16);
}
constexpr int32_t kBias = Pair16(128, 128);
constexpr int32_t kFractions = Pair16(-14483, 26706);
constexpr int32_t kGreenHigh = Pair16(-44, -92);
constexpr int32_t kGreenLow = Pair16(-14680, 15519);
constexpr int32_t kWholeBias = 419;
constexpr int32_t kFractionMask = (1 << 23) - 1;
constexpr int32_t kWholeLimit = 838;

// Offsets of 32 pixels (16 chroma samples, each used by two pixels) in 16-bit lanes, and the samples whose
// exact green is a whole number (but for grey): their pixels take green from the double formula.
struct BlockOffsets {
    __m512i b, g, r;
};

template <bool kMarks>
VISTAL_AVX512_INLINE uint32_t ChromaOffsetsAvx512(const uint8_t* us, const uint8_t* vs, int samples,
                                                  BlockOffsets* o) {
    const __mmask16 valid = samples >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << samples) - 1);
    __m128i cb, cr;
    if (samples >= 16) {
        cb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(us));
        cr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(vs));
    } else {
        cb = _mm_maskz_loadu_epi8(valid, us);
        cr = _mm_maskz_loadu_epi8(valid, vs);
    }
    // (u, v) in each 32-bit lane, u in the low half.
    __m512i pair = _mm512_sub_epi16(
        _mm512_or_si512(_mm512_cvtepu8_epi32(cb), _mm512_slli_epi32(_mm512_cvtepu8_epi32(cr), 16)),
        _mm512_set1_epi32(kBias));
    // B in the low half, R in the high half.
    __m512i br =
        _mm512_add_epi16(_mm512_add_epi16(pair, _mm512_mulhi_epi16(pair, _mm512_set1_epi32(kFractions))),
                         _mm512_and_si512(pair, _mm512_set1_epi32(0xFFFF)));
    __m512i green =
        _mm512_add_epi32(_mm512_slli_epi32(_mm512_madd_epi16(pair, _mm512_set1_epi32(kGreenHigh)), 16),
                         _mm512_madd_epi16(pair, _mm512_set1_epi32(kGreenLow)));
    // Each lane's low or high 16 bits copied into both halves: one offset for the sample's two pixels.
    const __m512i low =
        _mm512_broadcast_i32x4(_mm_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13));
    const __m512i high =
        _mm512_broadcast_i32x4(_mm_setr_epi8(2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15));
    o->b = _mm512_shuffle_epi8(br, low);
    o->r = _mm512_shuffle_epi8(br, high);
    o->g = _mm512_shuffle_epi8(_mm512_srai_epi32(green, 23), low);
    if (!kMarks)
        return 0;
    // Whole-number green: the fraction lies within the constants' error of 0 or 1. Grey (u = v = 0) is
    // whole too, but its offset 0 is exact for every Y.
    __m512i fraction = _mm512_and_si512(_mm512_add_epi32(green, _mm512_set1_epi32(kWholeBias)),
                                        _mm512_set1_epi32(kFractionMask));
    __mmask16 whole = _mm512_cmplt_epi32_mask(fraction, _mm512_set1_epi32(kWholeLimit));
    __mmask16 grey = _mm512_testn_epi32_mask(pair, pair);
    return static_cast<uint32_t>(_kandn_mask16(grey, whole) & valid);
}

// The lowest n bits (n 0-64).
inline __mmask64 LowBits(int n) {
    return n >= 64 ? ~0ull : (1ull << n) - 1;
}

// 32 pixels (count of them, 1-32, stored) of one row: clamp(Y + offset) for B, G and R as BGRX or BGR.
template <int kBytes>
VISTAL_AVX512_INLINE void BgrPixelsAvx512(uint8_t* out, const uint8_t* y, const BlockOffsets& o, int count) {
    __m256i bytes;
    if (count == kBlock)
        bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y));
    else
        bytes = _mm256_maskz_loadu_epi8(static_cast<__mmask32>((1u << count) - 1), y);
    __m512i luma = _mm512_cvtepu8_epi16(bytes);
    __m512i bg = _mm512_packus_epi16(_mm512_add_epi16(luma, o.b), _mm512_add_epi16(luma, o.g));
    __m512i r = _mm512_packus_epi16(_mm512_add_epi16(luma, o.r), _mm512_setzero_si512());
    const auto& table = kBytes == 4 ? kPermute.bgrx : kPermute.bgr;
    __m512i first = _mm512_permutex2var_epi8(bg, _mm512_load_si512(table[0]), r);
    __m512i second = _mm512_permutex2var_epi8(bg, _mm512_load_si512(table[1]), r);
    constexpr int kFirst = 64;
    constexpr int kSecond = kBytes * kBlock - 64;  // 64 or 32
    if (count == kBlock) {
        _mm512_storeu_si512(out, first);
        if (kSecond == 64)
            _mm512_storeu_si512(out + 64, second);
        else
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 64), _mm512_castsi512_si256(second));
        return;
    }
    int bytesOut = kBytes * count;
    int inFirst = bytesOut < kFirst ? bytesOut : kFirst;
    _mm512_mask_storeu_epi8(out, LowBits(inFirst), first);
    if (bytesOut > kFirst)
        _mm512_mask_storeu_epi8(out + 64, LowBits(bytesOut - kFirst), second);
}

// Green of the marked samples' pixels with the exact formula: one row of the block at column x, count
// pixels of it.
template <int kBytes>
void FixExactGreenAvx512(uint8_t* block, const uint8_t* y, const uint8_t* us, const uint8_t* vs, int x,
                         int count, uint32_t exact) {
    for (int lane = 0; exact != 0; ++lane, exact >>= 1) {
        if ((exact & 1) == 0)
            continue;
        int m = x / 2 + lane;
        for (int px = 2 * m; px <= 2 * m + 1 && px < x + count; ++px)
            block[kBytes * (px - x) + 1] = GFromYuv(y[px], us[m], vs[m]);
    }
}

// One or two rows sharing their chroma row (rows 1 or 2; with 1 only ys[0] and out[0] are used), any
// width: the chroma row holds (width + 1) / 2 samples. Each row is written from start to end with the
// offsets of each block computed in registers as it goes (again for the second row, without the marks):
// the only stores are the pixels, so that on a picture that is not in the cache the writes to memory
// flow without a pause (offsets kept in memory for the second row, or two rows written by turns, make the
// rows come in noticeably slower). The rare marked samples are listed while the first row is written.
template <int kBytes>
VISTAL_AVX512_INLINE void BgrRowsAvx512(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* us,
                                        const uint8_t* vs, int width, int rows) {
    struct Marked {
        int x;
        uint32_t samples;
    };
    constexpr int kMarkedMax = 64;
    Marked marked[kMarkedMax];
    int markedCount = 0;
    bool overflow = false;
    // Two steps a loop turn: on a picture that is not in the cache the rows come in about a tenth faster
    // than one step a turn (more turns unrolled are slower again), measured.
#pragma GCC unroll 2
    for (int x = 0; x < width; x += kBlock) {
        BlockOffsets o;
        uint32_t exact = ChromaOffsetsAvx512<true>(us + x / 2, vs + x / 2, (width - x + 1) / 2, &o);
        int count = width - x < kBlock ? width - x : kBlock;
        BgrPixelsAvx512<kBytes>(out[0] + kBytes * x, ys[0] + x, o, count);
        if (exact == 0)
            continue;
        FixExactGreenAvx512<kBytes>(out[0] + kBytes * x, ys[0], us, vs, x, count, exact);
        if (markedCount < kMarkedMax)
            marked[markedCount++] = Marked{x, exact};
        else
            overflow = true;
    }
    if (rows < 2)
        return;
#pragma GCC unroll 2
    for (int x = 0; x < width; x += kBlock) {
        BlockOffsets o;
        int samples = (width - x + 1) / 2;
        // More marked blocks than listed (a picture full of such colours): marked again as they come.
        uint32_t exact = overflow ? ChromaOffsetsAvx512<true>(us + x / 2, vs + x / 2, samples, &o)
                                  : ChromaOffsetsAvx512<false>(us + x / 2, vs + x / 2, samples, &o);
        int count = width - x < kBlock ? width - x : kBlock;
        BgrPixelsAvx512<kBytes>(out[1] + kBytes * x, ys[1] + x, o, count);
        if (exact != 0)
            FixExactGreenAvx512<kBytes>(out[1] + kBytes * x, ys[1], us, vs, x, count, exact);
    }
    for (int i = 0; i < markedCount && !overflow; ++i) {
        int x = marked[i].x;
        int count = width - x < kBlock ? width - x : kBlock;
        FixExactGreenAvx512<kBytes>(out[1] + kBytes * x, ys[1], us, vs, x, count, marked[i].samples);
    }
}

template <int kBytes>
VISTAL_AVX512 void I420ToBgrAvx512(uint8_t* destination, const uint8_t* source, int width, int height,
                                   int flip) {
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
        BgrRowsAvx512<kBytes>(out, ys, us, vs, width, rows);
    }
}

}  // namespace

void I420ToBgr24Avx512(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgrAvx512<3>(destination, source, width, height, flip);
}

void I420ToBgrx32Avx512(uint8_t* destination, const uint8_t* source, int width, int height, int flip) {
    I420ToBgrAvx512<4>(destination, source, width, height, flip);
}

VISTAL_AVX512 void I420RowsToBgrx32Avx512(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                                          const uint8_t* v, int width, int rows) {
    BgrRowsAvx512<4>(out, ys, u, v, width, rows);
}

}  // namespace pixel
