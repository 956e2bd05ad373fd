#pragma once

// CMyTreeCtrl: the device tree of the main window. It draws its items transparently over a tiled
// background bitmap, selects the item under the mouse before a left or right click is handled (so the
// parent finds the clicked item selected), and redraws a branch only once it has expanded. Items carry an
// opaque pointer-width value that belongs to the caller.

#include <QImage>

#include "platform/ui/gdi_objects.h"
#include "platform/ui/tree_ctrl.h"

class CMyTreeCtrl : public CTreeCtrl {
public:
    // Bitmap 132; TRUE when it loaded.
    BOOL LoadBackground();
    // The same with a picture made by the program.
    BOOL LoadBackgroundImage(const QImage& image);

    CBitmap m_bmpBackground;

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd() override { return TRUE; }
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnRButtonDown(UINT nFlags, POINT point) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    void OnButtonDown(POINT point);
};
