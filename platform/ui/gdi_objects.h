#pragma once

// Drawing objects: bitmaps (colour or monochrome), fonts, brushes and pens, and the system colours.

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QPen>
#include <memory>

#include "platform/ui/ui_geometry.h"

QColor ToQColor(COLORREF colour);
COLORREF FromQColor(const QColor& colour);

constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_GRAYTEXT = 17;
COLORREF GetSysColor(int index);

class QWidget;
// Sets one colour of a widget's palette (a list's background or text).
void SetWidgetColour(QWidget* widget, QPalette::ColorRole role, COLORREF colour);

// The pixels behind a bitmap handle. A monochrome bitmap holds only black (0) and white (1) pixels.
struct BitmapData {
    QImage image;
    bool monochrome = false;
};
using HBITMAP = BitmapData*;

struct BITMAP {
    int bmWidth = 0;
    int bmHeight = 0;
    int bmBitsPixel = 0;
};

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // The bitmap resource with that number; FALSE (and no bitmap) when the program carries none.
    BOOL LoadBitmap(UINT nIDResource);
    // A colour bitmap with a copy of image (tests, pictures made in code). FALSE for a null image.
    BOOL FromImage(const QImage& image);
    // A colour bitmap of the given size, black.
    BOOL CreateCompatibleBitmap(int width, int height);
    // A colour bitmap of the given size whose pixels are transparent until drawn (a control's face that
    // lets its parent show where it draws nothing).
    BOOL CreateTransparentBitmap(int width, int height);
    // A monochrome bitmap of the given size, black.
    BOOL CreateMonochromeBitmap(int width, int height);
    BOOL DeleteObject();
    // Takes over a handle (and releases the one held); Detach gives the handle away.
    void Attach(HBITMAP handle);
    HBITMAP Detach() { return m_data.release(); }
    HBITMAP GetSafeHandle() const { return m_data.get(); }
    bool IsNull() const { return m_data == nullptr; }
    int GetBitmap(BITMAP* info) const;
    SIZE GetSize() const;
    QImage& Image() { return m_data->image; }
    const QImage& Image() const { return m_data->image; }
    bool IsMonochrome() const { return m_data != nullptr && m_data->monochrome; }

private:
    std::unique_ptr<BitmapData> m_data;
};

class CFont {
public:
    // Height in pixels (negative as for character height), weight 400 normal / 700 bold.
    BOOL CreateFont(int height, int weight, BOOL italic, const QString& faceName);
    BOOL CreatePointFont(int pointSizeTenths, const QString& faceName);
    void FromQFont(const QFont& font) { m_font = font; }
    const QFont& Font() const { return m_font; }

private:
    QFont m_font;
};

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    BOOL CreateSolidBrush(COLORREF colour);
    // Tiles the bitmap from the drawing context's origin.
    BOOL CreatePatternBrush(const CBitmap* bitmap);
    // The empty brush: drawing with it leaves the background as it is.
    BOOL CreateNullBrush();
    BOOL DeleteObject();
    const QBrush& Brush() const { return m_brush; }
    bool IsNull() const { return m_brush.style() == Qt::NoBrush; }

private:
    QBrush m_brush;
};

constexpr int PS_SOLID = 0;
constexpr int PS_DOT = 2;
class CPen {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    BOOL CreatePen(int style, int width, COLORREF colour);
    const QPen& Pen() const { return m_pen; }

private:
    QPen m_pen{Qt::black};
};
