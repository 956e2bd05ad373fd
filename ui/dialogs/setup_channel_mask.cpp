#include "ui/dialogs/setup_channel_mask.h"

MaskGrid ComputeMaskGrid(const RECT& frame) {
    MaskGrid grid{};
    int width = frame.Width() & ~7;
    int height = frame.Height() & ~7;
    if (width < 0 || height < 0)
        width = height = 0;
    grid.preview = RECT{frame.left, frame.top, frame.left + width, frame.top + height};
    int cellWidth = width / MASK_GRID_SIDE;
    int cellHeight = height / MASK_GRID_SIDE;
    for (int i = 0; i < MASK_GRID_CELLS; ++i) {
        int left = frame.left + (i % MASK_GRID_SIDE) * cellWidth;
        int top = frame.top + (i / MASK_GRID_SIDE) * cellHeight;
        grid.cells[i] = RECT{left, top, left + cellWidth, top + cellHeight};
    }
    return grid;
}

int ToggleMaskCells(const MaskGrid& grid, const RECT& selection, uint8_t (&mask)[MASK_GRID_SIDE]) {
    int toggled = 0;
    for (int i = 0; i < MASK_GRID_CELLS; ++i) {
        const RECT& cell = grid.cells[i];
        if (cell.IsRectEmpty())
            continue;
        if (cell.right >= selection.left && cell.left <= selection.right && cell.bottom >= selection.top &&
            cell.top <= selection.bottom) {
            mask[i / MASK_GRID_SIDE] ^= static_cast<uint8_t>(1u << (i % MASK_GRID_SIDE));
            ++toggled;
        }
    }
    return toggled;
}
