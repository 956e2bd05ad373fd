#include "media/point_scaler.h"

#include <gtest/gtest.h>
#include <libyuv/scale.h>

#include <algorithm>
#include <random>
#include <vector>

#include "media/pixel_routines.h"

namespace {

struct SizeCase {
    int width, height, destWidth, destHeight;
};

// The reduction gives libyuv's point-sampled bytes: the grid cells of the video window, the ratios libyuv
// scales through special row routines (1/2, 3/4, 3/8, 1/4, width kept), odd ratios and tiny pictures.
TEST(PointScaler, MatchesLibyuvPointSampling) {
    const SizeCase cases[] = {{352, 288, 240, 144}, {704, 576, 480, 288}, {704, 576, 236, 142},
                              {352, 288, 176, 144}, {704, 576, 528, 432}, {704, 576, 264, 216},
                              {704, 576, 176, 144}, {352, 288, 352, 144}, {352, 288, 350, 286},
                              {1920, 1080, 64, 36}, {100, 98, 38, 96},    {4, 4, 2, 2},
                              {66, 10, 64, 8},      {130, 34, 32, 2}};
    std::mt19937 rng(11);
    PointScaler scaler;
    for (int pass = 0; pass < 2; ++pass) {  // the second pass reuses the maps of the first
        for (const SizeCase& c : cases) {
            std::vector<uint8_t> source(I420Size(c.width, c.height));
            for (auto& b : source)
                b = static_cast<uint8_t>(rng());
            uint32_t luma = static_cast<uint32_t>(c.width) * c.height;
            uint32_t destLuma = static_cast<uint32_t>(c.destWidth) * c.destHeight;
            std::vector<uint8_t> expect(I420Size(c.destWidth, c.destHeight)), got(expect.size());
            libyuv::I420Scale(source.data(), c.width, source.data() + luma, c.width / 2,
                              source.data() + luma + luma / 4, c.width / 2, c.width, c.height, expect.data(),
                              c.destWidth, expect.data() + destLuma, c.destWidth / 2,
                              expect.data() + destLuma + destLuma / 4, c.destWidth / 2, c.destWidth,
                              c.destHeight, libyuv::kFilterNone);
            I420Source contiguous = ContiguousI420(source.data(), c.width, c.height);
            scaler.ScaleI420(contiguous, c.width, c.height, got.data(), c.destWidth, c.destHeight);
            EXPECT_TRUE(got == expect)
                << c.width << "x" << c.height << " to " << c.destWidth << "x" << c.destHeight;
            // The same picture with rows 40 bytes longer than the picture's (a decoder's planes).
            std::vector<uint8_t> padded[3];
            I420Source strided{};
            for (int p = 0; p < 3; ++p) {
                int w = p == 0 ? c.width : c.width / 2, h = p == 0 ? c.height : c.height / 2;
                strided.stride[p] = w + 40;
                padded[p].assign(size_t(w + 40) * h, 0xEE);
                for (int y = 0; y < h; ++y)
                    std::copy_n(contiguous.plane[p] + y * w, w, padded[p].begin() + y * (w + 40));
                strided.plane[p] = padded[p].data();
            }
            std::fill(got.begin(), got.end(), 0);
            scaler.ScaleI420(strided, c.width, c.height, got.data(), c.destWidth, c.destHeight);
            EXPECT_TRUE(got == expect)
                << c.width << "x" << c.height << " to " << c.destWidth << "x" << c.destHeight << " strided";
        }
    }
}

}  // namespace
