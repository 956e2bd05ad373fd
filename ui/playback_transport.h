#pragma once

// The playback dialog's transport as plain logic: which buttons a reported state allows, the time text
// and slider position of a screen, the seek targets of the slider and of the one-minute jumps.

#include <QString>
#include <cstdint>

#include "dvr/dvr_records.h"

constexpr int POSITION_SLIDER_MAX = 1000;
constexpr int SECONDS_PER_DAY = 86400;

// The six state values of a playback slot, copied under its lock.
struct PlaybackValues {
    int32_t state = 0;
    int32_t speed = 0;
    int32_t begin = 0;
    int32_t duration = 0;
    int32_t position = 0;
    int32_t dayStart = 0;
};

struct TransportButtons {
    bool playShown, playEnabled;
    bool pauseShown, pauseEnabled;
    bool stopEnabled;
    bool stepEnabled;
    bool movesEnabled;  // fast, slow and the one-minute jumps
};
TransportButtons TransportButtonsFor(int state);

// Nothing to act on: idle or stopped.
bool PlaybackInactive(int state);

// "h:mm:ss" with unlimited hours.
QString ClockText(int seconds);

// The time text and the slider position of a screen: idle or stopped "00:00:00/00:00:00" at 0; file
// mode the position and duration; time mode the seconds since midnight and 23:59:59.
void PositionText(int mode, const PlaybackValues& v, QString* text, int* slider);

// The seconds under the thumb while the position slider is dragged to pos (0-1000).
int SliderDragSeconds(int mode, int pos, int duration);
// The seek target of a release at pos: time mode an absolute time, file mode seconds into the file.
int32_t SliderSeekTarget(int mode, int pos, const PlaybackValues& v);
// The seek target one minute on (+60) or back (-60).
int32_t JumpTarget(int mode, int seconds, const PlaybackValues& v);
