#include "platform/video/video_blit.h"

#include <libyuv/scale_argb.h>

#include <algorithm>

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
    // libyuv addresses the clipped area from the rectangle's origin, which may lie left of or above the
    // canvas; only the clipped area is written.
    uint8_t* origin =
        image.bits() + static_cast<ptrdiff_t>(dest.top) * stride + static_cast<ptrdiff_t>(dest.left) * 4;
    int r =
        libyuv::ARGBScaleClip(bgrx, width * 4, width, height, origin, stride, destWidth, destHeight, clipLeft,
                              clipTop, clipRight - clipLeft, clipBottom - clipTop, libyuv::kFilterNone);
    return r == 0 ? 0 : -1;
}
