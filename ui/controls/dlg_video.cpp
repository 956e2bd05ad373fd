#include "ui/controls/dlg_video.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "core/window_messages.h"
#include "platform/ui/dc.h"
#include "platform/video/video_canvas.h"

namespace {
// A drawing thread asked for a repaint; posted so that it may come from any thread.
constexpr UINT WM_VIDEO_CANVAS_REPAINT = WM_APP + 0x3F00;
constexpr WPARAM kIntervalOver = 1;  // wParam of the repaint that waited for the paint interval

// The area this paint covers, in the widget's coordinates (the painter's system clip is in the device's);
// the whole widget when the painter has none.
QRegion PaintRegion(QPainter& painter, const QRect& whole) {
    QRegion clip = painter.paintEngine() != nullptr ? painter.paintEngine()->systemClip() : QRegion();
    if (clip.isEmpty())
        return QRegion(whole);
    return painter.deviceTransform().inverted().map(clip);
}
}  // namespace

CDlgVideo::CDlgVideo(CWnd* parent, int ptzByMouse)
    : CDialog(IDD, parent), m_pParent(parent), m_bPtzByMouse(ptzByMouse) {}

CDlgVideo::~CDlgVideo() {
    if (m_hWnd != nullptr)
        CDlgVideo::DestroyWindow();
}

BOOL CDlgVideo::OnInitDialog() {
    CDialog::OnInitDialog();
    m_brBackground.CreateSolidBrush(RGB(4, 3, 61));
    if (QWidget* widget = GetWidget())
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
    m_canvas = std::make_shared<VideoCanvas>();
    RECT client;
    GetClientRect(&client);
    {
        std::lock_guard<VideoCanvas::WholeLock> guard(m_canvas->Lock());
        m_canvas->Resize(client.Width(), client.Height());
    }
    HWND hwnd = m_hWnd;
    m_canvas->SetRepaintHook([hwnd] { ::PostMessage(hwnd, WM_VIDEO_CANVAS_REPAINT, 0, 0); });
    RegisterWindowCanvas(hwnd, m_canvas);
    return TRUE;
}

BOOL CDlgVideo::DestroyWindow() {
    if (m_hWnd != nullptr) {
        if (m_bDragging)
            EndDrag();
        UnregisterWindowCanvas(m_hWnd);
    }
    if (m_canvas != nullptr)
        m_canvas->SetRepaintHook(nullptr);
    m_brBackground.DeleteObject();
    return CDialog::DestroyWindow();
}

LRESULT CDlgVideo::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_VIDEO_CANVAS_REPAINT) {
        if (wParam == kIntervalOver)
            m_repaintTimed = false;
        if (m_canvas == nullptr || m_repaintTimed)
            return 0;
        // Pictures come faster than a screen shows them: the window repaints at most once a paint
        // interval, taking in everything drawn meanwhile (the request stays pending until then).
        auto since = std::chrono::steady_clock::now() - m_lastPaint;
        if (IsWindowVisible() && since < kPaintInterval) {
            m_repaintTimed = true;
            int waitMs = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(kPaintInterval - since).count());
            // Posted, so that a window gone meanwhile gets nothing.
            HWND hwnd = m_hWnd;
            QTimer::singleShot(std::max(waitMs, 1), GetWidget(),
                               [hwnd] { ::PostMessage(hwnd, WM_VIDEO_CANVAS_REPAINT, kIntervalOver, 0); });
            return 0;
        }
        RepaintDrawn();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CDlgVideo::RepaintDrawn() {
    // Only the rectangles drawn are repainted; the paint that covers them ends the request.
    QRegion drawn = m_canvas->TakeDrawn();
    if (!IsWindowVisible()) {
        m_canvas->SetShown(false);  // drawing stops until the window paints again (it is shown)
        m_canvas->RepaintDone();    // nothing to paint; later requests must get through
    } else if (drawn.isEmpty()) {
        m_canvas->RepaintDone();  // a paint took them already
    } else {
        for (const QRect& r : drawn) {
            RECT rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
            InvalidateRect(&rect, FALSE);
        }
    }
}

void CDlgVideo::OnPaint() {
    QWidget* widget = GetPaintWidget();
    QPainter painter(widget);
    if (m_canvas == nullptr) {
        painter.fillRect(widget->rect(), m_brBackground.Brush());
        return;
    }
    // Requests made from here on ask for another paint.
    m_lastPaint = std::chrono::steady_clock::now();
    m_canvas->RepaintDone();
    m_canvas->SetShown(true);
    std::lock_guard<VideoCanvas::WholeLock> guard(m_canvas->Lock());
    const QImage& image = m_canvas->Image();
    // The background shows only where the canvas does not reach (it follows the window's size); the
    // painter keeps to the invalid area, so only the rectangles drawn are copied.
    for (const QRect& r : QRegion(widget->rect()) - QRegion(image.rect()))
        painter.fillRect(r, m_brBackground.Brush());
    if (image.isNull())
        return;
    // One plain copy per invalid rectangle: a clip of many rectangles would make the painter copy span by
    // span (over its worker threads).
    QRegion invalid = PaintRegion(painter, widget->rect()) & image.rect();
    for (const QRect& r : invalid) {
        painter.setClipRect(r);
        painter.drawImage(r.topLeft(), image, r);
    }
}

void CDlgVideo::OnSize(UINT nType, int cx, int cy) {
    if (m_canvas != nullptr) {
        std::lock_guard<VideoCanvas::WholeLock> guard(m_canvas->Lock());
        m_canvas->Resize(cx, cy);
    }
    CDialog::OnSize(nType, cx, cy);
}

void CDlgVideo::PostToParent(UINT message, POINT point) {
    if (m_pParent == nullptr || m_pParent->m_hWnd == nullptr)
        return;
    LPARAM lParam =
        static_cast<LPARAM>((static_cast<DWORD>(point.y) << 16) | (static_cast<DWORD>(point.x) & 0xFFFF));
    m_pParent->PostMessage(message, 0, lParam);
}

void CDlgVideo::SendPtz(int command) {
    if (m_ptzHandler)
        m_ptzHandler(command);
}

void CDlgVideo::EndDrag() {
    m_bDragging = 0;
    SetWindowCursor(IDC_ARROW);
    SendPtz(kPtzStop);
}

void CDlgVideo::OnLButtonDown(UINT nFlags, POINT point) {
    if (m_bPtzByMouse) {
        // A press while a drag is still open (its release was lost) stops the camera first.
        if (m_bDragging)
            SendPtz(kPtzStop);
        m_bDragging = 1;
        m_ptLast = point;
        SetWindowCursor(IDC_SIZEALL);
    }
    PostToParent(WM_VIDEO_CLICK, point);
    CDialog::OnLButtonDown(nFlags, point);
}

void CDlgVideo::OnLButtonDblClk(UINT nFlags, POINT point) {
    PostToParent(WM_VIDEO_DBLCLK, point);
    CDialog::OnLButtonDblClk(nFlags, point);
}

void CDlgVideo::OnRButtonDown(UINT nFlags, POINT point) {
    PostToParent(WM_VIDEO_RCLICK, point);
    CDialog::OnRButtonDown(nFlags, point);
}

void CDlgVideo::OnMouseMove(UINT nFlags, POINT point) {
    if (m_bPtzByMouse) {
        if (m_bDragging && !(nFlags & MK_LBUTTON)) {
            // The button went up where this window did not see it.
            EndDrag();
        } else if (m_bDragging) {
            SetWindowCursor(IDC_SIZEALL);
            if (m_ptLast.x - point.x > DRAG_STEP_PIXELS) {
                SendPtz(kPtzPanLeft);
                m_ptLast = point;
            }
            if (point.x - m_ptLast.x > DRAG_STEP_PIXELS) {
                SendPtz(kPtzPanRight);
                m_ptLast = point;
            }
            if (m_ptLast.y - point.y > DRAG_STEP_PIXELS) {
                SendPtz(kPtzTiltUp);
                m_ptLast = point;
            }
            if (point.y - m_ptLast.y > DRAG_STEP_PIXELS) {
                SendPtz(kPtzTiltDown);
                m_ptLast = point;
            }
        } else {
            SetWindowCursor(IDC_ARROW);
        }
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CDlgVideo::OnLButtonUp(UINT nFlags, POINT point) {
    if (m_bPtzByMouse) {
        if (m_bDragging)
            SendPtz(kPtzStop);
        SetWindowCursor(IDC_ARROW);
        m_bDragging = 0;
    }
    CDialog::OnLButtonUp(nFlags, point);
}

BOOL CDlgVideo::OnMouseWheel(UINT nFlags, short zDelta, POINT point) {
    if (m_bDragging)
        SendPtz(zDelta > 0 ? kPtzZoomIn : kPtzZoomOut);
    return CDialog::OnMouseWheel(nFlags, zDelta, point);
}

void CDlgVideo::OnCancelMode() {
    if (m_bDragging)
        EndDrag();
    CDialog::OnCancelMode();
}

void CDlgVideo::OnEnable(BOOL bEnable) {
    if (!bEnable && m_bDragging)
        EndDrag();
    CDialog::OnEnable(bEnable);
}

void CDlgVideo::OnShowWindow(BOOL bShow, UINT nStatus) {
    if (!bShow && m_bDragging)
        EndDrag();
    CDialog::OnShowWindow(bShow, nStatus);
}
