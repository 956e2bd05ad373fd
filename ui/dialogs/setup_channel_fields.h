#pragma once

// What the channel page's Set, All Set and colour sliders write into a channel's record, as plain rules
// on the controls' values: the record is changed only when a value differs, and a list without a
// selection keeps the record's value.

#include <QString>
#include <cstdint>

#include "dvr/dvr_device.h"
// The edits' numbers are read as the settings page reads them (ParseLeadingInt).
#include "ui/dialogs/config_settings.h"

// One overlay's controls: the check box, the position list's selected item data (-1: no selection),
// the two offset texts, the swatch's colour and the page's font record.
struct OverlayControls {
    int enabled = 0;
    int position = -1;
    QString offsetX;
    QString offsetY;
    COLORREF color = 0;
    LOGFONTW font{};
};

struct ChannelOverlayControls {
    QString name;
    OverlayControls title;
    OverlayControls time;
};

struct ChannelColorControls {
    int brightness = 0;
    int contrast = 0;
    int hue = 0;
    int saturation = 0;
};

// Writes the name (unless keepName; the first 255 characters) and both overlays into the record when
// any of them differs: 0 when written, -1 when the record already held them.
[[nodiscard]] int CollectOverlayInto(const ChannelOverlayControls& controls, bool keepName,
                                     DVRChannel* record);
// The four colour values: 0 when written, -1 when unchanged.
[[nodiscard]] int CollectColorInto(const ChannelColorControls& controls, DVRChannel* record);
