#pragma once

// Stretch blits of RGB32 pictures into a window canvas.

#include <cstdint>

#include "platform/video/video_canvas.h"

// A rectangle in the canvas's (the video window's) coordinates; right and bottom are exclusive.
struct VideoRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The part of a rectangle inside a canvas's image, relative to the rectangle (right and bottom exclusive).
// False when none of it is inside (or the image is empty).
struct VideoClip {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
bool ClipToCanvas(const QImage& image, const VideoRect& dest, VideoClip* clip);

// Scales (point sampling, so colours and 1-pixel borders stay exact) a width x height BGRX picture (rows
// of width x 4 bytes) into dest, clipped to the canvas, under
// the canvas's lock. 0, or -1 when nothing was drawn (empty picture or rectangle, or the rectangle lies
// outside the canvas).
int StretchBlitBgrx(VideoCanvas& canvas, const uint8_t* bgrx, int width, int height, const VideoRect& dest);
