#pragma once

// The screen grid of the main window as plain state: one page of screens laid out over the video area,
// the screen under a point, paging, zoom. Qt-free; the main window holds one and moves its video window
// and the drawing rectangles after each change.

#include "platform/ui/ui_geometry.h"

constexpr int GRID_SCREENS = 64;

// The cells of a page of `count` screens over `area`, in screen order. Returns how many cells the count's
// layout has (at most 64): 1, 4, 9, 16, 25, 36, 49 and 64 are square grids, 6, 7, 8, 10, 13 and 24 have
// their own layouts; any other count has none and returns 0.
int GridLayoutCells(int count, const RECT& area, RECT (&cells)[GRID_SCREENS]);

// The video area inside a main window rectangle: 30 pixels in from the left and top, 204 from the right
// and 88 from the bottom; in full screen the whole screen.
RECT GridVideoArea(const RECT& windowRect, bool fullScreen, int screenWidth, int screenHeight);

struct ScreenGrid {
    int m_nScreenCount = 16;  // screens per page
    int m_nFirstScreen = 0;   // first screen of the shown page
    int m_nCurScreen = 0;     // selected screen
    int m_bZoomed = 0;        // one screen covers the video area
    int m_bFullScreen = 0;
    RECT m_rcScreen[GRID_SCREENS] = {};
    RECT m_rcSaved[GRID_SCREENS] = {};  // page 0's rectangles, and a zoomed screen's place
    int m_bScreenShown[GRID_SCREENS] = {};

    // Lays out the page of `count` screens from screen `first` over `area`: only that page's screens are
    // shown, zoom ends, page 0's layout is remembered for zoom. Leaves the first screen, the full-screen
    // flag and the selection to the caller.
    void LayoutScreens(int first, int count, const RECT& area);

    // The shown screen whose rectangle holds the point (right and bottom edges excluded), searched from
    // the first screen of the page; -1 when none.
    [[nodiscard]] int ScreenAt(POINT point) const;

    // The first screen of the next or previous page (wrapping round the 64 screens), or -1 when one page
    // holds every screen.
    [[nodiscard]] int NextPageStart() const;
    [[nodiscard]] int PrevPageStart() const;

    // Zooms screen `screen` over `area`, or puts a zoomed screen back; false when one screen per page
    // leaves nothing to zoom.
    bool ToggleZoom(int screen, const RECT& area);
};
