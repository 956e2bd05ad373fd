#include "platform/ui/window_resources.h"

namespace {
WindowResources g_resources;
}  // namespace

void SetWindowResources(const WindowResources* resources) {
    g_resources = resources != nullptr ? *resources : WindowResources{};
}

const DialogTemplate* FindWindowDialogTemplate(UINT id) {
    return g_resources.findDialogTemplate != nullptr ? g_resources.findDialogTemplate(id) : nullptr;
}

const MenuTemplate* FindWindowMenuTemplate(UINT id) {
    return g_resources.findMenuTemplate != nullptr ? g_resources.findMenuTemplate(id) : nullptr;
}

QImage LoadWindowBitmap(unsigned id) {
    return g_resources.loadBitmap != nullptr ? g_resources.loadBitmap(id) : QImage();
}
