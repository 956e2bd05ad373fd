#pragma once

// Requests of one DVR channel's settings: name and overlays, colours, privacy mask, camera and PTZ bus,
// auto-scan steps, record-stream and network-stream video, audio, record schedule, alarm and motion
// zones. Each sends on the device's command connection (the request relay passes g_currentDevice); the
// set requests format the channel's record. Each returns what the send returned, or -1 without sending
// for a null device or a channel not below the device's channel count.

struct DVRDevice;

int SendGetOverlayParams(DVRDevice* device, int channel);
int SendSetOverlayParams(DVRDevice* device, int channel);
int SendGetColorParams(DVRDevice* device, int channel);
int SendSetColorParams(DVRDevice* device, int channel);
int SendRestoreColor(DVRDevice* device, int channel, int value);
int SendGetVideoMask(DVRDevice* device, int channel);
int SendSetVideoMask(DVRDevice* device, int channel);
int SendGetCameraParams(DVRDevice* device, int channel);
int SendSetCameraParams(DVRDevice* device, int channel);
int SendGetPresets(DVRDevice* device, int channel);
int SendSetPresets(DVRDevice* device, int channel);
int SendGetVideoParams(DVRDevice* device, int channel);
int SendSetVideoParams(DVRDevice* device, int channel);
int SendGetAudioParams(DVRDevice* device, int channel);
int SendSetAudioParams(DVRDevice* device, int channel);
int SendGetSchedule(DVRDevice* device, int channel);
int SendSetSchedule(DVRDevice* device, int channel);
int SendGetAlarmParams(DVRDevice* device, int channel);
int SendSetAlarmParams(DVRDevice* device, int channel);
int SendGetMotionMask(DVRDevice* device, int channel);
int SendSetMotionMask(DVRDevice* device, int channel);
int SendGetSubStreamParams(DVRDevice* device, int channel);
int SendSetSubStreamParams(DVRDevice* device, int channel);
