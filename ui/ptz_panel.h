#pragma once

// The PTZ panel's plain parts: the command word of each button, the two packed words of a PTZ request,
// the preset number field and the camera auto-scan toggle. The main window sends what these give.

#include <QString>

#include <cstdint>
#include "dvr/dvr_records.h"

#include "platform/system/win_types.h"

constexpr int PTZ_PRESET_MAX = 32;  // the + and - buttons keep the number within 1 to 32

// The motion command of a panel button that moves the camera while held, 0 for any other control.
[[nodiscard]] int PtzMotionCommandOfButton(UINT controlId);

// The preset command of the set, clear and goto buttons, 0 for any other control.
[[nodiscard]] int PtzPresetCommandOfButton(UINT controlId);

struct PtzWords {
    uint32_t command;     // command << 16 | channel, each half 16 bits
    uint32_t parameters;  // parameter 2 << 16 | parameter 1, each half 16 bits
};
[[nodiscard]] PtzWords PackPtzWords(int command, int channel, int parameter1, int parameter2);

// The preset number typed in the field, read as a decimal integer: leading white space, an optional sign,
// digits; anything else ends it, and no digits give 0 (so the field's hint text reads as 0). Values beyond
// the int range are held at its ends.
[[nodiscard]] int ParsePresetNumber(const QString& text);

// What the + and - buttons write back for the number in the field.
[[nodiscard]] int PresetNumberUp(int value);
[[nodiscard]] int PresetNumberDown(int value);

// The command of the auto-scan button for the program-wide toggle, which it flips (whether or not the
// command can be sent).
[[nodiscard]] int TogglePtzAutoScanCommand(int& autoScanOn);
