#pragma once

// The drawing surface of one video window: an RGB32 image guarded by a lock. Decode threads draw into it
// under the lock and ask for a repaint; the window paints it on the UI thread. Canvases are found by the
// handle of their window, and a canvas outlives its window for as long as a drawing thread still holds it.

#include <QImage>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/system/win_types.h"

class VideoCanvas {
public:
    std::mutex& Lock() { return m_lock; }
    // The picture; read or change it only while holding Lock().
    QImage& Image() { return m_image; }
    // Resizes the picture (under Lock()); the new area is black.
    void Resize(int width, int height);

    // Asks the window for a repaint; requests made before the window has painted are folded into one.
    void RequestRepaint();
    // The window installs how a repaint is requested (called on any thread) and reports each paint.
    void SetRepaintHook(std::function<void()> hook);
    void RepaintDone() { m_repaintPending.store(false); }
    // Whether the window is on screen, as its window last saw: a hidden window's canvas is not drawn.
    // The window clears it when a repaint finds it hidden and sets it again when it paints.
    void SetShown(bool shown) { m_shown.store(shown); }
    bool IsShown() const { return m_shown.load(); }

private:
    std::mutex m_lock;
    QImage m_image;
    std::mutex m_hookLock;
    std::function<void()> m_hook;
    std::atomic<bool> m_repaintPending{false};
    std::atomic<bool> m_shown{true};
};

// The window layer registers the canvas of each video window; drawing threads look it up by handle.
void RegisterWindowCanvas(HWND hwnd, std::shared_ptr<VideoCanvas> canvas);
void UnregisterWindowCanvas(HWND hwnd);
std::shared_ptr<VideoCanvas> FindWindowCanvas(HWND hwnd);
