#pragma once

// CRgn: an area made of rectangles, combined as the platform does; a window's region (SetWindowRgn) is the
// only part of it that is drawn and takes the mouse.

#include <QRegion>

#include "platform/ui/ui_geometry.h"

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

class CRgn {
public:
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    // This region := a combined with b (b unused for RGN_COPY); the kind of the result.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    BOOL PtInRegion(int x, int y) const { return m_region.contains(QPoint(x, y)) ? TRUE : FALSE; }
    BOOL DeleteObject();
    const QRegion& Region() const { return m_region; }

private:
    QRegion m_region;
};
