#include "ui/controls/report_ctrl.h"

#include <QWidget>
#include <utility>

#include "core/window_messages.h"
#include "platform/ui/gdi_objects.h"
#include "ui/controls/report_compare.h"

namespace {

// Report view, child, visible, both scroll bars; never small icons, label editing or "no scroll".
constexpr DWORD kStyleRemoved = LVS_SMALLICON | LVS_EDITLABELS | LVS_NOSCROLL;
constexpr DWORD kStyleAdded = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LVS_REPORT;
constexpr DWORD kExStyleAlways = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;
// Where an editor opened over a cell that shows a picture starts, right of the picture.
constexpr int kCellImageWidth = 16;

DWORD ReportStyle(DWORD style) {
    return (style & ~kStyleRemoved) | kStyleAdded;
}

}  // namespace

CReportCtrl::CReportCtrl() : m_pEditor(std::make_unique<CEdit>()) {
    // A click toggles a check box only through HandleMouseClick, which tells the parent about it.
    SetUserCheckable(FALSE);
}

CReportCtrl::~CReportCtrl() = default;

BOOL CReportCtrl::Create(DWORD style, const RECT* rect, CWnd* parent, UINT nID) {
    RECT area{0, 0, 0, 0};
    if (rect != nullptr)
        area = *rect;
    else if (parent != nullptr)
        parent->GetClientRect(&area);
    return CListCtrl::Create(ReportStyle(style), area, parent, nID);
}

int CReportCtrl::OnCreate() {
    ModifyStyle(kStyleRemoved, kStyleAdded);
    CListCtrl::SetExtendedStyle(GetExtendedStyle() | kExStyleAlways);
    return CListCtrl::OnCreate();
}

void CReportCtrl::TakeOverState(const CWnd& from) {
    CListCtrl::TakeOverState(from);
    ModifyStyle(kStyleRemoved, kStyleAdded);
    CListCtrl::SetExtendedStyle(kExStyleAlways);
}

DWORD CReportCtrl::SetExtendedStyle(DWORD exStyle) {
    return CListCtrl::SetExtendedStyle(exStyle | kExStyleAlways);
}

ReportRowData* CReportCtrl::RowData(int item) const {
    if (item < 0 || item >= GetItemCount())
        return nullptr;
    return reinterpret_cast<ReportRowData*>(CListCtrl::GetItemData(item));
}

// ---- columns and rows

void CReportCtrl::ApplyColourEntries(int column, bool insert) {
    for (int i = 0; i < GetItemCount(); ++i) {
        ReportRowData* data = RowData(i);
        if (data == nullptr)
            continue;
        auto at = static_cast<size_t>(column);
        if (insert) {
            data->textColours.insert(data->textColours.begin() + static_cast<long>(at),
                                     GetSysColor(COLOR_WINDOWTEXT));
            data->backColours.insert(data->backColours.begin() + static_cast<long>(at),
                                     GetSysColor(COLOR_WINDOW));
        } else if (at < data->textColours.size()) {
            data->textColours.erase(data->textColours.begin() + static_cast<long>(at));
            data->backColours.erase(data->backColours.begin() + static_cast<long>(at));
        }
    }
}

int CReportCtrl::InsertColumn(int index, const QString& heading, int format, int width) {
    EndCellEdit(TRUE);
    int column = CListCtrl::InsertColumn(index, heading, format, width);
    if (column >= 0)
        ApplyColourEntries(column, true);
    return column;
}

BOOL CReportCtrl::DeleteColumn(int index) {
    EndCellEdit(TRUE);
    if (!CListCtrl::DeleteColumn(index))
        return FALSE;
    ApplyColourEntries(index, false);
    return TRUE;
}

BOOL CReportCtrl::DeleteAllColumns() {
    // Bounded by the count taken at the start: each pass removes one column.
    for (int n = GetColumnCount(); n > 0 && GetColumnCount() > 0; --n) {
        if (!DeleteColumn(0))
            break;
    }
    return TRUE;
}

int CReportCtrl::InsertItem(int index, const QString& text) {
    return InsertItem(index, text, -1);
}

int CReportCtrl::InsertItem(int index, const QString& text, int image) {
    EndCellEdit(TRUE);
    ResetSort();
    int row = CListCtrl::InsertItem(index, text, image);
    if (row < 0)
        return -1;
    auto data = std::make_unique<ReportRowData>();
    auto columns = static_cast<size_t>(GetColumnCount());
    data->textColours.assign(columns, GetSysColor(COLOR_WINDOWTEXT));
    data->backColours.assign(columns, GetSysColor(COLOR_WINDOW));
    CListCtrl::SetItemData(row, reinterpret_cast<uintptr_t>(data.get()));
    m_records.push_back(std::move(data));
    return row;
}

BOOL CReportCtrl::SetItemText(int item, int subItem, const QString& text) {
    EndCellEdit(TRUE);
    ResetSort();
    return CListCtrl::SetItemText(item, subItem, text);
}

int CReportCtrl::DeleteAllItems() {
    EndCellEdit(FALSE);
    int count = GetItemCount();
    BOOL locked = LockWindowUpdate();
    for (int i = 0; i < count; ++i)
        CListCtrl::SetItemData(i, 0);
    CListCtrl::DeleteAllItems();
    m_records.clear();
    if (locked)
        UnlockWindowUpdate();
    return count;
}

BOOL CReportCtrl::SetItemData(int item, uintptr_t data) {
    ReportRowData* record = RowData(item);
    if (record == nullptr)
        return FALSE;
    record->userData = data;
    return TRUE;
}

uintptr_t CReportCtrl::GetItemData(int item) const {
    ReportRowData* record = RowData(item);
    return record == nullptr ? 0 : record->userData;
}

int CReportCtrl::FindItemByData(uintptr_t data) const {
    for (int i = 0; i < GetItemCount(); ++i) {
        ReportRowData* record = RowData(i);
        if (record != nullptr && record->userData == data)
            return i;
    }
    return -1;
}

// ---- colours

void CReportCtrl::SetItemBkColor(int item, int subItem, COLORREF colour) {
    int rows = GetItemCount();
    int columns = GetColumnCount();
    if (item >= rows || subItem >= columns)
        return;
    for (int r = item < 0 ? 0 : item; r < (item < 0 ? rows : item + 1); ++r) {
        ReportRowData* record = RowData(r);
        if (record == nullptr)
            continue;
        for (int c = subItem < 0 ? 0 : subItem; c < (subItem < 0 ? columns : subItem + 1); ++c) {
            if (static_cast<size_t>(c) < record->backColours.size())
                record->backColours[static_cast<size_t>(c)] = colour;
        }
    }
    if (item >= 0 && subItem >= 0) {
        RECT cell;
        if (GetSubItemRect(item, subItem, LVIR_BOUNDS, &cell))
            InvalidateRect(&cell, TRUE);
    } else {
        // Many cells changed: the whole list is drawn again, so no cell keeps showing its old colour.
        Invalidate(TRUE);
    }
}

COLORREF CReportCtrl::GetItemBkColor(int item, int subItem) const {
    ReportRowData* record = RowData(item);
    if (record == nullptr || subItem < 0 || static_cast<size_t>(subItem) >= record->backColours.size())
        return CLR_DEFAULT;
    return record->backColours[static_cast<size_t>(subItem)];
}

COLORREF CReportCtrl::GetItemTextColor(int item, int subItem) const {
    ReportRowData* record = RowData(item);
    if (record == nullptr || subItem < 0 || static_cast<size_t>(subItem) >= record->textColours.size())
        return CLR_DEFAULT;
    return record->textColours[static_cast<size_t>(subItem)];
}

LRESULT CReportCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw) const {
    DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT || stage == CDDS_ITEMPREPAINT)
        return CDRF_NOTIFYSUBITEMDRAW;
    if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
        int row = static_cast<int>(draw->nmcd.dwItemSpec);
        COLORREF text = GetItemTextColor(row, draw->iSubItem);
        COLORREF back = GetItemBkColor(row, draw->iSubItem);
        if (text != CLR_DEFAULT)
            draw->clrText = text;
        if (back != CLR_DEFAULT)
            draw->clrTextBk = back;
    }
    return CDRF_DODEFAULT;
}

// ---- row states

UINT CReportCtrl::GetRowState(int item) const {
    UINT state = GetItemState(item, LVIS_SELECTED) ? RC_ITEM_SELECTED : RC_ITEM_UNSELECTED;
    state |= GetCheck(item) > 0 ? RC_ITEM_CHECKED : RC_ITEM_UNCHECKED;
    state |= GetItemState(item, LVIS_FOCUSED) ? RC_ITEM_FOCUSED : RC_ITEM_UNFOCUSED;
    return state;
}

BOOL CReportCtrl::RowMatches(int item, UINT filter) const {
    if (item < 0 || item >= GetItemCount())
        return FALSE;
    return (filter & RC_ITEM_ALL) != 0 || (GetRowState(item) & filter) == filter;
}

void CReportCtrl::ApplyRowState(int item, UINT state) {
    if (state & RC_ITEM_SELECTED)
        SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
    if (state & RC_ITEM_UNSELECTED)
        SetItemState(item, 0, LVIS_SELECTED);
    // A list without check boxes keeps rows without a state image.
    if (GetExtendedStyle() & LVS_EX_CHECKBOXES) {
        if (state & RC_ITEM_CHECKED)
            SetCheck(item, TRUE);
        if (state & RC_ITEM_UNCHECKED)
            SetCheck(item, FALSE);
    }
    if (state & RC_ITEM_FOCUSED)
        SetItemState(item, LVIS_FOCUSED, LVIS_FOCUSED);
    if (state & RC_ITEM_UNFOCUSED)
        SetItemState(item, 0, LVIS_FOCUSED);
}

void CReportCtrl::UnselectAllRows() {
    for (int i = 0; i < GetItemCount(); ++i) {
        if (RowMatches(i, RC_ITEM_SELECTED))
            ApplyRowState(i, RC_ITEM_UNSELECTED);
    }
}

void CReportCtrl::SelectRow(int item) {
    if (item >= 0 && item < GetItemCount())
        ApplyRowState(item, RC_ITEM_SELECTED | RC_ITEM_FOCUSED);
}

// ---- mouse

LRESULT CReportCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            HandleMouseClick(message, TRUE, point);
            if (message == WM_LBUTTONDBLCLK)
                NotifyClick(NM_DBLCLK, point);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            HandleMouseClick(message, FALSE, point);
            return 0;
        default:
            return CListCtrl::WindowProc(message, wParam, lParam);
    }
}

void CReportCtrl::DefaultPress(UINT message, const LVHITTESTINFO& hit) {
    SetFocus();
    int row = hit.iItem;
    if (row < 0) {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
            UnselectAllRows();
        return;
    }
    bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    // A right or middle press keeps a selection that already holds the row.
    if (left || !RowMatches(row, RC_ITEM_SELECTED)) {
        for (int i = 0; i < GetItemCount(); ++i) {
            if (i != row && RowMatches(i, RC_ITEM_SELECTED))
                ApplyRowState(i, RC_ITEM_UNSELECTED);
        }
    }
    SelectRow(row);
    if (left && (hit.flags & LVHT_ONITEMSTATEICON) && (GetExtendedStyle() & LVS_EX_CHECKBOXES))
        SetCheck(row, GetCheck(row) > 0 ? FALSE : TRUE);
}

void CReportCtrl::HandleMouseClick(UINT message, BOOL leftButton, POINT point) {
    LVHITTESTINFO hit;
    hit.pt = point;
    SubItemHitTest(&hit);
    int row = hit.iItem;
    int column = hit.iSubItem;
    BOOL wasChecked = row >= 0 && GetCheck(row) > 0;
    BOOL wasEditing = IsEditing();
    EndCellEdit(TRUE);
    BOOL wasSelectedAndFocused = leftButton && RowMatches(row, RC_ITEM_SELECTED | RC_ITEM_FOCUSED);
    DefaultPress(message, hit);
    BOOL isChecked = row >= 0 && GetCheck(row) > 0;
    int checkChanged = OnCheckBoxClick(row, message, wasChecked, isChecked);
    // The first click selects; a further click on the selected row edits the cell under it.
    if (leftButton && m_bEditEnabled && !checkChanged && !wasEditing && wasSelectedAndFocused)
        (void)BeginCellEdit(row, column);
}

int CReportCtrl::OnCheckBoxClick(int item, UINT message, BOOL wasChecked, BOOL isChecked) {
    if (item < 0 || item >= GetItemCount() || wasChecked == isChecked)
        return 0;
    UnselectAllRows();
    SelectRow(item);
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_REPORT_CHECKBOX, static_cast<WPARAM>(item), static_cast<LPARAM>(message));
    return 1;
}

// ---- in-place editing

BOOL CReportCtrl::IsEditing() const {
    return m_bEditEnabled && m_nEditRow >= 0 && m_nEditRow < GetItemCount() && m_nEditColumn >= 0 &&
           m_nEditColumn < GetColumnCount();
}

int CReportCtrl::BeginCellEdit(int item, int subItem) {
    if (!m_bEditEnabled || item < 0 || item >= GetItemCount() || subItem < 0 || subItem >= GetColumnCount())
        return 0;
    if (IsEditing() && item == m_nEditRow && subItem == m_nEditColumn)
        return 1;
    EndCellEdit(TRUE);
    // The commit may have told the parent, which may have changed the rows.
    if (item >= GetItemCount() || subItem >= GetColumnCount())
        return 0;
    m_nEditRow = item;
    m_nEditColumn = subItem;
    UnselectAllRows();
    SelectRow(item);

    int format = GetColumnFormat(subItem);
    DWORD align = format == LVCFMT_CENTER ? ES_CENTER : format == LVCFMT_RIGHT ? ES_RIGHT : ES_LEFT;
    if (m_pEditor->m_hWnd == nullptr || align != m_editAlign) {
        if (m_pEditor->m_hWnd != nullptr)
            m_pEditor->DestroyWindow();
        if (!m_pEditor->Create(align | WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_NOHIDESEL, RECT{0, 0, 1, 1},
                               this, 0)) {
            m_nEditRow = m_nEditColumn = -1;
            return 0;
        }
        // Cell rectangles are in the coordinates of the list's scrolling area: the editor lives there.
        m_pEditor->GetWidget()->setParent(GetPaintWidget());
        m_editAlign = align;
    }
    m_pEditor->GetWidget()->setFont(GetWidget()->font());
    RECT cell;
    GetSubItemRect(item, subItem, LVIR_LABEL, &cell);
    if (subItem != 0 && GetImageList(LVSIL_SMALL) != nullptr && GetItemImage(item, subItem) >= 0)
        cell.left += kCellImageWidth;
    m_pEditor->MoveWindow(cell);
    m_pEditor->SetWindowText(GetItemText(item, subItem));
    m_pEditor->ShowWindow(SW_SHOW);
    m_pEditor->SetSel(0, -1);
    m_pEditor->SetFocus();
    return 1;
}

int CReportCtrl::EndCellEdit(BOOL commit) {
    if (!IsEditing())
        return 0;
    int row = m_nEditRow;
    int column = m_nEditColumn;
    // The edit is closed before the parent hears of it, so a parent that changes the list from its
    // handler never finds the edit open and commits it a second time.
    m_nEditRow = m_nEditColumn = -1;
    int written = 0;
    if (commit) {
        QString text = m_pEditor->GetWindowText();
        if (text != GetItemText(row, column)) {
            CListCtrl::SetItemText(row, column, text);
            ResetSort();
            written = 1;
        }
    }
    bool hadFocus = GetFocus() == m_pEditor.get();
    m_pEditor->ShowWindow(SW_HIDE);
    if (hadFocus)
        SetFocus();
    if (written != 0) {
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_REPORT_EDITED, static_cast<WPARAM>(row), static_cast<LPARAM>(column));
    }
    return written;
}

BOOL CReportCtrl::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message != WM_KEYDOWN)
        return CListCtrl::PreTranslateMessage(pMsg);
    if (!IsEditing()) {
        // The focused row's check box changes only with the mouse, which the parent hears of.
        if (pMsg->wParam == VK_SPACE)
            return TRUE;
        return CListCtrl::PreTranslateMessage(pMsg);
    }
    int row = m_nEditRow;
    int column = m_nEditColumn;
    switch (pMsg->wParam) {
        case VK_TAB:
            EndCellEdit(TRUE);
            (void)BeginCellEdit(row, column + 1 < GetColumnCount() ? column + 1 : 0);
            return TRUE;
        case VK_RETURN:
            EndCellEdit(TRUE);
            return TRUE;
        case VK_ESCAPE:
            EndCellEdit(FALSE);
            return TRUE;
        case VK_UP:
        case VK_DOWN: {
            int next = pMsg->wParam == VK_UP ? row - 1 : row + 1;
            if (next < 0 || next >= GetItemCount())
                break;
            EndCellEdit(TRUE);
            if (BeginCellEdit(next, column))
                EnsureVisible(next, FALSE);
            return TRUE;
        }
        default:
            break;
    }
    return CListCtrl::PreTranslateMessage(pMsg);
}

// ---- sorting

void CReportCtrl::ResetSort() {
    m_nSortColumn = -1;
    m_bSortAscending = TRUE;
}

void CReportCtrl::OnColumnClick(int column) {
    BOOL ascending = column != m_nSortColumn || !m_bSortAscending;
    SortItems(column, ascending);
}

void CReportCtrl::QuickSort(std::vector<int>& rows, int low, int high, const std::vector<QString>& texts,
                            BOOL ascending) const {
    auto compare = [&](int a, int b) {
        int order = CompareReportTexts(texts[static_cast<size_t>(a)], texts[static_cast<size_t>(b)]);
        return ascending ? order : -order;
    };
    while (low < high) {
        int pivot = rows[static_cast<size_t>((low + high) / 2)];
        int i = low;
        int j = high;
        while (i <= j) {
            // The bounds only matter when the texts mix rules so that the order is not transitive.
            while (i < high && compare(rows[static_cast<size_t>(i)], pivot) < 0)
                ++i;
            while (j > low && compare(rows[static_cast<size_t>(j)], pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(rows[static_cast<size_t>(i)], rows[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        }
        // The smaller part by recursion, the larger by the loop: the depth stays logarithmic.
        if (j - low < high - i) {
            QuickSort(rows, low, j, texts, ascending);
            low = i;
        } else {
            QuickSort(rows, i, high, texts, ascending);
            high = j;
        }
    }
}

void CReportCtrl::SortItems(int column, BOOL ascending) {
    EndCellEdit(TRUE);
    if (column < 0 || column >= GetColumnCount() || (GetStyle() & LVS_NOCOLUMNHEADER) ||
        GetHeaderCtrl() == nullptr)
        return;
    m_nSortColumn = column;
    m_bSortAscending = ascending;
    int count = GetItemCount();
    int columns = GetColumnCount();
    if (count >= 2) {
        std::vector<QString> keys;
        std::vector<int> order;
        for (int i = 0; i < count; ++i) {
            keys.push_back(GetItemText(i, column));
            order.push_back(i);
        }
        QuickSort(order, 0, count - 1, keys, ascending);

        struct RowSnapshot {
            UINT state = 0;
            uintptr_t record = 0;
            std::vector<int> images;
            std::vector<QString> texts;
        };
        std::vector<RowSnapshot> snapshots;
        for (int from : order) {
            RowSnapshot snap;
            snap.state = GetRowState(from);
            snap.record = CListCtrl::GetItemData(from);
            for (int c = 0; c < columns; ++c) {
                snap.images.push_back(GetItemImage(from, c));
                snap.texts.push_back(GetItemText(from, c));
            }
            snapshots.push_back(std::move(snap));
        }
        for (int to = 0; to < count; ++to) {
            const RowSnapshot& snap = snapshots[static_cast<size_t>(to)];
            ApplyRowState(to, snap.state);
            CListCtrl::SetItemData(to, snap.record);
            for (int c = 0; c < columns; ++c) {
                SetItemImage(to, c, snap.images[static_cast<size_t>(c)]);
                CListCtrl::SetItemText(to, c, snap.texts[static_cast<size_t>(c)]);
            }
        }
    }
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_REPORT_SORTED, static_cast<WPARAM>(column), ascending ? 1 : 0);
}

// ---- reflected notifications and the end of the window

BOOL CReportCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code == NM_CUSTOMDRAW) {
            *pResult = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
            return TRUE;
        }
        if (hdr->code == LVN_COLUMNCLICK) {
            OnColumnClick(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem);
            *pResult = 0;
            return TRUE;
        }
    }
    return CListCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

void CReportCtrl::OnDestroy() {
    DeleteAllItems();
    if (m_pEditor->m_hWnd != nullptr)
        m_pEditor->DestroyWindow();
    CListCtrl::OnDestroy();
}
