#include "ui/screen_grid.h"

#include <cmath>

namespace {

RECT Cell(int x0, int y0, int x1, int y1) {
    return RECT{x0, y0, x1, y1};
}

// Square grids: q columns of w / q; the last column and row reach the area's right and bottom edges, so
// the rounding leftover is not lost as a dark band.
int SquareCells(int q, const RECT& a, RECT (&cells)[GRID_SCREENS]) {
    int w = a.right - a.left;
    int h = a.bottom - a.top;
    int n = q * q;
    for (int k = 0; k < n; ++k) {
        int x0 = a.left + (k % q) * (w / q);
        int y0 = a.top + (k / q) * (h / q);
        int x1 = (k + 1) % q == 0 ? a.right : x0 + w / q;
        int y1 = k / q == q - 1 ? a.bottom : y0 + h / q;
        cells[k] = Cell(x0, y0, x1, y1);
    }
    return n;
}

// 3 x 3: one 2 x 2 cell top left, five single cells round it.
int SixCells(const RECT& a, RECT (&cells)[GRID_SCREENS]) {
    int w = a.right - a.left, h = a.bottom - a.top;
    int L = a.left, T = a.top, R = a.right, B = a.bottom;
    cells[0] = Cell(L, T, L + w * 2 / 3, T + h * 2 / 3);
    cells[1] = Cell(L + w * 2 / 3, T, R, T + h / 3);
    cells[2] = Cell(L + w * 2 / 3, T + h / 3, R, T + h * 2 / 3);
    cells[3] = Cell(L, T + h * 2 / 3, L + w / 3, B);
    cells[4] = Cell(L + w / 3, T + h * 2 / 3, L + w * 2 / 3, B);
    cells[5] = Cell(L + w * 2 / 3, T + h * 2 / 3, R, B);
    return 6;
}

// 4 x 4: three 2 x 2 cells, four single cells in the top-right quarter.
int SevenCells(const RECT& a, RECT (&cells)[GRID_SCREENS]) {
    int w = a.right - a.left, h = a.bottom - a.top;
    int L = a.left, T = a.top;
    int c = w / 4, r = h / 4, W2 = w * 2 / 4, H2 = h * 2 / 4, X3 = L + w * 3 / 4;
    cells[0] = Cell(L, T, L + W2, T + H2);
    cells[1] = Cell(L + W2, T, L + W2 + c, T + r);
    cells[2] = Cell(X3, T, X3 + c, T + r);
    cells[3] = Cell(L + W2, T + r, L + W2 + c, T + 2 * r);
    cells[4] = Cell(X3, T + r, X3 + c, T + 2 * r);
    cells[5] = Cell(L, T + H2, L + W2, T + 2 * H2);
    cells[6] = Cell(L + W2, T + H2, L + 2 * W2, T + 2 * H2);
    return 7;
}

// 4 x 4: one 3 x 3 cell, three single cells down the right, four along the bottom.
int EightCells(const RECT& a, RECT (&cells)[GRID_SCREENS]) {
    int w = a.right - a.left, h = a.bottom - a.top;
    int L = a.left, T = a.top, R = a.right, B = a.bottom;
    int X3 = L + w * 3 / 4, Y3 = T + h * 3 / 4;
    cells[0] = Cell(L, T, X3, Y3);
    cells[1] = Cell(X3, T, R, T + h / 4);
    cells[2] = Cell(X3, T + h / 4, R, T + 2 * (h / 4));
    cells[3] = Cell(X3, T + 2 * (h / 4), R, Y3);
    cells[4] = Cell(L, Y3, L + w / 4, B);
    cells[5] = Cell(L + w / 4, Y3, L + 2 * (w / 4), B);
    cells[6] = Cell(L + 2 * (w / 4), Y3, X3, B);
    cells[7] = Cell(X3, Y3, R, B);
    return 8;
}

// 4 x 4: two 2 x 2 cells across the top half, eight single cells below, row by row.
int TenCells(const RECT& a, RECT (&cells)[GRID_SCREENS]) {
    int w = a.right - a.left, h = a.bottom - a.top;
    int L = a.left, T = a.top;
    int c = w / 4, r = h / 4, W2 = w * 2 / 4, H2 = h * 2 / 4;
    cells[0] = Cell(L, T, L + W2, T + H2);
    cells[1] = Cell(L + W2, T, L + 2 * W2, T + H2);
    const int xs[4] = {L, L + c, L + W2, L + w * 3 / 4};
    const int ys[2] = {T + H2, T + h * 3 / 4};
    for (int k = 0; k < 8; ++k) {
        int x0 = xs[k % 4], y0 = ys[k / 4];
        cells[2 + k] = Cell(x0, y0, x0 + c, y0 + r);
    }
    return 10;
}

// 4 x 4: one 2 x 2 cell in the middle, twelve single cells round it.
int ThirteenCells(const RECT& a, RECT (&cells)[GRID_SCREENS]) {
    int w = a.right - a.left, h = a.bottom - a.top;
    int L = a.left, T = a.top;
    int c = w / 4, r = h / 4;
    const int xs[4] = {L, L + c, L + w * 2 / 4, L + w * 3 / 4};
    auto single = [&](int x0, int y0) { return Cell(x0, y0, x0 + c, y0 + r); };
    for (int k = 0; k < 4; ++k) {
        cells[k] = single(xs[k], T);
        cells[9 + k] = single(xs[k], T + h * 3 / 4);
    }
    cells[4] = single(L, T + r);
    cells[5] = single(L, T + h * 2 / 4);
    cells[6] = Cell(L + c, T + r, L + w * 2 / 4 + c, T + h * 2 / 4 + r);
    cells[7] = single(xs[3], T + r);
    cells[8] = single(xs[3], T + h * 2 / 4);
    return 13;
}

// 6 columns x 4 rows.
int TwentyFourCells(const RECT& a, RECT (&cells)[GRID_SCREENS]) {
    int w = a.right - a.left, h = a.bottom - a.top;
    for (int k = 0; k < 24; ++k) {
        int x0 = a.left + (w / 6) * (k % 6);
        int y0 = a.top + (k / 6) * (h / 4);
        cells[k] = Cell(x0, y0, x0 + w / 6, y0 + h / 4);
    }
    return 24;
}

}  // namespace

int GridLayoutCells(int count, const RECT& area, RECT (&cells)[GRID_SCREENS]) {
    // Divisions below are of non-negative values: an inverted area lays out as an empty one.
    RECT a = area;
    if (a.right < a.left)
        a.right = a.left;
    if (a.bottom < a.top)
        a.bottom = a.top;
    switch (count) {
        case 1:
        case 4:
        case 9:
        case 16:
        case 25:
        case 36:
        case 49:
        case 64:
            return SquareCells(static_cast<int>(std::lround(std::sqrt(count))), a, cells);
        case 6:
            return SixCells(a, cells);
        case 7:
            return SevenCells(a, cells);
        case 8:
            return EightCells(a, cells);
        case 10:
            return TenCells(a, cells);
        case 13:
            return ThirteenCells(a, cells);
        case 24:
            return TwentyFourCells(a, cells);
        default:
            return 0;
    }
}

RECT GridVideoArea(const RECT& windowRect, bool fullScreen, int screenWidth, int screenHeight) {
    if (fullScreen)
        return RECT{0, 0, screenWidth, screenHeight};
    return RECT{windowRect.left + 30, windowRect.top + 30, windowRect.right - 204, windowRect.bottom - 88};
}

void ScreenGrid::LayoutScreens(int first, int count, const RECT& area) {
    for (int& shown : m_bScreenShown)
        shown = 0;
    m_bZoomed = 0;
    RECT cells[GRID_SCREENS];
    int n = GridLayoutCells(count, area, cells);
    for (int k = 0; k < n && k < count && first + k < GRID_SCREENS; ++k) {
        if (first + k < 0)
            continue;
        m_rcScreen[first + k] = cells[k];
        m_bScreenShown[first + k] = 1;
    }
    if (first == 0) {
        for (int i = 0; i < GRID_SCREENS; ++i)
            m_rcSaved[i] = m_rcScreen[i];
    }
    m_nScreenCount = count;
}

int ScreenGrid::ScreenAt(POINT point) const {
    for (int i = m_nFirstScreen < 0 ? 0 : m_nFirstScreen; i < GRID_SCREENS; ++i) {
        if (m_bScreenShown[i] && m_rcScreen[i].PtInRect(point))
            return i;
    }
    return -1;
}

int ScreenGrid::NextPageStart() const {
    if (m_nScreenCount >= GRID_SCREENS || m_nScreenCount <= 0)
        return -1;
    int next = m_nFirstScreen + m_nScreenCount;
    return next >= GRID_SCREENS ? 0 : next;
}

int ScreenGrid::PrevPageStart() const {
    if (m_nScreenCount >= GRID_SCREENS || m_nScreenCount <= 0)
        return -1;
    int prev = m_nFirstScreen - m_nScreenCount;
    return prev < 0 ? GRID_SCREENS - m_nScreenCount : prev;
}

bool ScreenGrid::ToggleZoom(int screen, const RECT& area) {
    if (m_nScreenCount == 1 || screen < 0 || screen >= GRID_SCREENS)
        return false;
    RECT target;
    if (!m_bZoomed) {
        target = area;
        m_bZoomed = 1;
    } else {
        target = m_rcSaved[screen];
        m_bZoomed = 0;
    }
    for (int i = m_nFirstScreen; i < m_nFirstScreen + m_nScreenCount && i < GRID_SCREENS; ++i) {
        if (i >= 0)
            m_bScreenShown[i] = m_bZoomed ? 0 : 1;
    }
    m_rcSaved[screen] = m_rcScreen[screen];
    m_rcScreen[screen] = target;
    m_bScreenShown[screen] = 1;
    m_nCurScreen = screen;
    return true;
}
