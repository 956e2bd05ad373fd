// The renderer draws each picture into its rectangle of a registered canvas with the border of its
// selection state, in both modes; previews fill their window.

#include <gtest/gtest.h>

#include <vector>

#include "media/pixel_routines.h"
#include "media/video_renderer.h"

namespace {

HWND Window(uintptr_t id) {
    return reinterpret_cast<HWND>(id);
}

// A grey I420 picture (Y 128, neutral chroma): RGB 128, 128, 128.
std::vector<uint8_t> Grey(int w, int h) {
    std::vector<uint8_t> p(I420Size(w, h), 128);
    return p;
}

class RendererTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ImgInitDispatch();
        canvas = std::make_shared<VideoCanvas>();
        canvas->Resize(200, 150);
        RegisterWindowCanvas(Window(0x71), canvas);
    }
    void TearDown() override { UnregisterWindowCanvas(Window(0x71)); }
    QRgb At(int x, int y) {
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
        return canvas->Image().pixel(x, y) & 0xFFFFFF;
    }
    std::shared_ptr<VideoCanvas> canvas;
};

TEST_P(RendererTest, PictureLandsInItsRectangleWithTheSelectionBorder) {
    VideoRenderer renderer(GetParam());
    EXPECT_EQ(renderer.Mode(), GetParam() ? RENDER_MODE_RGB32 : RENDER_MODE_PLANAR);
    ASSERT_EQ(renderer.SetWindow(Window(0x71)), 1);
    std::vector<uint8_t> picture = Grey(64, 48);
    renderer.RenderFrame(64, 48, 3, picture.data(), VideoRect{10, 20, 74, 68}, 1);
    renderer.RenderFrame(64, 48, 4, picture.data(), VideoRect{100, 20, 164, 68}, 0);
    // Selected: green frame; the other: white frame; grey inside; black around.
    for (auto [x, y] : {std::pair{10, 20}, {73, 67}, {10, 67}, {40, 20}})
        EXPECT_EQ(At(x, y), 0x00FF00u) << x << "," << y;
    for (auto [x, y] : {std::pair{100, 20}, {163, 67}, {130, 67}})
        EXPECT_EQ(At(x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(At(12, 22), 0x808080u);  // planar borders colour the chroma of the next pixel too
    EXPECT_EQ(At(130, 40), 0x808080u);
    EXPECT_EQ(At(9, 20), 0u);
    EXPECT_EQ(At(74, 40), 0u);
    EXPECT_EQ(At(40, 68), 0u);
}

TEST_P(RendererTest, PicturesAreStretchedAndSizeChangesKeepOtherIndexes) {
    VideoRenderer renderer(GetParam());
    renderer.SetWindow(Window(0x71));
    std::vector<uint8_t> small = Grey(32, 24);
    renderer.RenderFrame(32, 24, 0, small.data(), VideoRect{0, 0, 96, 72}, 0);
    EXPECT_EQ(At(48, 36), 0x808080u);
    EXPECT_EQ(At(96, 36), 0u);
    std::vector<uint8_t> large = Grey(352, 288);
    renderer.RenderFrame(352, 288, 0, large.data(), VideoRect{100, 0, 200, 80}, 0);
    renderer.RenderFrame(32, 24, 1, small.data(), VideoRect{0, 100, 32, 124}, 0);
    EXPECT_EQ(At(150, 40), 0x808080u);
    // A reduced picture keeps its whole 1-pixel frame at the rectangle's size.
    EXPECT_EQ(At(100, 0), 0xFFFFFFu);
    EXPECT_EQ(At(199, 79), 0xFFFFFFu);
    EXPECT_EQ(At(150, 1), 0x808080u);
    EXPECT_EQ(At(16, 112), 0x808080u);
}

TEST_P(RendererTest, NothingIsDrawnWithoutACanvasOrOutsideTheIndexes) {
    VideoRenderer renderer(GetParam());
    EXPECT_EQ(renderer.SetWindow(Window(0x72)), 0);
    std::vector<uint8_t> picture = Grey(16, 16);
    renderer.RenderFrame(16, 16, 0, picture.data(), VideoRect{0, 0, 16, 16}, 0);
    renderer.SetWindow(Window(0x71));
    renderer.RenderFrame(16, 16, 64, picture.data(), VideoRect{0, 0, 16, 16}, 0);
    renderer.RenderFrame(16, 16, -1, picture.data(), VideoRect{0, 0, 16, 16}, 0);
    EXPECT_EQ(At(8, 8), 0u);
}

TEST_P(RendererTest, PreviewsFillTheirWindowInPlanarMode) {
    VideoRenderer renderer(GetParam());
    std::vector<uint8_t> picture = Grey(40, 30);
    renderer.RenderToWindow(Window(0x71), 40, 30, picture.data());
    EXPECT_EQ(At(0, 0), 0xFFFFFFu);  // white frame of a picture that is not selected
    EXPECT_EQ(At(100, 75), 0x808080u);
    EXPECT_EQ(At(199, 149), 0xFFFFFFu);
    renderer.RenderToWindow(nullptr, 40, 30, picture.data());
}

// Each drawing reports its rectangle for the repaint; a picture that never changes is drawn again only where
// something else was drawn over it (through either drawing path) or where it is drawn otherwise.
TEST_P(RendererTest, StillsAreDrawnOnceAndEveryDrawingReportsItsRectangle) {
    VideoRenderer renderer(GetParam());
    renderer.SetWindow(Window(0x71));
    int hooks = 0;
    canvas->SetRepaintHook([&] { ++hooks; });
    std::vector<uint8_t> still = Grey(64, 48);
    const VideoRect cell{10, 20, 74, 68};
    renderer.RenderStill(64, 48, 3, still.data(), cell, 0);
    EXPECT_EQ(hooks, 1);
    EXPECT_EQ(canvas->TakeDrawn(), QRegion(10, 20, 64, 48));
    canvas->RepaintDone();
    auto scribble = [&] {
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
        canvas->Image().setPixel(40, 40, 0x123456);
    };
    // Drawn again as it stands: nothing is drawn, nothing is repainted (the scribble stays).
    scribble();
    renderer.RenderStill(64, 48, 3, still.data(), cell, 0);
    EXPECT_EQ(At(40, 40), 0x123456u);
    EXPECT_EQ(hooks, 1);
    // Selected now: drawn with the other border.
    renderer.RenderStill(64, 48, 3, still.data(), cell, 1);
    EXPECT_EQ(At(40, 40), 0x808080u);
    EXPECT_EQ(At(10, 20), 0x00FF00u);
    EXPECT_EQ(hooks, 2);
    // A live picture over part of it (the one-pass path, and a size the general path draws): drawn again.
    // Pictures have even sizes (the decoder rounds down); 14 x 14 into 13 x 25 takes the general path.
    std::vector<uint8_t> live = Grey(16, 16), general = Grey(14, 14);
    const VideoRect over[] = {{60, 60, 76, 76}, {0, 0, 13, 25}};
    for (const VideoRect& r : over) {
        renderer.RenderFrame(r.right == 76 ? 16 : 14, r.right == 76 ? 16 : 14, 9,
                             r.right == 76 ? live.data() : general.data(), r, 0);
        scribble();
        renderer.RenderStill(64, 48, 3, still.data(), cell, 1);
        EXPECT_EQ(At(40, 40), 0x808080u) << r.left;
    }
    // A still elsewhere leaves this one alone.
    scribble();
    renderer.RenderStill(64, 48, 4, still.data(), VideoRect{100, 20, 164, 68}, 0);
    renderer.RenderStill(64, 48, 3, still.data(), cell, 1);
    EXPECT_EQ(At(40, 40), 0x123456u);
    canvas->SetRepaintHook(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Modes, RendererTest, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "rgb32" : "planar"; });

}  // namespace
