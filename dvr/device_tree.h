#pragma once

// The device tree file (tree.dat in LAN mode, treew.dat in WAN mode) and the items of the main window's
// device tree. Each item owns a malloc'd DeviceTreeNode as its data; each DVR item also has a session
// that points at that record. UI thread only.

#include <QString>
#include <vector>

#include "dvr/device_tree_node.h"
#include "dvr/device_tree_view.h"

struct DVRDevice;

// dataDir followed by "tree.dat" or "treew.dat".
QString DeviceTreeFilePath(const QString& dataDir, bool lanMode);

// Reads the records of a tree file as stored (credentials still Base64). Text fields are forced to end
// inside their field; a trailing partial record is ignored. -1 when the file is missing or does not start
// with FF FE.
[[nodiscard]] int ReadDeviceTreeFile(const QString& path, std::vector<DeviceTreeNode>* records);
// Writes the mark FF FE and the records as given (credentials already in their stored Base64 form) to
// path (a native path) through a temporary file renamed over it, so a failed write loses nothing. 0, or -1.
[[nodiscard]] int WriteDeviceTreeFile(const QString& path, const std::vector<DeviceTreeNode>& records);

// Decodes a DVR record's stored user name and password in place (a field that is not Base64 stays as read).
void DecodeTreeCredentials(DeviceTreeNode* node);
// Replaces a DVR record's plain user name and password by their Base64 text (an empty field stays empty).
void EncodeTreeCredentials(DeviceTreeNode* node);

// Stops and frees every session (their screens released first), clears the tree, reads the file at path,
// inserts the items and puts one session per DVR item on the list, for the supervisor to start (it must
// run), so the UI thread never waits for thousands of thread starts.
void LoadDeviceTree(DeviceTreeView* view, const QString& path);
// The same load in slices, so that the window answers between them: the begin stops and frees the
// sessions, clears the tree and reads the file; each continue inserts records (and puts their sessions on
// the list) for about budgetMs (negative: all) and returns 1 while records remain, 0 once the load is
// whole or stopped. A new load or a clear of the same view ends a load still under way.
void BeginDeviceTreeLoad(DeviceTreeView* view, const QString& path);
[[nodiscard]] int ContinueDeviceTreeLoad(int budgetMs);
// Frees the data of every item and deletes all items.
void ClearDeviceTree(DeviceTreeView* view);
// The same, but the DVR records are handed to dvrRecords (for the sessions that still point at them).
void ClearDeviceTreeKeeping(DeviceTreeView* view, std::vector<void*>* dvrRecords);
// First item at or after start (null: the first top-level item), depth-first in display order, whose data
// has the type and id.
TreeItem FindTreeItem(DeviceTreeView* view, int type, int id, TreeItem start);
// The item whose data is the given record (ids may repeat; records do not).
TreeItem FindTreeItemByNode(DeviceTreeView* view, const DeviceTreeNode* node, TreeItem start);
// Frees the data of the item and its whole subtree; deletes no item.
void FreeTreeItemData(DeviceTreeView* view, TreeItem item);
// Deletes every child of the item, freeing their data first.
void DeleteChildItems(DeviceTreeView* view, TreeItem item);
// Replaces the DVR item's children by one channel item per named channel.
void ShowChannelItems(DeviceTreeView* view, const DVRDevice* device, const char16_t (*names)[256], int count);
void SetChannelItemIcon(DeviceTreeView* view, const DVRDevice* device, int image, int channel);
// The session of the DVR selected in the tree, or null (area, nothing selected).
DVRDevice* SelectedTreeDevice(DeviceTreeView* view);
// Selection changed: g_currentDevice := SelectedTreeDevice.
void OnClickDeviceTree(DeviceTreeView* view);
DVRDevice* FindDeviceByNode(const DeviceTreeNode* node);
// Stops and frees every session, clears the tree and loads it again from path (LoadDeviceTree).
void ReloadDevices(DeviceTreeView* view, const QString& path);
