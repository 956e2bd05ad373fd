#include "platform/system/window_post.h"

#include <atomic>

namespace {
std::atomic<WindowPostHandler> g_handler{nullptr};
}

void SetWindowPostHandler(WindowPostHandler handler) {
    g_handler.store(handler, std::memory_order_release);
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, PostPayloadDeleter deleter) {
    WindowPostHandler handler = g_handler.load(std::memory_order_acquire);
    if (handler != nullptr && hwnd != nullptr && handler(hwnd, msg, wParam, lParam, deleter)) {
        return TRUE;
    }
    if (deleter != nullptr) {
        deleter(lParam);
    }
    return FALSE;
}
