// Block transfers with the raster operations the program uses, and the colour/monochrome conversions that
// make masks from a background colour.

#include <gtest/gtest.h>

#include <QPainter>

#include "platform/ui/dc.h"
#include "platform/ui/region.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

QImage Filled(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(DeviceContext, MaskFromBackgroundColourCutsAPictureIntoABackground) {
    // A 4x1 picture: white (background) at x 0 and 3, red and blue in between.
    QImage picture = Filled(4, 1, Qt::white);
    picture.setPixel(1, 0, qRgb(255, 0, 0));
    picture.setPixel(2, 0, qRgb(0, 0, 255));
    CBitmap pictureBitmap;
    pictureBitmap.FromImage(picture);
    CDC pictureDC;
    pictureDC.CreateCompatibleDC(nullptr);
    pictureDC.SelectObject(&pictureBitmap);

    // Colour to monochrome: the source's background colour becomes white (1), the rest black (0).
    CBitmap mask;
    mask.CreateMonochromeBitmap(4, 1);
    CDC maskDC;
    maskDC.CreateCompatibleDC(nullptr);
    maskDC.SelectObject(&mask);
    pictureDC.SetBkColor(RGB(255, 255, 255));
    maskDC.BitBlt(0, 0, 4, 1, &pictureDC, 0, 0, SRCCOPY);
    EXPECT_EQ(maskDC.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(maskDC.GetPixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(maskDC.GetPixel(3, 0), RGB(255, 255, 255));

    // Picture background blacked out: mask into the picture with text white / background black, SRCAND.
    pictureDC.SetBkColor(RGB(0, 0, 0));
    pictureDC.SetTextColor(RGB(255, 255, 255));
    pictureDC.BitBlt(0, 0, 4, 1, &maskDC, 0, 0, SRCAND);
    EXPECT_EQ(pictureDC.GetPixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(pictureDC.GetPixel(1, 0), RGB(255, 0, 0));

    // Target: green; the item pixels blacked out with background white / text black, then ORed in.
    CBitmap target;
    target.FromImage(Filled(4, 1, QColor(0, 255, 0)));
    CDC targetDC;
    targetDC.CreateCompatibleDC(nullptr);
    targetDC.SelectObject(&target);
    targetDC.SetBkColor(RGB(255, 255, 255));
    targetDC.SetTextColor(RGB(0, 0, 0));
    targetDC.BitBlt(0, 0, 4, 1, &maskDC, 0, 0, SRCAND);
    targetDC.BitBlt(0, 0, 4, 1, &pictureDC, 0, 0, SRCPAINT);
    EXPECT_EQ(targetDC.GetPixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(targetDC.GetPixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(targetDC.GetPixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(targetDC.GetPixel(3, 0), RGB(0, 255, 0));
}

TEST(DeviceContext, StretchAndOriginAndPatternBrush) {
    CBitmap source;
    QImage two = Filled(2, 1, Qt::black);
    two.setPixel(1, 0, qRgb(255, 255, 255));
    source.FromImage(two);
    CDC sourceDC;
    sourceDC.CreateCompatibleDC(nullptr);
    sourceDC.SelectObject(&source);

    CBitmap target;
    target.CreateCompatibleBitmap(8, 2);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&target);
    dc.StretchBlt(0, 0, 8, 1, &sourceDC, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dc.GetPixel(3, 0), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(4, 0), RGB(255, 255, 255));

    // With the window origin at (10, 0), logical x 10 is device x 0.
    dc.SetWindowOrg(10, 0);
    dc.FillSolidRect(RECT{10, 1, 11, 2}, RGB(1, 2, 3));
    dc.SetWindowOrg(0, 0);
    EXPECT_EQ(dc.GetPixel(0, 1), RGB(1, 2, 3));

    CBrush tiles;
    ASSERT_TRUE(tiles.CreatePatternBrush(&source));
    dc.FillRect(RECT{0, 1, 8, 2}, &tiles);
    EXPECT_EQ(dc.GetPixel(4, 1), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(5, 1), RGB(255, 255, 255));
}

// A colour bitmap's area drawn into another colour bitmap, stretched or not, gives the picture a copy of
// the area gives (how every blit was made before colour bitmaps were drawn from their own pixels); so do
// an area past the bitmap's edge and a bitmap drawn into itself, which still go through the copy.
TEST(DeviceContext, ColourBlitsDrawWhatACopyOfTheAreaDraws) {
    QImage picture(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 7, y * 11, (x * y) & 0xFF));
    struct Case {
        QRect target, area;
        bool intoItself;
    } cases[] = {
        {{3, 2, 10, 6}, {5, 4, 10, 6}, false},      // unstretched
        {{0, 0, 40, 30}, {2, 3, 17, 11}, false},    // enlarged
        {{1, 1, 9, 5}, {0, 0, 37, 23}, false},      // reduced
        {{0, 0, 20, 20}, {30, 15, 12, 12}, false},  // past the edge
        {{4, 3, 12, 9}, {2, 1, 12, 9}, true},       // into itself, overlapping
    };
    for (const Case& c : cases) {
        CBitmap source, target;
        source.FromImage(picture);
        target.FromImage(c.intoItself ? picture : Filled(48, 32, QColor(9, 8, 7)));
        CDC sourceDC, targetDC;
        sourceDC.CreateCompatibleDC(nullptr);
        sourceDC.SelectObject(c.intoItself ? &target : &source);
        targetDC.CreateCompatibleDC(nullptr);
        targetDC.SelectObject(&target);
        QImage expected = target.Image().copy();
        {
            QPainter painter(&expected);
            painter.drawImage(c.target, expected.copy(c.area));
        }
        ASSERT_TRUE(targetDC.StretchBlt(c.target.x(), c.target.y(), c.target.width(), c.target.height(),
                                        &sourceDC, c.area.x(), c.area.y(), c.area.width(), c.area.height(),
                                        SRCCOPY));
        if (!c.intoItself) {
            expected = Filled(48, 32, QColor(9, 8, 7));
            QPainter painter(&expected);
            painter.drawImage(c.target, picture.copy(c.area));
        }
        EXPECT_EQ(target.Image(), expected) << "target " << c.target.x() << "," << c.target.y() << " "
                                            << c.target.width() << "x" << c.target.height();
    }
}

}  // namespace

namespace {

TEST(Region, CornerPixelsXoredOutOfAWindowRegion) {
    CRgn region;
    region.CreateRectRgn(0, 0, 100, 50);
    CRgn pixel;
    pixel.CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(region.CombineRgn(&region, &pixel, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(region.PtInRegion(0, 0));
    EXPECT_TRUE(region.PtInRegion(1, 0));
    EXPECT_TRUE(region.PtInRegion(99, 49));
    EXPECT_FALSE(region.PtInRegion(100, 49));

    CWnd wnd;
    ASSERT_TRUE(wnd.Attach(new QWidget, nullptr, 0, 0));
    wnd.SetWindowRgn(&region, TRUE);
    EXPECT_FALSE(wnd.GetWidget()->mask().contains(QPoint(0, 0)));
    wnd.SetWindowRgn(nullptr, FALSE);
    EXPECT_TRUE(wnd.GetWidget()->mask().isEmpty());
}

}  // namespace
