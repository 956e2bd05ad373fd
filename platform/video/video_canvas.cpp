#include "platform/video/video_canvas.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {
// Rows start on 64-byte boundaries where the width allows (RGB32 rows of a multiple of 16 pixels), so
// drawing threads can store whole cache lines past the caches.
constexpr size_t kRowAlignment = 64;
constexpr size_t kHugePageBytes = size_t{2} << 20;
// Rectangles gathered between two repaints before the last one grows to take in the rest.
constexpr size_t kMostRectangles = 128;

void FreePixels(void* pixels) {
    std::free(pixels);
}
}  // namespace

void VideoCanvas::Resize(int width, int height) {
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (m_image.width() == width && m_image.height() == height && !m_image.isNull())
        return;
    size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    // A canvas of a few megabytes lies on huge pages where the system gives them on request: it is made
    // with a few hundred times fewer page faults, and the drawing threads and the paint miss the address
    // cache far less. Smaller ones keep the row alignment.
    const size_t alignment = bytes >= kHugePageBytes ? kHugePageBytes : kRowAlignment;
    size_t rounded = (bytes + alignment - 1) / alignment * alignment;
    auto* pixels = bytes > 0 ? static_cast<uchar*>(std::aligned_alloc(alignment, rounded)) : nullptr;
    if (pixels != nullptr && alignment == kHugePageBytes)
        static_cast<void>(madvise(pixels, rounded, MADV_HUGEPAGE));
    if (pixels != nullptr)
        m_image = QImage(pixels, width, height, static_cast<qsizetype>(width) * 4, QImage::Format_RGB32,
                         FreePixels, pixels);
    else
        m_image = QImage(width, height, QImage::Format_RGB32);
    m_image.fill(Qt::black);
    RefreshPixels();
    std::lock_guard<std::mutex> guard(m_state);
    m_stills.clear();
}

void VideoCanvas::RefreshPixels() {
    m_pixels = m_image.isNull() ? nullptr : m_image.bits();
    m_stride = m_image.bytesPerLine();
}

void VideoCanvas::WholeLock::lock() {
    std::unique_lock<std::mutex> guard(m_canvas->m_state);
    ++m_canvas->m_wholeWaiting;
    m_canvas->m_changed.wait(guard, [this] {
        if (m_canvas->m_whole)
            return false;
        for (const Rect& r : m_canvas->m_rects) {
            if (r.held)
                return false;
        }
        return true;
    });
    --m_canvas->m_wholeWaiting;
    m_canvas->m_whole = true;
}

void VideoCanvas::WholeLock::unlock() {
    // Still alone on the canvas: whatever the holder did to the image, the drawers' pointer follows it.
    m_canvas->RefreshPixels();
    {
        std::lock_guard<std::mutex> guard(m_canvas->m_state);
        m_canvas->m_whole = false;
    }
    m_canvas->m_changed.notify_all();
}

bool VideoCanvas::OverlapsHeld(const Rect& rect) const {
    for (const Rect& r : m_rects) {
        if (r.held && rect.left < r.right && r.left < rect.right && rect.top < r.bottom &&
            r.top < rect.bottom)
            return true;
    }
    return false;
}

void VideoCanvas::ForgetStillsLocked(const Rect& rect) {
    std::erase_if(m_stills, [&](const Still& s) {
        return rect.left < s.rect.right && s.rect.left < rect.right && rect.top < s.rect.bottom &&
               s.rect.top < rect.bottom;
    });
}

bool VideoCanvas::HoldsStill(int left, int top, int right, int bottom, const CanvasStillKey& still) {
    if (still.picture == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(m_state);
    for (const Still& s : m_stills) {
        if (s.rect.left == left && s.rect.top == top && s.rect.right == right && s.rect.bottom == bottom)
            return s.key.picture == still.picture && s.key.detail == still.detail;
    }
    return false;
}

void VideoCanvas::ForgetStills(int left, int top, int right, int bottom) {
    std::lock_guard<std::mutex> guard(m_state);
    ForgetStillsLocked(Rect{left, top, right, bottom, false});
}

VideoCanvas::RectLock::RectLock(VideoCanvas& canvas, int left, int top, int right, int bottom,
                                const CanvasStillKey& still)
    : m_canvas(canvas), m_index(-1) {
    Rect rect{left, top, right, bottom, true};
    std::unique_lock<std::mutex> guard(canvas.m_state);
    canvas.m_changed.wait(
        guard, [&] { return !canvas.m_whole && canvas.m_wholeWaiting == 0 && !canvas.OverlapsHeld(rect); });
    // The rectangle is drawn over now; it holds the still when one is drawn whole.
    canvas.ForgetStillsLocked(rect);
    if (still.picture != nullptr)
        canvas.m_stills.push_back(Still{rect, still});
    // A free slot is reused, so the list stays as long as the most rectangles ever held at once.
    for (size_t i = 0; i < canvas.m_rects.size(); ++i) {
        if (!canvas.m_rects[i].held) {
            canvas.m_rects[i] = rect;
            m_index = static_cast<int>(i);
            return;
        }
    }
    canvas.m_rects.push_back(rect);
    m_index = static_cast<int>(canvas.m_rects.size()) - 1;
}

VideoCanvas::RectLock::~RectLock() {
    {
        std::lock_guard<std::mutex> guard(m_canvas.m_state);
        m_canvas.m_rects[static_cast<size_t>(m_index)].held = false;
    }
    m_canvas.m_changed.notify_all();
}

void VideoCanvas::RequestRepaint() {
    // Larger than any canvas: the window takes the part of it that it has.
    RequestRepaint(QRect(0, 0, 1 << 20, 1 << 20));
}

void VideoCanvas::RequestRepaint(const QRect& drawn) {
    std::function<void()> hook;
    {
        // Kept short: every drawing thread comes here once a picture. The rectangles are gathered as they
        // come (the same rectangle once; a picture's cell is drawn again and again) and made a region by
        // the window.
        std::lock_guard<std::mutex> guard(m_hookLock);
        if (!m_hook)
            return;
        if (std::find(m_drawn.begin(), m_drawn.end(), drawn) == m_drawn.end()) {
            if (m_drawn.size() < kMostRectangles)
                m_drawn.push_back(drawn);
            else
                m_drawn.back() = m_drawn.back().united(drawn);
        }
        if (m_repaintPending)
            return;
        m_repaintPending = true;
        hook = m_hook;
    }
    hook();
}

QRegion VideoCanvas::TakeDrawn() {
    std::vector<QRect> drawn;
    {
        std::lock_guard<std::mutex> guard(m_hookLock);
        drawn.swap(m_drawn);
        m_drawn.reserve(kMostRectangles);
    }
    QRegion region;
    for (const QRect& r : drawn)
        region += r;
    return region;
}

void VideoCanvas::RepaintDone() {
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> guard(m_hookLock);
        // Drawn after the window took the rectangles and before it painted: another repaint, at once.
        if (m_drawn.empty() || !m_hook) {
            m_repaintPending = false;
            return;
        }
        hook = m_hook;
    }
    hook();
}

void VideoCanvas::SetRepaintHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> guard(m_hookLock);
    m_hook = std::move(hook);
    m_drawn.clear();
    m_repaintPending = false;
}

namespace {
std::mutex g_canvasLock;
std::map<HWND, std::shared_ptr<VideoCanvas>> g_canvases;
}  // namespace

void RegisterWindowCanvas(HWND hwnd, std::shared_ptr<VideoCanvas> canvas) {
    std::lock_guard<std::mutex> guard(g_canvasLock);
    g_canvases[hwnd] = std::move(canvas);
}

void UnregisterWindowCanvas(HWND hwnd) {
    std::lock_guard<std::mutex> guard(g_canvasLock);
    g_canvases.erase(hwnd);
}

std::shared_ptr<VideoCanvas> FindWindowCanvas(HWND hwnd) {
    std::lock_guard<std::mutex> guard(g_canvasLock);
    auto it = g_canvases.find(hwnd);
    return it == g_canvases.end() ? nullptr : it->second;
}
