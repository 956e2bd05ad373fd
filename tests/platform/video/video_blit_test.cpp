// Stretch blits into a canvas: placement, scaling and clipping at the canvas's edges.

#include <gtest/gtest.h>

#include <vector>

#include "platform/video/video_blit.h"

namespace {

std::vector<uint8_t> Solid(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < p.size(); i += 4) {
        p[i] = b;
        p[i + 1] = g;
        p[i + 2] = r;
        p[i + 3] = 0xFF;
    }
    return p;
}

class Blit : public ::testing::Test {
protected:
    void SetUp() override { canvas.Resize(100, 80); }
    QRgb At(int x, int y) {
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas.Lock());
        return canvas.Image().pixel(x, y) & 0xFFFFFF;
    }
    VideoCanvas canvas;
};

TEST_F(Blit, ScalesIntoTheRectangleOnly) {
    std::vector<uint8_t> red = Solid(8, 8, 0, 0, 255);
    ASSERT_EQ(StretchBlitBgrx(canvas, red.data(), 8, 8, VideoRect{10, 20, 42, 52}), 0);
    EXPECT_EQ(At(10, 20), 0xFF0000u);
    EXPECT_EQ(At(41, 51), 0xFF0000u);
    EXPECT_EQ(At(9, 20), 0u);
    EXPECT_EQ(At(42, 51), 0u);
    EXPECT_EQ(At(10, 52), 0u);
}

TEST_F(Blit, ClipsAtTheCanvasEdges) {
    std::vector<uint8_t> blue = Solid(16, 16, 255, 0, 0);
    const VideoRect cases[] = {{-10, -10, 20, 20}, {90, 70, 130, 110}, {-50, 30, 150, 40}};
    for (const VideoRect& r : cases)
        EXPECT_EQ(StretchBlitBgrx(canvas, blue.data(), 16, 16, r), 0);
    EXPECT_EQ(At(0, 0), 0x0000FFu);
    EXPECT_EQ(At(99, 79), 0x0000FFu);
    EXPECT_EQ(At(50, 35), 0x0000FFu);
    EXPECT_EQ(At(50, 60), 0u);
}

TEST_F(Blit, NothingOutsideOrEmpty) {
    std::vector<uint8_t> green = Solid(4, 4, 0, 255, 0);
    EXPECT_EQ(StretchBlitBgrx(canvas, green.data(), 4, 4, VideoRect{100, 0, 120, 10}), -1);
    EXPECT_EQ(StretchBlitBgrx(canvas, green.data(), 4, 4, VideoRect{-30, -30, 0, 0}), -1);
    EXPECT_EQ(StretchBlitBgrx(canvas, green.data(), 4, 4, VideoRect{10, 10, 10, 20}), -1);
    EXPECT_EQ(StretchBlitBgrx(canvas, green.data(), 0, 4, VideoRect{0, 0, 10, 10}), -1);
    EXPECT_EQ(StretchBlitBgrx(canvas, nullptr, 4, 4, VideoRect{0, 0, 10, 10}), -1);
}

}  // namespace
