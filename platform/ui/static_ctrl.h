#pragma once

// CStatic: a text or a picture; with SS_NOTIFY a click notifies the parent with STN_CLICKED.

#include "platform/ui/gdi_objects.h"
#include "platform/ui/wnd.h"

class CStatic : public CWnd {
public:
    BOOL Create(const QString& text, DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    // Shows the bitmap (SS_BITMAP); the caller keeps it. Returns the previous one.
    HBITMAP SetBitmap(HBITMAP bitmap);

protected:
    void SetTextOfWidget(const QString& text) override;
    QString TextOfWidget() const override;
    void OnLButtonDown(UINT nFlags, POINT point) override;

private:
    HBITMAP m_bitmap = nullptr;
};
