// The check-box list and its heading box: a heading click sets every row, the box follows the rows
// (ticked exactly when no row is unchecked), only heading 0 counts, and the list's own change reports
// stay with the list.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/check_list_ctrl.h"

namespace {

class CheckListTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateTest(nullptr, 0));
        parent.GetWidget()->resize(300, 200);
        ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT, RECT{0, 0, 300, 200}, &parent, 1134));
        list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        list.InsertColumn(0, "all", LVCFMT_LEFT, 120);
        list.InsertColumn(1, "other", LVCFMT_LEFT, 80);
    }
    void Rows(int n) {
        for (int i = 0; i < n; ++i)
            list.InsertItem(i, QString("row %1").arg(i));
    }
    void ClickHeading(int column) {
        auto* tree = qobject_cast<QTreeWidget*>(list.GetWidget());
        emit tree->header()->sectionClicked(column);
    }
    std::vector<int> Checks() {
        std::vector<int> out;
        for (int i = 0; i < list.GetItemCount(); ++i)
            out.push_back(list.GetCheck(i));
        return out;
    }

    std::vector<SeenMessage> log;
    RecordingWnd parent{"parent", &log};
    CCheckListCtrl list;
};

TEST_F(CheckListTest, HeadingBoxSetsRowsAndFollowsThem) {
    Rows(3);
    ASSERT_EQ(list.InitHeaderCheck(), 0);
    EXPECT_EQ(list.GetHeaderCheckImage(), CHECK_IMAGE_UNCHECKED);
    EXPECT_EQ(list.m_checkImages.GetImageCount(), 3);
    struct Step {
        const char* what;
        int heading;  // heading clicked, or -1
        int row;      // row whose box is set, or -1
        int check;
        std::vector<int> rows;
        int box;
    };
    const Step steps[] = {
        {"heading click checks all", 0, -1, 0, {1, 1, 1}, CHECK_IMAGE_CHECKED},
        {"one row unchecked clears the box", -1, 1, 0, {1, 0, 1}, CHECK_IMAGE_UNCHECKED},
        {"checked again ticks it", -1, 1, 1, {1, 1, 1}, CHECK_IMAGE_CHECKED},
        {"second heading click unchecks all", 0, -1, 0, {0, 0, 0}, CHECK_IMAGE_UNCHECKED},
        {"another heading does nothing", 1, -1, 0, {0, 0, 0}, CHECK_IMAGE_UNCHECKED},
        {"rows checked one by one", -1, 0, 1, {1, 0, 0}, CHECK_IMAGE_UNCHECKED},
        {"heading click from a partly checked list checks all", 0, -1, 0, {1, 1, 1}, CHECK_IMAGE_CHECKED},
    };
    for (const Step& s : steps) {
        if (s.heading >= 0)
            ClickHeading(s.heading);
        else
            list.SetCheck(s.row, s.check);
        EXPECT_EQ(Checks(), s.rows) << s.what;
        EXPECT_EQ(list.GetHeaderCheckImage(), s.box) << s.what;
    }
    // The rows' change reports are the list's own: the parent hears none of them.
    for (const SeenMessage& m : log)
        EXPECT_NE(m.message, WM_NOTIFY);
}

TEST_F(CheckListTest, EmptyListTicksTheBoxAndInitTwiceKeepsOneHeader) {
    ASSERT_EQ(list.InitHeaderCheck(), 0);
    ASSERT_EQ(list.InitHeaderCheck(), 0);
    EXPECT_EQ(list.GetHeaderCtrl(), &list.m_checkHead);
    // A selection change on no rows at all: every row (none) is checked.
    Rows(1);
    list.DeleteAllItems();
    list.InsertItem(0, "x");
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetHeaderCheckImage(), CHECK_IMAGE_UNCHECKED);
    list.DeleteAllItems();
    ClickHeading(0);
    EXPECT_EQ(list.GetHeaderCheckImage(), CHECK_IMAGE_CHECKED);
    ClickHeading(0);
    EXPECT_EQ(list.GetHeaderCheckImage(), CHECK_IMAGE_UNCHECKED);
}

TEST(CheckList, WithoutAListWindowThereIsNoHeadingBox) {
    CCheckListCtrl list;
    EXPECT_EQ(list.InitHeaderCheck(), -1);
    EXPECT_EQ(list.GetHeaderCheckImage(), -1);
}

}  // namespace
