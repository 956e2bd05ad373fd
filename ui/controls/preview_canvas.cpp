#include "ui/controls/preview_canvas.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>
#include <mutex>

#include "platform/system/window_post.h"
#include "platform/ui/wnd.h"
#include "platform/video/video_canvas.h"

// Paints the canvas in place of the frame's own drawing and follows the frame's size.
class CPreviewCanvas::PaintFilter : public QObject {
public:
    explicit PaintFilter(std::shared_ptr<VideoCanvas> canvas) : m_canvas(std::move(canvas)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr)
            return false;
        if (event->type() == QEvent::Resize) {
            std::lock_guard<VideoCanvas::WholeLock> guard(m_canvas->Lock());
            m_canvas->Resize(widget->width(), widget->height());
            return false;
        }
        if (event->type() != QEvent::Paint)
            return false;
        QPainter painter(widget);
        painter.fillRect(widget->rect(), Qt::black);
        // Requests made from here on ask for another paint.
        m_canvas->RepaintDone();
        m_canvas->SetShown(true);
        std::lock_guard<VideoCanvas::WholeLock> guard(m_canvas->Lock());
        if (!m_canvas->Image().isNull())
            painter.drawImage(0, 0, m_canvas->Image());
        return true;
    }

private:
    std::shared_ptr<VideoCanvas> m_canvas;
};

CPreviewCanvas::CPreviewCanvas() = default;

CPreviewCanvas::~CPreviewCanvas() {
    Detach();
}

int CPreviewCanvas::Attach(CWnd* frame, HWND notify, UINT message) {
    Detach();
    if (frame == nullptr || frame->GetSafeHwnd() == nullptr || frame->GetWidget() == nullptr)
        return -1;
    m_frame = frame;
    m_hFrame = frame->GetSafeHwnd();
    m_canvas = std::make_shared<VideoCanvas>();
    QWidget* widget = frame->GetWidget();
    {
        std::lock_guard<VideoCanvas::WholeLock> guard(m_canvas->Lock());
        m_canvas->Resize(widget->width(), widget->height());
    }
    m_filter = std::make_unique<PaintFilter>(m_canvas);
    widget->installEventFilter(m_filter.get());
    m_canvas->SetRepaintHook([notify, message] { ::PostMessage(notify, message, 0, 0); });
    RegisterWindowCanvas(m_hFrame, m_canvas);
    widget->update();
    return 0;
}

void CPreviewCanvas::Detach() {
    if (m_canvas == nullptr)
        return;
    UnregisterWindowCanvas(m_hFrame);
    m_canvas->SetRepaintHook(nullptr);
    if (m_frame != nullptr && CWnd::FromHandle(m_hFrame) == m_frame && m_frame->GetWidget() != nullptr)
        m_frame->GetWidget()->removeEventFilter(m_filter.get());
    m_filter.reset();
    m_canvas.reset();
    m_frame = nullptr;
    m_hFrame = nullptr;
}

void CPreviewCanvas::OnRepaintRequest() {
    if (m_canvas == nullptr)
        return;
    // A preview is drawn whole: the whole frame is repainted.
    (void)m_canvas->TakeDrawn();
    QWidget* widget = m_frame != nullptr ? m_frame->GetWidget() : nullptr;
    if (widget != nullptr && widget->isVisible()) {
        widget->update();
        return;
    }
    m_canvas->SetShown(false);  // drawing stops until the frame paints again (it is shown)
    m_canvas->RepaintDone();    // nothing to paint; later requests must get through
}
