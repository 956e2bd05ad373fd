#pragma once

// How the lists that the windows read (a DVR's users, disks, languages and remote files) cross from the
// connection threads to the UI thread.
//
// A reply parser never changes a list that a window may hold. It builds the list aside, in the working
// copy of DeviceLists (connection threads only, under buildLock), and when the list is complete (its
// LIST_END, or a single user reply) it publishes a fresh copy with Publish and only then posts the list's
// notification (WM_DEVICE_PARAMS_RECEIVED or WM_PLAYBACK_DATA_RECEIVED).
//
// The UI thread, on that notification, takes the newest list with Current() and keeps the shared pointer
// for as long as a page or dialog holds pointers into it: the list it holds is never freed, grown or
// rewritten by anyone else. It may write into it (a setup page writes its controls into the account before
// the set request is formatted from it). A newer reply publishes a new list and leaves the held one alone;
// the held list is freed when the last holder lets it go. The session's stop drops the published lists.

#include <memory>
#include <mutex>
#include <vector>

#include "dvr/dvr_records.h"

template <typename T>
class HandedList {
public:
    using List = std::vector<T>;

    // Connection thread: makes list the newest one (the previous one lives on with its holders).
    void Publish(std::shared_ptr<List> list) {
        std::lock_guard<std::mutex> guard(lock_);
        list_ = std::move(list);
    }
    // UI thread: the newest published list; null before the first one.
    std::shared_ptr<List> Current() const {
        std::lock_guard<std::mutex> guard(lock_);
        return list_;
    }
    void Reset() { Publish(nullptr); }

private:
    mutable std::mutex lock_;
    std::shared_ptr<List> list_;
};

struct DeviceLists {
    // Published lists (any thread reads Current()).
    HandedList<DVRUserAccount> users;
    HandedList<DVRDiskInfo> disks;
    HandedList<DVRLanguageInfo> languages;
    // Nodes linked in arrival order (prev / next point into the same list).
    HandedList<RemoteFileNode> remoteFiles;

    // Working copies of the parsers. The user, disk and language arrays grow to the largest count
    // announced and never shrink.
    std::mutex buildLock;
    std::vector<DVRUserAccount> userWork;
    std::vector<DVRDiskInfo> diskWork;
    std::vector<DVRLanguageInfo> languageWork;
    std::vector<RemoteFileNode> fileWork;
    // Whether a list's start was taken and its end has not come yet.
    bool userListOpen = false;
    bool diskListOpen = false;
    bool languageListOpen = false;
    bool fileListOpen = false;
};

// Drops the working copies and the published lists (the session's stop; lists held by windows live on).
void ResetDeviceLists(DeviceLists* lists);
