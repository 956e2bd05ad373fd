#include "media/snapshot_jpeg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cstdio>

#include "media/heap_buffer.h"
#include "media/jpeg_writer.h"
#include "media/pixel_color.h"
#include "media/pixel_routines.h"
#include "platform/system/file_modes.h"
#include "platform/system/paths.h"

namespace {

// Bottom-up B, G, R rows of width x 3 bytes. Even sizes go through the pixel routines; an odd width or
// height reads each pixel's chroma sample within the planes (the last column and row reuse their
// neighbour's), and a picture one pixel wide or high, which has no chroma, comes out grey.
void ToBottomUpBgr(uint8_t* bgr, const uint8_t* picture, int width, int height) {
    if (width % 2 == 0 && height % 2 == 0) {
        ImgI420ToBgr24(bgr, picture, width, height, 1);
        return;
    }
    const int chromaWidth = width / 2;
    const int chromaHeight = height / 2;
    const size_t luma = static_cast<size_t>(width) * height;
    const uint8_t* u = picture + luma;
    const uint8_t* v = u + luma / 4;
    for (int row = 0; row < height; ++row) {
        const uint8_t* y = picture + static_cast<size_t>(row) * width;
        uint8_t* out = bgr + static_cast<size_t>(height - 1 - row) * width * 3;
        const int chromaRow = std::min(row / 2, chromaHeight - 1);
        for (int x = 0; x < width; ++x) {
            int cb = 128;
            int cr = 128;
            if (chromaWidth > 0 && chromaHeight > 0) {
                size_t at = static_cast<size_t>(chromaRow) * chromaWidth + std::min(x / 2, chromaWidth - 1);
                cb = u[at];
                cr = v[at];
            }
            out[3 * x] = pixel::BFromYuv(y[x], cb);
            out[3 * x + 1] = pixel::GFromYuv(y[x], cb, cr);
            out[3 * x + 2] = pixel::RFromYuv(y[x], cr);
        }
    }
}

// Encodes into an open file; 0 or -1.
int EncodeInto(FILE* file, const uint8_t* bgr, int width, int height) {
    JpegWriter writer;
    if (writer.Create(width, height, file) != 0)
        return -1;
    return writer.Write(bgr, width * 3);
}

}  // namespace

int SaveSnapshotJpeg(const uint8_t* picture, const QString& path, int width, int height) {
    if (picture == nullptr || path.isEmpty() || width <= 0 || height <= 0 || width > 65500 || height > 65500)
        return -1;
    HeapBuffer bgr;
    if (!bgr.Resize(static_cast<size_t>(width) * 3 * height))
        return -1;
    ToBottomUpBgr(bgr.data(), picture, width, height);
    QByteArray native = QFile::encodeName(ToNativePath(path));
    const int fd = OpenFileWithMode(native, O_RDWR | O_CREAT | O_TRUNC, FILE_MODE_SHARED);
    FILE* file = fd >= 0 ? fdopen(fd, "w+b") : nullptr;
    if (file == nullptr) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    int result = EncodeInto(file, bgr.data(), width, height);
    // A write that fails only when the last bytes are flushed fails the snapshot too.
    if (std::ferror(file) != 0)
        result = -1;
    if (std::fclose(file) != 0)
        result = -1;
    // The incomplete file goes; only a file, never a device or anything else the path may name.
    struct stat info {};
    if (result != 0 && lstat(native.constData(), &info) == 0 && S_ISREG(info.st_mode))
        std::remove(native.constData());
    return result;
}
