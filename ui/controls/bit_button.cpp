#include "ui/controls/bit_button.h"

#include <QPainter>

#include "platform/ui/dc.h"
#include "resources/resource_bitmaps.h"
#include "ui/window_messages.h"

int CBitButton::LoadBitmap(UINT id) {
    return LoadBitmapFromImage(LoadResourceBitmap(id));
}

int CBitButton::LoadBitmapFromImage(const QImage& strip) {
    m_bitmap.DeleteObject();
    if (!m_bitmap.FromImage(strip)) {
        DrawFace(ODA_DRAWENTIRE, SystemItemState());
        return 0;
    }
    SIZE size = m_bitmap.GetSize();
    m_nWidth = size.cx / 3;
    m_nHeight = size.cy;
    SizeToBitmap();
    DrawFace(ODA_DRAWENTIRE, SystemItemState());
    return 1;
}

void CBitButton::SetTextOfWidget(const QString& text) {
    CButton::SetTextOfWidget(text);
    DrawFace(ODA_DRAWENTIRE, SystemItemState());
}

void CBitButton::SizeToBitmap() {
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CBitButton::EnsureToolTip() {
    if (m_toolTip.IsCreated())
        return;
    m_toolTip.Create(this, TTS_ALWAYSTIP);
    m_toolTip.SetDelayTime(TTDT_AUTOMATIC, 200);
    m_toolTip.Activate(FALSE);
    m_toolTip.SetMaxTipWidth(400);
}

void CBitButton::SetToolTipText(const QString& text) {
    EnsureToolTip();
    if (m_toolTip.GetToolCount() == 0) {
        RECT client;
        GetClientRect(&client);
        m_toolTip.AddTool(this, text, &client, 1);
    }
    m_toolTip.UpdateTipText(text, this, 1);
    m_toolTip.Activate(TRUE);
}

int CBitButton::OnCreate() {
    EnsureToolTip();
    return CButton::OnCreate();
}

BOOL CBitButton::PreTranslateMessage(MSG* pMsg) {
    EnsureToolTip();
    m_toolTip.RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}

void CBitButton::DrawState(UINT itemAction, UINT itemState) {
    DrawFace(itemAction, itemState);
}

void CBitButton::DrawFace(UINT itemAction, UINT itemState) {
    if (GetWidget() == nullptr)
        return;
    RECT client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        client = RECT{0, 0, m_nWidth, m_nHeight};
    if (m_face.IsNull() || m_face.GetSize().cx != client.Width() || m_face.GetSize().cy != client.Height())
        m_face.CreateTransparentBitmap(client.Width(), client.Height());
    if (m_face.IsNull())
        return;
    m_face.Image().fill(Qt::transparent);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&m_face);
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = GetDlgCtrlID();
    dis.itemAction = itemAction;
    dis.itemState = itemState;
    dis.hwndItem = m_hWnd;
    dis.hDC = &dc;
    dis.rcItem = client;
    // Through the button's own window, as the platform's owner drawing goes.
    SendMessage(WM_DRAWITEM, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(&dis));
    Invalidate(FALSE);
}

void CBitButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CDC* dc = lpDrawItemStruct->hDC;
    UINT state = lpDrawItemStruct->itemState;
    m_nState = BITBUTTON_STATE_NORMAL;
    int x = 0;
    if (state & ODS_SELECTED) {
        x = 2 * m_nWidth;
        m_nState = BITBUTTON_STATE_PRESSED;
    } else if (state & ODS_FOCUS) {
        x = m_nWidth;
        m_nState = BITBUTTON_STATE_HOVER;
    } else if (state & ODS_DISABLED) {
        if (GetCapture() == this)
            ReleaseCapture();
        m_nState = BITBUTTON_STATE_DISABLED;
    }
    if (!m_bitmap.IsNull()) {
        CDC strip;
        strip.CreateCompatibleDC(dc);
        strip.SelectObject(&m_bitmap);
        dc->BitBlt(0, 0, m_nWidth, m_nHeight, &strip, x, 0, SRCCOPY);
    }
    QString text = GetWindowText();
    if (text.isEmpty())
        return;
    CFont font;
    font.FromQFont(GetWidget()->font());
    CFont* oldFont = dc->SelectObject(&font);
    int oldMode = dc->SetBkMode(TRANSPARENT);
    COLORREF oldColour =
        dc->SetTextColor(m_nState == BITBUTTON_STATE_DISABLED ? GetSysColor(COLOR_GRAYTEXT) : m_crText);
    RECT area{0, 0, m_nWidth, m_nHeight};
    if (m_nWidth == 0 || m_nHeight == 0)
        area = lpDrawItemStruct->rcItem;
    dc->DrawText(text, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

void CBitButton::OnPaint() {
    if (m_face.IsNull())
        DrawFace(ODA_DRAWENTIRE, SystemItemState());
    QPainter painter(GetPaintWidget());
    if (!m_face.IsNull())
        painter.drawImage(0, 0, m_face.Image());
}

bool CBitButton::IsInside(POINT point) const {
    // Without a picture the button's own size stands in for the picture's.
    int width = m_nWidth;
    int height = m_nHeight;
    if (m_bitmap.IsNull() || width == 0 || height == 0) {
        RECT client;
        GetClientRect(&client);
        width = client.Width();
        height = client.Height();
    }
    return point.x >= 0 && point.x <= width && point.y >= 0 && point.y <= height;
}

bool CBitButton::ReportRelease() {
    if (!m_bPressReported)
        return false;
    m_bPressReported = false;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_BITBUTTON_UP, GetDlgCtrlID(), 0);
    return true;
}

void CBitButton::CancelPress() {
    bool wasPushed = m_bSystemPushed;
    m_bSystemPushed = false;
    if (GetCapture() == this)
        ReleaseCapture();
    HWND self = m_hWnd;
    if (ReportRelease() || wasPushed) {
        if (FromHandle(self) == this)
            DrawFace(ODA_SELECT, SystemItemState());
    }
}

void CBitButton::OnLButtonDown(UINT, POINT) {
    HWND self = m_hWnd;
    DrawState(ODA_SELECT, ODS_SELECTED);
    m_bPressReported = true;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_BITBUTTON_DOWN, GetDlgCtrlID(), 0);
    if (FromHandle(self) != this || !IsWindowEnabled() || !IsWindowVisible()) {
        // The parent disabled, hid or destroyed the button while it handled the press.
        if (FromHandle(self) == this)
            CancelPress();
        return;
    }
    // The system button's own part: it takes the focus and the mouse.
    m_bSystemPushed = true;
    SetFocus();
    SetCapture();
}

void CBitButton::OnLButtonUp(UINT, POINT point) {
    HWND self = m_hWnd;
    bool pressed = m_bPressReported;
    ReportRelease();
    if (FromHandle(self) != this)
        return;
    if (pressed && IsInside(point) && IsWindowEnabled()) {
        ReleaseCapture();
        m_bSystemPushed = false;
        DrawState(ODA_SELECT, 0);
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(GetDlgCtrlID()), BN_CLICKED),
                                reinterpret_cast<LPARAM>(m_hWnd));
        return;
    }
    // The system button's press ends without a click.
    m_bSystemPushed = false;
    if (GetCapture() == this)
        ReleaseCapture();
}

void CBitButton::OnMouseMove(UINT, POINT point) {
    if (m_bHover == 1 || !IsInside(point)) {
        DrawState(0, 0);
        ReleaseCapture();
        m_bHover = 0;
    } else {
        DrawState(ODA_FOCUS, ODS_FOCUS);
        SetCapture();
        m_bHover = 1;
    }
}

LRESULT CBitButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Another window took the mouse: the press cannot end with a release here.
    if (message == WM_CAPTURECHANGED && lParam != 0 && reinterpret_cast<HWND>(lParam) != m_hWnd) {
        m_bHover = 0;
        CancelPress();
    }
    return CButton::WindowProc(message, wParam, lParam);
}

void CBitButton::OnEnable(BOOL bEnable) {
    if (!bEnable)
        CancelPress();
    CButton::OnEnable(bEnable);
    DrawFace(ODA_DRAWENTIRE, SystemItemState());
    RedrawWindow(nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CBitButton::OnCancelMode() {
    m_bHover = 0;
    CancelPress();
    CButton::OnCancelMode();
}

void CBitButton::OnShowWindow(BOOL bShow, UINT nStatus) {
    if (!bShow)
        CancelPress();
    CButton::OnShowWindow(bShow, nStatus);
}

void CBitButton::OnDestroy() {
    ReportRelease();
    CButton::OnDestroy();
}

void CBitButton::OnSetFocus() {
    DrawFace(ODA_FOCUS, SystemItemState());
    CButton::OnSetFocus();
}

void CBitButton::OnKillFocus() {
    DrawFace(ODA_FOCUS, SystemItemState());
    CButton::OnKillFocus();
}
