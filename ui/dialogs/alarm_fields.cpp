#include "ui/dialogs/alarm_fields.h"

#include <algorithm>

namespace {
constexpr uint32_t kPageActions = ALARM_ACTION_EMAIL | ALARM_ACTION_CLIENT;
}  // namespace

int CollectAlarmValues(const AlarmControls& controls, AlarmValues* values) {
    AlarmValues next = *values;
    if (controls.sensitivity >= 0)
        next.sensitivity = controls.sensitivity;
    next.actions = values->actions & ~kPageActions;
    if (controls.email)
        next.actions |= ALARM_ACTION_EMAIL;
    if (controls.client)
        next.actions |= ALARM_ACTION_CLIENT;
    if (next.sensitivity == values->sensitivity && next.actions == values->actions)
        return -1;
    *values = next;
    return 0;
}

MotionGrid ComputeMotionGrid(const RECT& frame) {
    MotionGrid grid;
    int width = std::max(frame.right - frame.left, 0) / MOTION_GRID_SIZE * MOTION_GRID_SIZE;
    int height = std::max(frame.bottom - frame.top, 0) / MOTION_GRID_SIZE * MOTION_GRID_SIZE;
    grid.preview = {frame.left, frame.top, frame.left + width, frame.top + height};
    int cellWidth = width / MOTION_GRID_SIZE;
    int cellHeight = height / MOTION_GRID_SIZE;
    for (int i = 0; i < MOTION_CELL_COUNT; ++i) {
        int left = frame.left + (i % MOTION_GRID_SIZE) * cellWidth;
        int top = frame.top + (i / MOTION_GRID_SIZE) * cellHeight;
        grid.cells[i] = {left, top, left + cellWidth, top + cellHeight};
    }
    return grid;
}

void ToggleMotionCells(const MotionGrid& grid, RECT selection, MotionZoneMask* mask) {
    RECT s = {std::min(selection.left, selection.right), std::min(selection.top, selection.bottom),
              std::max(selection.left, selection.right), std::max(selection.top, selection.bottom)};
    // A frame too small for the grid has no cells to hit.
    if (grid.preview.right - grid.preview.left < MOTION_GRID_SIZE ||
        grid.preview.bottom - grid.preview.top < MOTION_GRID_SIZE)
        return;
    for (int i = 0; i < MOTION_CELL_COUNT; ++i) {
        const RECT& c = grid.cells[i];
        if (c.right >= s.left && c.left <= s.right && c.bottom >= s.top && c.top <= s.bottom)
            mask->rows[i / MOTION_GRID_SIZE] ^= static_cast<uint8_t>(1u << (i % MOTION_GRID_SIZE));
    }
}
