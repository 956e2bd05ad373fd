#include "platform/video/video_canvas.h"

#include <cstdlib>
#include <map>

namespace {
// Rows start on 64-byte boundaries where the width allows (RGB32 rows of a multiple of 16 pixels), so
// drawing threads can store whole cache lines past the caches.
constexpr size_t kRowAlignment = 64;

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
    size_t rounded = (bytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    auto* pixels = bytes > 0 ? static_cast<uchar*>(std::aligned_alloc(kRowAlignment, rounded)) : nullptr;
    if (pixels != nullptr)
        m_image = QImage(pixels, width, height, static_cast<qsizetype>(width) * 4, QImage::Format_RGB32,
                         FreePixels, pixels);
    else
        m_image = QImage(width, height, QImage::Format_RGB32);
    m_image.fill(Qt::black);
}

void VideoCanvas::RequestRepaint() {
    if (m_repaintPending.exchange(true))
        return;
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> guard(m_hookLock);
        hook = m_hook;
    }
    if (hook) {
        hook();
    } else {
        m_repaintPending.store(false);
    }
}

void VideoCanvas::SetRepaintHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> guard(m_hookLock);
    m_hook = std::move(hook);
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
