#pragma once

// Window messages that the DVR sessions post: those of the client's catalogue, and WM_DVR_TREE_EVENT, this
// folder's own message to the main window, which hands it to HandleDvrTreeEvent (dvr/device_tree_events.h).

#include "platform/system/win_types.h"
#include "ui/window_messages.h"

// Not in the catalogue: chosen well away from its values.
constexpr UINT WM_DVR_TREE_EVENT = WM_USER + 0x300;
