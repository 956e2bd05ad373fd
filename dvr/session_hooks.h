#pragma once

// What the sessions need of the windows and the screens, installed by the main window when it starts
// (before the first session) and removed after the last session stopped. Every entry may be null: the
// sessions then skip that step, so they run without any window (tests, tools). restoreSavedViews runs with
// g_deviceListLock held: it must not call FindDeviceByNode or anything else that takes that lock, nor
// wait for another thread. releaseDeviceScreens runs without that lock.

#include <cstdint>

#include "platform/system/win_types.h"

struct DVRDevice;

struct DvrSessionHooks {
    // Receives WM_DVR_TREE_EVENT (posted, never sent).
    HWND mainWindow = nullptr;
    // The setup dialog when it exists (receiver of WM_DEVICE_PARAMS_RECEIVED), else null. Any thread.
    HWND (*setupDialog)() = nullptr;
    // The playback dialog when it exists (receiver of WM_PLAYBACK_DATA_RECEIVED), else null. Any thread.
    HWND (*playbackDialog)() = nullptr;
    // Stores the six playback state values of a playback window (0-15) in its playback slot, under that
    // slot's lock (the playback engine installs it). Any thread.
    void (*storePlaybackState)(int window, const int32_t values[6]) = nullptr;
    // Marks stopped every playback window (0-15) that plays a recording of the device, under each slot's
    // lock, and returns them as bits (bit w: window w). The session that carried those playbacks has ended:
    // no report will stop them. Any thread (the supervisor when it restarts a session).
    uint32_t (*stopDevicePlayback)(DVRDevice* device) = nullptr;
    // Whether the playback dialog is open (the frame parser drops playback frames otherwise). Any thread.
    // The media system installs it when it starts (the main window's state) and removes it at its end.
    bool (*playbackOpen)() = nullptr;
    // Releases every slot that shows one of the device's channels, the grid screens and the previews 64-66
    // (supervisor thread when a session is restarted, UI thread when the devices are reloaded).
    void (*releaseDeviceScreens)(DVRDevice* device) = nullptr;
    // Puts the device's channels back on the grid screens that view.dat assigns to it and marks their
    // tree items open (UI thread, after the channel items were made).
    void (*restoreSavedViews)(DVRDevice* device) = nullptr;
};

// Copies the hooks (nullptr: none). Not to be called while sessions run.
void SetDvrSessionHooks(const DvrSessionHooks* hooks);
const DvrSessionHooks& GetDvrSessionHooks();
