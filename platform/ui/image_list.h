#pragma once

// CImageList: pictures of one size, used by tree and list views and menus.

#include <QIcon>
#include <QImage>
#include <vector>

#include "platform/ui/gdi_objects.h"

class CImageList {
public:
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // Adds the pictures of a strip (as many as fit across), white or maskColour transparent; the index of
    // the first, or -1.
    int Add(const CBitmap* bitmap, COLORREF maskColour);
    int Add(const QImage& image);
    int GetImageCount() const { return static_cast<int>(m_images.size()); }
    SIZE GetImageSize() const { return SIZE{m_cx, m_cy}; }
    void RemoveAll() { m_images.clear(); }
    QIcon Icon(int index) const;
    const QImage* Image(int index) const;

private:
    int m_cx = 0;
    int m_cy = 0;
    std::vector<QImage> m_images;
};
constexpr UINT ILC_COLOR32 = 0x20;
constexpr UINT ILC_MASK = 0x1;
