#include "platform/ui/region.h"

#include "platform/ui/wnd.h"

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    m_region = QRegion(left, top, right - left, bottom - top);
    return TRUE;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    if (a == nullptr || (b == nullptr && mode != RGN_COPY))
        return RGN_ERROR;
    switch (mode) {
        case RGN_AND:
            m_region = a->m_region.intersected(b->m_region);
            break;
        case RGN_OR:
            m_region = a->m_region.united(b->m_region);
            break;
        case RGN_XOR:
            m_region = a->m_region.xored(b->m_region);
            break;
        case RGN_DIFF:
            m_region = a->m_region.subtracted(b->m_region);
            break;
        case RGN_COPY:
            m_region = a->m_region;
            break;
        default:
            return RGN_ERROR;
    }
    if (m_region.isEmpty())
        return NULLREGION;
    return m_region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL CRgn::DeleteObject() {
    m_region = QRegion();
    return TRUE;
}

int CWnd::SetWindowRgn(const CRgn* region, BOOL bRedraw) {
    if (m_widget == nullptr)
        return 0;
    if (region == nullptr)
        m_widget->clearMask();
    else
        m_widget->setMask(region->Region());
    if (bRedraw)
        m_widget->update();
    return 1;
}
