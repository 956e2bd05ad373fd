#include "media/jpeg_writer.h"

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>

// libjpeg reports an error by calling error_exit, which must not return: it jumps back to the call that
// started the library operation.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

namespace {

constexpr int kQuality = 75;

[[noreturn]] void JumpOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

void SilentMessage(j_common_ptr) {}

}  // namespace

int JpegWriter::Create(int width, int height, FILE* file) {
    Destroy();
    if (file == nullptr || width <= 0 || height <= 0 || width > JPEG_MAX_DIMENSION ||
        height > JPEG_MAX_DIMENSION)
        return -1;
    m_compress = static_cast<jpeg_compress_struct*>(std::calloc(1, sizeof(jpeg_compress_struct)));
    m_error = static_cast<JpegErrorManager*>(std::calloc(1, sizeof(JpegErrorManager)));
    if (m_compress == nullptr || m_error == nullptr) {
        std::free(m_compress);
        std::free(m_error);
        m_compress = nullptr;
        m_error = nullptr;
        return -1;
    }
    m_compress->err = jpeg_std_error(&m_error->pub);
    m_error->pub.error_exit = JumpOnError;
    m_error->pub.output_message = SilentMessage;
    jpeg_compress_struct* compress = m_compress;
    if (setjmp(m_error->jump) != 0) {
        Destroy();
        return -1;
    }
    jpeg_create_compress(compress);
    jpeg_stdio_dest(compress, file);
    compress->image_width = static_cast<JDIMENSION>(width);
    compress->image_height = static_cast<JDIMENSION>(height);
    compress->input_components = 3;
    // The picture's B, G, R bytes are read as they are (libjpeg-turbo's BGR input), not swapped row by row.
    compress->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(compress);
    return 0;
}

int JpegWriter::Write(const uint8_t* picture, int rowLength) {
    if (m_compress == nullptr || picture == nullptr ||
        rowLength < static_cast<int64_t>(m_compress->image_width) * 3)
        return -1;
    jpeg_compress_struct* compress = m_compress;
    if (setjmp(m_error->jump) != 0) {
        jpeg_abort_compress(compress);
        return -1;
    }
    jpeg_set_quality(compress, kQuality, TRUE);
    jpeg_start_compress(compress, TRUE);
    if (compress->in_color_space == JCS_EXT_BGR && WriteRows(rowLength, picture) != 0) {
        jpeg_abort_compress(compress);
        return -1;
    }
    jpeg_finish_compress(compress);
    return 0;
}

int JpegWriter::WriteRows(int rowLength, const uint8_t* picture) {
    jpeg_compress_struct* compress = m_compress;
    const JDIMENSION height = compress->image_height;
    constexpr JDIMENSION kRowsPerCall = 16;
    JSAMPROW rows[kRowsPerCall];
    while (compress->next_scanline < height) {
        // Bottom-up rows: the top of the image is the last row in memory.
        JDIMENSION count = std::min(kRowsPerCall, height - compress->next_scanline);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = const_cast<JSAMPROW>(picture) +
                      static_cast<size_t>(height - 1 - (compress->next_scanline + i)) * rowLength;
        if (jpeg_write_scanlines(compress, rows, count) != count)
            return -1;
    }
    return 0;
}

void JpegWriter::Destroy() {
    if (m_compress != nullptr && m_compress->mem != nullptr)
        jpeg_destroy_compress(m_compress);
    std::free(m_compress);
    std::free(m_error);
    m_compress = nullptr;
    m_error = nullptr;
}
