#pragma once

// CDlgVideo: the borderless window (dialog 129) that video is drawn into. It owns the window's video
// canvas (registered under its handle for the drawing threads) and paints it; mouse input becomes
// WM_VIDEO_CLICK, WM_VIDEO_DBLCLK and WM_VIDEO_RCLICK for its parent and, with mouse PTZ on, PTZ steps
// for the camera of the selected screen: a left drag pans and tilts in steps of more than 9 pixels, the
// wheel zooms while dragging, and every drag ends with a stop, however it ends.

#include <chrono>
#include <functional>
#include <memory>

#include "platform/ui/dialog.h"
#include "platform/ui/gdi_objects.h"

class VideoCanvas;

class CDlgVideo : public CDialog {
public:
    // The PTZ commands this window sends (the protocol's codes).
    static constexpr int kPtzTiltUp = 1;
    static constexpr int kPtzTiltDown = 2;
    static constexpr int kPtzPanLeft = 3;
    static constexpr int kPtzPanRight = 4;
    static constexpr int kPtzZoomIn = 7;
    static constexpr int kPtzZoomOut = 8;
    static constexpr int kPtzStop = 14;
    static constexpr int DRAG_STEP_PIXELS = 9;
    static constexpr UINT IDD = 129;

    CDlgVideo(CWnd* parent, int ptzByMouse);
    ~CDlgVideo() override;

    // Where the PTZ commands go: the main window sends them for its selected screen.
    void SetPtzHandler(std::function<void(int command)> handler) { m_ptzHandler = std::move(handler); }
    BOOL DestroyWindow() override;
    std::shared_ptr<VideoCanvas> Canvas() const { return m_canvas; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CWnd* m_pParent;
    int m_bPtzByMouse;
    CBrush m_brBackground;
    int m_bDragging = 0;
    POINT m_ptLast;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnPaint() override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnLButtonDblClk(UINT nFlags, POINT point) override;
    void OnRButtonDown(UINT nFlags, POINT point) override;
    void OnMouseMove(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;
    BOOL OnMouseWheel(UINT nFlags, short zDelta, POINT point) override;
    void OnCancelMode() override;
    void OnEnable(BOOL bEnable) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;

private:
    void PostToParent(UINT message, POINT point);
    void SendPtz(int command);
    // Ends a drag that lost its button release: the camera is stopped.
    void EndDrag();

    // Invalidates what the drawing threads drew since the last time.
    void RepaintDrawn();

    // The shortest time between two repaints of the pictures (a display's refresh is about 16 ms).
    static constexpr std::chrono::milliseconds kPaintInterval{20};
    std::function<void(int)> m_ptzHandler;
    std::shared_ptr<VideoCanvas> m_canvas;
    std::chrono::steady_clock::time_point m_lastPaint;
    bool m_repaintTimed = false;  // a repaint waits for the interval
};
