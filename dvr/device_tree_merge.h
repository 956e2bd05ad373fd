#pragma once

// Merges a list of DVRs (from discovery or the WAN server) into the device tree file of the current mode,
// keeping the credentials the operator stored for DVRs of the same name. UI thread only.

#include <QString>

#include "dvr/device_list_node.h"

// Merges list (may be null; not taken over) into the tree file of the current mode (theApp's data folder
// and m_bLanMode) and sets theApp.m_bShowDevice to 0. 0 when the file was written; -1 when it was left as
// it was (it exists but cannot be read or has no FF FE mark, or it cannot be written).
[[nodiscard]] int MergeDeviceTreeFile(const DeviceListNode* list);

// The merge itself, on the tree file at path (a native path):
// - the DVR records of the file are read (area records are dropped); a missing file gives none;
// - of nodes of the list with the same host and port (exact), only the last one stays;
// - each file record gives its stored (Base64) user and password to the first node of the same name;
//   a record whose name matches no node is appended in LAN mode and dropped in WAN mode;
// - the result is written to a temporary file that then replaces the file, so a failed write loses
//   nothing.
[[nodiscard]] int MergeDeviceTreeFileAt(const QString& path, bool lanMode, const DeviceListNode* list);
