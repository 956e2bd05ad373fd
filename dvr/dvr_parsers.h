#pragma once

// Received text messages: the dispatcher and the parsers of the session's replies. Each parser reads the
// message strictly within its length and returns -1 when it does not parse (nothing changed), else 0.

#include "platform/system/win_types.h"

struct DVRDevice;

// Handles one received message of length bytes (terminator included). Stores the arrival time for the
// silence rule, then calls the parser of its reply id. -1 when no id can be read, else 0.
int DispatchDvrMessage(const char* text, DVRDevice* device, HWND mainWindow, int length);

using DvrMessageParser = int (*)(const char* text, int length, DVRDevice* device, HWND mainWindow);
// The parser of a reply id, or null when the id is not handled.
DvrMessageParser FindDvrParser(int replyId);

int ParseHelloReply(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseLoginReply(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseKeepAliveReply(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseChannelNames(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseAlarmEvent(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseSystemParams(const char* text, int length, DVRDevice* device, HWND mainWindow);

// Device-wide settings: user list and user parts, network parameters, disk and language lists.
int ParseUserList(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseUserParams(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseNetworkParams(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseDiskList(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseLanguageList(const char* text, int length, DVRDevice* device, HWND mainWindow);

// Channel parameters (the channel must be below the device's channel count).
int ParseOverlayParams(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseColorParams(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseVideoMask(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseCameraParams(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParsePresets(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseVideoParams(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseAudioParams(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseSchedule(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseAlarmParams(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseMotionMask(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseSubStreamParams(const char* text, int length, DVRDevice* device, HWND mainWindow);

// Remote playback.
int ParseFileList(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseMonthRecords(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParseDayRecords(const char* text, int length, DVRDevice* device, HWND mainWindow);
int ParsePlaybackState(const char* text, int length, DVRDevice* device, HWND mainWindow);
