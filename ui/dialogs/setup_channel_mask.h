#pragma once

// The video-mask grid of the channel page: the preview frame cut into 8 x 8 cells, and the toggling of
// the cells a mouse selection touches. Byte r of a mask is grid row r from the top, bit c of it column c
// from the left.

#include <cstdint>

#include "platform/ui/ui_geometry.h"

constexpr int MASK_GRID_SIDE = 8;
constexpr int MASK_GRID_CELLS = MASK_GRID_SIDE * MASK_GRID_SIDE;

struct MaskGrid {
    RECT preview;                 // the frame cut down to multiples of 8 in width and height
    RECT cells[MASK_GRID_CELLS];  // cell i: row i / 8, column i % 8
};

// The grid over a frame given in page coordinates.
MaskGrid ComputeMaskGrid(const RECT& frame);

// Inverts the bit of every cell whose rectangle touches the selection, edges included; a point selection
// on a border line touches the cells on both sides. Returns how many cells were toggled.
int ToggleMaskCells(const MaskGrid& grid, const RECT& selection, uint8_t (&mask)[MASK_GRID_SIDE]);
