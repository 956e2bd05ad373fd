#pragma once

// What the record and alarm page suites share: a host window standing in for the setup dialog, which
// records what a page posts to it and, with a device, asks the DVR as the main window's relay does.

#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

#include "core/window_messages.h"
#include "dvr/channel_requests.h"
#include "dvr/dvr_session.h"
#include "platform/ui/wnd.h"
#include "tests/ui/dialogs/selected_device.h"

struct PagePost {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class PageHost : public CWnd {
public:
    BOOL CreateHost() { return Attach(new QWidget, nullptr, 0, WS_POPUP); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_SETUP_LOAD:
            case WM_SETUP_SAVE:
            case WM_PREVIEW_OPEN:
            case WM_PREVIEW_CLOSE:
            case WM_SETUP_PAGE_EXIT:
                posts.push_back({message, wParam, lParam});
                Relay(message, wParam, lParam);
                return 0;
            default:
                return CWnd::WindowProc(message, wParam, lParam);
        }
    }
    std::vector<PagePost> Of(UINT message) const {
        std::vector<PagePost> found;
        for (const PagePost& p : posts)
            if (p.message == message)
                found.push_back(p);
        return found;
    }
    // The channels of the saves posted so far, in order.
    std::vector<int> Saved() const {
        std::vector<int> channels;
        for (const PagePost& p : Of(WM_SETUP_SAVE))
            channels.push_back(static_cast<int>(p.lParam));
        return channels;
    }

    std::vector<PagePost> posts;
    DVRDevice* device = nullptr;  // with a session: loads and saves go to its DVR

private:
    void Relay(UINT message, WPARAM wParam, LPARAM lParam) {
        if (device == nullptr)
            return;
        auto channel = static_cast<int>(lParam);
        if (message == WM_SETUP_LOAD && wParam == SETUP_PAGE_RECORD) {
            (void)SendGetSchedule(device, channel);
        } else if (message == WM_SETUP_SAVE && wParam == SETUP_PAGE_RECORD) {
            (void)SendSetSchedule(device, channel);
        } else if (message == WM_SETUP_LOAD && wParam == SETUP_PAGE_ALARM) {
            (void)SendGetAlarmParams(device, channel);
            (void)SendGetMotionMask(device, channel);
        } else if (message == WM_SETUP_SAVE && wParam == SETUP_PAGE_ALARM) {
            (void)SendSetAlarmParams(device, channel);
            (void)SendSetMotionMask(device, channel);
        }
    }
};
