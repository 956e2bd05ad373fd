#pragma once

// Putting a DVR's channel on a screen slot and taking it off again. The channel remembers the grid screen
// and the previews that show it; the first viewer asks the DVR for the stream and the last one closes it.
// UI thread, and the command thread through the restore of saved views.

struct DVRDevice;

// Puts the channel on slot 0-66 (what the slot showed before is not released here). 0, or -1 for a null
// DVR, a channel outside the DVR's channels or a slot out of range.
[[nodiscard]] int AssignSlotChannel(DVRDevice* device, int channel, int slot);
// Takes the channel off the slot; the stream is closed when no slot shows it any more. 0, or -1 when the
// arguments are out of range or the slot does not show this channel of this DVR.
[[nodiscard]] int ReleaseSlotChannel(DVRDevice* device, int channel, int slot);
// Releases what the slot shows. 0 when it showed a channel (*device and *channel then say which), else -1.
[[nodiscard]] int ReleaseSlotShown(int slot, DVRDevice** device, int* channel);
// Releases every grid screen 0-63.
void CloseAllScreens();
// The grid screen 0-63 that shows the channel, -1 when none.
[[nodiscard]] int GridScreenOfChannel(DVRDevice* device, int channel);
// Switches recording of the channel that grid slot shows on or off (CHANNEL_FLAG_RECORD_WANTED, under the
// channel's lock); the stream parser then starts or ends the slot's record file. 0, or -1 when the slot
// shows no valid channel.
[[nodiscard]] int SetSlotRecordWanted(int slot, bool on);
