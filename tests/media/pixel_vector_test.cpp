// The vector versions of the pixel routines give the same bytes as the portable ones: on every length
// and size up to a few hundred, and for the colour conversions over every input value.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "media/pixel_routines.h"

namespace {

struct Level {
    const char* name;
    unsigned features;
};

std::vector<Level> VectorLevels() {
    std::vector<Level> levels;
    unsigned cpu = ImgCpuFeatures();
    if (cpu & IMG_CPU_SSE2)
        levels.push_back({"sse2", IMG_CPU_SSE2});
    if (cpu & IMG_CPU_AVX2)
        levels.push_back({"avx2", IMG_CPU_SSE2 | IMG_CPU_AVX2});
    if ((cpu & IMG_CPU_AVX2) && (cpu & IMG_CPU_AVX512))
        levels.push_back({"avx512", IMG_CPU_SSE2 | IMG_CPU_AVX2 | IMG_CPU_AVX512});
    return levels;
}

PixelRoutines Table(unsigned features) {
    PixelRoutines table;
    ImgFillRoutines(&table, features);
    return table;
}

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v)
        b = static_cast<uint8_t>(rng());
    return v;
}

TEST(PixelVector, TheRunningProcessorGetsAVectorTable) {
    if (VectorLevels().empty())
        GTEST_SKIP() << "no SSE2";
    PixelRoutines portable = Table(0);
    PixelRoutines chosen = Table(ImgCpuFeatures());
    EXPECT_NE(chosen.ImgCopyMem, portable.ImgCopyMem);
    EXPECT_NE(chosen.ImgI420ToBgrx32, portable.ImgI420ToBgrx32);
}

TEST(PixelVector, MemoryRoutinesMatchOnEveryLength) {
    PixelRoutines portable = Table(0);
    const std::vector<uint8_t> source = RandomBytes(600, 1);
    for (const Level& level : VectorLevels()) {
        PixelRoutines vector = Table(level.features);
        for (uint32_t length = 0; length <= 300; ++length) {
            for (uint32_t offset : {0u, 1u, 7u}) {
                std::vector<uint8_t> a(source.rbegin(), source.rend()), b = a;
                portable.ImgCopyMem(a.data() + offset, source.data() + 3, length);
                vector.ImgCopyMem(b.data() + offset, source.data() + 3, length);
                ASSERT_EQ(a, b) << level.name << " copy " << length;
                portable.ImgFillMem(a.data() + offset, 0x1A5, length);
                vector.ImgFillMem(b.data() + offset, 0x1A5, length);
                ASSERT_EQ(a, b) << level.name << " fill " << length;
                portable.ImgZeroMem(a.data() + offset, length);
                vector.ImgZeroMem(b.data() + offset, length);
                ASSERT_EQ(a, b) << level.name << " zero " << length;
            }
        }
    }
}

// Runs both versions of an out-of-I420 routine on the same picture into guarded buffers.
template <typename Run>
void ExpectSameOutput(const std::string& what, size_t outBytes, Run run) {
    const size_t guard = 64;
    std::vector<uint8_t> a(outBytes + guard, 0xEE), b = a;
    run(0, a.data());
    run(1, b.data());
    ASSERT_EQ(a, b) << what;
    for (size_t i = outBytes; i < a.size(); ++i)
        ASSERT_EQ(b[i], 0xEE) << what << ": wrote past the picture";
}

TEST(PixelVector, PackingAndConversionsMatchOnEverySize) {
    PixelRoutines portable = Table(0);
    for (const Level& level : VectorLevels()) {
        PixelRoutines vector = Table(level.features);
        const PixelRoutines* tables[2] = {&portable, &vector};
        // Every even width up to 300, and widths past the 1024-pixel stretches of the row conversions.
        std::vector<int> widths;
        for (int w = 0; w <= 300; w += 2)
            widths.push_back(w);
        for (int w : {1024, 1040, 2082})
            widths.push_back(w);
        for (int w : widths) {
            for (int h : {0, 2, 4, 6}) {
                std::vector<uint8_t> picture = RandomBytes(I420Size(w, h), w * 7 + h);
                const uint8_t* y = picture.data();
                const uint8_t* u = y + w * h;
                const uint8_t* v = u + w * h / 4;
                std::string tag = std::string(level.name) + " " + std::to_string(w) + "x" + std::to_string(h);
                ExpectSameOutput(tag + " yuy2", size_t(w) * h * 2, [&](int t, uint8_t* out) {
                    tables[t]->ImgPlanesToYuy2(out, y, u, v, w, h);
                });
                std::vector<uint8_t> bgr = RandomBytes(size_t(w) * h * 3, w * 5 + h);
                for (int flip : {0, 1}) {
                    ExpectSameOutput(tag + " to i420", I420Size(w, h), [&](int t, uint8_t* out) {
                        tables[t]->ImgBgr24ToI420(out, bgr.data(), w, h, flip);
                    });
                    ExpectSameOutput(tag + " bgrx", size_t(w) * h * 4, [&](int t, uint8_t* out) {
                        tables[t]->ImgI420ToBgrx32(out, picture.data(), w, h, flip);
                    });
                    ExpectSameOutput(tag + " bgr", size_t(w) * h * 3, [&](int t, uint8_t* out) {
                        tables[t]->ImgI420ToBgr24(out, picture.data(), w, h, flip);
                    });
                }
            }
        }
    }
}

// Chroma samples (Cb, Cr) whose exact green offset is a whole number other than 0: their pixels take
// green from the double formula, apart from the vector versions' fixed-point offsets.
std::vector<std::pair<uint8_t, uint8_t>> WholeGreenPairs() {
    std::vector<std::pair<uint8_t, uint8_t>> pairs;
    for (int cb = 0; cb < 256; ++cb) {
        for (int cr = 0; cr < 256; ++cr) {
            int numerator = 3455 * (cb - 128) + 7169 * (cr - 128);
            if (numerator != 0 && numerator % 10000 == 0)
                pairs.emplace_back(static_cast<uint8_t>(cb), static_cast<uint8_t>(cr));
        }
    }
    return pairs;
}

// The row routines (one or two rows sharing a chroma row, any width, rows anywhere in memory) give the
// portable routine's bytes at every level: widths around the vector steps and odd ones (the chroma row
// then holds (width + 1) / 2 samples), random chroma and chroma made only of whole-green samples (more
// of them in a row than the vector versions list).
TEST(PixelVector, RowConversionsMatchOnEveryWidth) {
    ImgRowsToBgrx32Fn portable = ImgRowsToBgrx32For(0);
    const auto whole = WholeGreenPairs();
    ASSERT_FALSE(whole.empty());
    const size_t guard = 64;
    for (const Level& level : VectorLevels()) {
        ImgRowsToBgrx32Fn vector = ImgRowsToBgrx32For(level.features);
        for (int w : {1, 2, 3, 5, 15, 16, 17, 31, 32, 33, 47, 63, 64, 65, 97, 421, 842, 1683, 2100}) {
            for (bool wholeGreen : {false, true}) {
                for (int rows : {1, 2}) {
                    const int cw = (w + 1) / 2;
                    // Luma rows apart (a stride) and at an odd address; chroma rows likewise.
                    std::vector<uint8_t> luma = RandomBytes(size_t(w) * 3 + 1, w * 3 + rows);
                    std::vector<uint8_t> u = RandomBytes(cw + 1, w), v = RandomBytes(cw + 1, w + 1);
                    if (wholeGreen) {
                        for (int m = 0; m < cw; ++m) {
                            u[1 + m] = whole[m % whole.size()].first;
                            v[1 + m] = whole[m % whole.size()].second;
                        }
                    }
                    const uint8_t* ys[2] = {luma.data() + 1, luma.data() + 1 + 2 * w};
                    std::string tag = std::string(level.name) + " width " + std::to_string(w) + " rows " +
                                      std::to_string(rows) + (wholeGreen ? " whole green" : "");
                    std::vector<uint8_t> expect(2 * (size_t(w) * 4 + guard) + 3, 0xEE), got = expect;
                    auto convert = [&](ImgRowsToBgrx32Fn fn, std::vector<uint8_t>& buffer) {
                        uint8_t* out[2] = {buffer.data() + 3, buffer.data() + 3 + size_t(w) * 4 + guard};
                        fn(out, ys, u.data() + 1, v.data() + 1, w, rows);
                    };
                    convert(portable, expect);
                    convert(vector, got);
                    ASSERT_EQ(got, expect) << tag;
                }
            }
        }
    }
}

// A 4096 x 4096 I420 picture in which every (Y, Cb, Cr) triple occurs: chroma sample k carries the pair
// k mod 65536, and its four pixels the luma values 4 (k / 65536) to 4 (k / 65536) + 3.
std::vector<uint8_t> EveryYuvTriple(int* width, int* height) {
    const int w = 4096, h = 4096, cw = w / 2;
    std::vector<uint8_t> picture(I420Size(w, h));
    uint8_t* y = picture.data();
    uint8_t* u = y + w * h;
    uint8_t* v = u + w * h / 4;
    for (int k = 0; k < cw * (h / 2); ++k) {
        int row = k / cw, column = k % cw;
        u[k] = static_cast<uint8_t>((k & 0xFFFF) >> 8);
        v[k] = static_cast<uint8_t>(k & 0xFF);
        int base = 4 * (k >> 16);
        y[(2 * row) * w + 2 * column] = static_cast<uint8_t>(base);
        y[(2 * row) * w + 2 * column + 1] = static_cast<uint8_t>(base + 1);
        y[(2 * row + 1) * w + 2 * column] = static_cast<uint8_t>(base + 2);
        y[(2 * row + 1) * w + 2 * column + 1] = static_cast<uint8_t>(base + 3);
    }
    *width = w;
    *height = h;
    return picture;
}

TEST(PixelVector, ConversionsOutOfI420MatchOnEveryInputValue) {
    int w = 0, h = 0;
    const std::vector<uint8_t> picture = EveryYuvTriple(&w, &h);
    PixelRoutines portable = Table(0);
    std::vector<uint8_t> expectBgrx(size_t(w) * h * 4), expectBgr(size_t(w) * h * 3);
    portable.ImgI420ToBgrx32(expectBgrx.data(), picture.data(), w, h, 0);
    portable.ImgI420ToBgr24(expectBgr.data(), picture.data(), w, h, 0);
    for (const Level& level : VectorLevels()) {
        PixelRoutines vector = Table(level.features);
        std::vector<uint8_t> bgrx(expectBgrx.size()), bgr(expectBgr.size());
        vector.ImgI420ToBgrx32(bgrx.data(), picture.data(), w, h, 0);
        vector.ImgI420ToBgr24(bgr.data(), picture.data(), w, h, 0);
        EXPECT_TRUE(bgrx == expectBgrx) << level.name << " bgrx";
        EXPECT_TRUE(bgr == expectBgr) << level.name << " bgr";
    }
    // The row routines of the running processor, row pair by row pair, into 64-byte aligned rows (where the
    // streaming one stores past the caches).
    ImgInitDispatch();
    const uint8_t* u = picture.data() + size_t(w) * h;
    const uint8_t* v = u + size_t(w) * h / 4;
    for (bool stream : {false, true}) {
        std::vector<uint8_t> rows(expectBgrx.size() + 64);
        uint8_t* out = rows.data() + (64 - reinterpret_cast<uintptr_t>(rows.data()) % 64) % 64;
        for (int row = 0; row < h; row += 2) {
            uint8_t* outs[2] = {out + size_t(row) * w * 4, out + size_t(row + 1) * w * 4};
            const uint8_t* ys[2] = {picture.data() + size_t(row) * w, picture.data() + size_t(row + 1) * w};
            if (stream)
                ImgI420RowsToBgrx32Stream(outs, ys, u + size_t(row / 2) * w / 2, v + size_t(row / 2) * w / 2,
                                          w, 2);
            else
                ImgI420RowsToBgrx32(outs, ys, u + size_t(row / 2) * w / 2, v + size_t(row / 2) * w / 2, w, 2);
        }
        ImgStreamFence();
        EXPECT_TRUE(std::equal(expectBgrx.begin(), expectBgrx.end(), out))
            << (stream ? "streamed rows" : "rows");
    }
}

TEST(PixelVector, ConversionIntoI420MatchesOnEveryInputValue) {
    // 16 pictures of 2048 x 2048 whose 2 x 2 blocks each carry one (B, G, R) triple: together every triple
    // reaches the luma formula and, as a block mean, the chroma formulas.
    const int w = 2048, h = 2048;
    std::vector<uint8_t> bgr(size_t(w) * h * 3);
    std::vector<uint8_t> expect(I420Size(w, h)), got(I420Size(w, h));
    PixelRoutines portable = Table(0);
    std::vector<Level> levels = VectorLevels();
    for (int chunk = 0; chunk < 16; ++chunk) {
        for (int k = 0; k < (w / 2) * (h / 2); ++k) {
            int triple = chunk << 20 | k;
            int bx = k % (w / 2), by = k / (w / 2);
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    uint8_t* p = &bgr[(size_t(2 * by + dy) * w + 2 * bx + dx) * 3];
                    p[0] = static_cast<uint8_t>(triple);
                    p[1] = static_cast<uint8_t>(triple >> 8);
                    p[2] = static_cast<uint8_t>(triple >> 16);
                }
            }
        }
        portable.ImgBgr24ToI420(expect.data(), bgr.data(), w, h, 0);
        for (const Level& level : levels) {
            PixelRoutines vector = Table(level.features);
            vector.ImgBgr24ToI420(got.data(), bgr.data(), w, h, 0);
            ASSERT_TRUE(got == expect) << level.name << " chunk " << chunk;
        }
    }
}

}  // namespace
