#include "ui/controls/mem_dc_ex.h"

CMemDCEx::CMemDCEx(CDC* target, const RECT* rect, bool copyFirst) : m_pDC(target) {
    if (rect == nullptr)
        target->GetClipBox(&m_rect);
    else
        m_rect = *rect;
    CreateCompatibleDC(target);
    m_bitmap.CreateCompatibleBitmap(m_rect.Width(), m_rect.Height());
    SelectObject(&m_bitmap);
    SetWindowOrg(m_rect.left, m_rect.top);
    if (copyFirst && target->GetImage() != nullptr)
        BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), target, m_rect.left, m_rect.top,
               SRCCOPY);
    else
        FillSolidRect(m_rect, target->GetBkColor());
}

CMemDCEx::~CMemDCEx() {
    m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                  SRCCOPY);
    SelectObject(static_cast<CBitmap*>(nullptr));
}
