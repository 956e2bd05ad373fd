#pragma once

// Point-sampled reduction of I420 pictures into contiguous ones: each destination pixel takes the source
// pixel at libyuv's point-sampling position (16.16 fixed-point step source / destination, starting half a
// step in), so the result is byte for byte what libyuv::I420Scale gives with kFilterNone. The column and row
// maps and the byte shuffles of each 16-pixel block are kept while the sizes stay the same, so a picture
// costs two shuffles per 16 pixels instead of a position computation per pixel. Size pairs that libyuv
// reduces through its own row routines are left to libyuv.

#include <cstdint>
#include <vector>

#include "media/i420_source.h"

class PointScaler {
public:
    // Scales the width x height picture into the contiguous destWidth x destHeight one (all even and at
    // least 2).
    void ScaleI420(const I420Source& source, int width, int height, uint8_t* destination, int destWidth,
                   int destHeight);

    // Row by row: true when this size pair is sampled by the maps here (not left to libyuv); then
    // PrepareRows once per picture and ScaleRow for each destination row wanted (plane 0 luma, 1 and 2
    // chroma; row is the destination row of that plane).
    static bool SamplesItself(int width, int height, int destWidth, int destHeight);
    void PrepareRows(int width, int height, int destWidth, int destHeight);
    void ScaleRow(const I420Source& source, int plane, int row, uint8_t* out) const;
    // Asks the processor to fetch the source row that ScaleRow reads for this destination row (a row past
    // the end is ignored): the rows of the next pair come in while this pair is converted.
    void PrefetchRow(const I420Source& source, int plane, int row) const;

private:
    // The map of one plane size pair.
    struct PlaneMap {
        int sourceWidth = 0;
        int sourceHeight = 0;
        int width = 0;
        int height = 0;
        std::vector<int32_t> columns;  // source column of each destination column
        std::vector<int32_t> rows;     // source row of each destination row
        // Per block of 16 destination columns: the source column the block reads 32 bytes from, or -1
        // when the block is done pixel by pixel (its columns span 32 or more, or the read would pass the
        // row's end); and two 16-byte shuffles picking the block's pixels from the two halves.
        std::vector<int32_t> blockBase;
        std::vector<uint8_t> shuffles;
    };
    static void Prepare(PlaneMap* map, int sourceWidth, int sourceHeight, int width, int height);
    static void ScalePlane(const PlaneMap& map, const uint8_t* source, int stride, uint8_t* destination);
    static void ScaleOneRow(const PlaneMap& map, const uint8_t* source, int stride, int row, uint8_t* out);

    PlaneMap m_luma;
    PlaneMap m_chroma;
};
