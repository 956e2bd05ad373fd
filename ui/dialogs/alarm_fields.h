#pragma once

// The alarm page's rules without windows: what Set takes from the controls into a channel's record, and
// the 8 x 8 motion-zone grid laid over the preview frame, whose cells a click or a drag toggles.

#include <cstdint>

#include "dvr/dvr_device.h"
#include "platform/ui/ui_geometry.h"

constexpr int MOTION_GRID_SIZE = 8;
constexpr int MOTION_CELL_COUNT = MOTION_GRID_SIZE * MOTION_GRID_SIZE;

// What the alarm controls hold.
struct AlarmControls {
    int sensitivity = -1;  // item data of the selected sensitivity, -1 without a selection
    bool email = false;
    bool client = false;
};

// The alarm values of a channel's record.
struct AlarmValues {
    int32_t sensitivity = 0;
    uint32_t actions = 0;
};

// Writes the controls into values: 0 when something changed, -1 when the controls show what values holds
// (then nothing is written). A sensitivity without a selection keeps the record's; the action bits the
// page does not offer (the mobile-phone bits, which come back as the DVR sent them, and any other) are
// kept as the record holds them.
[[nodiscard]] int CollectAlarmValues(const AlarmControls& controls, AlarmValues* values);

// The zone grid over the preview frame: the frame cut down to multiples of 8 in width and height, and
// cell i (row i / 8, column i % 8) one eighth of that in each direction.
struct MotionGrid {
    RECT preview;
    RECT cells[MOTION_CELL_COUNT];
};
MotionGrid ComputeMotionGrid(const RECT& frame);

// Inverts the bit of every cell that touches the selection, edges included (so a click on a border line
// toggles the two or four cells that meet there). The selection is normalised first.
void ToggleMotionCells(const MotionGrid& grid, RECT selection, MotionZoneMask* mask);
