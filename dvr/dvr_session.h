#pragma once

// The DVR sessions: one per DVR of the device tree, each with a command thread and, once logged in, a
// live and a playback stream thread; one supervisor thread for all of them sends keep-alives and restarts
// a logged-in session that fell silent or lost a connection.

#include <atomic>
#include <mutex>

#include "dvr/dvr_device.h"
#include "platform/system/win_types.h"

// Head of the session list (appended at the tail under g_deviceListLock).
extern DVRDevice* g_deviceList;
// Guards g_deviceList. The supervisor holds it for its whole round, and the UI thread while it applies a
// session's tree event, so no session is freed or restarted under either of them.
extern std::mutex g_deviceListLock;
// The DVR selected in the device tree (null: none).
extern std::atomic<DVRDevice*> g_currentDevice;

void InitDeviceList();
// Stops and frees every session (UI thread; the tree items they point at must still exist).
void FreeDeviceList();
// Appends a started session at the tail of g_deviceList under its lock.
void AppendDevice(DVRDevice* device);

int StartDeviceSession(DVRDevice* device);
void StopDeviceSession(DVRDevice* device);
int AllocDeviceChannels(DVRDevice* device, int count);
void FreeDeviceChannels(DVRDevice* device);

// Closes one of the device's connections (the field becomes -1) unless it is already closed.
void CloseDeviceSocket(DVRDevice* device, std::atomic<int>* socketField);

// Restarts a lost session: releases its screens, stops it and starts it again with its session id
// (supervisor thread, g_deviceListLock held).
void HandleDeviceLost(HWND mainWindow, DVRDevice* device);

unsigned CommandThreadProc(void* device);
// True on the command thread of the device.
bool IsCommandThreadOf(const DVRDevice* device);
// Makes the command thread look at the session's state now rather than at the end of its wait.
void WakeCommandThread(DVRDevice* device);
unsigned LiveStreamThreadProc(void* device);
unsigned PlaybackStreamThreadProc(void* device);
// The supervisor; started once (StartSupervisorThread) before sessions may be lost.
unsigned SupervisorThreadProc(void* unused);
int StartSupervisorThread();
void StopSupervisorThread();

// One round of the supervisor over g_deviceList at the given monotonic time (the thread calls it every
// SUPERVISOR_WAIT_MS).
void SuperviseDevices(HWND mainWindow, int64_t now);

constexpr int COMMAND_WAIT_MS = 100;
// The command thread's wait once every step of the session is done.
constexpr int ONLINE_WAIT_MS = 1000;
constexpr int SUPERVISOR_WAIT_MS = 100;
// A refused or failed stream connect is tried again after this pause, not in a busy loop.
constexpr int STREAM_CONNECT_RETRY_MS = 200;
constexpr int RECEIVE_CHUNK = 4096;
