#include "ui/volume_control.h"

#include "media/main_window_state.h"

VolumeState VolumeAfterSliderRelease(int position) {
    int32_t volume = LiveVolume(position, 0);
    int muted = volume <= SLIDER_MUTE_LEVEL ? 1 : 0;
    return VolumeState{muted, muted ? MUTE_BITMAP_MUTED : MUTE_BITMAP_SOUND, volume};
}

VolumeState VolumeAfterMuteToggle(int wasMuted, int position) {
    int muted = wasMuted ? 0 : 1;
    return VolumeState{muted, muted ? MUTE_BITMAP_MUTED : MUTE_BITMAP_SOUND, LiveVolume(position, muted)};
}
