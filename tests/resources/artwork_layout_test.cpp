// The pictures in the places the windows give them at 1024 x 768: each button strip's picture has the size
// of its place, joins the skin around it, lies inside the window and covers no other button; two mock-ups
// of the windows (skin, buttons, lights and sliders) are written for looking at the whole
// (tests/picture_output.h).
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <functional>
#include <span>

#include "resources/resource_bitmaps.h"
#include "tests/picture_output.h"

namespace {

struct Place {
    unsigned bitmap;
    int x;
    int y;
    int width;
    int height;
};

// Main window controls with their strips, positions and sizes at W = 1024, H = 768.
const Place kMainPlaces[] = {
    {224, 993, 0, 31, 21},   {227, 972, 0, 21, 21},   {226, 951, 0, 21, 21},   {171, 949, 698, 55, 55},
    {153, 840, 718, 28, 30}, {168, 903, 614, 45, 45}, {167, 903, 569, 45, 45}, {172, 903, 659, 45, 45},
    {170, 858, 614, 45, 45}, {169, 948, 614, 45, 45}, {181, 840, 538, 51, 24}, {182, 896, 538, 51, 24},
    {183, 953, 538, 51, 24}, {206, 982, 510, 20, 10}, {205, 982, 520, 20, 10}, {173, 840, 469, 52, 26},
    {174, 952, 469, 52, 26}, {177, 840, 440, 52, 26}, {176, 952, 440, 52, 26}, {177, 840, 411, 52, 26},
    {176, 952, 411, 52, 26}, {219, 863, 373, 29, 23}, {218, 952, 373, 29, 23}, {160, 771, 690, 49, 22},
    {158, 771, 718, 49, 22}, {162, 712, 690, 49, 22}, {165, 712, 718, 49, 22}, {164, 653, 690, 49, 22},
    {156, 653, 718, 49, 22}, {157, 594, 690, 49, 22}, {163, 594, 718, 49, 22}, {159, 535, 718, 49, 22},
    {161, 476, 718, 49, 22},
};

// Pictures that take the same place as one above (alternative looks of one button).
const Place kMainAlternatives[] = {
    {225, 972, 0, 21, 21}, {152, 840, 718, 28, 30}, {166, 771, 718, 49, 22}, {178, 986, 728, 28, 30}};

const Place kPlaybackPlaces[] = {
    {212, 947, 164, 49, 22}, {197, 744, 635, 29, 23}, {198, 777, 635, 29, 23}, {199, 810, 635, 29, 23},
    {203, 843, 635, 29, 23}, {204, 876, 635, 29, 23}, {201, 909, 635, 29, 23}, {202, 942, 635, 29, 23},
    {196, 838, 668, 49, 22}, {207, 955, 668, 49, 22}, {153, 857, 713, 28, 30}, {171, 949, 693, 55, 55},
};

const Place kPlaybackAlternatives[] = {
    {200, 744, 635, 29, 23}, {195, 902, 668, 49, 22}, {152, 857, 713, 28, 30}};

QImage Picture(unsigned bitmap, int frame) {
    const QImage strip = LoadResourceBitmap(bitmap);
    const int w = strip.width() / 3;
    return strip.copy(frame * w, 0, w, strip.height());
}

// The four corner pixels of a picture, which lie outside its rounded face, carry the skin under them
// (pixels the window cuts away excepted): the button joins its ground without a visible box.
int CornerMismatches(const QImage& skin, const Place& place, const QImage& picture) {
    int mismatches = 0;
    for (int y : {0, picture.height() - 1}) {
        for (int x : {0, picture.width() - 1}) {
            const QRgb under = skin.pixel(place.x + x, place.y + y);
            if (under != 0xFFFFFFFF && picture.pixel(x, y) != under) {
                ++mismatches;
            }
        }
    }
    return mismatches;
}

void CheckPlaces(unsigned skinId, std::initializer_list<std::span<const Place>> lists) {
    const QImage skin = LoadResourceBitmap(skinId);
    ASSERT_FALSE(skin.isNull());
    for (std::span<const Place> list : lists) {
        for (const Place& place : list) {
            SCOPED_TRACE(testing::Message() << "bitmap " << place.bitmap << " on " << skinId);
            const QImage strip = LoadResourceBitmap(place.bitmap);
            ASSERT_FALSE(strip.isNull());
            EXPECT_EQ(strip.width() / 3, place.width);
            EXPECT_EQ(strip.height(), place.height);
            for (int frame = 0; frame < 3; ++frame) {
                EXPECT_EQ(CornerMismatches(skin, place, Picture(place.bitmap, frame)), 0)
                    << "frame " << frame;
            }
        }
    }
}

// What the mock-ups show: every button inside its window's skin, none drawn over another.
TEST(ArtworkLayout, ButtonsLieInsideTheirWindowAndApart) {
    struct Window {
        unsigned skin;
        std::span<const Place> places;
    };
    for (const Window& window : {Window{155, kMainPlaces}, Window{213, kPlaybackPlaces}}) {
        const QRect skin = LoadResourceBitmap(window.skin).rect();
        for (size_t i = 0; i < window.places.size(); ++i) {
            const Place& a = window.places[i];
            const QRect ra(a.x, a.y, a.width, a.height);
            EXPECT_TRUE(skin.contains(ra)) << "bitmap " << a.bitmap << " on " << window.skin;
            for (size_t j = i + 1; j < window.places.size(); ++j) {
                const Place& b = window.places[j];
                EXPECT_FALSE(ra.intersects(QRect(b.x, b.y, b.width, b.height)))
                    << "bitmaps " << a.bitmap << " and " << b.bitmap << " on " << window.skin;
            }
        }
    }
}

TEST(ArtworkLayout, MainWindowButtonsFitTheirPlaces) {
    CheckPlaces(155, {kMainPlaces, kMainAlternatives});
}

TEST(ArtworkLayout, PlaybackButtonsFitTheirPlaces) {
    CheckPlaces(213, {kPlaybackPlaces, kPlaybackAlternatives});
}

TEST(ArtworkLayout, SlidersFitTheirPlaces) {
    // Volume channel at (W-156, H-42) of the main window and (W-139, H-47) of the playback dialog; the
    // position channel at (30, H-165) of the playback dialog.
    const QImage main = LoadResourceBitmap(155), playback = LoadResourceBitmap(213);
    for (unsigned id : {185u, 186u}) {
        SCOPED_TRACE(id);
        const QImage channel = LoadResourceBitmap(id);
        EXPECT_EQ(CornerMismatches(main, {id, 868, 726, 59, 12}, channel), 0);
        EXPECT_EQ(CornerMismatches(playback, {id, 885, 721, 59, 12}, channel), 0);
    }
    for (unsigned id : {211u, 210u}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(LoadResourceBitmap(id).height(), 12);
    }
}

void DrawThumb(QPainter& p, const QImage& thumb, int x, int y) {
    for (int ty = 0; ty < thumb.height(); ++ty) {
        for (int tx = 0; tx < thumb.width(); ++tx) {
            if (thumb.pixel(tx, ty) != 0xFFFFFFFF) {
                p.fillRect(x + tx, y + ty, 1, 1, QColor(thumb.pixel(tx, ty)));
            }
        }
    }
}

void SaveMockup(const QImage& skin, std::span<const Place> places, const QString& name,
                const std::function<void(QPainter&)>& extra) {
    QImage mockup = skin.copy();
    QPainter p(&mockup);
    int n = 0;
    for (const Place& place : places) {
        // Show a hover and a pressed button among the normal ones.
        const int frame = n == 5 ? 1 : n == 8 ? 2 : 0;
        p.drawImage(place.x, place.y, Picture(place.bitmap, frame));
        ++n;
    }
    extra(p);
    p.end();
    ASSERT_TRUE(mockup.save(PicturePath(name)));
}

TEST(ArtworkLayout, WritesWindowMockups) {
    const QImage thumb = LoadResourceBitmap(215);
    SaveMockup(
        LoadResourceBitmap(155), kMainPlaces, QStringLiteral("artwork_main_window.png"), [&](QPainter& p) {
            const QImage leds = LoadResourceBitmap(175);
            for (int i = 0; i < 64; ++i) {
                const int cell = i % 7 == 3 ? 1 : i == 12 ? 2 : 0;
                p.drawImage(20 + (i % 16) * 19, 768 - 72 + (i / 16) * 19, leds, cell * 17, 0, 17, 17);
            }
            p.drawImage(868, 726, LoadResourceBitmap(186), 0, 0, 40, 12);
            p.drawImage(868 + 40, 726, LoadResourceBitmap(185), 40, 0, 19, 12);
            DrawThumb(p, thumb, 868 + 36, 726);
            const QImage tile = LoadResourceBitmap(132);
            p.drawImage(840, 100, tile, 0, 0, 164, 267);
            for (int row = 0; row < 5; ++row) {
                const unsigned icon = row == 0 ? 191 : row == 1 ? 190 : row == 4 ? 221 : 192 + (row - 2);
                const QImage image = LoadResourceBitmap(icon);
                for (int y = 0; y < 16; ++y) {
                    for (int x = 0; x < 16; ++x) {
                        if (image.pixel(x, y) != 0xFF000000) {
                            p.fillRect(844 + (row > 1) * 16 + x, 104 + row * 18 + y, 1, 1,
                                       QColor(image.pixel(x, y)));
                        }
                    }
                }
            }
        });
    SaveMockup(LoadResourceBitmap(213), kPlaybackPlaces, QStringLiteral("artwork_playback_window.png"),
               [&](QPainter& p) {
                   p.drawImage(30, 603, LoadResourceBitmap(210), 0, 0, 300, 12);
                   p.drawImage(330, 603, LoadResourceBitmap(211), 300, 0, 372, 12);
                   DrawThumb(p, thumb, 326, 603);
                   p.drawImage(885, 721, LoadResourceBitmap(186));
                   DrawThumb(p, LoadResourceBitmap(214), 885 + 48, 721);
               });
}

}  // namespace
