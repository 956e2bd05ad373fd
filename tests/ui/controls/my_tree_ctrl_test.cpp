// The device tree control: the item under the mouse is selected before the parent hears the click, and
// the items are painted over the tiled background.

#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>

#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/my_tree_ctrl.h"

namespace {

constexpr UINT kTree = 1005;

class TreeParent : public CWnd {
public:
    CMyTreeCtrl* tree = nullptr;
    std::vector<std::pair<UINT, HTREEITEM>> heard;  // (code, selected item at that moment)

protected:
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT*) override {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code == NM_CLICK || hdr->code == NM_RCLICK || hdr->code == NM_DBLCLK)
            heard.push_back({hdr->code, tree->GetSelectedItem()});
        return TRUE;
    }
};

class TreeTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(parent.Attach(new QWidget, nullptr, 0, 0));
        parent.GetWidget()->resize(300, 300);
        parent.tree = &tree;
        ASSERT_TRUE(
            tree.Create(WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, RECT{0, 0, 200, 250}, &parent, kTree));
        area = tree.InsertItem("Area");
        dvr = tree.InsertItem("DVR", area);
        tree.SetItemData(dvr, 0x1234);
        tree.Expand(area, TVE_EXPAND);
        parent.ShowWindow(SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));
    }
    QPoint Centre(HTREEITEM item) {
        RECT r;
        tree.GetItemRect(item, &r, TRUE);
        return QPoint(r.left + 20, (r.top + r.bottom) / 2);
    }
    QWidget* Viewport() { return tree.GetPaintWidget(); }

    TreeParent parent;
    CMyTreeCtrl tree;
    HTREEITEM area = nullptr;
    HTREEITEM dvr = nullptr;
};

TEST_F(TreeTest, ClickedItemIsSelectedBeforeTheParentHearsTheClick) {
    EXPECT_EQ(tree.GetItemData(dvr), 0x1234u);
    QTest::mouseClick(Viewport(), Qt::RightButton, {}, Centre(dvr));
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(area));
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(100, 230));  // empty space
    ASSERT_EQ(parent.heard.size(), 3u);
    EXPECT_EQ(parent.heard[0], (std::pair<UINT, HTREEITEM>{NM_RCLICK, dvr}));
    EXPECT_EQ(parent.heard[1], (std::pair<UINT, HTREEITEM>{NM_CLICK, area}));
    EXPECT_EQ(parent.heard[2], (std::pair<UINT, HTREEITEM>{NM_CLICK, nullptr}));
}

TEST_F(TreeTest, ItemsArePaintedOverTheTiledBackground) {
    // A 2 x 2 checker of two colours, tiled.
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.setPixel(0, 0, qRgb(0, 90, 0));
    tile.setPixel(1, 1, qRgb(0, 90, 0));
    tile.setPixel(1, 0, qRgb(0, 0, 90));
    tile.setPixel(0, 1, qRgb(0, 0, 90));
    ASSERT_TRUE(tree.LoadBackgroundImage(tile));
    QImage shot = Viewport()->grab().toImage();
    // Empty space shows the tiles, aligned to the control's origin.
    EXPECT_EQ(QColor(shot.pixel(150, 200)), QColor(0, 90, 0));
    EXPECT_EQ(QColor(shot.pixel(151, 200)), QColor(0, 0, 90));
    // Item text keeps its dark pixels.
    RECT r;
    tree.GetItemRect(area, &r, TRUE);
    bool textFound = false;
    for (int y = r.top; y < r.bottom && !textFound; ++y) {
        for (int x = r.left; x < r.right && !textFound; ++x) {
            QColor c(shot.pixel(x, y));
            textFound = c.red() < 60 && c.green() < 60 && c.blue() < 60 && c != QColor(0, 0, 90);
        }
    }
    EXPECT_TRUE(textFound);
}

// Only the item area is the control's own painting: the frame around it draws itself, so painting the
// whole control paints the items once, on the item area, and Qt has nothing to warn about.
TEST_F(TreeTest, FrameAroundTheItemsPaintsItself) {
    static QStringList warnings;
    warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    ASSERT_TRUE(tree.LoadBackground());
    QImage whole = tree.GetWidget()->grab().toImage();
    qInstallMessageHandler(previous);
    EXPECT_FALSE(whole.isNull());
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

}  // namespace
