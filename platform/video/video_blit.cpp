#include "platform/video/video_blit.h"

#include <libyuv/scale_argb.h>

#include <algorithm>
#include <cstring>

int StretchBlitBgrx(VideoCanvas& canvas, const uint8_t* bgrx, int width, int height, const VideoRect& dest) {
    int destWidth = dest.right - dest.left;
    int destHeight = dest.bottom - dest.top;
    if (bgrx == nullptr || width <= 0 || height <= 0 || destWidth <= 0 || destHeight <= 0)
        return -1;
    std::lock_guard<std::mutex> guard(canvas.Lock());
    QImage& image = canvas.Image();
    // The part of the rectangle inside the canvas, relative to the rectangle.
    int clipLeft = std::max(0, -dest.left);
    int clipTop = std::max(0, -dest.top);
    int clipRight = std::min(destWidth, image.width() - dest.left);
    int clipBottom = std::min(destHeight, image.height() - dest.top);
    if (image.isNull() || clipRight <= clipLeft || clipBottom <= clipTop)
        return -1;
    int stride = static_cast<int>(image.bytesPerLine());
    if (width == destWidth && height == destHeight) {
        // Same size: a plain copy of the rows inside the canvas.
        size_t rowBytes = static_cast<size_t>(clipRight - clipLeft) * 4;
        for (int y = clipTop; y < clipBottom; ++y) {
            std::memcpy(image.scanLine(dest.top + y) + static_cast<size_t>(dest.left + clipLeft) * 4,
                        bgrx + (static_cast<size_t>(y) * width + clipLeft) * 4, rowBytes);
        }
        return 0;
    }
    // libyuv addresses the clipped area from the rectangle's origin, which may lie left of or above the
    // canvas; only the clipped area is written.
    uint8_t* origin =
        image.bits() + static_cast<ptrdiff_t>(dest.top) * stride + static_cast<ptrdiff_t>(dest.left) * 4;
    int r =
        libyuv::ARGBScaleClip(bgrx, width * 4, width, height, origin, stride, destWidth, destHeight, clipLeft,
                              clipTop, clipRight - clipLeft, clipBottom - clipTop, libyuv::kFilterNone);
    return r == 0 ? 0 : -1;
}
