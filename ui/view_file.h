#pragma once

// view.dat: which DVR channel each of the 64 grid screens shows, kept from one run to the next. The file
// is the 16-bit mark 0xFEFF (bytes FF FE) and 64 records of two little-endian int32 values, 514 bytes.

#include <QString>
#include <cstdint>

#include "ui/screen_grid.h"

struct ViewEntry {
    int32_t deviceId;  // id of the DVR's tree node, -1 for none
    int32_t channel;   // channel index on that DVR, -1 for none
};
static_assert(sizeof(ViewEntry) == 8);

constexpr uint16_t VIEW_FILE_BOM = 0xFEFF;
constexpr int VIEW_FILE_SIZE = 2 + GRID_SCREENS * static_cast<int>(sizeof(ViewEntry));

// Every entry {-1, -1}.
void ClearViews(ViewEntry (&views)[GRID_SCREENS]);

// Reads the file at `path` (a native path) into views. Every entry is cleared first; then each whole record
// that names a DVR id of 0 or more and a channel that a DVR can have is taken, unless an earlier screen
// already shows that channel (one channel is never put on two screens). A short file gives what it holds
// in whole records. Returns how many entries were taken, or -1 when the file does not open or does not
// start with the mark (nothing is taken).
[[nodiscard]] int LoadViewFile(const QString& path, ViewEntry (&views)[GRID_SCREENS]);

// Writes views to `path` through a temporary file renamed over it, so a failed write leaves the old file
// whole. 0, or -1 when the file cannot be written.
[[nodiscard]] int SaveViewFile(const QString& path, const ViewEntry (&views)[GRID_SCREENS]);
