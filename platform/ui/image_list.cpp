#include "platform/ui/image_list.h"

#include <QPixmap>

BOOL CImageList::Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0)
        return FALSE;
    m_cx = cx;
    m_cy = cy;
    m_images.clear();
    return TRUE;
}

int CImageList::Add(const CBitmap* bitmap, COLORREF maskColour) {
    if (bitmap == nullptr || bitmap->IsNull() || m_cx <= 0)
        return -1;
    const QImage& strip = bitmap->Image();
    int first = GetImageCount();
    QRgb transparent = qRgb(GetRValue(maskColour), GetGValue(maskColour), GetBValue(maskColour));
    for (int x = 0; x + m_cx <= strip.width(); x += m_cx) {
        QImage picture = strip.copy(x, 0, m_cx, m_cy).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int i = 0; i < picture.width(); ++i) {
                if ((line[i] & 0xFFFFFF) == (transparent & 0xFFFFFF))
                    line[i] = 0;
            }
        }
        m_images.push_back(picture);
    }
    return GetImageCount() > first ? first : -1;
}

int CImageList::Add(const QImage& image) {
    if (image.isNull())
        return -1;
    m_images.push_back(image.scaled(m_cx, m_cy));
    return GetImageCount() - 1;
}

QIcon CImageList::Icon(int index) const {
    const QImage* image = Image(index);
    return image == nullptr ? QIcon() : QIcon(QPixmap::fromImage(*image));
}

const QImage* CImageList::Image(int index) const {
    if (index < 0 || index >= GetImageCount())
        return nullptr;
    return &m_images[static_cast<size_t>(index)];
}
