#include "media/display_pass.h"

#include <immintrin.h>
#include <libyuv/scale_argb.h>

#include <algorithm>
#include <cstring>

#include "media/pixel_routines.h"

namespace {
constexpr int kColumnBlock = 8;  // pixels of one 32-byte block

void FillPixels(uint8_t* out, const uint8_t pixel[4], int count) {
    uint32_t value = 0;
    std::memcpy(&value, pixel, 4);
    auto* words = reinterpret_cast<uint32_t*>(out);
    std::fill(words, words + count, value);
}

bool HaveAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return have;
#else
    return false;
#endif
}

// Blocks first to first + count of a stretched row: each block's 8 pixels picked (one permutation) from
// the 8 picture pixels from its base.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void StretchBlocksAvx2(uint32_t* out, const uint32_t* in,
                                                       const int32_t* bases, const int32_t* picks, int first,
                                                       int count) {
    for (int b = first; b < first + count; ++b) {
        __m256i pick = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(picks + b * kColumnBlock));
        __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + bases[b]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + b * kColumnBlock),
                            _mm256_permutevar8x32_epi32(pixels, pick));
    }
}
#else
void StretchBlocksAvx2(uint32_t*, const uint32_t*, const int32_t*, const int32_t*, int, int) {}
#endif
}  // namespace

bool DisplayPass::PrepareStretch(int width, int height, int destWidth, int destHeight) {
    const int key[4] = {width, height, destWidth, destHeight};
    if (std::equal(key, key + 4, m_stretchKey))
        return m_stretchPlain;
    std::copy(key, key + 4, m_stretchKey);
    m_stretchPlain = false;
    // The stretch's own sampling, read off once per size pair: every pixel of an index picture names its
    // column and row; the stretched index picture gives each rectangle pixel's source.
    HeapBuffer index, stretched;
    auto* in = reinterpret_cast<uint32_t*>(index.AtLeast(static_cast<size_t>(width) * height * 4));
    auto* out =
        reinterpret_cast<uint32_t*>(stretched.AtLeast(static_cast<size_t>(destWidth) * destHeight * 4));
    if (in == nullptr || out == nullptr || width > 0xFFFF || height > 0xFFFF)
        return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            in[static_cast<size_t>(y) * width + x] =
                static_cast<uint32_t>(y) << 16 | static_cast<uint32_t>(x);
    }
    if (libyuv::ARGBScaleClip(reinterpret_cast<uint8_t*>(in), width * 4, width, height,
                              reinterpret_cast<uint8_t*>(out), destWidth * 4, destWidth, destHeight, 0, 0,
                              destWidth, destHeight, libyuv::kFilterNone) != 0)
        return false;
    m_columns.resize(static_cast<size_t>(destWidth));
    m_rows.resize(static_cast<size_t>(destHeight));
    for (int x = 0; x < destWidth; ++x)
        m_columns[static_cast<size_t>(x)] = static_cast<int32_t>(out[x] & 0xFFFF);
    for (int y = 0; y < destHeight; ++y)
        m_rows[static_cast<size_t>(y)] = static_cast<int32_t>(out[static_cast<size_t>(y) * destWidth] >> 16);
    PrepareColumnBlocks(width, destWidth);
    // Only a sampling by column and row apart can be drawn row by row.
    for (int y = 0; y < destHeight; ++y) {
        for (int x = 0; x < destWidth; ++x) {
            uint32_t expected = static_cast<uint32_t>(m_rows[static_cast<size_t>(y)]) << 16 |
                                static_cast<uint32_t>(m_columns[static_cast<size_t>(x)]);
            if (out[static_cast<size_t>(y) * destWidth + x] != expected)
                return false;
        }
    }
    m_stretchPlain = true;
    return true;
}

// Where 8 rectangle columns in a row take their pixels from 8 picture pixels in a row (a stretch that
// widens, or keeps, the picture), they are one permutation of those 8; other blocks go pixel by pixel.
void DisplayPass::PrepareColumnBlocks(int width, int destWidth) {
    int blocks = HaveAvx2() && width >= kColumnBlock ? destWidth / kColumnBlock : 0;
    m_blockBases.assign(static_cast<size_t>(blocks), -1);
    m_blockPicks.assign(static_cast<size_t>(blocks) * kColumnBlock, 0);
    for (int b = 0; b < blocks; ++b) {
        const int32_t* columns = m_columns.data() + static_cast<size_t>(b) * kColumnBlock;
        int32_t base = std::min(columns[0], width - kColumnBlock);
        if (columns[kColumnBlock - 1] - base >= kColumnBlock || columns[0] < base)
            continue;
        m_blockBases[static_cast<size_t>(b)] = base;
        for (int i = 0; i < kColumnBlock; ++i)
            m_blockPicks[static_cast<size_t>(b) * kColumnBlock + i] = columns[i] - base;
    }
}

void DisplayPass::StretchColumns(const uint8_t* row, uint8_t* out, int left, int right) const {
    const auto* pixels = reinterpret_cast<const uint32_t*>(row);
    auto* target = reinterpret_cast<uint32_t*>(out);
    int blocks = static_cast<int>(m_blockBases.size());
    int x = left;
    while (x < right) {
        int b = x / kColumnBlock;
        // A run of whole blocks that are permutations.
        int run = 0;
        if (x % kColumnBlock == 0) {
            while (b + run < blocks && (b + run + 1) * kColumnBlock <= right &&
                   m_blockBases[static_cast<size_t>(b + run)] >= 0)
                ++run;
        }
        if (run > 0) {
            StretchBlocksAvx2(target, pixels, m_blockBases.data(), m_blockPicks.data(), b, run);
            x += run * kColumnBlock;
            continue;
        }
        int end = std::min(right, (b + 1) * kColumnBlock);
        for (; x < end; ++x)
            target[x] = pixels[m_columns[static_cast<size_t>(x)]];
    }
}

// The picture's rows for one row: the decoder's own where they are used as they are, else held in the row
// buffers (luma in slot 0 or 1), reduced and, for a planar border, with the border in their edge samples.
DisplayPass::Rows DisplayPass::SourceRows(const I420Source& source, int row, int slot) {
    int chromaRow = row / 2;
    const uint8_t* planes[3] = {source.plane[0] + static_cast<ptrdiff_t>(row) * source.stride[0],
                                source.plane[1] + static_cast<ptrdiff_t>(chromaRow) * source.stride[1],
                                source.plane[2] + static_cast<ptrdiff_t>(chromaRow) * source.stride[2]};
    if (!m_reduce && !m_border.planar)
        return Rows{planes[0], planes[1], planes[2]};
    int w = m_width, cw = m_width / 2;
    if (m_lumaRowHeld[slot] != row) {
        uint8_t* luma = m_lumaRows[slot];
        if (m_reduce)
            m_scaler.ScaleRow(source, 0, row, luma);
        else
            std::memcpy(luma, planes[0], static_cast<size_t>(w));
        if (m_border.planar)
            luma[0] = luma[w - 1] = m_border.yuv[0];
        m_lumaRowHeld[slot] = row;
    }
    if (m_chromaRowHeld != chromaRow) {
        for (int c = 0; c < 2; ++c) {
            uint8_t* chroma = m_chromaRows[c];
            if (m_reduce)
                m_scaler.ScaleRow(source, 1 + c, chromaRow, chroma);
            else
                std::memcpy(chroma, planes[1 + c], static_cast<size_t>(cw));
            if (m_border.planar)
                chroma[0] = chroma[cw - 1] = m_border.yuv[1 + c];
        }
        m_chromaRowHeld = chromaRow;
    }
    return Rows{m_lumaRows[slot], m_chromaRows[0], m_chromaRows[1]};
}

bool DisplayPass::EdgeRow(int row) const {
    return row == 0 || row == m_height - 1 || m_width <= 2;
}

void DisplayPass::Convert(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u,
                          const uint8_t* v, int rows, bool stream) const {
    if (stream)
        ImgI420RowsToBgrx32Stream(out, ys, u, v, m_width, rows);
    else
        ImgI420RowsToBgrx32(out, ys, u, v, m_width, rows);
    // A planar border is in the samples already; the other is drawn over the converted edge pixels.
    if (!m_border.planar) {
        for (int r = 0; r < rows; ++r) {
            std::memcpy(out[r], m_borderPixel, 4);
            std::memcpy(out[r] + static_cast<size_t>(m_width - 1) * 4, m_borderPixel, 4);
        }
    }
}

void DisplayPass::ConvertRow(const I420Source& source, int row, uint8_t* out, bool stream) {
    if (EdgeRow(row)) {
        FillPixels(out, m_borderPixel, m_width);
        return;
    }
    Rows rows = SourceRows(source, row, 0);
    const uint8_t* u = rows.u;
    const uint8_t* v = rows.v;
    if (m_border.planar && (row / 2 == 0 || row / 2 == m_height / 2 - 1)) {
        u = m_borderChroma[0];
        v = m_borderChroma[1];
    }
    uint8_t* outs[2] = {out, out};
    const uint8_t* ys[2] = {rows.y, rows.y};
    Convert(outs, ys, u, v, 1, stream);
}

// Asks for the picture rows of the pair at row (even) ahead of their use: the decoder's picture is no
// longer all in the nearest caches when it is drawn, and the rows' reads would otherwise wait one by one.
void DisplayPass::PrefetchPair(const I420Source& source, int row) const {
    if (row + 1 >= m_height)
        return;
    if (m_reduce) {
        m_scaler.PrefetchRow(source, 0, row);
        m_scaler.PrefetchRow(source, 0, row + 1);
        m_scaler.PrefetchRow(source, 1, row / 2);
        m_scaler.PrefetchRow(source, 2, row / 2);
        return;
    }
    // The picture's own rows: luma rows row and row + 1, the chroma row of both chroma planes.
    PrefetchPlaneRow(source, 0, row, m_width);
    PrefetchPlaneRow(source, 0, row + 1, m_width);
    PrefetchPlaneRow(source, 1, row / 2, m_width / 2);
    PrefetchPlaneRow(source, 2, row / 2, m_width / 2);
}

// Rows row and row + 1 (row even) share their chroma row: converted together, the chroma work is done once.
// A pair holding an edge row (the first and last pairs, whose chroma is the border's) goes row by row.
void DisplayPass::ConvertRowPair(const I420Source& source, int row, uint8_t* out0, uint8_t* out1) {
    if (EdgeRow(row) || EdgeRow(row + 1)) {
        ConvertRow(source, row, out0, true);
        ConvertRow(source, row + 1, out1, true);
        return;
    }
    PrefetchPair(source, row + 2);
    Rows first = SourceRows(source, row, 0);
    Rows second = SourceRows(source, row + 1, 1);
    uint8_t* outs[2] = {out0, out1};
    const uint8_t* ys[2] = {first.y, second.y};
    Convert(outs, ys, first.u, first.v, 2, true);
}

int DisplayPass::Draw(VideoCanvas& canvas, const I420Source& source, int width, int height,
                      const VideoRect& dest, const PictureBorder& border, const CanvasStillKey& still) {
    int destWidth = dest.right - dest.left;
    int destHeight = dest.bottom - dest.top;
    if (source.plane[0] == nullptr || width <= 0 || height <= 0 || destWidth <= 0 || destHeight <= 0)
        return -1;
    // Reduce first when the rectangle (even-sized) is smaller than the picture.
    int evenWidth = destWidth & ~1, evenHeight = destHeight & ~1;
    m_reduce = evenWidth >= 2 && evenHeight >= 2 && evenWidth <= width && evenHeight <= height &&
               (evenWidth < width || evenHeight < height);
    int w = m_reduce ? evenWidth : width, h = m_reduce ? evenHeight : height;
    if ((w | h) & 1 || w < 2 || h < 2)
        return 1;
    if (m_reduce && !PointScaler::SamplesItself(width, height, w, h))
        return 1;
    bool sameSize = w == destWidth && h == destHeight;
    if (!sameSize && !PrepareStretch(w, h, destWidth, destHeight))
        return 1;
    if (m_reduce)
        m_scaler.PrepareRows(width, height, w, h);
    m_width = w;
    m_height = h;
    m_border = border;
    if (border.planar) {
        uint8_t pair[8];
        uint8_t* outs[2] = {pair, pair};
        const uint8_t luma[2] = {border.yuv[0], border.yuv[0]};
        const uint8_t* ys[2] = {luma, luma};
        ImgI420RowsToBgrx32(outs, ys, &border.yuv[1], &border.yuv[2], 2, 1);
        std::memcpy(m_borderPixel, pair, 4);
    } else {
        std::memcpy(m_borderPixel, border.bgrx, 4);
    }
    size_t chroma = static_cast<size_t>(w / 2);
    uint8_t* rows = m_rowBuffer.AtLeast(static_cast<size_t>(w) * 2 + 4 * chroma + static_cast<size_t>(w) * 4);
    if (rows == nullptr)
        return -1;
    m_pixelRow = rows;
    m_lumaRows[0] = rows + static_cast<size_t>(w) * 4;
    m_lumaRows[1] = m_lumaRows[0] + w;
    m_chromaRows[0] = m_lumaRows[1] + w;
    m_chromaRows[1] = m_chromaRows[0] + chroma;
    m_borderChroma[0] = m_chromaRows[1] + chroma;
    m_borderChroma[1] = m_borderChroma[0] + chroma;
    std::memset(m_borderChroma[0], border.yuv[1], chroma);
    std::memset(m_borderChroma[1], border.yuv[2], chroma);
    m_lumaRowHeld[0] = m_lumaRowHeld[1] = m_chromaRowHeld = -1;

    // Only this rectangle is held: the other slots draw their own rectangles meanwhile.
    VideoCanvas::RectLock held(canvas, dest.left, dest.top, dest.right, dest.bottom, still);
    const QImage& image = canvas.Image();
    VideoClip clip{};
    if (!ClipToCanvas(image, dest, &clip))
        return -1;
    ptrdiff_t stride = canvas.Stride();
    uint8_t* origin =
        canvas.Pixels() + static_cast<ptrdiff_t>(dest.top) * stride + static_cast<ptrdiff_t>(dest.left) * 4;
    bool wholeRows = sameSize && clip.left == 0 && clip.right == destWidth;
    int converted = -1;
    if (wholeRows) {
        int y = clip.top;
        if (y % 2 != 0) {
            ConvertRow(source, y, origin + static_cast<ptrdiff_t>(y) * stride, true);
            ++y;
        }
        for (; y + 1 < clip.bottom; y += 2) {
            uint8_t* out = origin + static_cast<ptrdiff_t>(y) * stride;
            ConvertRowPair(source, y, out, out + stride);
        }
        if (y < clip.bottom)
            ConvertRow(source, y, origin + static_cast<ptrdiff_t>(y) * stride, true);
        // The rows stored past the caches reach memory before the lock hands the canvas on.
        ImgStreamFence();
        return 0;
    }
    if (w == destWidth && clip.left == 0 && clip.right == destWidth) {
        // Only the rows are stretched: each rectangle row is a picture row converted straight into the
        // canvas, two at a time where two picture rows of a chroma row follow each other.
        for (int y = clip.top; y < clip.bottom;) {
            int row = m_rows[static_cast<size_t>(y)];
            uint8_t* out = origin + static_cast<ptrdiff_t>(y) * stride;
            if (row % 2 == 0 && y + 1 < clip.bottom && m_rows[static_cast<size_t>(y) + 1] == row + 1) {
                ConvertRowPair(source, row, out, out + stride);
                y += 2;
            } else {
                ConvertRow(source, row, out, true);
                ++y;
            }
        }
        ImgStreamFence();
        return 0;
    }
    for (int y = clip.top; y < clip.bottom; ++y) {
        uint8_t* out = origin + static_cast<ptrdiff_t>(y) * stride;
        int row = sameSize ? y : m_rows[static_cast<size_t>(y)];
        if (row != converted) {
            ConvertRow(source, row, m_pixelRow, false);
            converted = row;
        }
        if (sameSize) {
            std::memcpy(out + static_cast<size_t>(clip.left) * 4,
                        m_pixelRow + static_cast<size_t>(clip.left) * 4,
                        static_cast<size_t>(clip.right - clip.left) * 4);
            continue;
        }
        StretchColumns(m_pixelRow, out, clip.left, clip.right);
    }
    return 0;
}
