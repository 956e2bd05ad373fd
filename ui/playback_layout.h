#pragma once

// Where the playback dialog draws its skin, places its controls and lays out its 16 screens, for a
// screen of W x H pixels: plain tables, checked without a window.

#include <vector>

#include "platform/ui/ui_geometry.h"
#include "ui/main_window_layout.h"

constexpr int PLAYBACK_SCREEN_COUNT = 16;
constexpr UINT PLAYBACK_SKIN_BITMAP = 213;

// The position slider's width: (W - 350) rounded down to a multiple of 24, so each hour column of the
// day-record bar below it is a whole number of pixels.
int PlaybackPosWidth(int width);

// The skin of a W x H dialog: the bitmap whole at 1024 x 768, otherwise nine pieces (empty ones left out).
std::vector<SkinPiece> PlaybackSkinPieces(int width, int height);

// Every control the layout moves, with the bitmap strip of the skin buttons (0: none). Play and Pause
// share a place; which one shows is the transport's business, so both are listed visible here.
std::vector<ControlPlacement> PlaybackControlPlacements(int width, int height);

// The video area in dialog coordinates: the whole W x H in full screen, else the client rectangle less
// 30 left and top, 320 right and 170 below.
RECT PlaybackVideoArea(const RECT& client, bool fullScreen);

// The rectangles of a layout of count screens (1, 4, 6, 8, 9 or 16) in area, starting at screen first:
// screens first .. first + count - 1 (below 16) get their rectangle and shown = 1; every other screen is
// not shown. Another count shows nothing. Returns how many were placed.
int LayoutPlaybackScreens(const RECT& area, int first, int count, RECT rects[PLAYBACK_SCREEN_COUNT],
                          int shown[PLAYBACK_SCREEN_COUNT]);

// The counts the screen-count box offers for a maximum of screens (16: 1, 4, 6, 8, 9, 16).
std::vector<int> PlaybackScreenCounts(int maxScreens);
