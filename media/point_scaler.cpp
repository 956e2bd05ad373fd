#include "media/point_scaler.h"

#include <immintrin.h>
#include <libyuv/scale.h>

namespace {
constexpr int kBlock = 16;

// Source positions of point sampling: step (source << 16) / destination, the first position half a step
// in.
void SamplePositions(std::vector<int32_t>* positions, int source, int destination) {
    int32_t step = static_cast<int32_t>((static_cast<int64_t>(source) << 16) / destination);
    int32_t position = step >> 1;
    positions->resize(static_cast<size_t>(destination));
    for (int i = 0; i < destination; ++i) {
        (*positions)[static_cast<size_t>(i)] = position >> 16;
        position += step;
    }
}

// Size pairs for which libyuv takes its own row routines (width kept, 3/4, 1/2, 3/8, 1/4) rather than
// general point sampling; those pictures go through libyuv itself.
bool LibyuvSpecialCase(int sw, int sh, int dw, int dh) {
    if (dw == sw)
        return dh != sh;
    if (dw > sw || dh > sh)
        return false;
    return (4 * dw == 3 * sw && 4 * dh == 3 * sh) || (2 * dw == sw && 2 * dh == sh) ||
           (8 * dw == 3 * sw && dh == (3 * sh + 7) / 8) || (4 * dw == sw && 4 * dh == sh);
}

bool HaveSsse3() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return have;
#else
    return false;
#endif
}

// The blocks of one row: shuffled where the block has a base, else pixel by pixel.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("ssse3")))
#endif
void ScaleBlocks(uint8_t* out, const uint8_t* in, const int32_t* columns, const int32_t* blockBase,
                 const uint8_t* shuffles, int blocks) {
    for (int b = 0; b < blocks; ++b, out += kBlock, columns += kBlock, shuffles += 2 * kBlock) {
#if defined(__x86_64__) || defined(__i386__)
        if (blockBase[b] >= 0) {
            const uint8_t* p = in + blockBase[b];
            __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
            __m128i x = _mm_shuffle_epi8(low, _mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffles)));
            __m128i y =
                _mm_shuffle_epi8(high, _mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffles + kBlock)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_or_si128(x, y));
            continue;
        }
#endif
        for (int i = 0; i < kBlock; ++i)
            out[i] = in[columns[i]];
    }
}
}  // namespace

void PointScaler::Prepare(PlaneMap* map, int sourceWidth, int sourceHeight, int width, int height) {
    if (map->sourceWidth == sourceWidth && map->sourceHeight == sourceHeight && map->width == width &&
        map->height == height)
        return;
    map->sourceWidth = sourceWidth;
    map->sourceHeight = sourceHeight;
    map->width = width;
    map->height = height;
    SamplePositions(&map->columns, sourceWidth, width);
    SamplePositions(&map->rows, sourceHeight, height);
    int blocks = HaveSsse3() ? width / kBlock : 0;
    map->blockBase.assign(static_cast<size_t>(blocks), -1);
    map->shuffles.assign(static_cast<size_t>(blocks) * 2 * kBlock, 0x80);
    for (int b = 0; b < blocks; ++b) {
        const int32_t* columns = map->columns.data() + b * kBlock;
        int32_t base = columns[0];
        if (columns[kBlock - 1] - base >= 2 * kBlock || base + 2 * kBlock > sourceWidth)
            continue;
        map->blockBase[static_cast<size_t>(b)] = base;
        uint8_t* shuffle = map->shuffles.data() + static_cast<size_t>(b) * 2 * kBlock;
        for (int i = 0; i < kBlock; ++i) {
            int offset = columns[i] - base;
            shuffle[offset < kBlock ? i : kBlock + i] = static_cast<uint8_t>(offset % kBlock);
        }
    }
}

void PointScaler::ScaleOneRow(const PlaneMap& map, const uint8_t* source, int stride, int row, uint8_t* out) {
    int blocks = static_cast<int>(map.blockBase.size());
    const uint8_t* in = source + static_cast<size_t>(map.rows[static_cast<size_t>(row)]) * stride;
    // Blocks exist only where the processor has SSSE3.
    if (blocks > 0)
        ScaleBlocks(out, in, map.columns.data(), map.blockBase.data(), map.shuffles.data(), blocks);
    for (int x = blocks * kBlock; x < map.width; ++x)
        out[x] = in[map.columns[static_cast<size_t>(x)]];
}

void PointScaler::ScalePlane(const PlaneMap& map, const uint8_t* source, int stride, uint8_t* destination) {
    for (int y = 0; y < map.height; ++y)
        ScaleOneRow(map, source, stride, y, destination + static_cast<size_t>(y) * map.width);
}

bool PointScaler::SamplesItself(int width, int height, int destWidth, int destHeight) {
    return !LibyuvSpecialCase(width, height, destWidth, destHeight) &&
           !LibyuvSpecialCase(width / 2, height / 2, destWidth / 2, destHeight / 2);
}

void PointScaler::PrepareRows(int width, int height, int destWidth, int destHeight) {
    Prepare(&m_luma, width, height, destWidth, destHeight);
    Prepare(&m_chroma, width / 2, height / 2, destWidth / 2, destHeight / 2);
}

void PointScaler::ScaleRow(const I420Source& source, int plane, int row, uint8_t* out) const {
    ScaleOneRow(plane == 0 ? m_luma : m_chroma, source.plane[plane], source.stride[plane], row, out);
}

void PointScaler::PrefetchRow(const I420Source& source, int plane, int row) const {
    const PlaneMap& map = plane == 0 ? m_luma : m_chroma;
    if (row < 0 || row >= map.height)
        return;
    PrefetchPlaneRow(source, plane, map.rows[static_cast<size_t>(row)], map.sourceWidth);
}

void PointScaler::ScaleI420(const I420Source& source, int width, int height, uint8_t* destination,
                            int destWidth, int destHeight) {
    size_t destLuma = static_cast<size_t>(destWidth) * static_cast<size_t>(destHeight);
    uint8_t* out[3] = {destination, destination + destLuma, destination + destLuma + destLuma / 4};
    if (!SamplesItself(width, height, destWidth, destHeight)) {
        libyuv::I420Scale(source.plane[0], source.stride[0], source.plane[1], source.stride[1],
                          source.plane[2], source.stride[2], width, height, out[0], destWidth, out[1],
                          destWidth / 2, out[2], destWidth / 2, destWidth, destHeight, libyuv::kFilterNone);
        return;
    }
    PrepareRows(width, height, destWidth, destHeight);
    ScalePlane(m_luma, source.plane[0], source.stride[0], out[0]);
    ScalePlane(m_chroma, source.plane[1], source.stride[1], out[1]);
    ScalePlane(m_chroma, source.plane[2], source.stride[2], out[2]);
}
