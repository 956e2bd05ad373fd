#pragma once

// Collects the notifications that the reply parsers post to the setup and playback dialogs, with hooks
// that say whether each dialog exists.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/window_messages.h"
#include "dvr/dvr_messages.h"
#include "dvr/session_hooks.h"
#include "platform/system/window_post.h"

struct PostedMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<PostedMessage> g_posted;
inline bool g_setupExists = true;
inline bool g_playbackExists = true;
inline bool g_playbackOpen = true;
inline int32_t g_storedState[16][6];
inline HWND const kSetupDialog = reinterpret_cast<HWND>(uintptr_t{11});
inline HWND const kPlaybackDialog = reinterpret_cast<HWND>(uintptr_t{12});

inline BOOL CapturePost(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, PostPayloadDeleter deleter) {
    g_posted.push_back(PostedMessage{hwnd, msg, wParam, lParam});
    // Day maps are released here as the dialog would after reading them; tests copy what they need first.
    (void)deleter;
    return TRUE;
}

class PostCapture : public ::testing::Test {
protected:
    void SetUp() override {
        g_posted.clear();
        g_setupExists = g_playbackExists = g_playbackOpen = true;
        std::memset(g_storedState, 0, sizeof g_storedState);
        SetWindowPostHandler(CapturePost);
        DvrSessionHooks hooks;
        hooks.setupDialog = [] { return g_setupExists ? kSetupDialog : HWND{}; };
        hooks.playbackDialog = [] { return g_playbackExists ? kPlaybackDialog : HWND{}; };
        hooks.playbackOpen = [] { return g_playbackOpen; };
        hooks.storePlaybackState = [](int window, const int32_t values[6]) {
            std::memcpy(g_storedState[window], values, sizeof g_storedState[window]);
        };
        SetDvrSessionHooks(&hooks);
    }
    void TearDown() override {
        ClearPosted();
        SetDvrSessionHooks(nullptr);
        SetWindowPostHandler(nullptr);
    }
    // Forgets the posts, freeing the day maps as the playback dialog would.
    static void ClearPosted() {
        for (const PostedMessage& m : g_posted) {
            if (m.msg == WM_PLAYBACK_DATA_RECEIVED && m.wParam == PLAYBACK_DATA_DAY_RECORDS)
                std::free(reinterpret_cast<void*>(m.lParam));
        }
        g_posted.clear();
    }
    // The (type, lParam) pairs posted to the setup dialog.
    static std::vector<std::pair<WPARAM, LPARAM>> SetupReplies() {
        std::vector<std::pair<WPARAM, LPARAM>> out;
        for (const PostedMessage& m : g_posted) {
            if (m.hwnd == kSetupDialog && m.msg == WM_DEVICE_PARAMS_RECEIVED)
                out.emplace_back(m.wParam, m.lParam);
        }
        return out;
    }
};
