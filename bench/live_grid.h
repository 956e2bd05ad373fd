#pragma once

// The grid screens of the live benchmarks: channels of one DVR shown on the first screens, and whether the
// decode threads have handed back every node.

#include <functional>

#include "platform/video/video_blit.h"

struct DVRDevice;

// One DVR of 64 channels (ends the program when its channels cannot be had).
DVRDevice* MakeGridDevice();
// Shows channel i of device on grid screen i for i below channels (drawn into rect(i) when drawn, else
// decoded only); the other screens show nothing. The frame parser then hands each channel's packets to
// its screen's slot, as the main window sets it when it shows a channel whose stream is open.
void ShowGridChannels(DVRDevice* device, int channels, bool drawn, const std::function<VideoRect(int)>& rect);
// True when the video queues of the first channels slots hold no frame (every node back on the free list).
bool GridQueuesDrained(int channels);
