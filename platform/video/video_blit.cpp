#include "platform/video/video_blit.h"

#include <libyuv/scale_argb.h>

#include <algorithm>
#include <cstring>

bool ClipToCanvas(const QImage& image, const VideoRect& dest, VideoClip* clip) {
    if (image.isNull())
        return false;
    int canvasWidth = image.width(), canvasHeight = image.height();
    clip->left = std::max(0, -dest.left);
    clip->top = std::max(0, -dest.top);
    clip->right = std::min(dest.right - dest.left, canvasWidth - dest.left);
    clip->bottom = std::min(dest.bottom - dest.top, canvasHeight - dest.top);
    return clip->right > clip->left && clip->bottom > clip->top;
}

int StretchBlitBgrx(VideoCanvas& canvas, const uint8_t* bgrx, int width, int height, const VideoRect& dest) {
    int destWidth = dest.right - dest.left;
    int destHeight = dest.bottom - dest.top;
    if (bgrx == nullptr || width <= 0 || height <= 0 || destWidth <= 0 || destHeight <= 0)
        return -1;
    std::lock_guard<VideoCanvas::WholeLock> guard(canvas.Lock());
    QImage& image = canvas.Image();
    VideoClip clip{};
    if (!ClipToCanvas(image, dest, &clip))
        return -1;
    canvas.ForgetStills(dest.left, dest.top, dest.right, dest.bottom);
    int stride = static_cast<int>(image.bytesPerLine());
    if (width == destWidth && height == destHeight) {
        // Same size: a plain copy of the rows inside the canvas.
        size_t rowBytes = static_cast<size_t>(clip.right - clip.left) * 4;
        for (int y = clip.top; y < clip.bottom; ++y) {
            std::memcpy(image.scanLine(dest.top + y) + static_cast<size_t>(dest.left + clip.left) * 4,
                        bgrx + (static_cast<size_t>(y) * width + clip.left) * 4, rowBytes);
        }
        return 0;
    }
    // libyuv addresses the clipped area from the rectangle's origin, which may lie left of or above the
    // canvas; only the clipped area is written.
    uint8_t* origin =
        image.bits() + static_cast<ptrdiff_t>(dest.top) * stride + static_cast<ptrdiff_t>(dest.left) * 4;
    int r = libyuv::ARGBScaleClip(bgrx, width * 4, width, height, origin, stride, destWidth, destHeight,
                                  clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top,
                                  libyuv::kFilterNone);
    return r == 0 ? 0 : -1;
}
