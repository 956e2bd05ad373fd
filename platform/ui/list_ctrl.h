#pragma once

// CListCtrl: a list view in report form (rows of cells under column headings), with optional check boxes
// (state images 1 unchecked and 2 checked), pictures, grid lines and full-row selection. The parent hears
// NM_CLICK, NM_DBLCLK, NM_RCLICK, LVN_COLUMNCLICK, LVN_ITEMCHANGED (every change of a row's state,
// check box or selection, as the platform's list view reports it) and NM_CUSTOMDRAW for each cell, where
// it may set the cell's text and background colours. CHeaderCtrl is the row of column headings.

#include <QPointer>

#include "platform/ui/header_ctrl.h"
#include "platform/ui/image_list.h"
#include "platform/ui/wnd.h"

constexpr UINT LVIF_TEXT = 0x1;
constexpr UINT LVIF_IMAGE = 0x2;
constexpr UINT LVIF_PARAM = 0x4;
constexpr UINT LVIF_STATE = 0x8;
constexpr UINT LVIS_FOCUSED = 0x1;
constexpr UINT LVIS_SELECTED = 0x2;
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) {
    return i << 12;
}
constexpr int LVNI_ALL = 0x0;
constexpr int LVNI_SELECTED = 0x2;
constexpr int LVCFMT_LEFT = 0x0;
constexpr int LVCFMT_RIGHT = 0x1;
constexpr int LVCFMT_CENTER = 0x2;
constexpr int LVIR_BOUNDS = 0;
constexpr int LVIR_ICON = 1;
constexpr int LVIR_LABEL = 2;
constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;
constexpr int LVSIL_STATE = 2;
constexpr UINT LVHT_NOWHERE = 0x1;
constexpr UINT LVHT_ONITEMLABEL = 0x4;
constexpr UINT LVHT_ONITEMSTATEICON = 0x8;
constexpr UINT LVHT_ONITEM = 0xE;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;

constexpr DWORD CDDS_PREPAINT = 0x1;
constexpr DWORD CDDS_ITEM = 0x10000;
constexpr DWORD CDDS_ITEMPREPAINT = 0x10001;
constexpr DWORD CDDS_SUBITEM = 0x20000;
constexpr LRESULT CDRF_DODEFAULT = 0x0;
constexpr LRESULT CDRF_SKIPDEFAULT = 0x4;
constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;
constexpr LRESULT CDRF_NOTIFYSUBITEMDRAW = 0x20;

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
};

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage = 0;
    CDC* hdc = nullptr;
    RECT rc;
    uintptr_t dwItemSpec = 0;
    UINT uItemState = 0;
    LPARAM lItemlParam = 0;
};

struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText = CLR_DEFAULT;
    COLORREF clrTextBk = CLR_DEFAULT;
    int iSubItem = 0;
};

struct LVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};

class CListCtrl : public CWnd {
public:
    CListCtrl();
    ~CListCtrl() override;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    DWORD SetExtendedStyle(DWORD exStyle);
    DWORD GetExtendedStyle() const { return m_exStyle; }
    int InsertColumn(int index, const QString& heading, int format = LVCFMT_LEFT, int width = -1);
    BOOL DeleteColumn(int index);
    int GetColumnCount() const;
    BOOL SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    // The alignment of a column (LVCFMT_LEFT, LVCFMT_RIGHT or LVCFMT_CENTER); -1 without the column.
    int GetColumnFormat(int column) const;
    int InsertItem(int index, const QString& text, int image = -1);
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    BOOL SetItemText(int item, int subItem, const QString& text);
    QString GetItemText(int item, int subItem) const;
    BOOL SetItemData(int item, uintptr_t data);
    uintptr_t GetItemData(int item) const;
    BOOL SetItemImage(int item, int subItem, int image);
    int GetItemImage(int item, int subItem) const;
    // State image - 1: 1 checked, 0 unchecked, -1 without a check box or without the row.
    BOOL GetCheck(int item) const;
    BOOL SetCheck(int item, BOOL check = TRUE);
    UINT GetItemState(int item, UINT mask) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    int GetNextItem(int start, int flags) const;
    UINT GetSelectedCount() const;
    int GetSelectionMark() const;
    BOOL EnsureVisible(int item, BOOL partialOk);
    int HitTest(POINT point, UINT* flags = nullptr) const;
    // The row and column under info->pt; flags LVHT_ONITEMSTATEICON on the row's check box, else
    // LVHT_ONITEMLABEL on a cell (both within LVHT_ONITEM), LVHT_NOWHERE off the rows.
    int SubItemHitTest(LVHITTESTINFO* info) const;
    BOOL GetSubItemRect(int item, int subItem, int area, RECT* rect) const;
    BOOL GetItemRect(int item, RECT* rect, int area) const;
    CImageList* SetImageList(CImageList* list, int kind);
    CImageList* GetImageList(int kind) const;
    CHeaderCtrl* GetHeaderCtrl();
    QWidget* GetPaintWidget() const override;
    void SetBkColor(COLORREF colour);
    void SetTextColor(COLORREF colour);
    void SetTextBkColor(COLORREF colour);

    // The custom-draw round of one cell (used by the cell painter).
    void CustomDrawCell(int item, int subItem, const RECT& rect, COLORREF* text, COLORREF* background);

protected:
    void OnLButtonUp(UINT nFlags, POINT point) override;
    void OnRButtonUp(UINT nFlags, POINT point) override;
    void OnLButtonDblClk(UINT nFlags, POINT point) override;
    void NotifyItemChanged(int item, UINT newState, UINT oldState);
    void SendListNotify(UINT code, int item, int subItem, POINT point);
    // NM_CLICK, NM_RCLICK or NM_DBLCLK with the cell under point.
    void NotifyClick(UINT code, POINT point);

    void TakeOverState(const CWnd& from) override;
    // FALSE: a click never toggles a check box by itself; the control toggles it with SetCheck.
    void SetUserCheckable(BOOL checkable) { m_userCheckable = checkable; }

private:
    void OnQtItemChanged(int item);
    CHeaderCtrl m_header;
    CImageList* m_smallImages = nullptr;
    CImageList* m_stateImages = nullptr;
    DWORD m_exStyle = 0;
    int m_selectionMark = -1;
    BOOL m_userCheckable = TRUE;
};
