#pragma once

// The receive path of a session's connections: bytes are gathered in the connection's buffer and cut into
// text messages at MESSAGE_TERMINATOR (command connection) or into stream frames at STREAM_TRAILER (live
// and playback connections), each handed on from the start of the buffer.

#include "platform/system/win_types.h"

struct DVRDevice;

// Drains the socket of the given connection type into its buffer and handles what is complete. 0 while
// the connection is up; -1 when it was closed or failed (the caller acts on that).
int ReceiveDeviceData(DVRDevice* device, HWND mainWindow, int connectionType, int sock);

// Appends length received bytes to the connection's buffer and handles every complete message or frame.
void SplitReceivedData(int connectionType, int length, const void* bytes, DVRDevice* device, HWND mainWindow);
