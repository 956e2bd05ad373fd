#pragma once

// CTreeCtrl: a tree of texts with pictures and an opaque pointer-width value per item. The parent hears
// NM_CLICK, NM_RCLICK and NM_DBLCLK on clicks, TVN_SELCHANGED when the user selects an item, and
// TVN_ITEMEXPANDING / TVN_ITEMEXPANDED around a branch the user opens or closes.

#include <QImage>

#include "platform/ui/image_list.h"
#include "platform/ui/wnd.h"

struct TreeCtrlItem;
using HTREEITEM = TreeCtrlItem*;
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(~uintptr_t{0} - 0xFFFF);
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(~uintptr_t{0} - 0xFFFE);
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(~uintptr_t{0} - 0xFFFD);

constexpr UINT TVE_COLLAPSE = 0x1;
constexpr UINT TVE_EXPAND = 0x2;
constexpr UINT TVE_TOGGLE = 0x3;
constexpr UINT TVHT_NOWHERE = 0x1;
constexpr UINT TVHT_ONITEM = 0x46;
constexpr UINT TVGN_CARET = 0x9;
constexpr int TVSIL_NORMAL = 0;

struct NMTREEVIEW {
    NMHDR hdr;
    UINT action = 0;
    HTREEITEM itemOld = nullptr;
    HTREEITEM itemNew = nullptr;
    POINT ptDrag;
};

class CTreeCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    HTREEITEM InsertItem(const QString& text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST);
    HTREEITEM InsertItem(const QString& text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST) {
        return InsertItem(text, 0, 0, parent, after);
    }
    BOOL DeleteItem(HTREEITEM item);
    BOOL DeleteAllItems();
    BOOL SetItemData(HTREEITEM item, uintptr_t data);
    uintptr_t GetItemData(HTREEITEM item) const;
    BOOL SetItemText(HTREEITEM item, const QString& text);
    QString GetItemText(HTREEITEM item) const;
    BOOL SetItemImage(HTREEITEM item, int image, int selectedImage);
    BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    BOOL ItemHasChildren(HTREEITEM item) const;
    UINT GetCount() const;
    HTREEITEM GetSelectedItem() const;
    // Selects item (nullptr clears the selection); the parent is not told.
    BOOL SelectItem(HTREEITEM item);
    BOOL Select(HTREEITEM item, UINT code) { return code == TVGN_CARET ? SelectItem(item) : FALSE; }
    HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const;
    BOOL Expand(HTREEITEM item, UINT code);
    BOOL EnsureVisible(HTREEITEM item);
    BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const;
    CImageList* SetImageList(CImageList* list, int kind);
    void SetBkColor(COLORREF colour);
    void SetTextColor(COLORREF colour);
    QWidget* GetPaintWidget() const override;
    // Draws the items as the control paints them, on its background colour, into image (client size).
    BOOL DrawItemsInto(QImage* image) const;

protected:
    void OnLButtonUp(UINT nFlags, POINT point) override;
    void OnRButtonUp(UINT nFlags, POINT point) override;
    void OnLButtonDblClk(UINT nFlags, POINT point) override;
    void SendTreeNotify(UINT code, HTREEITEM itemOld = nullptr, HTREEITEM itemNew = nullptr);

private:
    CImageList* m_images = nullptr;
};
