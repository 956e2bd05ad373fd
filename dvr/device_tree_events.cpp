#include "dvr/device_tree_events.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "dvr/device_tree_node.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_messages.h"
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
