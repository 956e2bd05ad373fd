#pragma once

// Draws an I420 picture into a rectangle of a window canvas in one pass: row by row, the picture is
// reduced to the rectangle (point sampling) where it is larger, bordered, converted to BGRX and written
// straight into the canvas rows (through one row buffer only where the row is stretched or clipped). The
// result is byte for byte what reducing, bordering and converting the whole picture and then
// stretch-blitting it gives (the renderer's general path, which keeps the cases left out here).

#include <cstdint>
#include <vector>

#include "media/heap_buffer.h"
#include "media/i420_source.h"
#include "media/point_scaler.h"
#include "platform/video/video_blit.h"

// The 1-pixel border of a picture. Planar: drawn into the YUV samples before the conversion (the edge rows
// and columns of the luma plane and of both chroma planes, so the pixels next to the edge take the
// border's chroma with their own luma). Otherwise drawn in BGRX after the conversion.
struct PictureBorder {
    bool planar;
    uint8_t yuv[3];   // Y, Cb, Cr (planar)
    uint8_t bgrx[4];  // the edge pixel (RGB)
};

class DisplayPass {
public:
    // Draws the width x height picture into dest of the canvas, holding that rectangle. 0 when drawn, -1
    // when nothing was drawn (empty rectangle, outside the canvas, no buffer), 1 when this picture and
    // rectangle are left to the general path (odd sizes, reductions libyuv makes with its own row routines,
    // a stretch that is not a plain point sampling).
    // still: the picture never changes (VideoCanvas::HoldsStill), or none.
    int Draw(VideoCanvas& canvas, const I420Source& source, int width, int height, const VideoRect& dest,
             const PictureBorder& border, const CanvasStillKey& still = {});

private:
    struct Rows {
        const uint8_t* y;
        const uint8_t* u;
        const uint8_t* v;
    };
    bool PrepareStretch(int width, int height, int destWidth, int destHeight);
    void PrepareColumnBlocks(int width, int destWidth);
    // Columns left to right (exclusive) of a rectangle row from a converted picture row.
    void StretchColumns(const uint8_t* row, uint8_t* out, int left, int right) const;
    Rows SourceRows(const I420Source& source, int row, int slot);
    bool EdgeRow(int row) const;
    // Converts rows (1 or 2) into out, stored past the caches when stream (rows going to the canvas).
    void Convert(uint8_t* const out[2], const uint8_t* const ys[2], const uint8_t* u, const uint8_t* v,
                 int rows, bool stream) const;
    void ConvertRow(const I420Source& source, int row, uint8_t* out, bool stream);
    void PrefetchPair(const I420Source& source, int row) const;
    void ConvertRowPair(const I420Source& source, int row, uint8_t* out0, uint8_t* out1);

    // The picture being drawn (set by Draw).
    int m_width = 0;  // after the reduction
    int m_height = 0;
    bool m_reduce = false;
    PictureBorder m_border{};
    uint8_t m_borderPixel[4] = {};  // the border as drawn
    PointScaler m_scaler;
    // Row buffers: two luma rows (a pair sharing its chroma) and the chroma rows, reduced or copied to take
    // a planar border; the border's chroma rows; one BGRX row.
    HeapBuffer m_rowBuffer;
    uint8_t* m_lumaRows[2] = {};
    uint8_t* m_chromaRows[2] = {};
    uint8_t* m_borderChroma[2] = {};
    uint8_t* m_pixelRow = nullptr;
    int m_lumaRowHeld[2] = {-1, -1};
    int m_chromaRowHeld = -1;
    // Stretch maps of the last size pair that needed one: the picture column of each rectangle column,
    // the picture row of each rectangle row.
    int m_stretchKey[4] = {};
    bool m_stretchPlain = false;
    std::vector<int32_t> m_columns;
    std::vector<int32_t> m_rows;
    // Per block of 8 rectangle columns: the first of the 8 picture pixels it takes its pixels from (-1:
    // pixel by pixel) and which of them each column takes.
    std::vector<int32_t> m_blockBases;
    std::vector<int32_t> m_blockPicks;
};
