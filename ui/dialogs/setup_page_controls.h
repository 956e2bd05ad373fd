#pragma once

// Control helpers of the channel setup pages: typed access to a template control by id, the value lists
// selected by item data, and the chosen channel's record of the selected DVR.

#include "platform/ui/wnd.h"

struct DVRChannel;

template <typename T>
T* PageItem(const CWnd* page, UINT id) {
    return dynamic_cast<T*>(page->GetDlgItem(id));
}

void EnableItem(const CWnd* page, UINT id, BOOL enable);
// The selected item's data of a drop-down list; -1 without a selection or without the list.
int SelectedItemData(const CWnd* page, UINT id);
// Selects the first item with that data. When none has it: item 0 with firstWhenNone, else no item, so
// that the list keeps the record's value at the next Set.
void SelectItemByData(const CWnd* page, UINT id, int data, bool firstWhenNone);
// Channel's record of the DVR selected in the device tree; nullptr without one or out of its range.
DVRChannel* SelectedDeviceChannel(int channel);
