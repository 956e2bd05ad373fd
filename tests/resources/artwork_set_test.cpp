// The built-in pictures: every resource number the programs load is embedded at its exact size, the button
// strips hold three distinct pictures, and the key colours that the controls mask with are where they
// belong.
#include <gtest/gtest.h>

#include "resources/resource_bitmaps.h"
#include "resources/resource_icons.h"
#include "tools/artwork/catalog.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kMagenta = 0xFFFF00FF;

int CountPixels(const QImage& image, const QRect& area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(ArtworkSet, EveryNumberLoadsAtItsSize) {
    for (const ArtworkEntry& entry : ArtworkCatalog()) {
        SCOPED_TRACE(entry.id);
        const QImage image = LoadResourceBitmap(entry.id);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), entry.width);
        EXPECT_EQ(image.height(), entry.height);
    }
}

TEST(ArtworkSet, UnknownNumberLoadsNothing) {
    EXPECT_TRUE(LoadResourceBitmap(999).isNull());
    EXPECT_EQ(FindArtwork(999), nullptr);
}

TEST(ArtworkSet, NumbersAreListedOnce) {
    for (const ArtworkEntry& entry : ArtworkCatalog()) {
        EXPECT_EQ(FindArtwork(entry.id), &entry) << entry.id;
    }
}

TEST(ArtworkSet, StripsHoldThreeDistinctPictures) {
    for (const ArtworkEntry& entry : ArtworkCatalog()) {
        if (entry.frames != 3) {
            continue;
        }
        SCOPED_TRACE(entry.id);
        const QImage strip = LoadResourceBitmap(entry.id);
        ASSERT_EQ(strip.width() % 3, 0);
        const int w = strip.width() / 3;
        const QImage normal = strip.copy(0, 0, w, strip.height());
        const QImage hover = strip.copy(w, 0, w, strip.height());
        const QImage pressed = strip.copy(2 * w, 0, w, strip.height());
        EXPECT_NE(normal, hover);
        EXPECT_NE(hover, pressed);
        EXPECT_NE(normal, pressed);
    }
}

TEST(ArtworkSet, TreeIconsAreMaskedWithBlackAndHoldNoWhite) {
    // Image list masked with black; the tree paints white pixels as its background.
    for (unsigned id : {191u, 194u, 190u, 192u, 193u, 221u}) {
        SCOPED_TRACE(id);
        const QImage icon = LoadResourceBitmap(id);
        ASSERT_FALSE(icon.isNull());
        const int transparent = CountPixels(icon, icon.rect(), kBlack);
        EXPECT_GT(transparent, 0);
        EXPECT_LT(transparent, 16 * 16 - 40);  // a visible picture remains
        EXPECT_EQ(CountPixels(icon, icon.rect(), kWhite), 0);
    }
}

TEST(ArtworkSet, TreeIconsTellTheStatesApart) {
    const unsigned ids[] = {191, 194, 190, 192, 193, 221};
    for (unsigned a : ids) {
        for (unsigned b : ids) {
            if (a < b) {
                EXPECT_NE(LoadResourceBitmap(a), LoadResourceBitmap(b)) << a << " " << b;
            }
        }
    }
}

TEST(ArtworkSet, CheckImagesAreKeyedWithMagenta) {
    const QImage strip = LoadResourceBitmap(154);
    ASSERT_FALSE(strip.isNull());
    const QRect empty(0, 0, 13, 16), unchecked(13, 0, 13, 16), checked(26, 0, 13, 16);
    EXPECT_EQ(CountPixels(strip, empty, kMagenta), 13 * 16);
    EXPECT_GT(CountPixels(strip, unchecked, kMagenta), 0);
    EXPECT_LT(CountPixels(strip, unchecked, kMagenta), 13 * 16);
    EXPECT_NE(strip.copy(unchecked), strip.copy(checked).copy(0, 0, 13, 16));
}

TEST(ArtworkSet, ThumbsAreKeyedWithWhiteAroundAnOpaqueBody) {
    for (unsigned id : {215u, 214u}) {
        SCOPED_TRACE(id);
        const QImage thumb = LoadResourceBitmap(id);
        ASSERT_FALSE(thumb.isNull());
        EXPECT_EQ(thumb.pixel(0, 0), kWhite);
        EXPECT_EQ(thumb.pixel(thumb.width() - 1, thumb.height() - 1), kWhite);
        EXPECT_EQ(CountPixels(thumb, QRect(1, 2, thumb.width() - 2, thumb.height() - 4), kWhite), 0);
    }
}

TEST(ArtworkSet, LedCellsDifferAndShareTheirGround) {
    const QImage leds = LoadResourceBitmap(175);
    ASSERT_FALSE(leds.isNull());
    const QImage idle = leds.copy(0, 0, 17, 17), recording = leds.copy(17, 0, 17, 17),
                 alarm = leds.copy(34, 0, 17, 17);
    EXPECT_NE(idle, recording);
    EXPECT_NE(recording, alarm);
    // The cells are copied opaquely onto the skin's light tray, so their corners carry its colour.
    const QImage skin = LoadResourceBitmap(155);
    ASSERT_FALSE(skin.isNull());
    EXPECT_EQ(idle.pixel(0, 0), skin.pixel(20, 768 - 72));
    EXPECT_EQ(recording.pixel(16, 16), skin.pixel(20 + 15 * 19, 768 - 72 + 2 * 19));
}

TEST(ArtworkSet, ApplicationIconHasTransparentCorners) {
    const QImage icon = LoadResourceIcon(kAppIconId);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.width(), kAppIconSize);
    EXPECT_EQ(icon.height(), kAppIconSize);
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(kAppIconSize / 2, kAppIconSize / 2)), 255);
    EXPECT_TRUE(LoadResourceIcon(999).isNull());
}

}  // namespace
