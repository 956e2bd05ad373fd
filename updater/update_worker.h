#pragma once

#include <functional>

#include "platform/system/win_types.h"
#include "updater/update_operations.h"

// What the worker thread needs: the files to work on and the way its replies reach the dialog.
struct UpdateWorkerContext {
    UpdateFiles files;
    std::function<void(UINT msg, WPARAM wParam)> postToDialog;
};

// The worker's routine (argument: an UpdateWorkerContext that outlives the thread). Runs
// WM_UPDATE_CHECK and WM_UPDATE_START one at a time in the order received and answers each with
// WM_UPDATE_CHECKED or WM_UPDATE_DONE (and WM_UPDATE_PROGRESS); ends on WM_QUIT after the messages
// already queued. Other messages are dropped.
unsigned UpdateWorkerProc(void* context);
