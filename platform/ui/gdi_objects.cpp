#include "platform/ui/gdi_objects.h"

#include <QWidget>

#include "platform/ui/window_resources.h"

QColor ToQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF FromQColor(const QColor& colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
}

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
            return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        case COLOR_GRAYTEXT:
            return RGB(109, 109, 109);
        default:
            return RGB(0, 0, 0);
    }
}

void SetWidgetColour(QWidget* widget, QPalette::ColorRole role, COLORREF colour) {
    if (widget == nullptr)
        return;
    QPalette palette = widget->palette();
    palette.setColor(role, ToQColor(colour));
    widget->setPalette(palette);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    m_data.reset();
    return FromImage(LoadWindowBitmap(nIDResource));
}

BOOL CBitmap::FromImage(const QImage& image) {
    m_data.reset();
    if (image.isNull())
        return FALSE;
    m_data = std::make_unique<BitmapData>();
    m_data->image = image.convertToFormat(QImage::Format_RGB32);
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(int width, int height) {
    m_data.reset();
    if (width <= 0 || height <= 0)
        return FALSE;
    m_data = std::make_unique<BitmapData>();
    m_data->image = QImage(width, height, QImage::Format_RGB32);
    m_data->image.fill(Qt::black);
    return TRUE;
}

BOOL CBitmap::CreateTransparentBitmap(int width, int height) {
    m_data.reset();
    if (width <= 0 || height <= 0)
        return FALSE;
    m_data = std::make_unique<BitmapData>();
    m_data->image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    m_data->image.fill(Qt::transparent);
    return TRUE;
}

BOOL CBitmap::CreateMonochromeBitmap(int width, int height) {
    if (!CreateCompatibleBitmap(width, height))
        return FALSE;
    m_data->monochrome = true;
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    bool had = m_data != nullptr;
    m_data.reset();
    return had ? TRUE : FALSE;
}

void CBitmap::Attach(HBITMAP handle) {
    m_data.reset(handle);
}

int CBitmap::GetBitmap(BITMAP* info) const {
    if (m_data == nullptr)
        return 0;
    info->bmWidth = m_data->image.width();
    info->bmHeight = m_data->image.height();
    info->bmBitsPixel = m_data->monochrome ? 1 : 32;
    return static_cast<int>(sizeof(BITMAP));
}

SIZE CBitmap::GetSize() const {
    if (m_data == nullptr)
        return SIZE{};
    return SIZE{m_data->image.width(), m_data->image.height()};
}

BOOL CFont::CreateFont(int height, int weight, BOOL italic, const QString& faceName) {
    m_font = QFont(faceName);
    if (height != 0)
        m_font.setPixelSize(height < 0 ? -height : height);
    m_font.setBold(weight >= 600);
    m_font.setItalic(italic != FALSE);
    return TRUE;
}

BOOL CFont::CreatePointFont(int pointSizeTenths, const QString& faceName) {
    m_font = QFont(faceName);
    m_font.setPointSizeF(pointSizeTenths / 10.0);
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    m_brush = QBrush(ToQColor(colour));
    return TRUE;
}

BOOL CBrush::CreatePatternBrush(const CBitmap* bitmap) {
    if (bitmap == nullptr || bitmap->IsNull())
        return FALSE;
    m_brush = QBrush(bitmap->Image());
    return TRUE;
}

BOOL CBrush::CreateNullBrush() {
    m_brush = QBrush();
    return TRUE;
}

BOOL CBrush::DeleteObject() {
    m_brush = QBrush();
    return TRUE;
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
    m_pen = QPen(ToQColor(colour), width, style == PS_DOT ? Qt::DotLine : Qt::SolidLine);
    return TRUE;
}
