#pragma once

// The live picture of a dialog's preview frame: a video canvas registered for the frame's window, which the
// decode threads draw a preview slot's pictures into, painted over the frame on the UI thread. The frame
// stays the dialog's own control (clicks through it still reach the dialog). A drawing thread's repaint
// request is posted to the dialog as a message, which hands it back through OnRepaintRequest: a posted
// message is safe to send to a window that has gone meanwhile.

#include <QObject>
#include <memory>

#include "platform/system/win_types.h"

class CWnd;
class VideoCanvas;

class CPreviewCanvas {
public:
    CPreviewCanvas();
    ~CPreviewCanvas();
    CPreviewCanvas(const CPreviewCanvas&) = delete;
    CPreviewCanvas& operator=(const CPreviewCanvas&) = delete;

    // Paints a canvas over frame and registers it for frame's window; repaint requests are posted to
    // notify as message. 0, or -1 when frame has no window.
    [[nodiscard]] int Attach(CWnd* frame, HWND notify, UINT message);
    // Unregisters the canvas and stops painting; drawing threads that still hold it draw into nothing.
    void Detach();
    // The posted repaint request (UI thread): the frame repaints when it is on screen; a hidden frame
    // stops the drawing until it paints again.
    void OnRepaintRequest();
    std::shared_ptr<VideoCanvas> Canvas() const { return m_canvas; }

private:
    class PaintFilter;
    CWnd* m_frame = nullptr;
    HWND m_hFrame = nullptr;
    std::shared_ptr<VideoCanvas> m_canvas;
    std::unique_ptr<PaintFilter> m_filter;
};
