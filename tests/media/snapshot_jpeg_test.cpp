// Snapshots: I420 pictures written as JPEG files and decoded back with libjpeg.

#include "media/snapshot_jpeg.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "media/pixel_color.h"
#include "media/pixel_routines.h"

namespace {

struct Yuv {
    uint8_t y, u, v;
};
constexpr Yuv kRed{76, 84, 255};
constexpr Yuv kBlue{29, 255, 107};

// The top half of the picture in one colour, the bottom half in another (chroma planes width / 2 x
// height / 2, as the decoders' pictures).
std::vector<uint8_t> TwoColourPicture(int width, int height, Yuv top, Yuv bottom) {
    const size_t luma = static_cast<size_t>(width) * height;
    const int chromaWidth = width / 2;
    const int chromaHeight = height / 2;
    std::vector<uint8_t> picture(I420Size(width, height) + 1, 0);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            picture[static_cast<size_t>(row) * width + x] = row < height / 2 ? top.y : bottom.y;
    for (int row = 0; row < chromaHeight; ++row)
        for (int x = 0; x < chromaWidth; ++x) {
            const Yuv& c = row < chromaHeight / 2 ? top : bottom;
            picture[luma + static_cast<size_t>(row) * chromaWidth + x] = c.u;
            picture[luma + luma / 4 + static_cast<size_t>(row) * chromaWidth + x] = c.v;
        }
    picture.resize(I420Size(width, height));
    return picture;
}

struct Rgb {
    int r, g, b;
};

Rgb Expected(Yuv c, bool hasChroma) {
    int u = hasChroma ? c.u : 128;
    int v = hasChroma ? c.v : 128;
    return Rgb{pixel::RFromYuv(c.y, v), pixel::GFromYuv(c.y, u, v), pixel::BFromYuv(c.y, u)};
}

struct DecodeError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Decodes a JPEG file to RGB rows. False when it is not a readable JPEG.
bool DecodeJpeg(const QString& path, int* width, int* height, std::vector<uint8_t>* rgb) {
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (file == nullptr)
        return false;
    jpeg_decompress_struct info{};
    DecodeError error{};
    info.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<DecodeError*>(c->err)->jump, 1);
    };
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *width = static_cast<int>(info.output_width);
    *height = static_cast<int>(info.output_height);
    rgb->assign(static_cast<size_t>(*width) * *height * 3, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb->data() + static_cast<size_t>(info.output_scanline) * *width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return true;
}

class SnapshotJpeg : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QTemporaryDir folder;
};

TEST_F(SnapshotJpeg, PicturesOfAnyWidthDecodeBackUprightInTheirColours) {
    struct Case {
        int width, height;
    } cases[] = {{352, 288}, {353, 288}, {704, 576}, {1, 16}, {353, 241}};
    constexpr int kTolerance = 12;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const bool hasChroma = c.width >= 2 && c.height >= 2;
        std::vector<uint8_t> picture = TwoColourPicture(c.width, c.height, kRed, kBlue);
        QString path = folder.filePath(QStringLiteral("snap_%1x%2.jpg").arg(c.width).arg(c.height));
        ASSERT_EQ(SaveSnapshotJpeg(picture.data(), path, c.width, c.height), 0);
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(DecodeJpeg(path, &width, &height, &rgb));
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        // Away from the colour edge: the first row is red (the top), the last blue; the last column too.
        for (int x : {0, c.width / 2, c.width - 1}) {
            for (int row : {0, c.height / 8, c.height - 1 - c.height / 8, c.height - 1}) {
                const Rgb want = Expected(row < c.height / 2 ? kRed : kBlue, hasChroma);
                const uint8_t* got = rgb.data() + (static_cast<size_t>(row) * width + x) * 3;
                EXPECT_NEAR(got[0], want.r, kTolerance) << "x " << x << " row " << row;
                EXPECT_NEAR(got[1], want.g, kTolerance) << "x " << x << " row " << row;
                EXPECT_NEAR(got[2], want.b, kTolerance) << "x " << x << " row " << row;
            }
        }
    }
}

// The file is libjpeg's own baseline encoding of the RGB picture at quality 75, byte for byte (the writer
// hands libjpeg-turbo the BGR rows as they are rather than swapped into RGB).
TEST_F(SnapshotJpeg, TheFileIsTheLibrarysEncodingOfTheRgbPicture) {
    constexpr int w = 352, h = 288;
    std::vector<uint8_t> picture(w * h * 3 / 2);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    QString path = folder.filePath(QStringLiteral("snap.jpg"));
    ASSERT_EQ(SaveSnapshotJpeg(picture.data(), path, w, h), 0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray written = file.readAll();

    std::vector<uint8_t> rgb(w * h * 3);
    ImgI420ToBgr24(rgb.data(), picture.data(), w, h, 0);
    for (size_t i = 0; i < rgb.size(); i += 3)
        std::swap(rgb[i], rgb[i + 2]);
    jpeg_compress_struct compress{};
    jpeg_error_mgr error{};
    compress.err = jpeg_std_error(&error);
    jpeg_create_compress(&compress);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&compress, &out, &outSize);
    compress.image_width = w;
    compress.image_height = h;
    compress.input_components = 3;
    compress.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compress);
    jpeg_set_quality(&compress, 75, TRUE);
    jpeg_start_compress(&compress, TRUE);
    while (compress.next_scanline < compress.image_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(compress.next_scanline) * w * 3;
        jpeg_write_scanlines(&compress, &row, 1);
    }
    jpeg_finish_compress(&compress);
    jpeg_destroy_compress(&compress);
    QByteArray expected(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    std::free(out);
    EXPECT_TRUE(written == expected) << written.size() << " bytes against " << expected.size();
}

TEST_F(SnapshotJpeg, FailuresReturnMinusOneAndLeaveNoFile) {
    std::vector<uint8_t> picture = TwoColourPicture(352, 288, kRed, kBlue);
    const QString missingFolder = folder.filePath(QStringLiteral("no such folder/snap.jpg"));
    const QString plain = folder.filePath(QStringLiteral("snap.jpg"));
    struct Case {
        const char* name;
        const uint8_t* picture;
        QString path;
        int width, height;
    } cases[] = {
        {"folder that does not exist", picture.data(), missingFolder, 352, 288},
        {"no picture", nullptr, plain, 352, 288},
        {"no path", picture.data(), QString(), 352, 288},
        {"zero width", picture.data(), plain, 0, 288},
        {"negative height", picture.data(), plain, 352, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SaveSnapshotJpeg(c.picture, c.path, c.width, c.height), -1);
        EXPECT_FALSE(QFileInfo::exists(missingFolder));
        EXPECT_FALSE(QFileInfo::exists(plain));
    }
}

TEST_F(SnapshotJpeg, AWriteErrorInsideTheEncoderReturnsMinusOneAndRemovesThePartialFile) {
    // Files of this process may not grow past 4 KiB: the encoder's writes fail part-way.
    std::vector<uint8_t> picture = TwoColourPicture(704, 576, kRed, kBlue);
    const QString path = folder.filePath(QStringLiteral("big.jpg"));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result = SaveSnapshotJpeg(picture.data(), path, 704, 576);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(QFileInfo::exists(path));
    // The process goes on and the next snapshot is written.
    EXPECT_EQ(SaveSnapshotJpeg(picture.data(), path, 704, 576), 0);
}

}  // namespace
