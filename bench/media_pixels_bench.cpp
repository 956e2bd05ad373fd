// Each colour conversion of the pixel routines (as dispatched on this processor) against libyuv's
// conversion between the same layouts, on CIF and D1 pictures. The cold variants rotate over pictures
// (and outputs) that together are larger than the last-level cache, so each conversion reads its source
// from memory as a decoder's new picture is.

#include <libyuv.h>

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "bench/ratio_reporter.h"
#include "media/display_pass.h"
#include "media/pixel_routines.h"
#include "platform/video/video_canvas.h"

namespace {

struct Picture {
    int width;
    int height;
    std::vector<uint8_t> i420;
    std::vector<uint8_t> bgr24;
    std::vector<uint8_t> out;
    // Random bytes; a grey picture (a monochrome camera's) has every chroma sample at 128.
    Picture(int w, int h, bool grey = false)
        : width(w), height(h), i420(I420Size(w, h)), bgr24(size_t(w) * h * 3), out(size_t(w) * h * 4) {
        std::mt19937 rng(7);
        for (auto& b : i420)
            b = static_cast<uint8_t>(rng());
        for (auto& b : bgr24)
            b = static_cast<uint8_t>(rng());
        if (grey)
            std::fill(i420.begin() + w * h, i420.end(), uint8_t{128});
    }
    const uint8_t* Y() const { return i420.data(); }
    const uint8_t* U() const { return i420.data() + width * height; }
    const uint8_t* V() const { return i420.data() + width * height * 5 / 4; }
};

Picture& Cif() {
    static Picture p(352, 288);
    return p;
}
Picture& D1() {
    static Picture p(704, 576);
    return p;
}
Picture& GreyCif() {
    static Picture p(352, 288, true);
    return p;
}

template <typename Fn>
void Run(benchmark::State& state, Picture& p, Fn fn) {
    for (auto _ : state) {
        fn(p);
        benchmark::DoNotOptimize(p.out.data());
    }
    state.SetItemsProcessed(state.iterations() * p.width * p.height);
}

void Register(const char* name, Picture& (*picture)(), void (*ours)(Picture&), void (*reference)(Picture&)) {
    benchmark::RegisterBenchmark((std::string(name) + "/ours").c_str(),
                                 [=](benchmark::State& s) { Run(s, picture(), ours); });
    benchmark::RegisterBenchmark((std::string(name) + "/reference").c_str(),
                                 [=](benchmark::State& s) { Run(s, picture(), reference); });
}

void OursBgrx(Picture& p) {
    ImgI420ToBgrx32(p.out.data(), p.i420.data(), p.width, p.height, 0);
}
void YuvBgrx(Picture& p) {
    libyuv::I420ToARGB(p.Y(), p.width, p.U(), p.width / 2, p.V(), p.width / 2, p.out.data(), p.width * 4,
                       p.width, p.height);
}
void OursBgr(Picture& p) {
    ImgI420ToBgr24(p.out.data(), p.i420.data(), p.width, p.height, 0);
}
void YuvBgr(Picture& p) {
    libyuv::I420ToRGB24(p.Y(), p.width, p.U(), p.width / 2, p.V(), p.width / 2, p.out.data(), p.width * 3,
                        p.width, p.height);
}
void OursYuy2(Picture& p) {
    ImgI420ToYuy2(p.out.data(), p.i420.data(), p.width, p.height);
}
void YuvYuy2(Picture& p) {
    libyuv::I420ToYUY2(p.Y(), p.width, p.U(), p.width / 2, p.V(), p.width / 2, p.out.data(), p.width * 2,
                       p.width, p.height);
}
void OursToI420(Picture& p) {
    ImgBgr24ToI420(p.out.data(), p.bgr24.data(), p.width, p.height, 0);
}
void YuvToI420(Picture& p) {
    uint8_t* y = p.out.data();
    uint8_t* u = y + p.width * p.height;
    uint8_t* v = u + p.width * p.height / 4;
    libyuv::RGB24ToI420(p.bgr24.data(), p.width * 3, y, p.width, u, p.width / 2, v, p.width / 2, p.width,
                        p.height);
}

// Enough pictures of one size to fill twice the last-level cache (at least 64 MB).
struct ColdPictures {
    std::vector<std::unique_ptr<Picture>> pictures;
    size_t next = 0;
    ColdPictures(int w, int h) {
        long cache = sysconf(_SC_LEVEL3_CACHE_SIZE);
        size_t want = std::max<size_t>(64u << 20, cache > 0 ? 2 * static_cast<size_t>(cache) : 0);
        size_t each = I420Size(w, h) + static_cast<size_t>(w) * h * 4;
        for (size_t total = 0; total < want; total += each)
            pictures.push_back(std::make_unique<Picture>(w, h));
    }
    Picture& Next() {
        Picture& p = *pictures[next];
        next = (next + 1) % pictures.size();
        return p;
    }
};

template <typename Fn>
void RunCold(benchmark::State& state, ColdPictures& cold, Fn fn) {
    for (auto _ : state) {
        Picture& p = cold.Next();
        fn(p);
        benchmark::DoNotOptimize(p.out.data());
    }
    state.SetItemsProcessed(state.iterations() * cold.pictures[0]->width * cold.pictures[0]->height);
}

void RegisterCold(const char* name, int w, int h, void (*ours)(Picture&), void (*reference)(Picture&)) {
    auto cold = std::make_shared<ColdPictures>(w, h);
    benchmark::RegisterBenchmark((std::string(name) + "/ours").c_str(),
                                 [=](benchmark::State& s) { RunCold(s, *cold, ours); });
    benchmark::RegisterBenchmark((std::string(name) + "/reference").c_str(),
                                 [=](benchmark::State& s) { RunCold(s, *cold, reference); });
}

// The live grid's display step: a decoded CIF picture reduced, bordered, converted and written into one
// cell of a 64-cell canvas (the cells taken in turn, as the decode threads draw them), against libyuv
// reducing into a cell-sized picture and converting that into the canvas (no border).
constexpr int kGridColumns = 8;
constexpr int kCanvasWidth = 1920, kCanvasHeight = 1152;

struct GridCanvas {
    VideoCanvas canvas;
    int cell = 0;
    GridCanvas() { canvas.Resize(kCanvasWidth, kCanvasHeight); }
    VideoRect NextCell() {
        int w = kCanvasWidth / kGridColumns, h = kCanvasHeight / kGridColumns;
        int c = cell;
        cell = (cell + 1) % (kGridColumns * kGridColumns);
        return VideoRect{c % kGridColumns * w, c / kGridColumns * h, (c % kGridColumns + 1) * w,
                         (c / kGridColumns + 1) * h};
    }
};

void GridCell(benchmark::State& state, bool ours) {
    Picture& p = Cif();
    GridCanvas grid;
    DisplayPass pass;
    PictureBorder border{true, {41, 240, 110}, {0, 0, 255, 0}};
    std::vector<uint8_t> reduced;
    I420Source source{{p.Y(), p.U(), p.V()}, {p.width, p.width / 2, p.width / 2}};
    for (auto _ : state) {
        VideoRect dest = grid.NextCell();
        int w = dest.right - dest.left, h = dest.bottom - dest.top;
        if (ours) {
            benchmark::DoNotOptimize(pass.Draw(grid.canvas, source, p.width, p.height, dest, border));
            continue;
        }
        reduced.resize(I420Size(w, h));
        uint8_t* y = reduced.data();
        uint8_t* u = y + w * h;
        uint8_t* v = u + w * h / 4;
        libyuv::I420Scale(p.Y(), p.width, p.U(), p.width / 2, p.V(), p.width / 2, p.width, p.height, y, w, u,
                          w / 2, v, w / 2, w, h, libyuv::kFilterNone);
        std::lock_guard<VideoCanvas::WholeLock> guard(grid.canvas.Lock());
        QImage& image = grid.canvas.Image();
        libyuv::I420ToARGB(y, w, u, w / 2, v, w / 2,
                           image.bits() + dest.top * image.bytesPerLine() + dest.left * 4,
                           static_cast<int>(image.bytesPerLine()), w, h);
    }
    state.SetItemsProcessed(state.iterations() * (kCanvasWidth / kGridColumns) *
                            (kCanvasHeight / kGridColumns));
}

}  // namespace

int main(int argc, char** argv) {
    ImgInitDispatch();
    for (auto [size, picture] : {std::pair{"cif", &Cif}, std::pair{"d1", &D1}}) {
        std::string s = size;
        Register(("I420ToBgrx32_" + s).c_str(), picture, OursBgrx, YuvBgrx);
        Register(("I420ToBgr24_" + s).c_str(), picture, OursBgr, YuvBgr);
        Register(("I420ToYuy2_" + s).c_str(), picture, OursYuy2, YuvYuy2);
        Register(("Bgr24ToI420_" + s).c_str(), picture, OursToI420, YuvToI420);
    }
    Register("I420ToBgrx32_grey_cif", &GreyCif, OursBgrx, YuvBgrx);
    RegisterCold("I420ToBgrx32_cold_cif", 352, 288, OursBgrx, YuvBgrx);
    RegisterCold("I420ToBgrx32_cold_d1", 704, 576, OursBgrx, YuvBgrx);
    benchmark::RegisterBenchmark("GridCell_cif/ours", [](benchmark::State& s) { GridCell(s, true); });
    benchmark::RegisterBenchmark("GridCell_cif/reference", [](benchmark::State& s) { GridCell(s, false); });
    // Nine interleaved repetitions of a tenth of a second each: about 25 s for the whole program.
    return RunWithRatios(argc, argv, 9, "0.1");
}
