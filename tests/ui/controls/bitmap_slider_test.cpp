// The bitmap slider: position and pixel conversions, dragging, keys, what it posts, and its picture.

#include <gtest/gtest.h>

#include <QTest>

#include "core/window_messages.h"
#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/bitmap_slider.h"

namespace {

constexpr UINT kId = 1025;

HBITMAP Picture(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    CBitmap bitmap;
    bitmap.FromImage(image);
    return bitmap.Detach();
}

class SliderTest : public ::testing::Test {
public:
    void Make(int channelWidth, int max, int page, int pos) {
        ASSERT_TRUE(parent.CreateTest(nullptr, 0));
        parent.GetWidget()->resize(700, 100);
        ASSERT_TRUE(slider.Create(WS_VISIBLE, RECT{10, 10, 20, 20}, &parent, kId));
        slider.SetChannelBitmaps(Picture(channelWidth, 12, Qt::gray), Picture(channelWidth, 12, Qt::yellow));
        // An 8 x 12 thumb: a red bar with white (transparent) sides.
        QImage thumb(8, 12, QImage::Format_RGB32);
        thumb.fill(Qt::white);
        for (int y = 0; y < 12; ++y) {
            for (int x = 2; x < 6; ++x)
                thumb.setPixel(x, y, qRgb(255, 0, 0));
        }
        CBitmap thumbBitmap;
        thumbBitmap.FromImage(thumb);
        CBitmap dragged;
        dragged.FromImage(thumb);
        slider.SetThumbBitmaps(thumbBitmap.Detach(), dragged.Detach());
        slider.DisableFocusRect();
        slider.SetRange(max);
        slider.SetPageSize(page);
        slider.SetPos(pos);
        parent.ShowWindow(SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));
        log.clear();
    }

    // (message, position) of what the parent received, after the posts arrived.
    std::vector<std::pair<std::string, LPARAM>> Posts() {
        DrainPostedEvents();
        std::vector<std::pair<std::string, LPARAM>> out;
        for (const SeenMessage& m : log) {
            if (m.who != "parent" || m.wParam != kId)
                continue;
            if (m.message == WM_SLIDER_DRAGGING)
                out.push_back({"drag", m.lParam});
            if (m.message == WM_SLIDER_RELEASED)
                out.push_back({"release", m.lParam});
        }
        log.clear();
        return out;
    }
    QWidget* W() { return slider.GetWidget(); }

    std::vector<SeenMessage> log;
    RecordingWnd parent{"parent", &log};
    CBitmapSlider slider;
};
using Posted = std::vector<std::pair<std::string, LPARAM>>;

TEST_F(SliderTest, PositionsAndPixelsConvertBothWays) {
    Make(576, 1000, 100, 0);
    EXPECT_EQ(W()->size(), QSize(576, 12));
    EXPECT_EQ(slider.Pos2Pixel(0), 4);
    EXPECT_EQ(slider.Pos2Pixel(1000), 572);
    EXPECT_EQ(slider.Pixel2Pos(300), 521);
    EXPECT_EQ(slider.Pixel2Pos(4), 0);
    slider.SetPos(2000);
    EXPECT_EQ(slider.m_nPos, 1000);
    slider.SetPos(-5);
    EXPECT_EQ(slider.m_nPos, 0);
}

TEST_F(SliderTest, PressBesideTheThumbCentresItAndDragsStopAtTheEnds) {
    Make(576, 1000, 100, 0);
    QTest::mousePress(W(), Qt::LeftButton, {}, QPoint(300, 6));
    EXPECT_EQ(slider.m_nPos, 521);
    EXPECT_EQ(Posts(), (Posted{{"drag", 521}}));
    QTest::mouseMove(W(), QPoint(900, 6));
    EXPECT_EQ(slider.m_nPos, 1000);
    QTest::mouseMove(W(), QPoint(-300, 6));
    EXPECT_EQ(slider.m_nPos, 0);
    QTest::mouseRelease(W(), Qt::LeftButton, {}, QPoint(-300, 6));
    EXPECT_EQ(Posts(), (Posted{{"drag", 1000}, {"drag", 0}, {"release", 0}}));
    EXPECT_EQ(slider.m_bLButtonDown, 0);
}

TEST_F(SliderTest, PressOnTheThumbKeepsTheGripAndPostsOnlyTheRelease) {
    Make(576, 1000, 100, 500);
    int centre = slider.Pos2Pixel(500);
    QTest::mousePress(W(), Qt::LeftButton, {}, QPoint(centre + 3, 6));
    QTest::mouseRelease(W(), Qt::LeftButton, {}, QPoint(centre + 3, 6));
    EXPECT_EQ(slider.m_nPos, 500);
    EXPECT_EQ(Posts(), (Posted{{"release", 500}}));
}

TEST_F(SliderTest, KeysMoveByOnePageOrToTheEnds) {
    Make(59, 50, 5, 40);
    struct Key {
        Qt::Key key;
        int start;
        int expected;
    };
    const Key keys[] = {{Qt::Key_Home, 40, 0},   {Qt::Key_End, 3, 50},  {Qt::Key_PageDown, 48, 50},
                        {Qt::Key_PageUp, 7, 2},  {Qt::Key_Left, 10, 9}, {Qt::Key_Up, 0, 0},
                        {Qt::Key_Right, 10, 11}, {Qt::Key_Down, 50, 50}};
    for (const Key& k : keys) {
        slider.SetPos(k.start);
        QTest::keyClick(W(), k.key);
        EXPECT_EQ(slider.m_nPos, k.expected) << k.key;
        EXPECT_EQ(Posts(), (Posted{{"release", k.expected}})) << k.key;
    }
    QTest::keyClick(W(), Qt::Key_A);
    EXPECT_TRUE(Posts().empty());
}

TEST_F(SliderTest, ActivePictureLeftOfTheThumbAndTheThumbsWhiteIsTransparent) {
    Make(200, 100, 10, 50);
    QImage shot = W()->grab().toImage();
    int centre = slider.Pos2Pixel(50);
    EXPECT_EQ(QColor(shot.pixel(20, 6)), QColor(Qt::yellow));
    EXPECT_EQ(QColor(shot.pixel(180, 6)), QColor(Qt::gray));
    EXPECT_EQ(QColor(shot.pixel(centre, 6)), QColor(255, 0, 0));
    // The thumb's white sides let the channel through.
    EXPECT_EQ(QColor(shot.pixel(centre - 4, 6)), QColor(Qt::yellow));
    EXPECT_EQ(QColor(shot.pixel(centre + 3, 6)), QColor(Qt::gray));
}

}  // namespace
