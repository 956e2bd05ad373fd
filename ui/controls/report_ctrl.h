#pragma once

// CReportCtrl: the list of the client's tables (the camera page's preset table, the playback dialog's
// day-record grid). On top of the list view it gives every cell a text and a background colour, turns a
// click that changes a row's check box into WM_REPORT_CHECKBOX to the parent, edits any cell in place
// (a second click on the selected row, Tab/Return/Escape/Up/Down while editing; WM_REPORT_EDITED when
// the text changed), and sorts the rows by a column when its heading is clicked (WM_REPORT_SORTED),
// ordering hex numbers, numbers, dates and texts each by their own rule (ui/controls/report_compare.h).
//
// Each row carries a ReportRowData record owned by the control: the caller's data word and the cell
// colours. The record travels with its row when the rows are sorted, so colours stay with their cells;
// callers find a row again after a sort by its data word (FindItemByData), never by its old index.

#include <memory>
#include <vector>

#include "platform/ui/edit.h"
#include "platform/ui/list_ctrl.h"

struct ReportRowData {
    uintptr_t userData = 0;
    std::vector<COLORREF> textColours;
    std::vector<COLORREF> backColours;
};

// Row-state word: bit pairs describing a row's selection, check box and focus.
constexpr UINT RC_ITEM_ALL = 0x01;
constexpr UINT RC_ITEM_SELECTED = 0x02;
constexpr UINT RC_ITEM_UNSELECTED = 0x04;
constexpr UINT RC_ITEM_CHECKED = 0x08;
constexpr UINT RC_ITEM_UNCHECKED = 0x10;
constexpr UINT RC_ITEM_FOCUSED = 0x20;
constexpr UINT RC_ITEM_UNFOCUSED = 0x40;

class CReportCtrl : public CListCtrl {
public:
    CReportCtrl();
    ~CReportCtrl() override;

    BOOL Create(DWORD style, const RECT* rect, CWnd* parent, UINT nID);
    DWORD SetExtendedStyle(DWORD exStyle);

    int InsertColumn(int index, const QString& heading, int format = LVCFMT_LEFT, int width = -1);
    BOOL DeleteColumn(int index);
    BOOL DeleteAllColumns();
    int GetColumnCount() const { return CListCtrl::GetColumnCount(); }
    int InsertItem(int index, const QString& text);
    int InsertItem(int index, const QString& text, int image);
    BOOL SetItemText(int item, int subItem, const QString& text);
    int DeleteAllItems();
    // The caller's data word of a row (kept in the row's record, not in the list's own item data).
    BOOL SetItemData(int item, uintptr_t data);
    uintptr_t GetItemData(int item) const;
    // The row that carries the data word now (the first such row), -1 when none.
    int FindItemByData(uintptr_t data) const;
    // row -1: every row; column -1: every column.
    void SetItemBkColor(int item, int subItem, COLORREF colour);
    // The colours a cell is drawn in (CLR_DEFAULT without the cell).
    COLORREF GetItemBkColor(int item, int subItem) const;
    COLORREF GetItemTextColor(int item, int subItem) const;
    void EnableEdit() { m_bEditEnabled = TRUE; }

    void SortItems(int column, BOOL ascending);
    int GetSortColumn() const { return m_nSortColumn; }
    BOOL IsSortAscending() const { return m_bSortAscending; }

    // Opens the editor on a cell: 1 when it is open there, 0 when refused.
    [[nodiscard]] int BeginCellEdit(int item, int subItem);
    // Closes the editor, writing its text when commit is set and the text differs: 1 when written.
    int EndCellEdit(BOOL commit);
    BOOL IsEditing() const;
    int GetEditRow() const { return m_nEditRow; }
    int GetEditColumn() const { return m_nEditColumn; }
    CEdit* GetEditor() { return m_pEditor.get(); }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void TakeOverState(const CWnd& from) override;
    int OnCreate() override;
    void OnDestroy() override;

private:
    ReportRowData* RowData(int item) const;
    // The row-state word of a row, and whether a row matches a filter of such bits.
    UINT GetRowState(int item) const;
    BOOL RowMatches(int item, UINT filter) const;
    void ApplyRowState(int item, UINT state);
    void UnselectAllRows();
    void SelectRow(int item);
    void ResetSort();
    void HandleMouseClick(UINT message, BOOL leftButton, POINT point);
    // The list's own answer to a press: selection, focus, and the check box under a left press.
    void DefaultPress(UINT message, const LVHITTESTINFO& hit);
    int OnCheckBoxClick(int item, UINT message, BOOL wasChecked, BOOL isChecked);
    void OnColumnClick(int column);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const;
    void QuickSort(std::vector<int>& rows, int low, int high, const std::vector<QString>& texts,
                   BOOL ascending) const;
    // Adds (insert) or removes the colour entry of a column in every row's record.
    void ApplyColourEntries(int column, bool insert);

    std::unique_ptr<CEdit> m_pEditor;
    std::vector<std::unique_ptr<ReportRowData>> m_records;
    BOOL m_bEditEnabled = FALSE;
    int m_nEditRow = -1;
    int m_nEditColumn = -1;
    DWORD m_editAlign = ES_LEFT;
    int m_nSortColumn = -1;
    BOOL m_bSortAscending = TRUE;
};
