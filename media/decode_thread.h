#pragma once

// The live decode thread of each slot: it decodes the slot's video packets into I420 pictures, keeps the
// latest-frame copy and draws them (grid screens into their rectangle of the video window, previews into
// their preview window); grid slots also play the selected screen's audio on the live player.

#include <cstdint>

// Thread routine; arg is the slot index 0-66. Returns 0 when it ends on WM_QUIT, -1 at once when the slot
// lacks its decoder or queues.
unsigned DecodeThread(void* arg);
// 0, or -1 when the slot shows nothing.
int DisplaySlotFrame(int slot, uint8_t* picture, int width, int height);
// 0, or -1 when the slot shows nothing or a new player cannot be made.
int PlaySlotAudio(int slot, const uint8_t* data, uint32_t length, int channels, uint32_t sampleRate,
                  int bitsPerSample);
