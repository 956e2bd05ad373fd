// The two full-screen skins: the white corner pixels that shape the windows, and the pieces that the windows
// stretch at other sizes, which must not smear.
#include <gtest/gtest.h>

#include "resources/resource_bitmaps.h"
#include "tools/artwork/catalog.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr int kCorner = kShapedCornerSize;

bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == kWhite;
}

// Pixel (x, y) of a corner counted from that corner's own edges.
bool CornerWhite(const QImage& skin, int corner, int x, int y) {
    const int px = corner & 1 ? skin.width() - 1 - x : x;
    const int py = corner & 2 ? skin.height() - 1 - y : y;
    return IsWhite(skin, px, py);
}

TEST(ShapedSkin, CornersAreCutWithPureWhiteOnly) {
    for (unsigned id : kShapedSkins) {
        SCOPED_TRACE(id);
        const QImage skin = LoadResourceBitmap(id);
        ASSERT_FALSE(skin.isNull());
        for (int corner = 0; corner < 4; ++corner) {
            SCOPED_TRACE(corner);
            // The very corner is cut, and the cut is a solid area that narrows away from the corner: a white
            // pixel has only white pixels between it and the window's edges, so the region keeps one piece.
            EXPECT_TRUE(CornerWhite(skin, corner, 0, 0));
            int cut = 0;
            for (int y = 0; y < kCorner; ++y) {
                for (int x = 0; x < kCorner; ++x) {
                    if (!CornerWhite(skin, corner, x, y)) {
                        continue;
                    }
                    ++cut;
                    if (x > 0) {
                        EXPECT_TRUE(CornerWhite(skin, corner, x - 1, y)) << x << "," << y;
                    }
                    if (y > 0) {
                        EXPECT_TRUE(CornerWhite(skin, corner, x, y - 1)) << x << "," << y;
                    }
                }
            }
            EXPECT_GT(cut, 3);
            EXPECT_LT(cut, kCorner * kCorner / 2);
        }
    }
}

TEST(ShapedSkin, NoWhiteOutsideTheCornerAreas) {
    for (unsigned id : kShapedSkins) {
        SCOPED_TRACE(id);
        const QImage skin = LoadResourceBitmap(id);
        ASSERT_FALSE(skin.isNull());
        int stray = 0;
        for (int y = 0; y < skin.height(); ++y) {
            const bool cornerRow = y < kCorner || y >= skin.height() - kCorner;
            for (int x = 0; x < skin.width(); ++x) {
                const bool cornerColumn = x < kCorner || x >= skin.width() - kCorner;
                if (!(cornerRow && cornerColumn) && IsWhite(skin, x, y)) {
                    ++stray;
                }
            }
        }
        EXPECT_EQ(stray, 0);
    }
}

enum class Stretch { kAcross, kDown, kBoth };

struct StretchedPiece {
    unsigned skin;
    QRect source;
    Stretch stretch;
};

// The source rectangles that the windows scale when they are not 1024 x 768.
const StretchedPiece kStretchedPieces[] = {
    {155, QRect(30, 0, 790, 30), Stretch::kAcross},     // title band
    {155, QRect(402, 680, 62, 88), Stretch::kAcross},   // bottom band
    {155, QRect(0, 30, 30, 650), Stretch::kDown},       // left band
    {155, QRect(820, 115, 204, 256), Stretch::kDown},   // right panel middle
    {155, QRect(30, 30, 790, 650), Stretch::kBoth},     // centre
    {213, QRect(30, 0, 674, 30), Stretch::kAcross},     // top edge
    {213, QRect(50, 598, 654, 170), Stretch::kAcross},  // bottom edge
    {213, QRect(0, 30, 30, 568), Stretch::kDown},       // left edge
    {213, QRect(704, 254, 320, 338), Stretch::kDown},   // right column
    {213, QRect(30, 30, 674, 568), Stretch::kBoth},     // centre
};

TEST(ShapedSkin, StretchedPiecesAreUniformInTheirDirection) {
    for (const StretchedPiece& piece : kStretchedPieces) {
        SCOPED_TRACE(testing::Message()
                     << piece.skin << " at " << piece.source.x() << "," << piece.source.y());
        const QImage skin = LoadResourceBitmap(piece.skin);
        ASSERT_FALSE(skin.isNull());
        const QRect& r = piece.source;
        int differing = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                const bool acrossOk = skin.pixel(x, y) == skin.pixel(r.left(), y);
                const bool downOk = skin.pixel(x, y) == skin.pixel(x, r.top());
                const bool ok = piece.stretch == Stretch::kAcross ? acrossOk
                                : piece.stretch == Stretch::kDown ? downOk
                                                                  : acrossOk && downOk;
                differing += ok ? 0 : 1;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

}  // namespace
