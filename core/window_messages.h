#pragma once

// The program's own window messages and the numbers that travel in them. Qt-free: the sessions, parsers
// and media threads post these messages too.

#include "platform/system/win_types.h"

// Video surface window to its parent; lParam = y << 16 | x in the video window.
constexpr UINT WM_VIDEO_CLICK = WM_USER + 1;
constexpr UINT WM_VIDEO_DBLCLK = WM_USER + 2;
constexpr UINT WM_VIDEO_RCLICK = WM_USER + 3;
// Setup dialog and its pages.
constexpr UINT WM_SETUP_PAGE_EXIT = WM_USER + 6;
constexpr UINT WM_SETUP_SAVE = WM_USER + 7;
constexpr UINT WM_SETUP_APPLY = WM_USER + 8;
constexpr UINT WM_LANGUAGE_CHANGED = WM_USER + 9;
// wParam: CHILD_PLAYBACK, CHILD_SETUP or CHILD_STATUS.
constexpr UINT WM_CHILD_CLOSED = WM_USER + 10;
// Skin button to its parent, sent; wParam = control id.
constexpr UINT WM_BITBUTTON_DOWN = WM_USER + 14;
constexpr UINT WM_BITBUTTON_UP = WM_USER + 15;
constexpr UINT WM_STATUS_PAGE_EXIT = WM_USER + 20;
// wParam: the main window object.
constexpr UINT WM_APPLY_LANGUAGE = WM_USER + 21;
constexpr UINT WM_DEVICE_TREE_CHANGED = WM_USER + 22;
constexpr UINT WM_SETUP_LOAD = WM_USER + 27;
// Reply parsers to the setup dialog; wParam: SETUP_REPLY_*.
constexpr UINT WM_DEVICE_PARAMS_RECEIVED = WM_USER + 28;
constexpr UINT WM_RECORD_DISKFULL = WM_USER + 29;
// wParam = channel << 16 | view; lParam of WM_PREVIEW_OPEN: the preview frame window.
constexpr UINT WM_PREVIEW_OPEN = WM_USER + 30;
constexpr UINT WM_PREVIEW_CLOSE = WM_USER + 31;
// Playback dialog to the main window; search, open and control carry heap records that the main window
// frees after sending its request.
constexpr UINT WM_PLAYBACK_SEARCH = WM_USER + 32;
// Playback reply parsers to the playback dialog; wParam: PLAYBACK_DATA_*.
constexpr UINT WM_PLAYBACK_DATA_RECEIVED = WM_USER + 33;
constexpr UINT WM_PLAYBACK_OPEN = WM_USER + 34;
constexpr UINT WM_PLAYBACK_CLOSE = WM_USER + 35;
constexpr UINT WM_PLAYBACK_QUERY_MONTH = WM_USER + 36;
constexpr UINT WM_PLAYBACK_CONTROL = WM_USER + 37;
constexpr UINT WM_PLAYBACK_QUERY_DAY = WM_USER + 38;
// Device list dialog's delete in WAN mode; lParam: a DeviceTreeNode copy.
constexpr UINT WM_WAN_REQUEST = WM_USER + 40;
constexpr UINT WM_CHANNEL_RESTORE_COLOR = WM_USER + 42;
// The main window could not send a page's save (wParam page code, lParam as in WM_SETUP_SAVE): the setup
// dialog hands it to that page, which withdraws its "Saved." notice and reloads what the DVR holds.
constexpr UINT WM_SETUP_SAVE_REFUSED = WM_USER + 43;
// Tray icon callback; wParam: icon id, lParam: the mouse message.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 4096;
// Audio player's notify thread to its owner window; wParam: the AudioPlayer.
constexpr UINT WM_AUDIO_NOTIFY_POSITION = 0x1401;
constexpr UINT WM_AUDIO_NOTIFY_STOP = 0x1402;
// Bitmap slider to its parent, posted; wParam = control id, lParam = position.
constexpr UINT WM_SLIDER_DRAGGING = WM_USER + 9425;
constexpr UINT WM_SLIDER_RELEASED = WM_USER + 9426;
// Report list control to its parent, sent.
constexpr UINT WM_REPORT_CHECKBOX = WM_APP + 10000;
constexpr UINT WM_REPORT_SORTED = WM_APP + 10001;
constexpr UINT WM_REPORT_EDITED = WM_APP + 10002;

// Setup page codes: wParam of WM_SETUP_SAVE, WM_SETUP_LOAD and WM_SETUP_APPLY, and the setup tab ids.
enum SetupPageCode : int {
    SETUP_PAGE_SYSTEM = 0,
    SETUP_PAGE_USER = 1,
    SETUP_PAGE_CHANNEL = 2,
    SETUP_PAGE_VIDEO = 3,
    SETUP_PAGE_CAMERA = 4,
    SETUP_PAGE_RECORD = 5,
    SETUP_PAGE_ALARM = 6,
    SETUP_PAGE_NETWORK = 7,
};
constexpr int SETUP_PAGE_COUNT = 8;

// Reply types: wParam of WM_DEVICE_PARAMS_RECEIVED.
enum SetupReplyType : int {
    SETUP_REPLY_SYSTEM = 1,
    SETUP_REPLY_USER_LIST = 2,
    SETUP_REPLY_USER = 3,
    SETUP_REPLY_OVERLAY = 4,
    SETUP_REPLY_COLOR = 5,
    SETUP_REPLY_VIDEO_MASK = 6,
    SETUP_REPLY_CAMERA = 7,
    SETUP_REPLY_PRESETS = 8,
    SETUP_REPLY_VIDEO = 9,
    SETUP_REPLY_AUDIO = 10,
    SETUP_REPLY_SCHEDULE = 11,
    SETUP_REPLY_ALARM = 12,
    SETUP_REPLY_MOTION_MASK = 13,
    SETUP_REPLY_NETWORK = 14,
    SETUP_REPLY_DISKS = 15,
    SETUP_REPLY_LANGUAGES = 16,
};

// Playback data codes: wParam of WM_PLAYBACK_DATA_RECEIVED.
enum PlaybackDataCode : int {
    PLAYBACK_DATA_FILE_LIST = 1,
    PLAYBACK_DATA_MONTH_RECORDS = 2,
    PLAYBACK_DATA_STATE = 3,
    PLAYBACK_DATA_DAY_RECORDS = 4,
};

// Child codes: wParam of WM_CHILD_CLOSED.
enum ChildCode : int {
    CHILD_PLAYBACK = 0,
    CHILD_SETUP = 1,
    CHILD_STATUS = 2,
};

// Range checks for receivers: a code outside its table is not acted upon.
constexpr bool IsSetupPageCode(WPARAM code) {
    return code < static_cast<WPARAM>(SETUP_PAGE_COUNT);
}
constexpr bool IsSetupReplyType(WPARAM type) {
    return type >= SETUP_REPLY_SYSTEM && type <= SETUP_REPLY_LANGUAGES;
}
constexpr bool IsPlaybackDataCode(WPARAM code) {
    return code >= PLAYBACK_DATA_FILE_LIST && code <= PLAYBACK_DATA_DAY_RECORDS;
}
constexpr bool IsChildCode(WPARAM code) {
    return code <= CHILD_STATUS;
}
