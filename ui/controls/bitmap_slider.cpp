#include "ui/controls/bitmap_slider.h"

#include <algorithm>
#include <memory>

#include "core/window_messages.h"
#include "platform/ui/dc.h"
#include "resources/resource_bitmaps.h"
#include "ui/controls/mem_dc_ex.h"

namespace {

constexpr COLORREF kTransparentWhite = RGB(255, 255, 255);

// The widget of the slider: takes the keyboard focus, paints nothing of its own.
class SliderWidget : public QWidget {
public:
    SliderWidget() {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
};

HBITMAP LoadHandle(unsigned id) {
    CBitmap bitmap;
    if (!bitmap.FromImage(LoadResourceBitmap(id)))
        return nullptr;
    return bitmap.Detach();
}

// Both bitmaps of a pair, or neither.
bool LoadPair(unsigned firstId, unsigned secondId, HBITMAP* first, HBITMAP* second) {
    std::unique_ptr<BitmapData> one(LoadHandle(firstId));
    std::unique_ptr<BitmapData> two(LoadHandle(secondId));
    if (one == nullptr || two == nullptr)
        return false;
    *first = one.release();
    *second = two.release();
    return true;
}

}  // namespace

QWidget* CBitmapSlider::CreateSubclassWidget() {
    return new SliderWidget;
}

BOOL CBitmapSlider::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    QWidget* widget = CreateSubclassWidget();
    if (parent != nullptr)
        widget->setParent(parent->GetWidget());
    widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(widget, parent, nID, style | WS_CHILD);
}

void CBitmapSlider::SetRange(int max) {
    SetRangeMin(0);
    SetRangeMax(max);
}

void CBitmapSlider::SetPos(int pos) {
    m_nPos = pos;
    if (m_nPos > m_nMax)
        m_nPos = m_nMax;
    if (m_nPos < m_nMin)
        m_nPos = m_nMin;
    InvalidateRect(nullptr, TRUE);
}

int CBitmapSlider::SetPageSize(int page) {
    int previous = m_nPage;
    m_nPage = page;
    return previous;
}

int CBitmapSlider::Pos2Pixel(int pos) const {
    int half = m_nThumbWidth / 2;
    double span = static_cast<double>(m_nMax - m_nMin);
    if (span == 0)
        return half;
    return static_cast<int>((pos - m_nMin) / span * (m_nWidth - m_nThumbWidth)) + half;
}

int CBitmapSlider::Pixel2Pos(int pixel) const {
    int half = m_nThumbWidth / 2;
    double track = static_cast<double>(m_nWidth - m_nThumbWidth);
    if (track == 0)
        return m_nMin;
    return static_cast<int>((pixel - half) / track * (m_nMax - m_nMin) + m_nMin);
}

void CBitmapSlider::ResizeToChannel() {
    SIZE size = m_bmChannel.GetSize();
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(&m_rect);
}

void CBitmapSlider::ReleaseChannel() {
    m_bmChannel.DeleteObject();
    m_bmChannelActive.DeleteObject();
    m_bChannel = 0;
    m_bChannelActive = 0;
}

void CBitmapSlider::ReleaseThumb() {
    m_bmThumb.DeleteObject();
    m_bmThumbMask.DeleteObject();
    m_bmThumbActive.DeleteObject();
    m_bmThumbActiveMask.DeleteObject();
    m_bThumb = 0;
    m_bThumbActive = 0;
}

int CBitmapSlider::LoadChannelBitmaps() {
    HBITMAP normal = nullptr;
    HBITMAP active = nullptr;
    if (!LoadPair(185, 186, &normal, &active)) {
        ReleaseChannel();
        return 0;
    }
    return SetChannelBitmaps(normal, active);
}

int CBitmapSlider::SetChannelBitmaps(HBITMAP normal, HBITMAP active) {
    ReleaseChannel();
    if (normal == nullptr) {
        delete active;
        return 1;
    }
    m_bmChannel.Attach(normal);
    if (active != nullptr) {
        m_bmChannelActive.Attach(active);
        m_bChannelActive = 1;
    }
    ResizeToChannel();
    m_bChannel = 1;
    Invalidate();
    return 1;
}

int CBitmapSlider::LoadThumbBitmaps() {
    HBITMAP thumb = nullptr;
    HBITMAP dragged = nullptr;
    if (!LoadPair(215, 214, &thumb, &dragged)) {
        ReleaseThumb();
        return 0;
    }
    return SetThumbBitmaps(thumb, dragged);
}

int CBitmapSlider::SetThumbBitmaps(HBITMAP thumb, HBITMAP dragged) {
    ReleaseThumb();
    if (thumb == nullptr) {
        delete dragged;
        return 0;
    }
    m_bmThumb.Attach(thumb);
    PrepareMask(m_bmThumbMask, m_bmThumb, kTransparentWhite);
    if (dragged != nullptr) {
        m_bmThumbActive.Attach(dragged);
        PrepareMask(m_bmThumbActiveMask, m_bmThumbActive, kTransparentWhite);
        m_bThumbActive = 1;
    }
    SIZE size = m_bmThumb.GetSize();
    m_nThumbWidth = size.cx;
    m_nThumbHeight = size.cy;
    if (!m_bChannel) {
        GetClientRect(&m_rect);
        m_nWidth = m_rect.Width();
        m_nHeight = m_rect.Height();
    }
    m_bTransparentThumb = 1;
    m_bThumb = 1;
    Invalidate();
    return 1;
}

void CBitmapSlider::PrepareMask(CBitmap& mask, CBitmap& picture, COLORREF transparent) {
    SIZE size = picture.GetSize();
    mask.CreateMonochromeBitmap(size.cx, size.cy);
    CDC pictureDC;
    pictureDC.CreateCompatibleDC(nullptr);
    pictureDC.SelectObject(&picture);
    CDC maskDC;
    maskDC.CreateCompatibleDC(nullptr);
    maskDC.SelectObject(&mask);
    // 0xFF000000 stands for the colour of the picture's first pixel.
    pictureDC.SetBkColor(transparent == 0xFF000000 ? pictureDC.GetPixel(0, 0) : transparent);
    maskDC.BitBlt(0, 0, size.cx, size.cy, &pictureDC, 0, 0, SRCCOPY);
    pictureDC.SetBkColor(RGB(0, 0, 0));
    pictureDC.SetTextColor(RGB(255, 255, 255));
    pictureDC.BitBlt(0, 0, size.cx, size.cy, &maskDC, 0, 0, SRCAND);
}

void CBitmapSlider::DrawTransparentBitmap(CDC* dc, int x, int y, int width, int height, CBitmap* picture,
                                          CBitmap* mask) {
    CDC source;
    source.CreateCompatibleDC(dc);
    source.SelectObject(mask);
    dc->BitBlt(x, y, width, height, &source, 0, 0, SRCAND);
    source.SelectObject(picture);
    dc->BitBlt(x, y, width, height, &source, 0, 0, SRCPAINT);
}

void CBitmapSlider::OnPaint() {
    CPaintDC paint(this);
    GetClientRect(&m_rect);
    CMemDCEx dc(&paint, &m_rect);
    CDC source;
    source.CreateCompatibleDC(&dc);
    if (m_bChannel) {
        if (m_bChannelActive && m_bEnable) {
            int t = Pos2Pixel(m_nPos);
            source.SelectObject(&m_bmChannel);
            dc.BitBlt(t, 0, m_nWidth - t, m_nHeight, &source, t, 0, SRCCOPY);
            source.SelectObject(&m_bmChannelActive);
            dc.BitBlt(0, 0, t, m_nHeight, &source, 0, 0, SRCCOPY);
        } else {
            source.SelectObject(&m_bmChannel);
            dc.BitBlt(0, 0, m_nWidth, m_nHeight, &source, 0, 0, SRCCOPY);
        }
    }
    if (m_bThumb && m_bEnable) {
        bool dragged = m_bLButtonDown && m_bThumbActive;
        CBitmap* picture = dragged ? &m_bmThumbActive : &m_bmThumb;
        CBitmap* mask = dragged ? &m_bmThumbActiveMask : &m_bmThumbMask;
        int x = Pos2Pixel(m_nPos) - m_nThumbWidth / 2;
        if (m_bTransparentThumb) {
            DrawTransparentBitmap(&dc, x, 0, m_nThumbWidth, m_nThumbHeight, picture, mask);
        } else {
            source.SelectObject(picture);
            dc.BitBlt(x, 0, m_nThumbWidth, m_nThumbHeight, &source, 0, 0, SRCCOPY);
        }
    }
    if (m_bDrawFocusRect && m_bFocus && m_bEnable)
        dc.DrawFocusRect(m_rect);
}

void CBitmapSlider::Post(UINT message) {
    if (CWnd* parent = GetParent())
        parent->PostMessage(message, GetDlgCtrlID(), m_nPos);
}

void CBitmapSlider::OnLButtonDown(UINT nFlags, POINT point) {
    if (!m_bEnable)
        return;
    SetCapture();
    SetFocus();
    m_bLButtonDown = 1;
    int d = point.x - Pos2Pixel(m_nPos);
    m_nMouseOffset = std::abs(d) <= m_nThumbWidth / 2 ? d : 0;
    OnMouseMove(nFlags, point);
    Invalidate();
    CStatic::OnLButtonDown(nFlags, point);
}

void CBitmapSlider::OnMouseMove(UINT nFlags, POINT point) {
    if (!m_bEnable || !m_bLButtonDown)
        return;
    int half = m_nThumbWidth / 2;
    int p = std::clamp(point.x - m_nMouseOffset, half, std::max(half, m_nWidth - half));
    if (p != Pos2Pixel(m_nPos)) {
        SetPos(Pixel2Pos(p));
        Post(WM_SLIDER_DRAGGING);
    }
    CStatic::OnMouseMove(nFlags, point);
}

void CBitmapSlider::OnLButtonUp(UINT nFlags, POINT point) {
    if (!m_bEnable)
        return;
    if (GetCapture() == this)
        ReleaseCapture();
    m_bLButtonDown = 0;
    Invalidate();
    Post(WM_SLIDER_RELEASED);
    CStatic::OnLButtonUp(nFlags, point);
}

LRESULT CBitmapSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE && wParam != VK_TAB)
        return DLGC_WANTALLKEYS;
    return CStatic::WindowProc(message, wParam, lParam);
}

void CBitmapSlider::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (!m_bEnable)
        return;
    int pos;
    switch (nChar) {
        case VK_PRIOR:
            pos = m_nPos - m_nPage;
            break;
        case VK_NEXT:
            pos = m_nPos + m_nPage;
            break;
        case VK_END:
            pos = m_nMax;
            break;
        case VK_HOME:
            pos = m_nMin;
            break;
        case VK_LEFT:
        case VK_UP:
            pos = m_nPos - 1;
            break;
        case VK_RIGHT:
        case VK_DOWN:
            pos = m_nPos + 1;
            break;
        default:
            CStatic::OnKeyDown(nChar, nRepCnt, nFlags);
            return;
    }
    SetPos(pos);
    Post(WM_SLIDER_RELEASED);
}

void CBitmapSlider::OnSetFocus() {
    m_bFocus = 1;
    Invalidate();
    CStatic::OnSetFocus();
}

void CBitmapSlider::OnKillFocus() {
    m_bFocus = 0;
    Invalidate();
    CStatic::OnKillFocus();
}

void CBitmapSlider::OnDestroy() {
    ReleaseChannel();
    ReleaseThumb();
    CStatic::OnDestroy();
}
