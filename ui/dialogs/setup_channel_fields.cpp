#include "ui/dialogs/setup_channel_fields.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr qsizetype kNameChars = 255;

OverlaySettings OverlayFrom(const OverlayControls& controls, const OverlaySettings& record) {
    OverlaySettings overlay = record;
    overlay.enabled = controls.enabled;
    if (controls.position >= 0)
        overlay.position = controls.position;
    overlay.offsetX = ParseLeadingInt(controls.offsetX);
    overlay.offsetY = ParseLeadingInt(controls.offsetY);
    overlay.color = controls.color;
    overlay.font = controls.font;
    return overlay;
}

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::memcmp(a.lfFaceName, b.lfFaceName, sizeof(a.lfFaceName)) == 0;
}

bool SameOverlay(const OverlaySettings& a, const OverlaySettings& b) {
    return a.enabled == b.enabled && a.position == b.position && a.offsetX == b.offsetX &&
           a.offsetY == b.offsetY && a.color == b.color && SameFont(a.font, b.font);
}

// The name as the 256-character field holds it: at most 255 characters, the rest zero.
void NameField(const QString& name, char16_t (&field)[256]) {
    std::fill(std::begin(field), std::end(field), u'\0');
    qsizetype length = std::min(name.size(), kNameChars);
    std::copy_n(reinterpret_cast<const char16_t*>(name.utf16()), length, field);
}

}  // namespace

int CollectOverlayInto(const ChannelOverlayControls& controls, bool keepName, DVRChannel* record) {
    if (record == nullptr)
        return -1;
    char16_t name[256];
    NameField(controls.name, name);
    OverlaySettings title = OverlayFrom(controls.title, record->titleOverlay);
    OverlaySettings time = OverlayFrom(controls.time, record->timeOverlay);
    bool nameDiffers = !keepName && std::memcmp(name, record->name, sizeof(name)) != 0;
    if (!nameDiffers && SameOverlay(title, record->titleOverlay) && SameOverlay(time, record->timeOverlay))
        return -1;
    if (!keepName)
        std::memcpy(record->name, name, sizeof(name));
    record->titleOverlay = title;
    record->timeOverlay = time;
    return 0;
}

int CollectColorInto(const ChannelColorControls& controls, DVRChannel* record) {
    if (record == nullptr)
        return -1;
    if (controls.brightness == record->brightness && controls.contrast == record->contrast &&
        controls.hue == record->hue && controls.saturation == record->saturation)
        return -1;
    record->brightness = controls.brightness;
    record->contrast = controls.contrast;
    record->hue = controls.hue;
    record->saturation = controls.saturation;
    return 0;
}
