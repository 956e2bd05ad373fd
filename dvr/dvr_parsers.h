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
