#pragma once

// Sizes of the screen the program runs on.

#include "platform/system/win_types.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// The primary screen's width or height in pixels; 0 when there is no screen or for other indexes.
int GetSystemMetrics(int index);
