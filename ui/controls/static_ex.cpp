#include "ui/controls/static_ex.h"

#include "platform/ui/dc.h"
#include "platform/ui/gdi_objects.h"

CStaticEx::CStaticEx() : m_crColor(GetSysColor(COLOR_BTNFACE)) {}

void CStaticEx::SetColor(COLORREF colour) {
    m_crColor = colour;
    if (GetSafeHwnd() != nullptr)
        RedrawWindow(nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CStaticEx::OnPaint() {
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    dc.FillSolidRect(client, m_crColor);
}
