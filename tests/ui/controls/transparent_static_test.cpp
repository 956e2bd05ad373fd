// The transparent static and the skin-tab: text straight on the parent's skin, and a shorter text leaves
// nothing of a longer one behind.

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QPainter>
#include <QTest>

#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/tab_ctrl_ex.h"
#include "ui/controls/transparent_static.h"

namespace {

constexpr QRgb kSkin = 0xFF204060;

class SkinParent : public CWnd {
public:
    int paints = 0;

protected:
    void OnPaint() override {
        ++paints;
        QPainter painter(GetPaintWidget());
        painter.fillRect(GetPaintWidget()->rect(), QColor(kSkin));
    }
};

TEST(TransparentStatic, ShorterTextLeavesNoTraceOfTheLongerOne) {
    SkinParent parent;
    ASSERT_TRUE(parent.Attach(new QWidget, nullptr, 0, 0));
    parent.GetWidget()->resize(300, 100);
    CTransparentStatic text;
    ASSERT_TRUE(text.Create("", WS_VISIBLE | SS_LEFT, RECT{10, 10, 200, 40}, &parent, 1129));
    text.GetWidget()->setStyleSheet("color: white; font-size: 20px;");
    parent.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));

    text.SetWindowText("00:00:00 WWWWWW");
    QImage longText = parent.GetWidget()->grab().toImage();
    auto lightPixelsRightOf = [](const QImage& image, int x0) {
        int n = 0;
        for (int y = 10; y < 40; ++y) {
            for (int x = x0; x < 200; ++x)
                n += qRed(image.pixel(x, y)) > 150 ? 1 : 0;
        }
        return n;
    };
    ASSERT_GT(lightPixelsRightOf(longText, 60), 0);
    text.SetWindowText("1");
    QImage shortText = parent.GetWidget()->grab().toImage();
    EXPECT_EQ(lightPixelsRightOf(shortText, 60), 0);
    // The control draws no background: the skin shows around the text.
    EXPECT_EQ(shortText.pixel(150, 25), kSkin);

    // The same text again repaints the parent's area again.
    int before = parent.paints;
    text.SetWindowText("1");
    EXPECT_GT(parent.paints, before);
}

// Records the areas of the parent that are painted.
class PaintRegions : public QObject {
public:
    std::vector<QRegion> regions;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
};

TEST(TransparentStatic, NewTextRepaintsOnlyTheParentsAreaUnderIt) {
    SkinParent parent;
    ASSERT_TRUE(parent.Attach(new QWidget, nullptr, 0, 0));
    parent.GetWidget()->resize(300, 100);
    CTransparentStatic text;
    ASSERT_TRUE(text.Create("", WS_VISIBLE | SS_LEFT, RECT{10, 10, 120, 30}, &parent, 1129));
    parent.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));
    DrainPostedEvents();
    PaintRegions seen;
    parent.GetWidget()->installEventFilter(&seen);
    for (const char* value : {"00:01:02", "00:01:03", "00:01:03"}) {
        seen.regions.clear();
        text.SetWindowText(value);
        // Painted at once, and only under the control.
        ASSERT_FALSE(seen.regions.empty()) << value;
        for (const QRegion& region : seen.regions)
            EXPECT_TRUE(QRect(10, 10, 110, 20).contains(region.boundingRect()))
                << value << " painted " << region.boundingRect().width() << "x"
                << region.boundingRect().height();
    }
    parent.GetWidget()->removeEventFilter(&seen);
}

TEST(TabCtrlEx, SkinShowsAroundTheTabs) {
    SkinParent parent;
    ASSERT_TRUE(parent.Attach(new QWidget, nullptr, 0, 0));
    parent.GetWidget()->resize(300, 100);
    CTabCtrlEx tabs;
    ASSERT_TRUE(tabs.Create(WS_VISIBLE, RECT{0, 0, 300, 40}, &parent, 1119));
    tabs.InsertItem(0, "Time");
    parent.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));
    QImage shot = parent.GetWidget()->grab().toImage();
    EXPECT_EQ(shot.pixel(290, 20), kSkin);
}

}  // namespace
