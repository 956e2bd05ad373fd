// The motion-zone grid and the crosses of the selected zones on an I420 picture: an 8 x 8 grid of zones,
// each 1/8 of the picture's width and height (integer division).

#include "media/pixel_portable.h"

namespace pixel {

namespace {
constexpr uint8_t kGridY = 149, kGridU = 43, kGridV = 21;     // green
constexpr uint8_t kCrossY = 76, kCrossU = 84, kCrossV = 255;  // red

struct Plane {
    uint8_t* data;
    int width;
    int height;
    uint8_t& At(int x, int y) { return data[static_cast<size_t>(y) * width + x]; }
};

// The seven inner grid lines of a plane: rows k x cellHeight and columns k x cellWidth, k = 1 to 7.
void DrawGridLines(Plane plane, int cellWidth, int cellHeight, uint8_t value) {
    for (int k = 1; k <= 7; ++k) {
        int row = k * cellHeight;
        if (row < plane.height)
            ImgFillMem(&plane.At(0, row), value, static_cast<uint32_t>(plane.width));
        int column = k * cellWidth;
        if (column >= plane.width)
            continue;
        for (int y = 0; y < plane.height; ++y)
            plane.At(column, y) = value;
    }
}

// The cross of zone (row i, column n) in one plane: a horizontal bar on row barRow and a vertical bar on
// column barColumn, each over the middle of the zone (from a quarter of the zone to three quarters).
void DrawCross(Plane plane, int i, int n, int zoneWidth, int zoneHeight, int barRow, int barColumn,
               uint8_t value) {
    if (zoneWidth <= 0 || zoneHeight <= 0)
        return;
    for (int x = n * zoneWidth; x < (n + 1) * zoneWidth; ++x) {
        int inZone = x % zoneWidth;
        if (inZone >= zoneWidth / 4 && inZone <= zoneWidth - zoneWidth / 4 && barRow < plane.height)
            plane.At(x, barRow) = value;
    }
    for (int y = i * zoneHeight; y < (i + 1) * zoneHeight; ++y) {
        int inZone = y % zoneHeight;
        if (inZone >= zoneHeight / 4 && inZone <= zoneHeight - zoneHeight / 4 && barColumn < plane.width)
            plane.At(barColumn, y) = value;
    }
}

struct FramePlanes {
    Plane y, u, v;
};
FramePlanes Split(uint8_t* frame, int width, int height) {
    uint32_t luma = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    return {{frame, width, height},
            {frame + luma, width / 2, height / 2},
            {frame + luma + luma / 4, width / 2, height / 2}};
}
}  // namespace

void DrawGridI420(uint8_t* frame, int width, int height) {
    if (frame == nullptr || width <= 0 || height <= 0)
        return;
    FramePlanes p = Split(frame, width, height);
    DrawGridLines(p.y, width / 8, height / 8, kGridY);
    DrawGridLines(p.u, width / 16, height / 16, kGridU);
    DrawGridLines(p.v, width / 16, height / 16, kGridV);
}

void DrawZonesI420(uint8_t* frame, int width, int height, const uint8_t* mask) {
    if (frame == nullptr || width <= 0 || height <= 0)
        return;
    g_pixelRoutines.ImgDrawGridI420(frame, width, height);
    if (mask == nullptr)
        return;
    FramePlanes p = Split(frame, width, height);
    int zw = width / 8, zh = height / 8;    // luma zone
    int cw = width / 16, ch = height / 16;  // chroma zone
    for (int i = 0; i < 8; ++i) {
        for (int n = 0; n < 8; ++n) {
            if ((mask[i] >> n & 1) == 0)
                continue;
            DrawCross(p.y, i, n, zw, zh, height / 16 + i * zh, width / 16 + n * zw, kCrossY);
            DrawCross(p.u, i, n, cw, ch, ch / 2 + i * ch, width / 32 + n * cw, kCrossU);
            DrawCross(p.v, i, n, cw, ch, ch / 2 + i * ch, width / 32 + n * cw, kCrossV);
        }
    }
}

}  // namespace pixel
