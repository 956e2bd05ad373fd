#pragma once

// PTZ, auto-scan and remote playback requests. Each returns what the send returned, or -1 when nothing
// was sent. The PTZ and auto-scan requests go to the device given; the playback requests to the device
// the request relay passes (g_currentDevice).

#include <cstdint>
#include <memory>

#include "dvr/dvr_records.h"

struct DVRDevice;

// Prints the four 16-bit halves channel (low half of channelAndCommand), command (high half), param1 (low
// half of params) and param2 (high half), each as 0-65534, or -1 for 0xFFFF.
int SendPtzRequest(uint32_t channelAndCommand, uint32_t params, DVRDevice* device);
// PTZ command for a channel below the device's channel count; -1 without sending otherwise.
int SendChannelPtz(DVRDevice* device, int channel, int command, int param1, int param2);
// Channel, then the mode (low half of modeAndSwitch) and on/off (high half).
int SendAutoScan(uint32_t modeAndSwitch, DVRDevice* device, int channel);

// Takes the posted record and frees it in every case; a null record sends nothing.
int SendSearchFiles(DVRDevice* device, std::unique_ptr<PlaybackSearch> search);
// Time mode: 0, window, channel, day start; file mode: 1, window, path (spaces as SPACE_SUBSTITUTE, UTF-8
// into 256 bytes, sent as it is when empty). Another mode sends nothing. Frees the record in every case.
int SendPlaybackOpen(DVRDevice* device, std::unique_ptr<PlaybackOpen> open);
int SendPlaybackClose(DVRDevice* device, int window);
// The record stays the caller's.
int SendPlaybackControl(DVRDevice* device, const PlaybackControl* control, int mode);
int SendGetMonthRecords(DVRDevice* device, int32_t date);
int SendGetDayRecords(DVRDevice* device, uint32_t channelAndWindow, int32_t dayStart);
