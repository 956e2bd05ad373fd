#pragma once

// CHeaderCtrl: the row of column headings of a list view.

#include "platform/ui/image_list.h"
#include "platform/ui/wnd.h"

constexpr UINT HDN_ITEMCLICK = static_cast<UINT>(-322);
constexpr UINT HDF_IMAGE = 0x800;

struct NMHEADER {
    NMHDR hdr;
    int iItem = -1;
    int iButton = 0;
};

// The heading row of a list view: a window of its own (so it can be subclassed) whose item clicks reach
// the window that owns it as HDN_ITEMCLICK.
class CHeaderCtrl : public CWnd {
public:
    int GetItemCount() const;
    CImageList* SetImageList(CImageList* list);
    // The picture shown in a heading (-1: none).
    BOOL SetItemImage(int index, int image);
    int GetItemImage(int index) const;
    QWidget* GetPaintWidget() const override;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    CImageList* m_images = nullptr;
};
