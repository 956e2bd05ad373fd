#include "platform/video/video_canvas.h"

#include <map>

void VideoCanvas::Resize(int width, int height) {
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (m_image.width() == width && m_image.height() == height && !m_image.isNull())
        return;
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
