#pragma once

// A drawing context over QPainter: on a window while it paints (CPaintDC) or on a bitmap selected into a
// memory context. Block transfers combine pixels with the raster operations the program uses, and convert
// between colour and monochrome as the platform does: colour to monochrome turns the source's background
// colour white and every other colour black; monochrome to colour turns white into the destination's
// background colour and black into its text colour.

#include <QPainter>
#include <QPointer>
#include <QString>

#include "platform/ui/gdi_objects.h"

class CWnd;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context; the target only lends its state. Draws nothing until a bitmap is selected.
    BOOL CreateCompatibleDC(CDC* target);
    BOOL DeleteDC();

    CBitmap* SelectObject(CBitmap* bitmap);
    CFont* SelectObject(CFont* font);
    CBrush* SelectObject(CBrush* brush);
    CPen* SelectObject(CPen* pen);

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_textColour; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_bkColour; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_bkMode; }
    // Logical (x, y) is drawn at the device's (0, 0).
    POINT SetWindowOrg(int x, int y);
    POINT GetWindowOrg() const { return m_origin; }
    // The area that can be drawn, in logical coordinates.
    int GetClipBox(RECT* rect) const;

    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, DWORD rop);
    // Fills with the selected brush (PATCOPY), or black or white.
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
    void FillSolidRect(const RECT& rect, COLORREF colour);
    void FillRect(const RECT& rect, const CBrush* brush);
    void FrameRect(const RECT& rect, const CBrush* brush);
    void Rectangle(const RECT& rect);
    void MoveTo(int x, int y) { m_pen = POINT{x, y}; }
    void LineTo(int x, int y);
    // The dotted rectangle of a focused control, drawn by inverting.
    void DrawFocusRect(const RECT& rect);
    int DrawText(const QString& text, RECT* rect, UINT format);
    BOOL TextOut(int x, int y, const QString& text);
    SIZE GetTextExtent(const QString& text) const;
    COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF colour);
    // The pixels of a memory context's bitmap (null for a window context).
    const QImage* GetImage() const;

protected:
    // A context that draws through painter (a window's paint context); the device size is its bounds.
    void BeginOnPainter(QPainter* painter, const RECT& bounds);
    // Runs draw with a painter set to the context's origin: the window's painter or one on the bitmap.
    template <typename Draw>
    void WithPainter(Draw draw);
    QImage SourcePixels(const QRect& area, bool toMonochrome, COLORREF destText, COLORREF destBk) const;
    bool IsMonochrome() const;

    QPainter* m_windowPainter = nullptr;
    RECT m_bounds;
    CBitmap* m_bitmap = nullptr;
    CFont* m_font = nullptr;
    CBrush* m_brush = nullptr;
    CPen* m_penObject = nullptr;
    COLORREF m_textColour = RGB(0, 0, 0);
    COLORREF m_bkColour = RGB(255, 255, 255);
    int m_bkMode = OPAQUE;
    POINT m_origin;
    POINT m_pen;
    bool m_isMemory = false;
};

// The context of a window's paint event: valid only inside the window's OnPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

private:
    QPainter m_painter;
};
