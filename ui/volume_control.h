#pragma once

// Live volume and mute of the main window: what releasing the volume slider and pressing the mute button
// make of the slider position (0..50) and the mute flag.

#include <cstdint>

constexpr int MUTE_BITMAP_MUTED = 152;
constexpr int MUTE_BITMAP_SOUND = 153;
constexpr int32_t SLIDER_MUTE_LEVEL = -4800;  // slider volumes at or below this count as muted

struct VolumeState {
    int muted;       // the new mute flag
    int bitmap;      // the mute button's picture
    int32_t volume;  // hundredths of a decibel for the live audio player
};

// The slider was released at `position`: the lowest positions count as muted, and the player always
// gets the slider's volume.
[[nodiscard]] VolumeState VolumeAfterSliderRelease(int position);

// The mute button was pressed: the flag flips; muted is silence, unmuted the slider's volume again.
[[nodiscard]] VolumeState VolumeAfterMuteToggle(int wasMuted, int position);
