#pragma once

// The pictures of the device tree's items: image n of the list is tree icon n (TREE_ICON_AREA to
// TREE_ICON_DVR_REFUSED), 16 x 16, black transparent.

#include "platform/ui/image_list.h"

// Fills images from bitmaps 191, 194, 190, 192, 193 and 221. A bitmap the program lacks leaves an empty
// picture in its place, so the other images keep their numbers; FALSE then (and when the list cannot be
// made).
BOOL CreateDeviceTreeImages(CImageList* images);
