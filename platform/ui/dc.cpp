#include "platform/ui/dc.h"

#include "platform/ui/wnd.h"

namespace {

QPainter::CompositionMode CompositionOf(DWORD rop) {
    switch (rop) {
        case SRCAND:
            return QPainter::RasterOp_SourceAndDestination;
        case SRCPAINT:
            return QPainter::RasterOp_SourceOrDestination;
        case SRCINVERT:
            return QPainter::RasterOp_SourceXorDestination;
        case NOTSRCCOPY:
            return QPainter::RasterOp_NotSource;
        default:
            return QPainter::CompositionMode_Source;
    }
}

QRgb ToRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC* target) {
    m_isMemory = true;
    m_windowPainter = nullptr;
    if (target != nullptr) {
        m_font = target->m_font;
        m_textColour = target->m_textColour;
        m_bkColour = target->m_bkColour;
    }
    return TRUE;
}

BOOL CDC::DeleteDC() {
    m_bitmap = nullptr;
    m_isMemory = false;
    return TRUE;
}

void CDC::BeginOnPainter(QPainter* painter, const RECT& bounds) {
    m_windowPainter = painter;
    m_bounds = bounds;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    CBitmap* previous = m_bitmap;
    m_bitmap = bitmap;
    return previous;
}

CFont* CDC::SelectObject(CFont* font) {
    CFont* previous = m_font;
    m_font = font;
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    CBrush* previous = m_brush;
    m_brush = brush;
    return previous;
}

CPen* CDC::SelectObject(CPen* pen) {
    CPen* previous = m_penObject;
    m_penObject = pen;
    return previous;
}

COLORREF CDC::SetTextColor(COLORREF colour) {
    COLORREF previous = m_textColour;
    m_textColour = colour;
    return previous;
}

COLORREF CDC::SetBkColor(COLORREF colour) {
    COLORREF previous = m_bkColour;
    m_bkColour = colour;
    return previous;
}

int CDC::SetBkMode(int mode) {
    int previous = m_bkMode;
    m_bkMode = mode;
    return previous;
}

POINT CDC::SetWindowOrg(int x, int y) {
    POINT previous = m_origin;
    m_origin = POINT{x, y};
    return previous;
}

int CDC::GetClipBox(RECT* rect) const {
    if (m_windowPainter != nullptr) {
        *rect = m_bounds;
    } else if (m_bitmap != nullptr && !m_bitmap->IsNull()) {
        *rect = RECT{0, 0, m_bitmap->Image().width(), m_bitmap->Image().height()};
    } else {
        *rect = RECT{0, 0, 1, 1};
    }
    rect->OffsetRect(m_origin.x, m_origin.y);
    return 1;
}

bool CDC::IsMonochrome() const {
    return m_windowPainter == nullptr && m_bitmap != nullptr && m_bitmap->IsMonochrome();
}

const QImage* CDC::GetImage() const {
    if (m_windowPainter != nullptr || m_bitmap == nullptr || m_bitmap->IsNull())
        return nullptr;
    return &m_bitmap->Image();
}

template <typename Draw>
void CDC::WithPainter(Draw draw) {
    if (m_windowPainter != nullptr) {
        m_windowPainter->save();
        m_windowPainter->translate(-m_origin.x, -m_origin.y);
        draw(*m_windowPainter);
        m_windowPainter->restore();
        return;
    }
    if (m_bitmap == nullptr || m_bitmap->IsNull())
        return;
    QPainter painter(&m_bitmap->Image());
    painter.translate(-m_origin.x, -m_origin.y);
    draw(painter);
}

QImage CDC::SourcePixels(const QRect& area, bool toMonochrome, COLORREF destText, COLORREF destBk) const {
    const QImage* image = GetImage();
    if (image == nullptr)
        return QImage();
    QImage pixels =
        image->copy(area.translated(-m_origin.x, -m_origin.y)).convertToFormat(QImage::Format_RGB32);
    bool fromMonochrome = IsMonochrome();
    if (fromMonochrome == toMonochrome)
        return pixels;
    QRgb bk = ToRgb(m_bkColour) & 0xFFFFFF;
    QRgb white = qRgb(255, 255, 255);
    QRgb black = qRgb(0, 0, 0);
    QRgb text = ToRgb(destText);
    QRgb back = ToRgb(destBk);
    for (int y = 0; y < pixels.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            if (toMonochrome)
                line[x] = (line[x] & 0xFFFFFF) == bk ? white : black;
            else
                line[x] = (line[x] & 0xFFFFFF) == (white & 0xFFFFFF) ? back : text;
        }
    }
    return pixels;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop) {
    if (src == nullptr || rop == BLACKNESS || rop == WHITENESS || rop == PATCOPY)
        return PatBlt(x, y, width, height, rop);
    return StretchBlt(x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, DWORD rop) {
    if (src == nullptr || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return FALSE;
    // A colour bitmap drawn into another colour device is drawn from its own pixels. The copy of the area
    // below is needed only to convert between colour and monochrome, for an area that reaches past the
    // bitmap (the copy fills that part) and for a bitmap drawn into itself.
    const QImage* image = src->GetImage();
    const QRect area = QRect(xSrc, ySrc, srcWidth, srcHeight).translated(-src->m_origin.x, -src->m_origin.y);
    if (image != nullptr && image->format() == QImage::Format_RGB32 && !src->IsMonochrome() &&
        !IsMonochrome() && image->rect().contains(area) && GetImage() != image) {
        WithPainter([&](QPainter& painter) {
            painter.setCompositionMode(CompositionOf(rop));
            painter.drawImage(QRect(x, y, width, height), *image, area);
        });
        return TRUE;
    }
    QImage pixels =
        src->SourcePixels(QRect(xSrc, ySrc, srcWidth, srcHeight), IsMonochrome(), m_textColour, m_bkColour);
    if (pixels.isNull())
        return FALSE;
    WithPainter([&](QPainter& painter) {
        painter.setCompositionMode(CompositionOf(rop));
        painter.drawImage(QRect(x, y, width, height), pixels);
    });
    return TRUE;
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
    QBrush brush = rop == BLACKNESS     ? QBrush(Qt::black)
                   : rop == WHITENESS   ? QBrush(Qt::white)
                   : m_brush != nullptr ? m_brush->Brush()
                                        : QBrush(Qt::white);
    WithPainter([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setBrushOrigin(0, 0);
        painter.fillRect(QRect(x, y, width, height), brush);
    });
    return TRUE;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
    WithPainter([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(colour));
    });
}

void CDC::FillRect(const RECT& rect, const CBrush* brush) {
    if (brush == nullptr || brush->IsNull())
        return;
    WithPainter([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setBrushOrigin(0, 0);
        painter.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), brush->Brush());
    });
}

void CDC::FrameRect(const RECT& rect, const CBrush* brush) {
    if (brush == nullptr || brush->IsNull())
        return;
    FillRect(RECT{rect.left, rect.top, rect.right, rect.top + 1}, brush);
    FillRect(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, brush);
    FillRect(RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, brush);
    FillRect(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, brush);
}

void CDC::Rectangle(const RECT& rect) {
    WithPainter([&](QPainter& painter) {
        painter.setPen(m_penObject != nullptr ? m_penObject->Pen() : QPen(Qt::black));
        painter.setBrush(m_brush != nullptr ? m_brush->Brush() : QBrush(Qt::white));
        painter.drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
    });
}

void CDC::LineTo(int x, int y) {
    POINT from = m_pen;
    WithPainter([&](QPainter& painter) {
        painter.setPen(m_penObject != nullptr ? m_penObject->Pen() : QPen(Qt::black));
        painter.drawLine(from.x, from.y, x, y);
    });
    m_pen = POINT{x, y};
}

void CDC::DrawFocusRect(const RECT& rect) {
    WithPainter([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(Qt::white, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
    });
}

int CDC::DrawText(const QString& text, RECT* rect, UINT format) {
    int flags = 0;
    flags |= (format & DT_CENTER) ? Qt::AlignHCenter : (format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    if (format & DT_SINGLELINE)
        flags |= Qt::TextSingleLine;
    else if (format & DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    QRect area(rect->left, rect->top, rect->Width(), rect->Height());
    QFont font = m_font != nullptr ? m_font->Font() : QFont();
    QFontMetrics metrics(font);
    QRect bounding = metrics.boundingRect(area, flags, text);
    if (format & DT_CALCRECT) {
        rect->right = rect->left + bounding.width();
        rect->bottom = rect->top + bounding.height();
        return bounding.height();
    }
    WithPainter([&](QPainter& painter) {
        painter.setFont(font);
        if (m_bkMode == OPAQUE)
            painter.fillRect(bounding, ToQColor(m_bkColour));
        painter.setPen(ToQColor(m_textColour));
        painter.drawText(area, flags, text);
    });
    return bounding.height();
}

BOOL CDC::TextOut(int x, int y, const QString& text) {
    SIZE extent = GetTextExtent(text);
    RECT rect{x, y, x + extent.cx, y + extent.cy};
    DrawText(text, &rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    return TRUE;
}

SIZE CDC::GetTextExtent(const QString& text) const {
    QFontMetrics metrics(m_font != nullptr ? m_font->Font() : QFont());
    return SIZE{metrics.horizontalAdvance(text), metrics.height()};
}

COLORREF CDC::GetPixel(int x, int y) const {
    const QImage* image = GetImage();
    int px = x - m_origin.x;
    int py = y - m_origin.y;
    if (image == nullptr || !image->valid(px, py))
        return 0xFFFFFFFF;
    return FromQColor(QColor(image->pixel(px, py)));
}

void CDC::SetPixel(int x, int y, COLORREF colour) {
    if (m_windowPainter == nullptr && m_bitmap != nullptr && !m_bitmap->IsNull() &&
        m_bitmap->Image().valid(x - m_origin.x, y - m_origin.y))
        m_bitmap->Image().setPixel(x - m_origin.x, y - m_origin.y, ToRgb(colour));
}

CPaintDC::CPaintDC(CWnd* wnd) : m_painter(wnd->GetPaintWidget()) {
    RECT client;
    wnd->GetClientRect(&client);
    BeginOnPainter(&m_painter, client);
}

CPaintDC::~CPaintDC() {
    m_painter.end();
}
