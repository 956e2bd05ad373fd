#include "media/video_renderer.h"

#include <cstring>

#include "media/pixel_routines.h"

namespace {
void ColorToRgb24(COLORREF color, uint8_t rgb[3]) {
    // COLORREF 0x00BBGGRR
    rgb[0] = static_cast<uint8_t>(color & 0xFF);
    rgb[1] = static_cast<uint8_t>(color >> 8 & 0xFF);
    rgb[2] = static_cast<uint8_t>(color >> 16 & 0xFF);
}

}  // namespace

VideoRenderer::VideoRenderer(int forceRgb) : m_forceRgb(forceRgb) {
    const COLORREF colors[2] = {BORDER_COLOR_NORMAL, BORDER_COLOR_SELECTED};
    for (int s = 0; s < 2; ++s) {
        uint8_t rgb[3];
        ColorToRgb24(colors[s], rgb);
        ImgRgb24ToYuv444(m_borderYuv[s], rgb, 1, 1, 0);
    }
    Init();
}

int VideoRenderer::Init() {
    // The window canvases take planar pictures (converted by the pixel routines); EnableRGB asks for the
    // conversion before the border, as on a display without YUV surfaces.
    m_mode = m_forceRgb ? RENDER_MODE_RGB32 : RENDER_MODE_PLANAR;
    return 1;
}

int VideoRenderer::SetWindow(HWND window) {
    m_window.store(window);
    return FindWindowCanvas(window) ? 1 : 0;
}

void VideoRenderer::RenderFrame(int width, int height, int index, const uint8_t* picture,
                                const VideoRect& dest, int selected) {
    if (picture != nullptr)
        RenderPlanes(width, height, index, ContiguousI420(picture, width, height), dest, selected);
}

void VideoRenderer::RenderPlanes(int width, int height, int index, const I420Source& source,
                                 const VideoRect& dest, int selected) {
    Draw(m_window.load(), m_mode, width, height, index, source, dest, selected);
}

void VideoRenderer::RenderStill(int width, int height, int index, const uint8_t* picture,
                                const VideoRect& dest, int selected) {
    if (picture == nullptr)
        return;
    int mode = m_mode;
    CanvasStillKey still{picture, static_cast<uint64_t>(static_cast<uint16_t>(width)) |
                                      static_cast<uint64_t>(static_cast<uint16_t>(height)) << 16 |
                                      static_cast<uint64_t>(selected ? 1 : 0) << 32 |
                                      static_cast<uint64_t>(mode & 3) << 33};
    Draw(m_window.load(), mode, width, height, index, ContiguousI420(picture, width, height), dest, selected,
         still);
}

void VideoRenderer::RenderToWindow(HWND window, int width, int height, const uint8_t* picture) {
    VideoRect dest{0, 0, 0, 0};
    if (window != nullptr) {
        if (std::shared_ptr<VideoCanvas> canvas = FindWindowCanvas(window)) {
            std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
            dest.right = canvas->Image().width();
            dest.bottom = canvas->Image().height();
        }
    }
    if (picture != nullptr)
        Draw(window, RENDER_MODE_PLANAR, width, height, 0, ContiguousI420(picture, width, height), dest, 0);
}

void VideoRenderer::Draw(HWND window, int mode, int width, int height, int index, const I420Source& source,
                         const VideoRect& dest, int selected, const CanvasStillKey& still) {
    if (index < 0 || index >= RENDER_WINDOW_COUNT || source.plane[0] == nullptr || width < 2 || height < 2)
        return;
    std::shared_ptr<VideoCanvas> canvas = FindWindowCanvas(window);
    if (!canvas)
        return;
    if (canvas->HoldsStill(dest.left, dest.top, dest.right, dest.bottom, still))
        return;
    const QRect drawnRect(dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top);
    Surface& surface = m_surfaces[index];
    std::lock_guard<std::mutex> guard(surface.lock);
    int drawn = surface.pass.Draw(*canvas, source, width, height, dest, Border(mode, selected), still);
    if (drawn != 1) {
        if (drawn == 0)
            canvas->RequestRepaint(drawnRect);
        return;
    }
    // Reduce first when the rectangle (even-sized) is smaller than the picture.
    int destWidth = (dest.right - dest.left) & ~1;
    int destHeight = (dest.bottom - dest.top) & ~1;
    bool reduce = destWidth >= 2 && destHeight >= 2 && destWidth <= width && destHeight <= height &&
                  (destWidth < width || destHeight < height);
    // The conversion takes a contiguous picture: a decoder's planes are copied (or reduced) first.
    const uint8_t* picture = ContiguousBuffer(source, width, height);
    if (reduce || mode == RENDER_MODE_PLANAR || picture == nullptr) {
        int w = reduce ? destWidth : width, h = reduce ? destHeight : height;
        uint8_t* planar = surface.planar.AtLeast(I420Size(w, h));
        if (planar == nullptr)
            return;  // a buffer that cannot be had draws nothing
        if (reduce) {
            surface.reduce.ScaleI420(source, width, height, planar, w, h);
        } else if (picture != nullptr) {
            ImgCopyMem(planar, picture, I420Size(w, h));
        } else {
            ImgCopyStridedI420(planar, source.plane[0], source.stride[0], source.plane[1], source.stride[1],
                               source.plane[2], source.stride[2], w, h);
        }
        picture = planar;
        width = w;
        height = h;
        if (mode == RENDER_MODE_PLANAR)
            BorderPlanar(planar, width, height, selected);
    }
    uint8_t* rgb = surface.rgb.AtLeast(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    if (rgb == nullptr)
        return;
    ImgI420ToBgrx32(rgb, picture, width, height, 0);
    if (mode != RENDER_MODE_PLANAR)
        BorderRgb(rgb, width, height, selected);
    if (StretchBlitBgrx(*canvas, rgb, width, height, dest) == 0)
        canvas->RequestRepaint(drawnRect);
}

PictureBorder VideoRenderer::Border(int mode, int selected) const {
    PictureBorder border{};
    border.planar = mode == RENDER_MODE_PLANAR;
    std::memcpy(border.yuv, m_borderYuv[selected ? 1 : 0], 3);
    uint8_t rgb[3];
    ColorToRgb24(selected ? BORDER_COLOR_SELECTED : BORDER_COLOR_NORMAL, rgb);
    const uint8_t pixel[4] = {rgb[2], rgb[1], rgb[0], 0};
    std::memcpy(border.bgrx, pixel, 4);
    return border;
}

void VideoRenderer::BorderRgb(uint8_t* bgrx, int width, int height, int selected) const {
    uint8_t rgb[3];
    ColorToRgb24(selected ? BORDER_COLOR_SELECTED : BORDER_COLOR_NORMAL, rgb);
    const uint8_t pixel[4] = {rgb[2], rgb[1], rgb[0], 0};
    auto put = [&](int x, int y) { ImgCopyMem(bgrx + (static_cast<size_t>(y) * width + x) * 4, pixel, 4); };
    for (int x = 0; x < width; ++x) {
        put(x, 0);
        put(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        put(0, y);
        put(width - 1, y);
    }
}

void VideoRenderer::BorderPlanar(uint8_t* frame, int width, int height, int selected) const {
    const uint8_t* yuv = m_borderYuv[selected ? 1 : 0];
    uint32_t luma = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    struct Plane {
        uint8_t* data;
        int width;
        int height;
        uint8_t value;
    };
    const Plane planes[3] = {{frame, width, height, yuv[0]},
                             {frame + luma, width / 2, height / 2, yuv[1]},
                             {frame + luma + luma / 4, width / 2, height / 2, yuv[2]}};
    for (const Plane& p : planes) {
        ImgFillMem(p.data, p.value, static_cast<uint32_t>(p.width));
        ImgFillMem(p.data + static_cast<size_t>(p.height - 1) * p.width, p.value,
                   static_cast<uint32_t>(p.width));
        for (int y = 0; y < p.height; ++y) {
            p.data[static_cast<size_t>(y) * p.width] = p.value;
            p.data[static_cast<size_t>(y) * p.width + p.width - 1] = p.value;
        }
    }
}
