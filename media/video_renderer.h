#pragma once

// Puts contiguous I420 pictures into a video window's canvas: each picture goes through an off-screen
// picture of its own window index (0-63) and is stretched into a destination rectangle in the window's
// coordinates. Every picture gets a 1-pixel border: green for the selected screen, white for the others.
// RGB32 mode converts and borders in RGB; planar mode borders the YUV planes and converts afterwards.
// A picture larger than its rectangle is first reduced to the rectangle's size (point sampling), so only the
// pixels shown are converted and the 1-pixel border stays whole; a smaller one is converted and then
// stretched. These steps run in one pass over the rows straight into the canvas (DisplayPass); the few
// size pairs it leaves (odd picture sizes, reductions libyuv makes with its own row routines) go through
// whole intermediate pictures and a stretch blit, with the same result.
// The canvases take both; the packed YUY2 mode of displays that offer only packed YUV is never chosen.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "media/display_pass.h"
#include "media/heap_buffer.h"
#include "media/i420_source.h"
#include "media/point_scaler.h"
#include "platform/system/win_types.h"
#include "platform/video/video_blit.h"

constexpr int RENDER_MODE_RGB32 = 0;
constexpr int RENDER_MODE_YUY2 = 1;
constexpr int RENDER_MODE_PLANAR = 2;
constexpr int RENDER_WINDOW_COUNT = 64;
constexpr COLORREF BORDER_COLOR_SELECTED = 0x00FF00;
constexpr COLORREF BORDER_COLOR_NORMAL = 0xFFFFFF;

class VideoRenderer {
public:
    explicit VideoRenderer(int forceRgb);
    ~VideoRenderer() = default;
    VideoRenderer(const VideoRenderer&) = delete;
    VideoRenderer& operator=(const VideoRenderer&) = delete;

    // Binds the window drawn into. 1 when the window has a canvas, else 0 (the handle is kept: a canvas
    // registered later is found at the next picture).
    int SetWindow(HWND window);
    // Draws a picture of window index (0-63) into dest; an index out of range draws nothing.
    void RenderFrame(int width, int height, int index, const uint8_t* picture, const VideoRect& dest,
                     int selected);
    // RenderFrame for a picture given by its planes (a decoder's picture, drawn without a contiguous copy).
    void RenderPlanes(int width, int height, int index, const I420Source& source, const VideoRect& dest,
                      int selected);
    // RenderFrame for a picture whose bytes never change (a built-in picture): when the rectangle still
    // shows what the same call drew last, nothing is drawn (the same pixels are there).
    void RenderStill(int width, int height, int index, const uint8_t* picture, const VideoRect& dest,
                     int selected);
    // Draws a picture over the whole canvas of window (index 0, not selected, always planar).
    void RenderToWindow(HWND window, int width, int height, const uint8_t* picture);

    int Mode() const { return m_mode; }

private:
    // The off-screen picture of one window index; buffers only grow.
    struct Surface {
        std::mutex lock;
        HeapBuffer planar;  // I420 copy (or reduction) with its border
        HeapBuffer rgb;     // BGRX
        PointScaler reduce;
        DisplayPass pass;
    };
    int Init();
    void Draw(HWND window, int mode, int width, int height, int index, const I420Source& source,
              const VideoRect& dest, int selected, const CanvasStillKey& still = {});
    void BorderRgb(uint8_t* bgrx, int width, int height, int selected) const;
    void BorderPlanar(uint8_t* frame, int width, int height, int selected) const;
    PictureBorder Border(int mode, int selected) const;

    int m_forceRgb;
    int m_mode = RENDER_MODE_PLANAR;
    std::atomic<HWND> m_window{nullptr};
    uint8_t m_borderYuv[2][3];  // [selected][Y, Cb, Cr]
    std::array<Surface, RENDER_WINDOW_COUNT> m_surfaces;
};
