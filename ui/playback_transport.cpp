#include "ui/playback_transport.h"

#include "dvr/dvr_records.h"

TransportButtons TransportButtonsFor(int state) {
    switch (state) {
        case PLAYBACK_STATE_PLAYING:
            return {false, false, true, true, true, true, true};
        case PLAYBACK_STATE_PAUSED:
        case PLAYBACK_STATE_SPEED:
            return {true, true, false, false, true, true, true};
        case PLAYBACK_STATE_STEPPING:
            return {true, true, false, false, true, true, false};
        case PLAYBACK_STATE_NO_STOP:
            return {true, true, false, false, false, false, true};
        default:
            return {true, true, false, false, false, false, false};
    }
}

bool PlaybackInactive(int state) {
    return state == PLAYBACK_STATE_IDLE || state == PLAYBACK_STATE_STOPPED;
}

QString ClockText(int seconds) {
    return QString::asprintf("%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

void PositionText(int mode, const PlaybackValues& v, QString* text, int* slider) {
    if (PlaybackInactive(v.state)) {
        *text = QStringLiteral("00:00:00/00:00:00");
        *slider = 0;
        return;
    }
    if (mode == PLAYBACK_MODE_FILE) {
        *text = ClockText(v.position) + QLatin1Char('/') + ClockText(v.duration);
        *slider = v.duration < 1
                      ? 0
                      : static_cast<int>(static_cast<int64_t>(v.position) * POSITION_SLIDER_MAX / v.duration);
        return;
    }
    int t = v.position + v.begin - v.dayStart;
    *text = ClockText(t) + QStringLiteral("/23:59:59");
    *slider = static_cast<int>(static_cast<int64_t>(t) * POSITION_SLIDER_MAX / SECONDS_PER_DAY);
}

namespace {
int32_t Clamp(int64_t t, int64_t high) {
    if (t <= 0)
        return 0;
    return static_cast<int32_t>(t > high ? high : t);
}
}  // namespace

int SliderDragSeconds(int mode, int pos, int duration) {
    if (mode == PLAYBACK_MODE_FILE)
        return Clamp(static_cast<int64_t>(pos) * duration / POSITION_SLIDER_MAX, duration);
    return Clamp(static_cast<int64_t>(pos) * SECONDS_PER_DAY / POSITION_SLIDER_MAX, SECONDS_PER_DAY - 1);
}

int32_t SliderSeekTarget(int mode, int pos, const PlaybackValues& v) {
    if (mode == PLAYBACK_MODE_FILE)
        return Clamp(static_cast<int64_t>(v.duration) * pos / POSITION_SLIDER_MAX, v.duration);
    return v.dayStart + pos * SECONDS_PER_DAY / POSITION_SLIDER_MAX;
}

int32_t JumpTarget(int mode, int seconds, const PlaybackValues& v) {
    if (mode == PLAYBACK_MODE_FILE)
        return Clamp(static_cast<int64_t>(v.position) + seconds, v.duration);
    return v.begin + v.position + seconds;
}
