#pragma once

// The speed label of the playback screens: its text, the label drawn as a small picture through the
// window layer's device context, and that picture blended into a decoded I420 picture at one of the four
// corners. Black is the label's transparent background (the key colour).

#include <cstdint>

#include "platform/system/win_types.h"
#include "platform/ui/ui_geometry.h"

constexpr int OSD_CORNER_TOP_LEFT = 0;
constexpr int OSD_CORNER_BOTTOM_LEFT = 1;
constexpr int OSD_CORNER_TOP_RIGHT = 2;
constexpr int OSD_CORNER_BOTTOM_RIGHT = 3;

// The overlay's transparent background: its RGB colour and its Y, Cb, Cr bytes.
struct OverlayKeyColor {
    COLORREF rgb = 0;
    uint8_t y = 0;
    uint8_t u = 128;
    uint8_t v = 128;
};
// The key colour of black, converted with the pixel routines.
OverlayKeyColor MakeOverlayKeyColor();

// The label of a speed code into text (at least 8 characters): 6 and above "%dX" with 2^(code - 6),
// 1-5 "1/%dX" with 2^(6 - code). False for 0 and codes outside 1-11 (no label).
bool FormatSpeedLabel(int speedCode, char16_t* text, int capacity);

// The label picture's size for a text of that size: (width + 8) and (height + 2) rounded down to multiples
// of 8 and 2, so the label always has a margin (40 x 13 gives 48 x 14).
SIZE OverlayPictureSize(SIZE text);
// Draws text in colour with font on black into *picture (malloc'd BGR24, bottom-up rows; the previous
// buffer is freed), size rounded down to multiples of 8 x 2 after adding 8 x 2 to the text's size. Black
// text is drawn as RGB(1, 0, 0) so it does not vanish into the key colour. 1 when the picture was made,
// 0 when no rows were read, -1 when the text has no size or no buffer can be had.
[[nodiscard]] int RenderOverlayText(uint8_t** picture, const LOGFONTW* font, SIZE* size, const char16_t* text,
                                    COLORREF colour);
// The same label as an I420 picture into *picture (replaced; malloc'd), its size into *width / *height.
// 0, or -1 (the previous picture is kept).
[[nodiscard]] int RenderOverlayTextI420(uint8_t** picture, int32_t* width, int32_t* height, COLORREF colour,
                                        const char16_t* text, const LOGFONTW* font);

// Where an overlay of *width x *height goes in a pictureWidth x pictureHeight picture: corner 0 top left,
// 1 bottom left, 2 top right, 3 bottom right, moved inwards by the offsets; a negative place becomes 0 and
// the size is clipped to the picture. 1, or 0 for another corner.
[[nodiscard]] int PlaceOverlay(POINT* position, int corner, int* width, int* height, int pictureWidth,
                               int pictureHeight, int offsetX, int offsetY);
// Writes every overlay pixel whose (Y, U, V) differs from the key into the picture at its place (2 x 2
// blocks, the block's chroma at the chroma place). A clipped overlay is read with its own row length, so
// the part that fits is drawn unchanged. 0, or -1 for a corner outside 0-3.
[[nodiscard]] int BlendOverlayI420(int corner, const OverlayKeyColor* key, uint8_t* picture, int pictureWidth,
                                   int pictureHeight, const uint8_t* overlay, int overlayWidth,
                                   int overlayHeight, int offsetX, int offsetY);
