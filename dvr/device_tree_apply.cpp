#include "dvr/device_tree_apply.h"

#include <mutex>

#include "dvr/device_tree.h"
#include "dvr/device_tree_events.h"
#include "dvr/dvr_session.h"
#include "dvr/session_hooks.h"

namespace {

// True when the event's session is still in the list and has not been restarted since it was posted
// (g_deviceListLock held).
bool IsLive(const DvrTreeEvent* event) {
    for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next) {
        if (device == event->device)
            return device->generation.load() == event->generation;
    }
    return false;
}

}  // namespace

int HandleDvrTreeEvent(DeviceTreeView* view, LPARAM lParam) {
    auto* event = reinterpret_cast<DvrTreeEvent*>(lParam);
    if (event == nullptr)
        return -1;
    int result = -1;
    {
        // Held while the event is applied: the supervisor cannot restart or free the session meanwhile.
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        if (IsLive(event)) {
            DVRDevice* device = event->device;
            TreeItem item = FindTreeItemByNode(view, device->node, nullptr);
            switch (event->kind) {
                case DVR_TREE_LOGIN:
                    if (item != nullptr)
                        view->SetItemImage(item, event->image);
                    break;
                case DVR_TREE_CHANNELS:
                    ShowChannelItems(view, device, event->names, event->channelCount);
                    if (GetDvrSessionHooks().restoreSavedViews != nullptr)
                        GetDvrSessionHooks().restoreSavedViews(device);
                    break;
                case DVR_TREE_LOST:
                    if (item != nullptr) {
                        view->SetItemImage(item, TREE_ICON_DVR);
                        DeleteChildItems(view, item);
                    }
                    break;
                default:
                    break;
            }
            result = 0;
        }
    }
    FreeDvrTreeEvent(lParam);
    return result;
}
