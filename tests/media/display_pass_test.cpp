// The renderer's one-pass drawing gives the same canvas bytes as the multi-pass way: reduce the whole
// picture (point sampling), border it, convert it to BGRX and stretch-blit it into the rectangle.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "media/pixel_routines.h"
#include "media/point_scaler.h"
#include "media/video_renderer.h"

namespace {

const HWND kWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7A));
constexpr int kCanvasWidth = 800;
constexpr int kCanvasHeight = 600;

// A decoder's picture: random samples in planes whose rows are longer than the picture's.
struct StridedPicture {
    int width;
    int height;
    std::vector<uint8_t> planes[3];
    int stride[3];
    // wholeGreen: every chroma pair is (30, 238), one of the few whose green offset is a whole number,
    // which the vector conversion patches with the exact formula.
    StridedPicture(int w, int h, unsigned seed, bool wholeGreen = false) : width(w), height(h) {
        std::mt19937 rng(seed);
        for (int p = 0; p < 3; ++p) {
            int rows = p == 0 ? h : h / 2 + 1;
            stride[p] = (p == 0 ? w : w / 2 + 1) + 16;
            planes[p].resize(static_cast<size_t>(stride[p]) * rows);
            for (auto& b : planes[p])
                b = static_cast<uint8_t>(p == 0 || !wholeGreen ? rng() : (p == 1 ? 30 : 238));
        }
    }
    I420Source Source() const {
        return I420Source{{planes[0].data(), planes[1].data(), planes[2].data()},
                          {stride[0], stride[1], stride[2]}};
    }
};

void FillCanvas(VideoCanvas& canvas) {
    std::lock_guard<VideoCanvas::WholeLock> guard(canvas.Lock());
    QImage& image = canvas.Image();
    std::memset(image.bits(), 0x5A, static_cast<size_t>(image.bytesPerLine()) * image.height());
}

std::vector<uint8_t> CanvasBytes(VideoCanvas& canvas) {
    std::lock_guard<VideoCanvas::WholeLock> guard(canvas.Lock());
    QImage& image = canvas.Image();
    return std::vector<uint8_t>(image.bits(),
                                image.bits() + static_cast<size_t>(image.bytesPerLine()) * image.height());
}

// The multi-pass drawing: whole intermediate pictures and a stretch blit.
void DrawMultiPass(VideoCanvas& canvas, const I420Source& source, int width, int height,
                   const VideoRect& dest, bool planar, int selected) {
    uint8_t rgb[3] = {0xFF, 0xFF, 0xFF};
    if (selected)
        rgb[0] = rgb[2] = 0;  // green
    uint8_t yuv[3];
    ImgRgb24ToYuv444(yuv, rgb, 1, 1, 0);
    int destWidth = (dest.right - dest.left) & ~1;
    int destHeight = (dest.bottom - dest.top) & ~1;
    bool reduce = destWidth >= 2 && destHeight >= 2 && destWidth <= width && destHeight <= height &&
                  (destWidth < width || destHeight < height);
    int w = reduce ? destWidth : width, h = reduce ? destHeight : height;
    std::vector<uint8_t> picture(I420Size(w, h));
    if (reduce) {
        PointScaler scaler;
        scaler.ScaleI420(source, width, height, picture.data(), w, h);
    } else {
        ImgCopyStridedI420(picture.data(), source.plane[0], source.stride[0], source.plane[1],
                           source.stride[1], source.plane[2], source.stride[2], w, h);
    }
    if (planar) {
        uint8_t* plane = picture.data();
        for (int p = 0; p < 3; ++p) {
            int pw = p == 0 ? w : w / 2, ph = p == 0 ? h : h / 2;
            for (int y = 0; y < ph; ++y) {
                for (int x = 0; x < pw; ++x) {
                    if (y == 0 || y == ph - 1 || x == 0 || x == pw - 1)
                        plane[static_cast<size_t>(y) * pw + x] = yuv[p];
                }
            }
            plane += static_cast<size_t>(pw) * ph;
        }
    }
    std::vector<uint8_t> bgrx(static_cast<size_t>(w) * h * 4);
    ImgI420ToBgrx32(bgrx.data(), picture.data(), w, h, 0);
    if (!planar) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (y == 0 || y == h - 1 || x == 0 || x == w - 1) {
                    uint8_t* px = &bgrx[(static_cast<size_t>(y) * w + x) * 4];
                    px[0] = rgb[2];
                    px[1] = rgb[1];
                    px[2] = rgb[0];
                    px[3] = 0;
                }
            }
        }
    }
    (void)StretchBlitBgrx(canvas, bgrx.data(), w, h, dest);
}

struct Case {
    int width;
    int height;
    VideoRect dest;
    const char* what;
    bool wholeGreen = false;
};

TEST(DisplayPass, CanvasBytesEqualTheMultiPassDrawing) {
    ImgInitDispatch();
    const Case cases[] = {
        {352, 288, {0, 0, 352, 288}, "same size"},
        {352, 288, {8, 6, 248, 150}, "reduced, even rectangle"},
        {352, 288, {5, 3, 246, 138}, "reduced, odd rectangle"},
        {704, 576, {100, 20, 580, 308}, "D1 reduced"},
        {704, 576, {0, 0, 352, 288}, "halved (libyuv's own rows)"},
        {352, 288, {40, 30, 304, 246}, "three quarters (libyuv's own rows)"},
        {352, 288, {10, 10, 362, 200}, "narrower, higher"},
        {176, 144, {0, 0, 800, 600}, "enlarged to the canvas"},
        {176, 144, {3, 1, 406, 301}, "enlarged, odd rectangle"},
        {352, 288, {-30, -20, 210, 124}, "clipped left and top"},
        {352, 288, {700, 500, 940, 644}, "clipped right and bottom"},
        {176, 144, {-50, 550, 300, 750}, "enlarged and clipped"},
        {64, 48, {0, 0, 3, 3}, "tiny"},
        {64, 48, {10, 10, 12, 12}, "two by two"},
        {64, 48, {10, 10, 11, 300}, "one column"},
        {2, 2, {0, 0, 40, 30}, "two-pixel picture"},
        {4, 4, {0, 0, 4, 4}, "four-pixel picture"},
        {350, 286, {0, 0, 97, 61}, "picture not a multiple of 4"},
        {48, 32, {0, 0, 48, 32}, "narrower than a vector block twice"},
        {20, 10, {0, 0, 20, 10}, "one block and a tail"},
        {352, 288, {900, 0, 1200, 200}, "outside the canvas"},
        {352, 288, {0, 0, 240, 144}, "grid cell, green a whole number", true},
        {64, 48, {16, 2, 80, 50}, "same size, green a whole number", true},
        // Cells of the main window's video area (1920 x 1200 and 1280 x 1024 windows).
        {352, 288, {0, 0, 210, 135}, "210 x 135 cell: reduced, one row doubled"},
        {352, 288, {1, 2, 217, 139}, "216 x 137 cell (last column and row)"},
        {352, 288, {5, 7, 426, 277}, "421 x 270 cell: columns widened, rows reduced"},
        {352, 288, {-21, 30, 821, 570}, "842 x 540 cell, clipped left and right"},
        {704, 576, {0, 0, 421, 270}, "D1 in a 421 x 270 cell: reduced, one column doubled"},
        {704, 576, {3, 3, 845, 543}, "D1 in an 842 x 540 cell, clipped"},
        {352, 288, {9, 0, 139, 113}, "130 x 113 cell"},
        {352, 288, {0, 1, 300, 401}, "narrower and higher: columns reduced by the stretch"},
        {352, 288, {0, 0, 210, 135}, "210 x 135 cell, green a whole number", true},
    };
    auto canvas = std::make_shared<VideoCanvas>();
    canvas->Resize(kCanvasWidth, kCanvasHeight);
    RegisterWindowCanvas(kWindow, canvas);
    for (int forceRgb = 0; forceRgb < 2; ++forceRgb) {
        VideoRenderer renderer(forceRgb);
        ASSERT_EQ(renderer.SetWindow(kWindow), 1);
        unsigned seed = 1;
        for (const Case& c : cases) {
            for (int selected = 0; selected < 2; ++selected) {
                StridedPicture picture(c.width, c.height, ++seed, c.wholeGreen);
                for (bool contiguous : {false, true}) {
                    std::vector<uint8_t> packed(I420Size(c.width, c.height));
                    I420Source source = picture.Source();
                    if (contiguous) {
                        ImgCopyStridedI420(packed.data(), source.plane[0], source.stride[0], source.plane[1],
                                           source.stride[1], source.plane[2], source.stride[2], c.width,
                                           c.height);
                        source = ContiguousI420(packed.data(), c.width, c.height);
                    }
                    FillCanvas(*canvas);
                    DrawMultiPass(*canvas, source, c.width, c.height, c.dest, forceRgb == 0, selected);
                    std::vector<uint8_t> expected = CanvasBytes(*canvas);
                    FillCanvas(*canvas);
                    renderer.RenderPlanes(c.width, c.height, selected, source, c.dest, selected);
                    EXPECT_TRUE(CanvasBytes(*canvas) == expected)
                        << c.what << (forceRgb ? ", RGB" : ", planar") << (selected ? ", selected" : "")
                        << (contiguous ? ", contiguous" : ", strided");
                }
            }
        }
    }
    UnregisterWindowCanvas(kWindow);
}

}  // namespace
