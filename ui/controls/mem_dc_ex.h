#pragma once

// CMemDCEx: an off-screen drawing context over an area of a target context. Drawing goes into a memory
// bitmap whose logical coordinates match the target's; when the object goes away the area is copied to
// the target in one piece, so a control repaints without flicker.

#include "platform/ui/dc.h"

class CMemDCEx : public CDC {
public:
    // rect: the area (the target's clip box when null). copyFirst: start from the target's pixels rather
    // than its background colour (possible only for a memory target).
    CMemDCEx(CDC* target, const RECT* rect = nullptr, bool copyFirst = false);
    ~CMemDCEx() override;

    CDC* m_pDC;
    CBitmap m_bitmap;
    RECT m_rect;
    int m_bMemDC = 1;
};
