#pragma once

// The applying half of the device tree's events (UI thread); the sessions post them through
// device_tree_events.h.

#include "dvr/device_tree_view.h"
#include "platform/system/win_types.h"

// Applies the event of a WM_DVR_TREE_EVENT (lParam) to the tree and frees it. 0 when applied, -1 when it
// was stale.
[[nodiscard]] int HandleDvrTreeEvent(DeviceTreeView* view, LPARAM lParam);
