#pragma once

// Where the main window draws its skin and places its controls for a window of W x H pixels: plain
// tables, so that every size (the full screen, a restored 800 x 600, anything the operator drags to) can
// be checked without a window.

#include <QImage>
#include <vector>

#include "platform/ui/ui_geometry.h"

constexpr int SKIN_WIDTH = 1024;
constexpr int SKIN_HEIGHT = 768;
constexpr int MAIN_MIN_WIDTH = 800;
constexpr int MAIN_MIN_HEIGHT = 600;

// One copy from the skin bitmap (source, in bitmap pixels) to the window (destination, width x height);
// stretched when the sizes differ.
struct SkinPiece {
    RECT dst;
    RECT src;
    bool stretch;
};

// The skin of a W x H window: the bitmap whole at 1024 x 768, otherwise nine pieces (four corners copied
// 1:1, the bands and the centre stretched). Pieces that come out empty or inverted for small windows are
// left out.
std::vector<SkinPiece> MainSkinPieces(int width, int height);

// One control of the main window: its id, the bitmap strip it shows (0: none), its rectangle and whether
// it is shown.
struct ControlPlacement {
    UINT id;
    UINT bitmap;
    RECT rect;
    bool visible;
};

// Every placed control of a W x H window; screenWidth decides between the maximise and restore buttons,
// loggedIn the login button's picture.
std::vector<ControlPlacement> MainControlPlacements(int width, int height, int screenWidth, bool loggedIn);

// The 17 x 17 light of grid screen i (0-63): four rows of 16 in the bottom-left block of the skin.
POINT ChannelLedPosition(int screen, int height);

// The window pixels that the rounded corners of the skin take out of a W x H window: each pure white
// pixel of the skin's four 11 x 11 corners removes the pixel at the same distance from the same window
// corner.
std::vector<POINT> SkinCornerCutPixels(const QImage& skin, int width, int height);
