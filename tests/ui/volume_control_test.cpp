// Volume slider and mute button: slider positions to hundredths of a decibel, the muted band of the
// slider, and mute toggling back to the slider's volume.

#include "ui/volume_control.h"

#include <gtest/gtest.h>

namespace {

TEST(VolumeControl, SliderReleaseMapsPositionsAndMutesTheLowestThree) {
    struct Case {
        int position;
        int muted;
        int32_t volume;
    };
    const Case cases[] = {
        {0, 1, -5000}, {1, 1, -4900}, {2, 1, -4800}, {3, 0, -4700}, {40, 0, -1000}, {50, 0, 0},
    };
    for (const Case& c : cases) {
        VolumeState s = VolumeAfterSliderRelease(c.position);
        EXPECT_EQ(s.muted, c.muted) << c.position;
        EXPECT_EQ(s.volume, c.volume) << c.position;
        EXPECT_EQ(s.bitmap, c.muted ? MUTE_BITMAP_MUTED : MUTE_BITMAP_SOUND) << c.position;
    }
}

TEST(VolumeControl, MuteTwiceReturnsToTheSliderVolume) {
    struct Case {
        int wasMuted, position;
        int muted, bitmap;
        int32_t volume;
    };
    const Case cases[] = {
        {0, 40, 1, MUTE_BITMAP_MUTED, -10000},
        {1, 40, 0, MUTE_BITMAP_SOUND, -1000},
        {1, 2, 0, MUTE_BITMAP_SOUND, -4800},
        {0, 0, 1, MUTE_BITMAP_MUTED, -10000},
    };
    for (const Case& c : cases) {
        VolumeState s = VolumeAfterMuteToggle(c.wasMuted, c.position);
        EXPECT_EQ(s.muted, c.muted) << c.position;
        EXPECT_EQ(s.bitmap, c.bitmap) << c.position;
        EXPECT_EQ(s.volume, c.volume) << c.position;
    }
}

}  // namespace
