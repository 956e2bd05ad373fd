#pragma once

// The drawing surface of one video window: an RGB32 image guarded by a lock. Decode threads draw into it
// and ask for a repaint; the window paints it on the UI thread. Canvases are found by the handle of their
// window, and a canvas outlives its window for as long as a drawing thread still holds it.
//
// Two kinds of hold: Lock() takes the whole canvas (painting, resizing, reading, drawing anywhere); a
// RectLock takes one rectangle, and threads drawing rectangles that do not overlap hold theirs at the same
// time (the 64 decode threads of the grid each draw their own cell). A thread holding a RectLock must not
// ask for Lock(), nor the other way round.

#include <QImage>
#include <QRegion>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/system/win_types.h"

// What a rectangle of a canvas shows when it was drawn whole from a picture whose bytes never change (a
// built-in picture): the picture and how it was drawn (size, border, mode). A null picture is no still.
struct CanvasStillKey {
    const void* picture = nullptr;
    uint64_t detail = 0;
};

class VideoCanvas {
public:
    // The whole canvas, for std::lock_guard: waits until no rectangle is held; rectangles asked for while it
    // waits or is held wait for it.
    class WholeLock {
    public:
        explicit WholeLock(VideoCanvas* canvas) : m_canvas(canvas) {}
        void lock();
        void unlock();

    private:
        VideoCanvas* m_canvas;
    };

    // One rectangle of the canvas (left, top, right, bottom in canvas pixels; right and bottom exclusive),
    // held from construction to destruction. It waits while an overlapping rectangle or the whole canvas is
    // held (or the whole canvas is asked for). While it is held, the holder writes only pixels inside it,
    // through Pixels() and Stride(), and reads the image only through const access.
    class RectLock {
    public:
        // still: see HoldsStill (0 for anything else drawn).
        RectLock(VideoCanvas& canvas, int left, int top, int right, int bottom,
                 const CanvasStillKey& still = {});
        ~RectLock();
        RectLock(const RectLock&) = delete;
        RectLock& operator=(const RectLock&) = delete;

    private:
        VideoCanvas& m_canvas;
        int m_index;
    };

    VideoCanvas() : m_wholeLock(this) {}
    WholeLock& Lock() { return m_wholeLock; }
    // The picture; read or change it only while holding Lock() (under a RectLock: const access only).
    QImage& Image() { return m_image; }
    // The picture's first row and bytes per row, for writing under a RectLock (or Lock()); null when empty.
    uint8_t* Pixels() const { return m_pixels; }
    ptrdiff_t Stride() const { return m_stride; }
    // Resizes the picture (under Lock(), or before any other thread uses the canvas); the new area is black.
    void Resize(int width, int height);

    // Whether the rectangle (left, top, right, bottom) still shows the still drawn into it last: drawn whole
    // with this key under a RectLock, and nothing drawn over any part of it since (nor the canvas resized).
    bool HoldsStill(int left, int top, int right, int bottom, const CanvasStillKey& still);
    // Something was drawn into the rectangle outside a RectLock (under Lock()): the stills it touches go.
    void ForgetStills(int left, int top, int right, int bottom);

    // Asks the window to repaint the rectangle that was drawn (the whole canvas without one); requests made
    // before the window has painted are folded into one call of the hook, their rectangles gathered.
    void RequestRepaint();
    void RequestRepaint(const QRect& drawn);
    // The window installs how a repaint is requested (called on any thread) and reports each paint.
    void SetRepaintHook(std::function<void()> hook);
    // The rectangles drawn since the last call (the pending request stays: it ends with RepaintDone).
    QRegion TakeDrawn();
    // The window painted (or found nothing to paint): later requests call the hook again. What was drawn
    // and not taken yet calls the hook again at once.
    void RepaintDone();
    // Whether the window is on screen, as its window last saw: a hidden window's canvas is not drawn.
    // The window clears it when a repaint finds it hidden and sets it again when it paints.
    void SetShown(bool shown) { m_shown.store(shown); }
    bool IsShown() const { return m_shown.load(); }

private:
    struct Rect {
        int left, top, right, bottom;
        bool held;
    };
    struct Still {
        Rect rect;
        CanvasStillKey key;
    };
    bool OverlapsHeld(const Rect& rect) const;
    // With m_state held: the stills that rect touches are drawn over.
    void ForgetStillsLocked(const Rect& rect);
    // Takes the pixel pointer and row length from the image (with the whole canvas held).
    void RefreshPixels();

    WholeLock m_wholeLock;
    std::mutex m_state;  // guards what follows, up to m_image
    std::condition_variable m_changed;
    bool m_whole = false;
    int m_wholeWaiting = 0;
    std::vector<Rect> m_rects;  // slots of held rectangles (held false: free)
    std::vector<Still> m_stills;
    QImage m_image;
    uint8_t* m_pixels = nullptr;
    ptrdiff_t m_stride = 0;
    std::mutex m_hookLock;  // guards the hook, the drawn region and the pending flag
    std::function<void()> m_hook;
    std::vector<QRect> m_drawn;
    bool m_repaintPending = false;
    std::atomic<bool> m_shown{true};
};

// The window layer registers the canvas of each video window; drawing threads look it up by handle.
void RegisterWindowCanvas(HWND hwnd, std::shared_ptr<VideoCanvas> canvas);
void UnregisterWindowCanvas(HWND hwnd);
std::shared_ptr<VideoCanvas> FindWindowCanvas(HWND hwnd);
