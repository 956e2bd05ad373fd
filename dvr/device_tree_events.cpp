#include "dvr/device_tree_events.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "dvr/device_tree.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_session.h"
#include "dvr/session_hooks.h"
#include "platform/system/window_post.h"

namespace {

void Post(DvrTreeEvent* event) {
    PostMessage(GetDvrSessionHooks().mainWindow, WM_DVR_TREE_EVENT, 0, reinterpret_cast<LPARAM>(event),
                FreeDvrTreeEvent);
}

DvrTreeEvent* NewEvent(DVRDevice* device, int kind, int image) {
    auto* event = new (std::nothrow) DvrTreeEvent{};
    if (event == nullptr)
        return nullptr;
    event->device = device;
    event->generation = device->generation.load();
    event->kind = kind;
    event->image = image;
    return event;
}

bool IsLive(const DvrTreeEvent* event) {
    for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next) {
        if (device == event->device)
            return device->generation.load() == event->generation;
    }
    return false;
}

}  // namespace

void FreeDvrTreeEvent(LPARAM lParam) {
    auto* event = reinterpret_cast<DvrTreeEvent*>(lParam);
    if (event == nullptr)
        return;
    std::free(event->names);
    delete event;
}

void PostDvrTreeEvent(DVRDevice* device, int kind, int image) {
    if (device == nullptr || GetDvrSessionHooks().mainWindow == nullptr)
        return;
    DvrTreeEvent* event = NewEvent(device, kind, image);
    if (event != nullptr)
        Post(event);
}

void PostDvrChannelItems(DVRDevice* device) {
    if (device == nullptr || GetDvrSessionHooks().mainWindow == nullptr)
        return;
    DvrTreeEvent* event = NewEvent(device, DVR_TREE_CHANNELS, TREE_ICON_CHANNEL);
    if (event == nullptr)
        return;
    int count = device->channelCount;
    if (count > 0) {
        event->names = static_cast<char16_t(*)[256]>(std::calloc(count, sizeof(char16_t[256])));
        if (event->names == nullptr) {
            delete event;
            return;
        }
        for (int i = 0; i < count; ++i)
            std::memcpy(event->names[i], device->channels[i].name, sizeof(char16_t[256]));
        event->channelCount = count;
    }
    Post(event);
}

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
