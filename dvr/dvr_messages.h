#pragma once

// WM_DVR_TREE_EVENT, this folder's own message to the main window, which hands it to HandleDvrTreeEvent
// (dvr/device_tree_apply.h). The client's catalogue (core/window_messages.h) is included where its
// messages are posted.

#include "platform/system/win_types.h"

// Not in the catalogue: chosen well away from its values.
constexpr UINT WM_DVR_TREE_EVENT = WM_USER + 0x300;
