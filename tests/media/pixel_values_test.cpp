// The pixel routines against the colour values, grid and zone drawings they are defined by.

#include <gtest/gtest.h>

#include <vector>

#include "media/pixel_routines.h"

namespace {

struct ColourCase {
    uint8_t r, g, b;
    uint8_t y, cb, cr;
};

TEST(PixelColour, RgbToYuvKnownColours) {
    const ColourCase cases[] = {
        {0, 0, 0, 0, 128, 128},          // black
        {255, 255, 255, 255, 128, 128},  // white
        {0, 255, 0, 149, 43, 21},        // the grid's green
    };
    ImgInitDispatch();
    for (const ColourCase& c : cases) {
        uint8_t rgb[3] = {c.r, c.g, c.b};
        uint8_t yuv[3] = {};
        ImgRgb24ToYuv444(yuv, rgb, 1, 1, 0);
        EXPECT_EQ(yuv[0], c.y) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(yuv[1], c.cb);
        EXPECT_EQ(yuv[2], c.cr);
    }
}

TEST(PixelColour, ZoneCrossIsRed) {
    // A 2 x 2 picture of Y 76, Cb 84, Cr 255 in both output layouts.
    uint8_t i420[6] = {76, 76, 76, 76, 84, 255};
    uint8_t bgr[12] = {};
    uint8_t bgrx[16] = {};
    ImgI420ToBgr24(bgr, i420, 2, 2, 0);
    ImgI420ToBgrx32(bgrx, i420, 2, 2, 0);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(bgr[3 * p], 0);
        EXPECT_EQ(bgr[3 * p + 1], 0);
        EXPECT_EQ(bgr[3 * p + 2], 254);
        EXPECT_EQ(bgrx[4 * p], 0);
        EXPECT_EQ(bgrx[4 * p + 1], 0);
        EXPECT_EQ(bgrx[4 * p + 2], 254);
        EXPECT_EQ(bgrx[4 * p + 3], 0);
    }
}

TEST(PixelColour, Bgr24ToI420AveragesBlocksAndFlips) {
    // 2 x 2: top row blue and green, bottom row red and white (BGR order in memory, top-down).
    const uint8_t bgr[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    uint8_t top[6] = {}, flipped[6] = {};
    ImgBgr24ToI420(top, bgr, 2, 2, 0);
    ImgBgr24ToI420(flipped, bgr, 2, 2, 1);
    EXPECT_EQ(top[0], 29);   // blue
    EXPECT_EQ(top[1], 149);  // green
    EXPECT_EQ(top[2], 76);   // red
    EXPECT_EQ(top[3], 255);  // white
    // Means: B (255 + 0 + 0 + 255) >> 2 = 127, G 127, R 127.
    EXPECT_EQ(top[4], 128);
    EXPECT_EQ(top[5], 128);
    // Flip 1: output row 0 comes from the last source row.
    EXPECT_EQ(flipped[0], 76);
    EXPECT_EQ(flipped[1], 255);
    EXPECT_EQ(flipped[2], 29);
    EXPECT_EQ(flipped[3], 149);
}

TEST(PixelColour, OutputFlipWritesRowsBottomUp) {
    // 2 x 4 grey ramp: rows of Y 10, 20, 30, 40 and neutral chroma.
    std::vector<uint8_t> i420 = {10, 10, 20, 20, 30, 30, 40, 40, 128, 128, 128, 128};
    std::vector<uint8_t> out(2 * 4 * 4);
    ImgI420ToBgrx32(out.data(), i420.data(), 2, 4, 1);
    EXPECT_EQ(out[0], 40);
    EXPECT_EQ(out[3 * 8], 10);
}

TEST(PixelCopy, StridedCopyDropsBytesBeyondWidth) {
    const int w = 4, h = 2;
    std::vector<uint8_t> y = {1, 2, 3, 4, 99, 99, 5, 6, 7, 8, 99, 99};  // stride 6
    std::vector<uint8_t> u = {9, 10, 99};                               // stride 3
    std::vector<uint8_t> v = {11, 12, 99, 99};                          // stride 4
    std::vector<uint8_t> out(I420Size(w, h), 0);
    ImgCopyStridedI420(out.data(), y.data(), 6, u.data(), 3, v.data(), 4, w, h);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(PixelYuy2, PacksPixelPairsWithTheirChroma) {
    // 4 x 2: chroma row 0 serves both luma rows.
    const uint8_t i420[12] = {1, 2, 3, 4, 5, 6, 7, 8, 50, 51, 60, 61};
    uint8_t out[16] = {};
    ImgI420ToYuy2(out, i420, 4, 2);
    const uint8_t want[16] = {1, 50, 2, 60, 3, 51, 4, 61, 5, 50, 6, 60, 7, 51, 8, 61};
    EXPECT_EQ(std::vector<uint8_t>(out, out + 16), std::vector<uint8_t>(want, want + 16));
}

// --- zone grid and crosses on a 352 x 288 picture ---

class ZoneDrawing : public ::testing::Test {
protected:
    static constexpr int W = 352, H = 288;
    static constexpr uint8_t kBackground = 7;
    std::vector<uint8_t> frame = std::vector<uint8_t>(I420Size(W, H), kBackground);
    uint8_t& Y(int x, int y) { return frame[y * W + x]; }
    uint8_t& U(int x, int y) { return frame[W * H + y * (W / 2) + x]; }
    uint8_t& V(int x, int y) { return frame[W * H + W * H / 4 + y * (W / 2) + x]; }
    int CountLuma(uint8_t value) {
        int n = 0;
        for (int i = 0; i < W * H; ++i)
            n += frame[i] == value;
        return n;
    }
};

TEST_F(ZoneDrawing, GridDrawsSevenInnerLinesOnly) {
    ImgDrawGridI420(frame.data(), W, H);
    for (int k = 1; k <= 7; ++k) {
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(Y(x, 36 * k), 149) << "row " << 36 * k;
        for (int y = 0; y < H; ++y)
            ASSERT_EQ(Y(44 * k, y), 149) << "column " << 44 * k;
        for (int x = 0; x < W / 2; ++x) {
            ASSERT_EQ(U(x, 18 * k), 43);
            ASSERT_EQ(V(x, 18 * k), 21);
        }
        for (int y = 0; y < H / 2; ++y) {
            ASSERT_EQ(U(22 * k, y), 43);
            ASSERT_EQ(V(22 * k, y), 21);
        }
    }
    // No line on the outer edges: each edge row and column only meets the seven crossing lines.
    int top = 0, bottom = 0, left = 0, right = 0;
    for (int x = 0; x < W; ++x) {
        top += Y(x, 0) == 149;
        bottom += Y(x, H - 1) == 149;
    }
    for (int y = 0; y < H; ++y) {
        left += Y(0, y) == 149;
        right += Y(W - 1, y) == 149;
    }
    EXPECT_EQ(top, 7);
    EXPECT_EQ(bottom, 7);
    EXPECT_EQ(left, 7);
    EXPECT_EQ(right, 7);
    // 7 full rows and 7 full columns, crossing in 49 pixels.
    EXPECT_EQ(CountLuma(149), 7 * W + 7 * H - 49);
}

TEST_F(ZoneDrawing, EmptyMaskDrawsOnlyTheGrid) {
    std::vector<uint8_t> grid = frame;
    ImgDrawGridI420(grid.data(), W, H);
    const uint8_t mask[8] = {};
    ImgDrawZonesI420(frame.data(), W, H, mask);
    EXPECT_EQ(frame, grid);
}

TEST_F(ZoneDrawing, TopRowMaskCrossesAllEightZones) {
    const uint8_t mask[8] = {0xFF, 0, 0, 0, 0, 0, 0, 0};
    ImgDrawZonesI420(frame.data(), W, H, mask);
    // Zone size 44 x 36: horizontal bar on row 18 from x mod 44 = 11 to 33, vertical bar on column
    // 22 + 44 n from y = 9 to 27.
    for (int n = 0; n < 8; ++n) {
        for (int x = n * 44; x < (n + 1) * 44; ++x) {
            int inZone = x - n * 44;
            bool bar = inZone >= 11 && inZone <= 33;
            if (x % 44 != 0) {  // grid columns keep their own colour where the bar does not reach
                EXPECT_EQ(Y(x, 18) == 76, bar) << "x " << x;
            }
        }
        for (int y = 0; y < 36; ++y)
            EXPECT_EQ(Y(22 + n * 44, y) == 76, y >= 9 && y <= 27) << "zone " << n << " y " << y;
        // Chroma: zone 22 x 18, bar on chroma row 9 from 5 to 17, column 11 + 22 n from 4 to 14.
        EXPECT_EQ(U(n * 22 + 5, 9), 84);
        EXPECT_EQ(V(n * 22 + 17, 9), 255);
        EXPECT_EQ(V(11 + n * 22, 4), 255);
        EXPECT_EQ(U(11 + n * 22, 14), 84);
        EXPECT_NE(U(11 + n * 22, 15), 84);
    }
    // Nothing red below the top zone row.
    for (int y = 36; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_NE(Y(x, y), 76);
    EXPECT_EQ(CountLuma(76), 8 * (23 + 19) - 8);  // bars cross once per zone
}

TEST_F(ZoneDrawing, TinyPicturesDrawNothingOutside) {
    // Pictures smaller than the grid: no zone has a size, nothing may be written past the planes.
    for (int w = 0; w <= 16; w += 2) {
        for (int h = 0; h <= 16; h += 2) {
            std::vector<uint8_t> small(I420Size(w, h) + 16, kBackground);
            const uint8_t mask[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
            ImgDrawZonesI420(small.data(), w, h, mask);
            for (size_t i = I420Size(w, h); i < small.size(); ++i)
                ASSERT_EQ(small[i], kBackground) << w << "x" << h;
        }
    }
}

}  // namespace
