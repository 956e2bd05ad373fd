#pragma once

// CBitmapSlider: the skinned horizontal slider (volume and playback position). It draws a channel picture
// (with an optional "active" picture left of the thumb) and a thumb picture (with an optional picture
// while dragged, white transparent), follows the mouse and the keys, and posts WM_SLIDER_DRAGGING while
// the thumb is dragged to a new position and WM_SLIDER_RELEASED on each release and handled key.

#include "platform/ui/gdi_objects.h"
#include "platform/ui/static_ctrl.h"

class CBitmapSlider : public CStatic {
public:
    CBitmapSlider() = default;
    // A slider made in code rather than bound to a dialog's control.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);

    void SetRange(int max);
    void SetRangeMin(int min) { m_nMin = min; }
    void SetRangeMax(int max) { m_nMax = max; }
    void SetPos(int pos);
    int GetPos() const { return m_nPos; }
    // True while the left button holds the thumb (from the press to the release).
    bool IsPressed() const { return m_bLButtonDown != 0; }
    int SetPageSize(int page);
    void DisableFocusRect() { m_bDrawFocusRect = 0; }
    // Bitmaps 185 and 186.
    int LoadChannelBitmaps();
    // Pictures made by the caller, which the control takes over.
    int SetChannelBitmaps(HBITMAP normal, HBITMAP active);
    // Bitmaps 215 (thumb) and 214 (dragged thumb).
    int LoadThumbBitmaps();
    // Thumb pictures made by the caller, which the control takes over; white is transparent.
    int SetThumbBitmaps(HBITMAP thumb, HBITMAP dragged);

    int Pos2Pixel(int pos) const;
    int Pixel2Pos(int pixel) const;

    int m_nMax = 100;
    int m_nMin = 0;
    int m_nPos = 0;
    int m_nPage = 20;
    RECT m_rect;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    int m_nMouseOffset = 0;
    int m_bChannelActive = 0;
    int m_bThumbActive = 0;
    int m_bTransparentThumb = 0;
    int m_bThumb = 0;
    int m_bChannel = 0;
    int m_bLButtonDown = 0;
    int m_bFocus = 0;
    int m_bDrawFocusRect = 1;
    int m_bEnable = 1;

    // Every key but Tab is the slider's: Return and Escape never reach its dialog.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    QWidget* CreateSubclassWidget() override;
    void OnPaint() override;
    BOOL OnEraseBkgnd() override { return TRUE; }
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnMouseMove(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnSetFocus() override;
    void OnKillFocus() override;
    void OnDestroy() override;

private:
    void PrepareMask(CBitmap& mask, CBitmap& picture, COLORREF transparent);
    void DrawTransparentBitmap(CDC* dc, int x, int y, int width, int height, CBitmap* picture, CBitmap* mask);
    void ReleaseChannel();
    void ReleaseThumb();
    void ResizeToChannel();
    void Post(UINT message);

    CBitmap m_bmChannel;
    CBitmap m_bmChannelActive;
    CBitmap m_bmThumb;
    CBitmap m_bmThumbMask;
    CBitmap m_bmThumbActive;
    CBitmap m_bmThumbActiveMask;
};
