#pragma once

// The DVR sessions: one per DVR of the device tree, each with a command thread and, once logged in, a
// live and a playback stream thread; one supervisor thread for all of them sends keep-alives and restarts
// a logged-in session that fell silent or lost a connection.

#include <atomic>
#include <mutex>
#include <vector>

#include "dvr/dvr_device.h"
#include "platform/system/win_types.h"

// Head of the session list (appended at the tail under g_deviceListLock).
extern DVRDevice* g_deviceList;
// Guards g_deviceList (the links and the membership, not the sessions' own state). Nobody stops a session
// while holding it: the supervisor picks the sessions to restart under it and restarts them after
// releasing it, and FreeDeviceList detaches the list, waits for those restarts and then stops the
// sessions. The UI thread holds it while it applies a session's tree event, so no session on the list is
// freed meanwhile.
extern std::mutex g_deviceListLock;
// The DVR selected in the device tree (null: none).
extern std::atomic<DVRDevice*> g_currentDevice;

void InitDeviceList();
// Stops and frees every session outside the list lock, after the supervisor's restarts in flight (UI
// thread; the tree items they point at must still exist).
void FreeDeviceList();
// The same, after releasing each session's screens (releaseDeviceScreens).
void ReleaseAndFreeDeviceList();
// Takes every session off the list (after the supervisor's restarts in flight) and releases its screens;
// the sessions keep running until RetireDevices.
[[nodiscard]] DVRDevice* DetachDeviceList();
// Stops and deletes the detached sessions on a thread of its own, then frees the malloc'd blocks (the tree
// records they point at): a reload of thousands of sessions does not wait for their threads.
// FreeDeviceList joins that thread first.
void RetireDevices(DVRDevice* head, std::vector<void*> blocks);
// Appends a session at the tail of g_deviceList under its lock.
void AppendDevice(DVRDevice* device);
// Appends a chain of sessions (linked by next) in one step: a list of thousands takes the lock once and
// wakes the supervisor once.
void AppendDevices(DVRDevice* head);

// A run's descriptors once it is online: three connections and the queues of its three threads. They are
// reserved when the run starts, before any is opened, and given back when it ends.
constexpr long SESSION_DESCRIPTORS = 6;
// What a name lookup of a session may hold at once (host and resolver files, the query socket), reserved
// while its thread runs.
constexpr long LOOKUP_DESCRIPTORS = 4;
// Descriptors the sessions leave free for the rest of the program (windows, recordings, snapshots, the
// single-instance endpoint), so that sessions short of descriptors never starve it.
constexpr long SESSION_DESCRIPTOR_RESERVE = 64;

// Gives a new session (value-initialised, so its per-run record is empty) closed connections and no
// threads; the supervisor starts such a session (StartDeviceSession) as soon as it sees it on the list.
void PrepareDeviceSession(DVRDevice* device);
// Starts a run: an empty per-run record, then the command thread. -1 when its SESSION_DESCRIPTORS cannot be
// reserved with SESSION_DESCRIPTOR_RESERVE left over, or the thread cannot start (the supervisor tries again
// after SUPERVISOR_WAIT_MS; see DelayRestartAfterShortage).
[[nodiscard]] int StartDeviceSession(DVRDevice* device);
// Starts / stops one thread of a run, noting its queue's descriptor in the descriptor account.
[[nodiscard]] int StartSessionThread(WorkerThreadRef* thread, WorkerRoutine routine, DVRDevice* device);
void StopSessionThread(WorkerThreadRef* thread);
// A run lacks a thread or a descriptor (error: the errno of the failure): the supervisor restarts it no
// sooner than SUPERVISOR_WAIT_MS from now, and "what (cause); it is tried again" goes to stderr once per
// text and cause for the whole program.
void DelayRestartAfterShortage(DVRDevice* device, const char* what, int error);
// Ends the run: stops its threads, closes its connections and frees the per-run record.
void StopDeviceSession(DVRDevice* device);
// Makes the channel array of the run in one step under DVRDevice::lock. -1 when the count is negative,
// memory runs out or the run already has its array (of two racing callers only the first makes it).
[[nodiscard]] int AllocDeviceChannels(DVRDevice* device, int count);
// Drops the run's share of the channel array (slots that show a channel keep theirs).
void FreeDeviceChannels(DVRDevice* device);

// Closes one of the device's connections (the field becomes -1) unless it is already closed.
void CloseDeviceSocket(DVRDevice* device, std::atomic<int>* socketField);

// Restarts a lost session: releases its screens, stops it and starts it again with its session id
// (supervisor thread, g_deviceListLock not held).
void HandleDeviceLost(HWND mainWindow, DVRDevice* device);

unsigned CommandThreadProc(void* device);
// True on the command thread of the device.
bool IsCommandThreadOf(const DVRDevice* device);
// Makes the command thread look at the session's state now rather than at the end of its wait (nothing
// when called on that thread, which looks before it waits again). Whoever changes a session's flags or
// retry clock from another thread calls it: the command thread sleeps until its next step is due.
void WakeCommandThread(DVRDevice* device);
// Marks the session's connection as lost (DEVICE_FLAG_LINK_ERROR) and wakes the supervisor, which
// restarts a logged-in session.
void ReportLinkError(DVRDevice* device);
unsigned LiveStreamThreadProc(void* device);
unsigned PlaybackStreamThreadProc(void* device);
// The supervisor; started once (StartSupervisorThread) before sessions may be lost.
unsigned SupervisorThreadProc(void* unused);
[[nodiscard]] int StartSupervisorThread();
void StopSupervisorThread();
// Makes the supervisor look at the sessions now: called when a session logs in, loses a connection,
// changes its keep-alive interval or joins the list. Between those it sleeps until the next due time.
void WakeSupervisor();

// One round of the supervisor over g_deviceList at the given monotonic time: keep-alives, and a restart
// of each session that fell silent, lost a connection or has no command thread (a new one from the device
// tree load included), for RESTART_SLICE_MS at most.
void SuperviseDevices(HWND mainWindow, int64_t now);
// How long the supervisor may sleep after a round: until the earliest keep-alive or silence deadline of
// a logged-in session, SUPERVISOR_WAIT_MS while a session still waits for its restart or sends a
// keep-alive every round (an interval of 0), -1 (no limit) when no session is logged in.
[[nodiscard]] int SupervisorWaitMs();

// The command thread's round while it connects (and between reconnects before the login).
constexpr int COMMAND_WAIT_MS = 100;
// The supervisor's shortest round.
constexpr int SUPERVISOR_WAIT_MS = 100;
// A round restarts sessions for about this long at most and leaves the rest to the next round, which
// follows at once (a large device list starts over many rounds).
constexpr int RESTART_SLICE_MS = 20;
// A refused or failed stream connect is tried again after this pause, not in a busy loop.
constexpr int STREAM_CONNECT_RETRY_MS = 200;
constexpr int RECEIVE_CHUNK = 4096;
