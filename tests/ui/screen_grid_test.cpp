// The screen grid as plain state: every count's cells, snapped edges, the screen under a point, paging
// forward and back, zoom and its undoing.

#include "ui/screen_grid.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool Inside(const RECT& cell, const RECT& area) {
    return cell.left >= area.left && cell.top >= area.top && cell.right <= area.right &&
           cell.bottom <= area.bottom && cell.left < cell.right && cell.top < cell.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The video area of a 1024 x 768 window at (0, 0): (30, 30) to (820, 680), 790 x 650.
const RECT kArea = GridVideoArea(RECT{0, 0, 1024, 768}, false, 1280, 1024);

TEST(ScreenGrid, EveryCountLaysOutDisjointCellsInsideTheArea) {
    struct Case {
        int count, cells;
        bool fillsArea;  // the cells cover the whole area
    };
    const Case cases[] = {
        {1, 1, true},   {4, 4, true},    {9, 9, true},    {16, 16, true},  {25, 25, true},
        {36, 36, true}, {49, 49, true},  {64, 64, true},  {6, 6, true},    {7, 7, false},
        {8, 8, true},   {10, 10, false}, {13, 13, false}, {24, 24, false}, {2, 0, false},
        {3, 0, false},  {5, 0, false},   {0, 0, false},   {65, 0, false},  {-4, 0, false},
    };
    ASSERT_TRUE(Same(kArea, RECT{30, 30, 820, 680}));
    for (const Case& c : cases) {
        RECT cells[GRID_SCREENS];
        ASSERT_EQ(GridLayoutCells(c.count, kArea, cells), c.cells) << c.count;
        long covered = 0;
        for (int k = 0; k < c.cells; ++k) {
            EXPECT_TRUE(Inside(cells[k], kArea)) << c.count << " cell " << k;
            for (int j = 0; j < k; ++j)
                EXPECT_FALSE(Overlap(cells[k], cells[j])) << c.count << " cells " << j << " and " << k;
            covered += static_cast<long>(cells[k].Width()) * cells[k].Height();
        }
        if (c.fillsArea) {
            EXPECT_EQ(covered, static_cast<long>(kArea.Width()) * kArea.Height()) << c.count;
        }
    }
}

TEST(ScreenGrid, CellsOfTheIrregularLayouts) {
    // w = 790, h = 650: w/3 = 263, w*2/3 = 526, w/4 = 197, w*2/4 = 395, w*3/4 = 592, w/6 = 131;
    // h/3 = 216, h*2/3 = 433, h/4 = 162, h*2/4 = 325, h*3/4 = 487.
    struct Case {
        int count, cell;
        RECT rect;
    };
    const Case cases[] = {
        {6, 0, {30, 30, 556, 463}},     {6, 1, {556, 30, 820, 246}},    {6, 3, {30, 463, 293, 680}},
        {6, 5, {556, 463, 820, 680}},   {7, 0, {30, 30, 425, 355}},     {7, 2, {622, 30, 819, 192}},
        {7, 4, {622, 192, 819, 354}},   {7, 6, {425, 355, 820, 680}},   {8, 0, {30, 30, 622, 517}},
        {8, 3, {622, 354, 820, 517}},   {8, 6, {424, 517, 622, 680}},   {8, 7, {622, 517, 820, 680}},
        {10, 1, {425, 30, 820, 355}},   {10, 2, {30, 355, 227, 517}},   {10, 9, {622, 517, 819, 679}},
        {13, 3, {622, 30, 819, 192}},   {13, 5, {30, 355, 227, 517}},   {13, 6, {227, 192, 622, 517}},
        {13, 8, {622, 355, 819, 517}},  {13, 12, {622, 517, 819, 679}}, {24, 0, {30, 30, 161, 192}},
        {24, 23, {685, 516, 816, 678}},
    };
    for (const Case& c : cases) {
        RECT cells[GRID_SCREENS];
        ASSERT_GT(GridLayoutCells(c.count, kArea, cells), c.cell);
        const RECT& r = cells[c.cell];
        EXPECT_TRUE(Same(r, c.rect)) << c.count << " cell " << c.cell << ": " << r.left << "," << r.top << ","
                                     << r.right << "," << r.bottom;
    }
}

TEST(ScreenGrid, SquareLayoutsSnapTheLastColumnAndRowToTheAreaEdges) {
    for (int q = 1; q <= 8; ++q) {
        RECT cells[GRID_SCREENS];
        ASSERT_EQ(GridLayoutCells(q * q, kArea, cells), q * q);
        for (int k = 0; k < q * q; ++k) {
            EXPECT_EQ(cells[k].right == kArea.right, k % q == q - 1) << q << " cell " << k;
            EXPECT_EQ(cells[k].bottom == kArea.bottom, k / q == q - 1) << q << " cell " << k;
        }
    }
}

TEST(ScreenGrid, PagesShowOnlyTheirScreensAndHitTestingFindsThem) {
    ScreenGrid grid;
    grid.LayoutScreens(0, 9, kArea);
    RECT page0[GRID_SCREENS];
    for (int i = 0; i < GRID_SCREENS; ++i)
        page0[i] = grid.m_rcSaved[i];
    EXPECT_EQ(grid.m_nScreenCount, 9);
    struct Hit {
        POINT point;
        int screen;
    };
    // Cells of 9: columns of 263 from 30, rows of 216 from 30; right and bottom edges belong to the next.
    const Hit hits[] = {
        {{30, 30}, 0},   {{292, 245}, 0},  {{293, 30}, 1},  {{30, 246}, 3},
        {{819, 679}, 8}, {{820, 679}, -1}, {{29, 100}, -1}, {{400, 680}, -1},
    };
    for (const Hit& h : hits)
        EXPECT_EQ(grid.ScreenAt(h.point), h.screen) << h.point.x << "," << h.point.y;

    // The last page of 9 starts at 63 and shows only screen 63, over the first cell.
    grid.m_nFirstScreen = 63;
    grid.LayoutScreens(63, 9, kArea);
    for (int i = 0; i < GRID_SCREENS; ++i)
        EXPECT_EQ(grid.m_bScreenShown[i], i == 63 ? 1 : 0) << i;
    EXPECT_EQ(grid.ScreenAt(POINT{31, 31}), 63);
    EXPECT_EQ(grid.ScreenAt(POINT{400, 400}), -1);
    // Another page leaves page 0's remembered layout alone.
    for (int i = 0; i < GRID_SCREENS; ++i)
        EXPECT_TRUE(Same(grid.m_rcSaved[i], page0[i])) << i;

    // A count without a layout shows nothing.
    grid.LayoutScreens(0, 5, kArea);
    for (int i = 0; i < GRID_SCREENS; ++i)
        EXPECT_EQ(grid.m_bScreenShown[i], 0) << i;
    EXPECT_EQ(grid.m_nScreenCount, 5);
}

TEST(ScreenGrid, PagingForwardAndBackWrapsRoundTheScreens) {
    struct Case {
        int count;
        std::vector<int> forward;  // first screens visited by Next from 0, back to 0
        int backFromZero;
    };
    const Case cases[] = {
        {6, {6, 12, 18, 24, 30, 36, 42, 48, 54, 60, 0}, 58},
        {9, {9, 18, 27, 36, 45, 54, 63, 0}, 55},
        {16, {16, 32, 48, 0}, 48},
        {1, {}, 63},
        {24, {24, 48, 0}, 40},
    };
    for (const Case& c : cases) {
        ScreenGrid grid;
        grid.LayoutScreens(0, c.count, kArea);
        std::vector<int> visited;
        for (int turn = 0; turn < 70 && (visited.empty() || visited.back() != 0); ++turn) {
            grid.m_nFirstScreen = grid.NextPageStart();
            visited.push_back(grid.m_nFirstScreen);
        }
        if (c.count == 1) {
            EXPECT_EQ(visited.size(), 64u);
        } else {
            EXPECT_EQ(visited, c.forward) << c.count;
        }
        grid.m_nFirstScreen = 0;
        EXPECT_EQ(grid.PrevPageStart(), c.backFromZero) << c.count;
    }
    ScreenGrid all;
    all.LayoutScreens(0, 64, kArea);
    EXPECT_EQ(all.NextPageStart(), -1);
    EXPECT_EQ(all.PrevPageStart(), -1);
}

TEST(ScreenGrid, ZoomCoversTheAreaAndASecondZoomBringsThePageBack) {
    ScreenGrid grid;
    grid.LayoutScreens(0, 4, kArea);
    RECT before = grid.m_rcScreen[2];
    ASSERT_TRUE(grid.ToggleZoom(2, kArea));
    EXPECT_EQ(grid.m_bZoomed, 1);
    EXPECT_EQ(grid.m_nCurScreen, 2);
    EXPECT_TRUE(Same(grid.m_rcScreen[2], kArea));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(grid.m_bScreenShown[i], i == 2 ? 1 : 0) << i;
    EXPECT_EQ(grid.ScreenAt(POINT{35, 35}), 2);
    ASSERT_TRUE(grid.ToggleZoom(2, kArea));
    EXPECT_EQ(grid.m_bZoomed, 0);
    EXPECT_TRUE(Same(grid.m_rcScreen[2], before));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(grid.m_bScreenShown[i], 1) << i;

    ScreenGrid single;
    single.LayoutScreens(0, 1, kArea);
    EXPECT_FALSE(single.ToggleZoom(0, kArea));
    EXPECT_EQ(single.m_bZoomed, 0);
}

TEST(ScreenGrid, FullScreenAreaIsTheWholeScreen) {
    EXPECT_TRUE(Same(GridVideoArea(RECT{100, 50, 900, 650}, true, 1280, 1024), RECT{0, 0, 1280, 1024}));
    EXPECT_TRUE(Same(GridVideoArea(RECT{100, 50, 900, 650}, false, 1280, 1024), RECT{130, 80, 696, 562}));
}

}  // namespace
