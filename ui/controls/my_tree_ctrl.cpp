#include "ui/controls/my_tree_ctrl.h"

#include "platform/ui/dc.h"
#include "resources/resource_bitmaps.h"

BOOL CMyTreeCtrl::LoadBackground() {
    // The background picture is dark: item texts are drawn light so that they stay readable over it.
    BOOL loaded = LoadBackgroundImage(LoadResourceBitmap(132));
    if (loaded)
        SetTextColor(0x00E6DED8);
    return loaded;
}

BOOL CMyTreeCtrl::LoadBackgroundImage(const QImage& image) {
    m_bmpBackground.DeleteObject();
    BOOL loaded = m_bmpBackground.FromImage(image);
    Invalidate();
    return loaded;
}

void CMyTreeCtrl::OnButtonDown(POINT point) {
    HTREEITEM hit = HitTest(point);
    if (hit != GetSelectedItem())
        SelectItem(hit);
}

void CMyTreeCtrl::OnLButtonDown(UINT nFlags, POINT point) {
    OnButtonDown(point);
    CTreeCtrl::OnLButtonDown(nFlags, point);
}

void CMyTreeCtrl::OnRButtonDown(UINT nFlags, POINT point) {
    OnButtonDown(point);
    CTreeCtrl::OnRButtonDown(nFlags, point);
}

BOOL CMyTreeCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_NOTIFY)
        return CTreeCtrl::OnChildNotify(message, wParam, lParam, pResult);
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->code == TVN_ITEMEXPANDING) {
        SetRedraw(FALSE);
        *pResult = 0;
        return TRUE;
    }
    if (hdr->code == TVN_ITEMEXPANDED) {
        SetRedraw(TRUE);
        Invalidate(TRUE);
        *pResult = 0;
        return TRUE;
    }
    // Clicks go on to the parent as well.
    return FALSE;
}

void CMyTreeCtrl::OnPaint() {
    // Without a background the control paints as usual.
    if (m_bmpBackground.IsNull()) {
        CTreeCtrl::OnPaint();
        return;
    }
    RECT client;
    GetClientRect(&client);
    int w = client.Width();
    int h = client.Height();
    if (w <= 0 || h <= 0)
        return;

    // 1. The control's own painting into a memory context.
    CBitmap items;
    items.CreateCompatibleBitmap(w, h);
    DrawItemsInto(&items.Image());
    CDC itemsDC;
    itemsDC.CreateCompatibleDC(nullptr);
    itemsDC.SelectObject(&items);

    // 2. The mask: pixels of the background colour (white) become 1.
    CBitmap mask;
    mask.CreateMonochromeBitmap(w, h);
    CDC maskDC;
    maskDC.CreateCompatibleDC(nullptr);
    maskDC.SelectObject(&mask);
    itemsDC.SetBkColor(RGB(255, 255, 255));
    maskDC.BitBlt(0, 0, w, h, &itemsDC, 0, 0, SRCCOPY);

    // 3. The tiled background on the paint context.
    CPaintDC dc(this);
    CBrush tiles;
    tiles.CreatePatternBrush(&m_bmpBackground);
    dc.FillRect(client, &tiles);

    // 4. The items' background turned black.
    itemsDC.SetBkColor(RGB(0, 0, 0));
    itemsDC.SetTextColor(RGB(255, 255, 255));
    itemsDC.BitBlt(0, 0, w, h, &maskDC, 0, 0, SRCAND);

    // 5. The item pixels blacked out of the background; 6. the items ORed in.
    dc.SetBkColor(RGB(255, 255, 255));
    dc.SetTextColor(RGB(0, 0, 0));
    dc.BitBlt(0, 0, w, h, &maskDC, 0, 0, SRCAND);
    dc.BitBlt(0, 0, w, h, &itemsDC, 0, 0, SRCPAINT);
}
