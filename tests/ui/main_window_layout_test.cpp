// The main window's skin pieces, control places and channel lights for the sizes it takes.

#include "ui/main_window_layout.h"

#include <gtest/gtest.h>

#include <map>

namespace {

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(MainWindowLayout, SkinIsTheWholeBitmapAtItsOwnSizeAndNinePiecesOtherwise) {
    auto whole = MainSkinPieces(1024, 768);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_TRUE(Same(whole[0].dst, RECT{0, 0, 1024, 768}));
    EXPECT_FALSE(whole[0].stretch);

    struct Case {
        int width, height;
        size_t pieces;
    };
    const Case cases[] = {{1280, 1024, 9}, {1920, 1080, 9}, {800, 600, 8}, {1024, 600, 9}, {800, 768, 8}};
    for (const Case& c : cases) {
        auto pieces = MainSkinPieces(c.width, c.height);
        EXPECT_EQ(pieces.size(), c.pieces) << c.width << "x" << c.height;
        // Every pixel of the window is drawn by some piece (sampled every 7 pixels and at the edges).
        auto covered = [&](int x, int y) {
            for (const SkinPiece& p : pieces) {
                if (p.dst.PtInRect(POINT{x, y}))
                    return true;
            }
            return false;
        };
        for (int y = 0; y < c.height; y += 7) {
            for (int x = 0; x < c.width; x += 7)
                ASSERT_TRUE(covered(x, y)) << c.width << "x" << c.height << " at " << x << "," << y;
            ASSERT_TRUE(covered(c.width - 1, y)) << c.width << "x" << c.height;
        }
        // Pieces copied 1:1 take a source of their own size; the centre is the video area.
        for (const SkinPiece& p : pieces) {
            if (!p.stretch) {
                EXPECT_EQ(p.dst.Width(), p.src.Width());
                EXPECT_EQ(p.dst.Height(), p.src.Height());
            }
        }
        EXPECT_TRUE(Same(pieces.back().dst, RECT{30, 30, c.width - 204, c.height - 88}));
    }
}

TEST(MainWindowLayout, ControlsFollowTheWindowEdges) {
    struct Case {
        int width, height, screenWidth;
        bool loggedIn;
        UINT id;
        RECT rect;
        UINT bitmap;
        bool visible;
    };
    const Case cases[] = {
        {1280, 1024, 1280, true, 1039, {1249, 0, 1280, 21}, 224, true},
        {1280, 1024, 1280, true, 1038, {1228, 0, 1249, 21}, 227, true},
        {1280, 1024, 1280, true, 1037, {1228, 0, 1249, 21}, 225, false},
        {800, 600, 1280, true, 1037, {748, 0, 769, 21}, 225, true},
        {800, 600, 1280, true, 1038, {748, 0, 769, 21}, 227, false},
        {1280, 1024, 1280, false, 1032, {1027, 974, 1076, 996}, 158, true},
        {1280, 1024, 1280, true, 1032, {1027, 974, 1076, 996}, 166, true},
        {800, 600, 1280, true, 1005, {616, 100, 780, 199}, 132, true},
        {800, 600, 1280, true, 1020, {679, 401, 724, 446}, 167, true},
        {800, 600, 1280, true, 1001, {762, 560, 790, 590}, 178, false},
        {800, 600, 1280, true, 1033, {252, 522, 360, 722}, 0, true},
    };
    for (const Case& c : cases) {
        std::map<UINT, ControlPlacement> byId;
        for (const ControlPlacement& p : MainControlPlacements(c.width, c.height, c.screenWidth, c.loggedIn))
            byId[p.id] = p;
        ASSERT_TRUE(byId.count(c.id)) << c.id;
        const ControlPlacement& p = byId[c.id];
        EXPECT_TRUE(Same(p.rect, c.rect)) << c.id << " at " << c.width << ": " << p.rect.left << ","
                                          << p.rect.top << "," << p.rect.right << "," << p.rect.bottom;
        EXPECT_EQ(p.bitmap, c.bitmap) << c.id;
        EXPECT_EQ(p.visible, c.visible) << c.id;
    }
    // 39 controls are placed; at the smallest size every one but the combo's drop-down stays inside.
    auto all = MainControlPlacements(MAIN_MIN_WIDTH, MAIN_MIN_HEIGHT, 1280, false);
    EXPECT_EQ(all.size(), 39u);
    for (const ControlPlacement& p : all) {
        if (p.id == 1033)
            continue;
        EXPECT_GE(p.rect.left, 0) << p.id;
        EXPECT_GE(p.rect.top, 0) << p.id;
        EXPECT_LE(p.rect.right, MAIN_MIN_WIDTH) << p.id;
        EXPECT_LE(p.rect.bottom, MAIN_MIN_HEIGHT) << p.id;
    }
}

TEST(MainWindowLayout, ChannelLightsSitInFourRowsAboveTheBottomEdge) {
    struct Case {
        int screen, height;
        POINT at;
    };
    const Case cases[] = {
        {0, 768, {20, 696}},   {15, 768, {305, 696}}, {16, 768, {20, 715}},
        {63, 600, {305, 585}}, {33, 1024, {39, 990}},
    };
    for (const Case& c : cases) {
        POINT p = ChannelLedPosition(c.screen, c.height);
        EXPECT_EQ(p.x, c.at.x) << c.screen;
        EXPECT_EQ(p.y, c.at.y) << c.screen;
    }
}

TEST(MainWindowLayout, WhiteSkinCornersCutTheSameWindowCorners) {
    QImage skin(1024, 768, QImage::Format_RGB32);
    skin.fill(QColor(40, 40, 40));
    // A three-pixel white triangle in each corner of the skin, and white pixels elsewhere that do not count.
    for (POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}})
        for (POINT c :
             {POINT{p.x, p.y}, POINT{1023 - p.x, p.y}, POINT{p.x, 767 - p.y}, POINT{1023 - p.x, 767 - p.y}})
            skin.setPixel(c.x, c.y, 0xFFFFFFFF);
    skin.setPixel(11, 0, 0xFFFFFFFF);
    skin.setPixel(500, 400, 0xFFFFFFFF);
    skin.setPixel(2, 2, 0xFFFFFFFE);  // nearly white stays
    auto cut = SkinCornerCutPixels(skin, 800, 600);
    ASSERT_EQ(cut.size(), 12u);
    auto has = [&cut](int x, int y) {
        for (POINT p : cut) {
            if (p.x == x && p.y == y)
                return true;
        }
        return false;
    };
    const POINT expected[] = {{0, 0},   {1, 0},   {0, 1},   {799, 0},   {798, 0},   {799, 1},
                              {0, 599}, {1, 599}, {0, 598}, {799, 599}, {798, 599}, {799, 598}};
    for (POINT p : expected)
        EXPECT_TRUE(has(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_TRUE(SkinCornerCutPixels(QImage(), 800, 600).empty());
}

}  // namespace
