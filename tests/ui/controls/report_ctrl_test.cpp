// The report list on a real list view: sorting by a column (colours, pictures, checks and selection stay
// with their rows, which callers find again by their data word), the heading-click order, cell colours
// through the custom-draw round, in-place editing with its keys, the check-box click and its
// notification.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

#include "core/window_messages.h"
#include "platform/ui/gdi_objects.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/report_ctrl.h"

namespace {

constexpr UINT kId = 1200;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class ReportCtrlTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateTest(nullptr, 0));
        parent.GetWidget()->resize(400, 300);
        RECT area{0, 0, 400, 300};
        ASSERT_TRUE(list.Create(0, &area, &parent, kId));
        parent.ShowWindow(SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));
    }

    // Rows of texts (one column per entry of the first row), data word = the row's first index.
    void Fill(const std::vector<std::vector<QString>>& rows) {
        for (size_t c = 0; c < rows[0].size(); ++c)
            ASSERT_EQ(list.InsertColumn(static_cast<int>(c), QString("C%1").arg(c), LVCFMT_LEFT, 80),
                      static_cast<int>(c));
        for (size_t r = 0; r < rows.size(); ++r) {
            int row = list.InsertItem(static_cast<int>(r), rows[r][0]);
            ASSERT_EQ(row, static_cast<int>(r));
            for (size_t c = 1; c < rows[r].size(); ++c)
                list.SetItemText(row, static_cast<int>(c), rows[r][c]);
            ASSERT_TRUE(list.SetItemData(row, 100 + r));
        }
        log.clear();
    }

    std::vector<QString> Column(int column) {
        std::vector<QString> out;
        for (int i = 0; i < list.GetItemCount(); ++i)
            out.push_back(list.GetItemText(i, column));
        return out;
    }

    std::vector<SeenMessage> Reports() const {
        std::vector<SeenMessage> out;
        for (const SeenMessage& m : log) {
            if (m.who == "parent" && (m.message == WM_REPORT_CHECKBOX || m.message == WM_REPORT_SORTED ||
                                      m.message == WM_REPORT_EDITED))
                out.push_back(m);
        }
        return out;
    }

    POINT CellCentre(int row, int column) {
        RECT cell;
        EXPECT_TRUE(list.GetSubItemRect(row, column, LVIR_LABEL, &cell));
        return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }

    // A point on the row's check box, found through the hit test.
    POINT CheckBoxPoint(int row) {
        RECT cell;
        EXPECT_TRUE(list.GetSubItemRect(row, 0, LVIR_BOUNDS, &cell));
        for (int x = cell.left; x < cell.right; ++x) {
            LVHITTESTINFO hit;
            hit.pt = POINT{x, (cell.top + cell.bottom) / 2};
            list.SubItemHitTest(&hit);
            if (hit.flags == LVHT_ONITEMSTATEICON && hit.iItem == row)
                return hit.pt;
        }
        ADD_FAILURE() << "no check box on row " << row;
        return POINT{0, 0};
    }

    void Click(POINT at) { QTest::mouseClick(list.GetPaintWidget(), Qt::LeftButton, {}, QPoint(at.x, at.y)); }

    BOOL Key(UINT vk) {
        MSG msg;
        msg.hwnd =
            list.GetEditor()->m_hWnd != nullptr && list.IsEditing() ? list.GetEditor()->m_hWnd : list.m_hWnd;
        msg.message = WM_KEYDOWN;
        msg.wParam = vk;
        return list.PreTranslateMessage(&msg);
    }

    void ClickHeading(int column) {
        auto* tree = qobject_cast<QTreeWidget*>(list.GetWidget());
        emit tree->header()->sectionClicked(column);
    }

    std::vector<SeenMessage> log;
    RecordingWnd parent{"parent", &log};
    CReportCtrl list;
};

TEST_F(ReportCtrlTest, SortsEachKindOfTextByItsRule) {
    struct Case {
        std::vector<QString> texts;
        std::vector<QString> ascending;
    };
    const Case cases[] = {
        {{"10", "9", "0A"}, {"9", "0A", "10"}},
        {{"1.5%", "3", "1.25%"}, {"1.25%", "1.5%", "3"}},
        {{"y", "Y", "x", "X"}, {"X", "Y", "x", "y"}},
        {{"2024-01-05", "12/31/2023", "2024-01-04 23:00"}, {"12/31/2023", "2024-01-04 23:00", "2024-01-05"}},
        {{"3", "1", "2", "5", "4", "1", "3"}, {"1", "1", "2", "3", "3", "4", "5"}},
    };
    for (const Case& c : cases) {
        list.DeleteAllItems();
        list.DeleteAllColumns();
        std::vector<std::vector<QString>> rows;
        for (const QString& t : c.texts)
            rows.push_back({t});
        Fill(rows);
        list.SortItems(0, TRUE);
        EXPECT_EQ(Column(0), c.ascending);
        list.SortItems(0, FALSE);
        std::vector<QString> descending(c.ascending.rbegin(), c.ascending.rend());
        EXPECT_EQ(Column(0), descending);
    }
}

TEST_F(ReportCtrlTest, RowsKeepTheirColoursChecksPicturesAndSelectionWhenSorted) {
    list.SetExtendedStyle(LVS_EX_CHECKBOXES);
    Fill({{"c", "x"}, {"a", "y"}, {"b", "z"}});
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32, 2, 0));
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::green);
    images.Add(picture);
    list.SetImageList(&images, LVSIL_SMALL);
    // Row "c" (data 100): red cell in column 1, checked, picture in column 1. Row "b" (data 102): selected.
    list.SetItemBkColor(0, 1, kRed);
    list.SetCheck(0, TRUE);
    list.SetItemImage(0, 1, 0);
    list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    log.clear();

    list.SortItems(0, TRUE);
    EXPECT_EQ(Column(0), (std::vector<QString>{"a", "b", "c"}));
    EXPECT_EQ(Column(1), (std::vector<QString>{"y", "z", "x"}));
    int c = list.FindItemByData(100);
    int b = list.FindItemByData(102);
    ASSERT_EQ(c, 2);
    ASSERT_EQ(b, 1);
    EXPECT_EQ(list.GetItemBkColor(c, 1), kRed);
    EXPECT_EQ(list.GetItemBkColor(c, 0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(list.GetItemBkColor(0, 1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(list.GetCheck(c), 1);
    EXPECT_EQ(list.GetCheck(0), 0);
    EXPECT_EQ(list.GetItemImage(c, 1), 0);
    EXPECT_EQ(list.GetItemImage(0, 1), -1);
    EXPECT_EQ(list.GetItemState(b, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), 0u);
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    // A later colouring by data word reaches the row that carries it.
    list.SetItemBkColor(list.FindItemByData(101), 0, kBlue);
    EXPECT_EQ(list.GetItemBkColor(0, 0), kBlue);

    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].message, WM_REPORT_SORTED);
    EXPECT_EQ(Reports()[0].wParam, 0u);
    EXPECT_EQ(Reports()[0].lParam, 1);
}

TEST_F(ReportCtrlTest, HeadingClicksSortAscendingThenDescendingUntilRowsChange) {
    Fill({{"2", "b"}, {"1", "c"}, {"3", "a"}});
    struct Step {
        int column;        // heading clicked; -1: insert a row; -2: edit a cell's text
        int sortedColumn;  // expected WM_REPORT_SORTED, -1 none
        LPARAM ascending;
    };
    const Step steps[] = {
        {1, 1, 1},   {1, 1, 0}, {1, 1, 1}, {0, 0, 1},   {0, 0, 0},
        {-1, -1, 0}, {0, 0, 1}, {0, 0, 0}, {-2, -1, 0}, {0, 0, 1},
    };
    for (const Step& s : steps) {
        log.clear();
        if (s.column == -1)
            list.InsertItem(0, "0");
        else if (s.column == -2)
            list.SetItemText(0, 1, "q");
        else
            ClickHeading(s.column);
        std::vector<SeenMessage> reports = Reports();
        if (s.sortedColumn < 0) {
            EXPECT_TRUE(reports.empty());
            EXPECT_EQ(list.GetSortColumn(), -1);
            continue;
        }
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].wParam, static_cast<WPARAM>(s.sortedColumn));
        EXPECT_EQ(reports[0].lParam, s.ascending);
    }
    EXPECT_EQ(Column(0), (std::vector<QString>{"0", "1", "2", "3"}));
}

TEST_F(ReportCtrlTest, CellColoursReachTheCustomDrawRoundAndFollowColumns) {
    Fill({{"a", "b", "c"}, {"d", "e", "f"}});
    struct Case {
        int row;
        int column;
        std::vector<COLORREF> expected;  // row-major background of all six cells
    };
    const COLORREF w = GetSysColor(COLOR_WINDOW);
    const Case cases[] = {
        {1, 2, {w, w, w, w, w, kRed}},        {-1, 1, {w, kRed, w, w, kRed, w}},
        {0, -1, {kRed, kRed, kRed, w, w, w}}, {-1, -1, {kRed, kRed, kRed, kRed, kRed, kRed}},
        {2, 0, {w, w, w, w, w, w}},  // no such row: nothing changes
        {0, 3, {w, w, w, w, w, w}},  // no such column
    };
    for (const Case& c : cases) {
        list.SetItemBkColor(-1, -1, w);
        list.SetItemBkColor(c.row, c.column, kRed);
        std::vector<COLORREF> seen;
        for (int r = 0; r < 2; ++r) {
            for (int col = 0; col < 3; ++col) {
                COLORREF text = CLR_DEFAULT;
                COLORREF back = CLR_DEFAULT;
                list.CustomDrawCell(r, col, RECT{0, 0, 1, 1}, &text, &back);
                EXPECT_EQ(text, GetSysColor(COLOR_WINDOWTEXT));
                seen.push_back(back);
            }
        }
        EXPECT_EQ(seen, c.expected) << c.row << "," << c.column;
    }
    // Inserting and deleting columns moves the colours with their cells.
    list.SetItemBkColor(-1, -1, w);
    list.SetItemBkColor(0, 1, kRed);
    ASSERT_EQ(list.InsertColumn(0, "new", LVCFMT_LEFT, 40), 0);
    EXPECT_EQ(list.GetItemBkColor(0, 2), kRed);
    EXPECT_EQ(list.GetItemBkColor(0, 0), w);
    EXPECT_EQ(list.GetItemBkColor(1, 3), w);
    ASSERT_TRUE(list.DeleteColumn(0));
    EXPECT_EQ(list.GetItemBkColor(0, 1), kRed);
    EXPECT_EQ(list.GetItemBkColor(0, 3), CLR_DEFAULT);
    EXPECT_EQ(list.DeleteAllItems(), 2);
    EXPECT_EQ(list.FindItemByData(100), -1);
}

TEST_F(ReportCtrlTest, SecondClickOnTheSelectedRowEditsTheClickedCell) {
    list.EnableEdit();
    Fill({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    Click(CellCentre(1, 1));
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), LVIS_SELECTED);
    Click(CellCentre(1, 1));
    ASSERT_TRUE(list.IsEditing());
    EXPECT_EQ(list.GetEditRow(), 1);
    EXPECT_EQ(list.GetEditColumn(), 1);
    EXPECT_EQ(list.GetEditor()->GetWindowText(), "2");
    EXPECT_TRUE(list.GetEditor()->IsWindowVisible());
    // A click on another row closes the edit and only selects.
    list.GetEditor()->SetWindowText("22");
    Click(CellCentre(0, 0));
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(list.GetItemText(1, 1), "22");
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 1u);
}

TEST_F(ReportCtrlTest, EditingKeysCommitDiscardAndMove) {
    list.EnableEdit();
    Fill({{"a", "1", "x"}, {"b", "2", "y"}});
    struct Case {
        int row;
        int column;
        const char* typed;  // nullptr: leave the text as it is
        UINT key;
        BOOL consumed;
        int editRow;  // where the edit is afterwards (-1 closed)
        int editColumn;
        const char* cell;  // the text of the edited cell afterwards
        bool edited;       // WM_REPORT_EDITED (row, column) sent
    };
    const Case cases[] = {
        {0, 1, "new", VK_RETURN, TRUE, -1, -1, "new", true},
        {0, 1, "other", VK_ESCAPE, TRUE, -1, -1, "new", false},
        {0, 1, nullptr, VK_RETURN, TRUE, -1, -1, "new", false},
        {0, 2, "t", VK_TAB, TRUE, 0, 0, "t", true},  // Tab after the last column: column 0
        {0, 0, nullptr, VK_TAB, TRUE, 0, 1, "a", false},
        {0, 1, nullptr, VK_DOWN, TRUE, 1, 1, "new", false},
        {1, 1, "down", VK_DOWN, FALSE, 1, 1, "2", false},  // last row: the key goes on, the edit stays
        {1, 2, "up", VK_UP, TRUE, 0, 2, "up", true},
        {0, 2, nullptr, VK_UP, FALSE, 0, 2, "t", false},  // row 0: the key goes on
    };
    for (const Case& c : cases) {
        list.EndCellEdit(FALSE);
        ASSERT_EQ(list.BeginCellEdit(c.row, c.column), 1);
        if (c.typed != nullptr)
            list.GetEditor()->SetWindowText(c.typed);
        log.clear();
        EXPECT_EQ(Key(c.key), c.consumed) << c.row << "," << c.column << " key " << c.key;
        EXPECT_EQ(list.IsEditing() ? list.GetEditRow() : -1, c.editRow);
        EXPECT_EQ(list.IsEditing() ? list.GetEditColumn() : -1, c.editColumn);
        EXPECT_EQ(list.GetItemText(c.row, c.column), c.cell);
        std::vector<SeenMessage> reports = Reports();
        ASSERT_EQ(reports.size(), c.edited ? 1u : 0u);
        if (c.edited) {
            EXPECT_EQ(reports[0].message, WM_REPORT_EDITED);
            EXPECT_EQ(reports[0].wParam, static_cast<WPARAM>(c.row));
            EXPECT_EQ(reports[0].lParam, c.column);
        }
    }
    list.EndCellEdit(FALSE);
    // Refused: editing off, no such cell.
    CReportCtrl plain;
    RECT area{0, 0, 100, 100};
    ASSERT_TRUE(plain.Create(0, &area, &parent, kId + 1));
    plain.InsertColumn(0, "c");
    plain.InsertItem(0, "a");
    EXPECT_EQ(plain.BeginCellEdit(0, 0), 0);
    EXPECT_EQ(list.BeginCellEdit(2, 0), 0);
    EXPECT_EQ(list.BeginCellEdit(0, 3), 0);
    EXPECT_EQ(list.BeginCellEdit(0, -1), 0);
    // An edit sorts nothing, and a committed change resets the sort order.
    list.SortItems(0, TRUE);
    ASSERT_EQ(list.BeginCellEdit(0, 1), 1);
    list.GetEditor()->SetWindowText("changed");
    EXPECT_EQ(list.EndCellEdit(TRUE), 1);
    EXPECT_EQ(list.GetSortColumn(), -1);
}

TEST_F(ReportCtrlTest, CheckBoxClickTellsTheParentAndNeverOpensTheEditor) {
    list.EnableEdit();
    list.SetExtendedStyle(LVS_EX_CHECKBOXES);
    Fill({{"a", "1"}, {"b", "2"}});
    // Row 1 selected and focused first: a click on its check box toggles it and does not edit.
    Click(CellCentre(1, 1));
    log.clear();
    Click(CheckBoxPoint(1));
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_FALSE(list.IsEditing());
    std::vector<SeenMessage> reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].message, WM_REPORT_CHECKBOX);
    EXPECT_EQ(reports[0].wParam, 1u);
    EXPECT_EQ(reports[0].lParam, static_cast<LPARAM>(WM_LBUTTONDOWN));

    // A check-box click on another row selects that row alone.
    log.clear();
    Click(CheckBoxPoint(0));
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    ASSERT_EQ(Reports().size(), 1u);

    // A click beside the box changes nothing; the space bar never toggles.
    log.clear();
    Click(CellCentre(1, 1));
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_EQ(list.GetCheck(1), 1);
    QTest::keyClick(list.GetWidget(), Qt::Key_Space);
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(ReportCtrlTest, CellColoursAreDrawnAndTheEditorSitsOnItsCell) {
    list.EnableEdit();
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES);
    Fill({{"Preset 1", "10"}, {"Preset 2", "20"}, {"Preset 3", "30"}});
    list.SetCheck(1, TRUE);
    list.SetItemBkColor(2, 1, kRed);
    list.SetItemBkColor(0, 0, kBlue);
    ASSERT_EQ(list.BeginCellEdit(1, 1), 1);
    DrainPostedEvents();
    QImage shot = list.GetWidget()->grab().toImage();
    EXPECT_TRUE(shot.save(PicturePath("report_ctrl.png")));
    // The red cell, read in the list's own picture (viewport offset added).
    QPoint offset = list.GetPaintWidget()->mapTo(list.GetWidget(), QPoint(0, 0));
    RECT red;
    ASSERT_TRUE(list.GetSubItemRect(2, 1, LVIR_BOUNDS, &red));
    EXPECT_EQ(shot.pixel(offset + QPoint(red.right - 4, red.top + 3)), qRgb(255, 0, 0));
    // The edited row is selected, and with grid lines its highlight is still drawn.
    RECT selected;
    ASSERT_TRUE(list.GetSubItemRect(1, 0, LVIR_BOUNDS, &selected));
    EXPECT_NE(shot.pixel(offset + QPoint(selected.right - 4, selected.top + 3)), qRgb(255, 255, 255));
    RECT edited;
    ASSERT_TRUE(list.GetSubItemRect(1, 1, LVIR_LABEL, &edited));
    EXPECT_EQ(list.GetEditor()->GetWidget()->geometry(),
              QRect(edited.left, edited.top, edited.right - edited.left, edited.bottom - edited.top));
}

TEST_F(ReportCtrlTest, StyleIsAlwaysReportWithFullRowSelect) {
    EXPECT_EQ(list.GetExtendedStyle() & 0x22u, 0x22u);
    list.SetExtendedStyle(LVS_EX_GRIDLINES);
    EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_GRIDLINES | 0x22u);
    EXPECT_EQ(list.GetStyle() & 0x2202u, 0u);
    EXPECT_EQ(list.GetStyle() & 0x50300001u, 0x50300001u);
}

}  // namespace
