#pragma once

// The notifications of the parameter and playback replies: posted after the record or list was written,
// to the setup dialog or the playback dialog when it exists (the session hooks say which window that is).

#include "platform/system/win_types.h"
#include "platform/system/window_post.h"

// WM_DEVICE_PARAMS_RECEIVED with a SETUP_REPLY_* type to the setup dialog, when it exists.
void PostSetupReply(int replyType, LPARAM lParam);
// The playback dialog, or null when it does not exist.
HWND PlaybackDialog();
// WM_PLAYBACK_DATA_RECEIVED with a PLAYBACK_DATA_* code to the playback dialog; a heap payload is released
// through deleter when the dialog is gone. FALSE when it was not posted.
BOOL PostPlaybackData(int code, LPARAM lParam, PostPayloadDeleter deleter = nullptr);
