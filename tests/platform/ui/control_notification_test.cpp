// Standard controls tell their parent only what the user did: the program's own changes are silent.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTabBar>
#include <QTest>

#include "platform/ui/button.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/list_ctrl.h"
#include "platform/ui/tab_ctrl.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

class Parent : public CWnd {
public:
    std::vector<std::pair<UINT, UINT>> commands;  // (id, code)
    std::vector<std::pair<UINT, UINT>> notes;     // (id, code)
    std::function<LRESULT(NMHDR*)> onNotify;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        return TRUE;
    }
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code != NM_CUSTOMDRAW)
            notes.push_back({static_cast<UINT>(hdr->idFrom), hdr->code});
        if (onNotify)
            *result = onNotify(hdr);
        return TRUE;
    }
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.Attach(new QWidget, nullptr, 0, 0));
        parent.GetWidget()->resize(400, 300);
        parent.ShowWindow(SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));
    }
    Parent parent;
};

TEST_F(ControlTest, ComboAndCheckBoxNotifyOnlyOnUserAction) {
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, RECT{0, 0, 100, 20}, &parent, 11));
    combo.AddString("a");
    combo.AddString("b");
    combo.SetCurSel(0);
    CButton check;
    ASSERT_TRUE(check.Create("c", WS_VISIBLE | BS_AUTOCHECKBOX, RECT{0, 30, 100, 50}, &parent, 12));
    check.SetCheck(BST_CHECKED);
    EXPECT_TRUE(parent.commands.empty());

    QTest::keyClick(combo.GetWidget(), Qt::Key_Down);
    EXPECT_EQ(combo.GetCurSel(), 1);
    QTest::mouseClick(check.GetWidget(), Qt::LeftButton, {}, QPoint(6, check.GetWidget()->height() / 2));
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(parent.commands, (std::vector<std::pair<UINT, UINT>>{{11, CBN_SELCHANGE}, {12, BN_CLICKED}}));
}

TEST_F(ControlTest, TabChangeNotifiesOnlyWhenTheUserPicksATab) {
    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_VISIBLE, RECT{0, 0, 300, 30}, &parent, 21));
    tabs.InsertItem(0, "one");
    tabs.InsertItem(1, "two");
    tabs.SetCurSel(1);
    tabs.SetCurSel(0);
    EXPECT_TRUE(parent.notes.empty());
    auto* bar = qobject_cast<QTabBar*>(tabs.GetWidget());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_EQ(parent.notes, (std::vector<std::pair<UINT, UINT>>{{21, TCN_SELCHANGING}, {21, TCN_SELCHANGE}}));
}

TEST_F(ControlTest, ListViewReportsCheckChangesAndTakesCellColours) {
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT, RECT{0, 0, 300, 200}, &parent, 31));
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, "A", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "B", LVCFMT_LEFT, 100);
    EXPECT_EQ(list.InsertItem(0, "row0"), 0);
    EXPECT_EQ(list.InsertItem(1, "row1"), 1);
    list.SetItemText(1, 1, "cell");
    EXPECT_EQ(list.GetItemText(1, 1), "cell");
    EXPECT_EQ(list.GetCheck(0), FALSE);
    EXPECT_EQ(list.GetCheck(5), -1);

    list.SetCheck(1, TRUE);
    EXPECT_EQ(list.GetCheck(1), TRUE);
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].second, LVN_ITEMCHANGED);

    std::vector<int> colouredCells;
    parent.onNotify = [&](NMHDR* hdr) -> LRESULT {
        if (hdr->code != NM_CUSTOMDRAW)
            return 0;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
            return CDRF_NOTIFYSUBITEMDRAW;
        if (cd->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
            colouredCells.push_back(static_cast<int>(cd->nmcd.dwItemSpec) * 10 + cd->iSubItem);
            cd->clrTextBk = RGB(255, 0, 0);
        }
        return CDRF_DODEFAULT;
    };
    QImage shot = list.GetWidget()->grab().toImage();
    EXPECT_NE(std::find(colouredCells.begin(), colouredCells.end(), 11), colouredCells.end());
    RECT cell;
    ASSERT_TRUE(list.GetSubItemRect(0, 1, LVIR_BOUNDS, &cell));
    QPoint inCell = list.GetPaintWidget()->mapTo(list.GetWidget(), QPoint(cell.left + 5, cell.top + 3));
    EXPECT_EQ(QColor(shot.pixel(inCell)), QColor(255, 0, 0));
}

}  // namespace

namespace {

// A header subclassed by another object, as a check-all list does.
class CountingHeader : public CHeaderCtrl {
public:
    std::vector<int> clicks;

protected:
    BOOL OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) override {
        auto* nm = reinterpret_cast<NMHEADER*>(lParam);
        if (message != WM_NOTIFY || nm->hdr.code != HDN_ITEMCLICK)
            return FALSE;
        clicks.push_back(nm->iItem);
        *pResult = 0;
        return TRUE;
    }
};

TEST_F(ControlTest, SubclassedHeaderHearsClicksOnItsItems) {
    // The list itself is taken over by another object first, as binding a dialog's control does; the
    // header must still find it as its parent.
    CListCtrl made;
    ASSERT_TRUE(made.Create(WS_VISIBLE | LVS_REPORT, RECT{0, 0, 300, 200}, &parent, 41));
    HWND handle = made.m_hWnd;
    CListCtrl list;
    made.MoveWindowTo(list);
    EXPECT_EQ(list.m_hWnd, handle);
    EXPECT_EQ(CWnd::FromHandle(handle), &list);
    list.InsertColumn(0, "Channels", LVCFMT_LEFT, 120);
    list.InsertColumn(1, "Name", LVCFMT_LEFT, 120);
    CountingHeader header;
    ASSERT_TRUE(header.SubclassWindow(list.GetHeaderCtrl()->m_hWnd));
    EXPECT_EQ(list.GetHeaderCtrl(), &header);
    CImageList images;
    images.Create(13, 13, ILC_COLOR32, 3, 3);
    QImage box(13, 13, QImage::Format_RGB32);
    box.fill(Qt::gray);
    images.Add(box);
    images.Add(box);
    header.SetImageList(&images);
    EXPECT_TRUE(header.SetItemImage(0, 1));
    EXPECT_EQ(header.GetItemImage(0), 1);
    // The heading row's mouse input arrives on its viewport, as on the screen.
    QWidget* headings = header.GetPaintWidget();
    QTest::mouseClick(headings, Qt::LeftButton, {}, QPoint(180, headings->height() / 2));
    EXPECT_EQ(header.clicks, std::vector<int>{1});
}

}  // namespace
