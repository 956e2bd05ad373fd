#pragma once

// The channel and camera page suites against the simulated DVR: a simulator with named channels and a
// session to it whose replies go straight to the page, an owner that turns the page's posts into requests
// as the main window does, and the requests the simulator received, split into fields.

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dvr/channel_requests.h"
#include "dvr/device_requests.h"
#include "dvr/session_hooks.h"
#include "tests/media/live_view_support.h"
#include "tests/ui/dialogs/setup_page_owner.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"

namespace setup_test {

// The owner as the main window relays the channel and camera pages' requests.
class RelayOwner : public PageOwner {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        DVRDevice* device = g_currentDevice.load();
        const int ch = static_cast<int>(lParam);
        if (device != nullptr) {
            if (message == WM_SETUP_LOAD && wParam == SETUP_PAGE_CHANNEL) {
                (void)SendGetOverlayParams(device, ch);
                (void)SendGetColorParams(device, ch);
                (void)SendGetVideoMask(device, ch);
            } else if (message == WM_SETUP_SAVE && wParam == SETUP_PAGE_CHANNEL) {
                (void)SendSetOverlayParams(device, ch);
                (void)SendSetColorParams(device, ch);
                (void)SendSetVideoMask(device, ch);
            } else if (message == WM_SETUP_APPLY && wParam == SETUP_PAGE_CHANNEL) {
                (void)SendSetColorParams(device, ch);
            } else if (message == WM_SETUP_LOAD && wParam == SETUP_PAGE_CAMERA) {
                (void)SendGetCameraParams(device, ch);
                (void)SendGetPresets(device, ch);
            } else if (message == WM_SETUP_SAVE && wParam == SETUP_PAGE_CAMERA) {
                (void)SendSetCameraParams(device, ch);
                (void)SendSetPresets(device, ch);
            }
        }
        return PageOwner::WindowProc(message, wParam, lParam);
    }
};

inline HWND& PageWindowSlot() {
    static HWND window = nullptr;
    return window;
}
inline HWND PageWindow() {
    return PageWindowSlot();
}

// A simulated DVR with channels named "Camera"; Connect starts a session whose replies reach page.
class PageSim {
public:
    explicit PageSim(int channels) {
        config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
        for (int c = 0; c < channels; ++c)
            config.channels.push_back(dvrsim::SimChannel{"Camera", dvrsim::kCodecMpeg4, 352, 288});
        sim = std::make_unique<dvrsim::DvrSim>(config);
    }
    ~PageSim() {
        g_currentDevice.store(nullptr);
        FreeDeviceList();
        InitDeviceList();
        SetDvrSessionHooks(nullptr);
        PageWindowSlot() = nullptr;
    }
    // Starts the simulator and the session, and selects the DVR; true once it is online.
    bool Connect(CWnd* page) {
        if (sim->Start() != 0)
            return false;
        PageWindowSlot() = page->GetSafeHwnd();
        DvrSessionHooks hooks;
        hooks.setupDialog = PageWindow;
        SetDvrSessionHooks(&hooks);
        node.reset(live_view::MakeDvrNode(1, sim->Port()));
        device = live_view::StartSession(node.get());
        if (!WaitUntil([&] { return live_view::IsOnline(device); }, 10000))
            return false;
        g_currentDevice.store(device);
        return true;
    }
    // The requests with that id received so far, each split at its blanks.
    std::vector<std::vector<std::string>> Sent(int id) {
        std::vector<std::vector<std::string>> sent;
        for (const dvrsim::SimRequest& r : sim->Requests()) {
            if (r.id != id)
                continue;
            std::vector<std::string> fields;
            std::istringstream in(r.bytes);
            for (std::string f; in >> f;)
                fields.push_back(f);
            sent.push_back(fields);
        }
        return sent;
    }

    dvrsim::SimConfig config;
    std::unique_ptr<dvrsim::DvrSim> sim;
    std::unique_ptr<DeviceTreeNode, decltype(&std::free)> node{nullptr, &std::free};
    DVRDevice* device = nullptr;
};

}  // namespace setup_test
