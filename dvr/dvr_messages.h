#pragma once

// Window messages that the DVR sessions post. The client's catalogue (WM_DEVICE_PARAMS_RECEIVED,
// WM_PLAYBACK_DATA_RECEIVED and the reply types) is ui/window_messages.h, which the main window includes as
// well; WM_DVR_TREE_EVENT is this folder's own message to the main window, which hands it to
// HandleDvrTreeEvent (dvr/device_tree_events.h).

#include "platform/system/win_types.h"
#include "ui/window_messages.h"

// Not in the catalogue: chosen well away from its values.
constexpr UINT WM_DVR_TREE_EVENT = WM_USER + 0x300;
