#pragma once

// Window messages that the DVR sessions post. WM_DEVICE_PARAMS_RECEIVED and WM_PLAYBACK_DATA_RECEIVED and
// the reply types belong to the client's catalogue; WM_DVR_TREE_EVENT is this folder's own message to the
// main window, which hands it to HandleDvrTreeEvent (dvr/device_tree_events.h).

#include "platform/system/win_types.h"

constexpr UINT WM_DEVICE_PARAMS_RECEIVED = WM_USER + 28;  // 0x41C
constexpr UINT WM_PLAYBACK_DATA_RECEIVED = WM_USER + 33;  // 0x421
// Not in the catalogue: chosen well away from its values.
constexpr UINT WM_DVR_TREE_EVENT = WM_USER + 0x300;

constexpr int SETUP_REPLY_SYSTEM = 1;
