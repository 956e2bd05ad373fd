#include "dvr/reply_notify.h"

#include "core/window_messages.h"
#include "dvr/dvr_messages.h"
#include "dvr/session_hooks.h"

void PostSetupReply(int replyType, LPARAM lParam) {
    const DvrSessionHooks& hooks = GetDvrSessionHooks();
    HWND setup = hooks.setupDialog != nullptr ? hooks.setupDialog() : nullptr;
    if (setup != nullptr)
        PostMessage(setup, WM_DEVICE_PARAMS_RECEIVED, static_cast<WPARAM>(replyType), lParam);
}

HWND PlaybackDialog() {
    const DvrSessionHooks& hooks = GetDvrSessionHooks();
    return hooks.playbackDialog != nullptr ? hooks.playbackDialog() : nullptr;
}

BOOL PostPlaybackData(int code, LPARAM lParam, PostPayloadDeleter deleter) {
    HWND dialog = PlaybackDialog();
    if (dialog == nullptr) {
        if (deleter != nullptr)
            deleter(lParam);
        return FALSE;
    }
    return PostMessage(dialog, WM_PLAYBACK_DATA_RECEIVED, static_cast<WPARAM>(code), lParam, deleter);
}
