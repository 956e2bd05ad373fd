#include "media/overlay_text.h"

#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "media/pixel_routines.h"
#include "platform/ui/dc.h"
#include "platform/ui/gdi_objects.h"

OverlayKeyColor MakeOverlayKeyColor() {
    OverlayKeyColor key;
    const uint8_t rgb[3] = {0, 0, 0};
    uint8_t yuv[3] = {};
    ImgRgb24ToYuv444(yuv, rgb, 1, 1, 0);
    key.y = yuv[0];
    key.u = yuv[1];
    key.v = yuv[2];
    return key;
}

bool FormatSpeedLabel(int speedCode, char16_t* text, int capacity) {
    if (speedCode < 1 || speedCode > 11 || text == nullptr || capacity < 8)
        return false;
    char ascii[8];
    if (speedCode >= 6)
        std::snprintf(ascii, sizeof ascii, "%dX", 1 << (speedCode - 6));
    else
        std::snprintf(ascii, sizeof ascii, "1/%dX", 1 << (6 - speedCode));
    int i = 0;
    for (; ascii[i] != 0; ++i)
        text[i] = static_cast<char16_t>(ascii[i]);
    text[i] = 0;
    return true;
}

namespace {

QString FaceName(const LOGFONTW& font) {
    int length = 0;
    while (length < 32 && font.lfFaceName[length] != 0)
        ++length;
    return QString::fromUtf16(font.lfFaceName, length);
}

QString Text(const char16_t* text) {
    int length = 0;
    while (text[length] != 0)
        ++length;
    return QString::fromUtf16(text, length);
}

}  // namespace

SIZE OverlayPictureSize(SIZE text) {
    return SIZE{(text.cx + 8) / 8 * 8, (text.cy + 2) / 2 * 2};
}

int RenderOverlayText(uint8_t** picture, const LOGFONTW* font, SIZE* size, const char16_t* text,
                      COLORREF colour) {
    if (picture == nullptr || font == nullptr || size == nullptr || text == nullptr)
        return -1;
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return -1;
    CFont face;
    face.CreateFont(font->lfHeight, font->lfWeight, font->lfItalic != 0, FaceName(*font));
    dc.SelectObject(&face);
    QString label = Text(text);
    SIZE extent = dc.GetTextExtent(label);
    if (extent.cx <= 0 || extent.cy <= 0)
        return -1;
    SIZE labelSize = OverlayPictureSize(extent);
    int width = labelSize.cx;
    int height = labelSize.cy;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(width, height))
        return -1;
    dc.SelectObject(&bitmap);
    dc.SetBkColor(RGB(0, 0, 0));
    dc.SetBkMode(OPAQUE);
    dc.SetTextColor(colour == 0 ? RGB(1, 0, 0) : colour);
    RECT area{0, 0, width, height};
    dc.DrawText(label, &area, DT_NOPREFIX);
    const QImage* image = dc.GetImage();
    size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    auto* out = static_cast<uint8_t*>(std::malloc(bytes));
    if (out == nullptr)
        return -1;
    std::free(*picture);
    *picture = out;
    size->cx = width;
    size->cy = height;
    if (image == nullptr || image->width() != width || image->height() != height) {
        std::memset(out, 0, bytes);
        return 0;
    }
    // A 24-bit bottom-up DIB: the last image row first, each pixel blue, green, red.
    QImage rgb = image->convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        const uchar* row = rgb.constScanLine(height - 1 - y);
        uint8_t* dst = out + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            dst[x * 3] = row[x * 3 + 2];
            dst[x * 3 + 1] = row[x * 3 + 1];
            dst[x * 3 + 2] = row[x * 3];
        }
    }
    return 1;
}

int RenderOverlayTextI420(uint8_t** picture, int32_t* width, int32_t* height, COLORREF colour,
                          const char16_t* text, const LOGFONTW* font) {
    if (picture == nullptr || width == nullptr || height == nullptr)
        return -1;
    uint8_t* bgr = nullptr;
    SIZE size{0, 0};
    if (RenderOverlayText(&bgr, font, &size, text, colour) != 1) {
        std::free(bgr);
        return -1;
    }
    auto* i420 = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size.cx) * size.cy * 3));
    if (i420 == nullptr) {
        std::free(bgr);
        return -1;
    }
    ImgBgr24ToI420(i420, bgr, size.cx, size.cy, 1);
    std::free(bgr);
    std::free(*picture);
    *picture = i420;
    *width = size.cx;
    *height = size.cy;
    return 0;
}

int PlaceOverlay(POINT* position, int corner, int* width, int* height, int pictureWidth, int pictureHeight,
                 int offsetX, int offsetY) {
    int x = 0, y = 0;
    switch (corner) {
        case OSD_CORNER_TOP_LEFT:
            x = offsetX;
            y = offsetY;
            break;
        case OSD_CORNER_BOTTOM_LEFT:
            x = offsetX;
            y = pictureHeight - *height - offsetY;
            break;
        case OSD_CORNER_TOP_RIGHT:
            x = pictureWidth - *width - offsetX;
            y = offsetY;
            break;
        case OSD_CORNER_BOTTOM_RIGHT:
            x = pictureWidth - *width - offsetX;
            y = pictureHeight - *height - offsetY;
            break;
        default:
            return 0;
    }
    if (x < 0)
        x = 0;
    if (y < 0)
        y = 0;
    if (x + *width > pictureWidth)
        *width = pictureWidth - x;
    if (y + *height > pictureHeight)
        *height = pictureHeight - y;
    position->x = x;
    position->y = y;
    return 1;
}

int BlendOverlayI420(int corner, const OverlayKeyColor* key, uint8_t* picture, int pictureWidth,
                     int pictureHeight, const uint8_t* overlay, int overlayWidth, int overlayHeight,
                     int offsetX, int offsetY) {
    POINT at{0, 0};
    int w = overlayWidth;
    int h = overlayHeight;
    if (PlaceOverlay(&at, corner, &w, &h, pictureWidth, pictureHeight, offsetX, offsetY) == 0)
        return -1;
    if (picture == nullptr || overlay == nullptr || key == nullptr || h <= 1 || w <= 1)
        return 0;
    // The overlay keeps its own row length and plane sizes; only the placed part is drawn.
    const uint8_t* oy = overlay;
    const uint8_t* ou = oy + static_cast<size_t>(overlayWidth) * overlayHeight;
    const uint8_t* ov = ou + static_cast<size_t>(overlayWidth / 2) * (overlayHeight / 2);
    uint8_t* py = picture;
    uint8_t* pu = py + static_cast<size_t>(pictureWidth) * pictureHeight;
    uint8_t* pv = pu + static_cast<size_t>(pictureWidth / 2) * (pictureHeight / 2);
    int ow2 = overlayWidth / 2;
    int pw2 = pictureWidth / 2;
    for (int br = 0; br < h / 2; ++br) {
        for (int bc = 0; bc < w / 2; ++bc) {
            uint8_t u = ou[br * ow2 + bc];
            uint8_t v = ov[br * ow2 + bc];
            bool chromaKey = u == key->u && v == key->v;
            bool drawn = false;
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    int row = br * 2 + dy;
                    int col = bc * 2 + dx;
                    uint8_t y = oy[static_cast<size_t>(row) * overlayWidth + col];
                    if (chromaKey && y == key->y)
                        continue;
                    py[static_cast<size_t>(at.y + row) * pictureWidth + at.x + col] = y;
                    drawn = true;
                }
            }
            if (drawn) {
                size_t c = static_cast<size_t>(at.y / 2 + br) * pw2 + at.x / 2 + bc;
                pu[c] = u;
                pv[c] = v;
            }
        }
    }
    return 0;
}
