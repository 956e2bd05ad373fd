#pragma once

// What the record and alarm page suites share: a host window standing in for the setup dialog, which
// records what a page posts to it and, with a device, asks the DVR as the main window's relay does; a page
// fixture with a picker the test answers; and a session with the simulated DVR.

#include <gtest/gtest.h>

#include <QString>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/window_messages.h"
#include "dvr/channel_requests.h"
#include "dvr/dvr_session.h"
#include "dvr/session_hooks.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/wnd.h"
#include "tests/dvr/session_harness.h"
#include "tests/media/live_view_support.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/selected_device.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "ui/dialogs/setup_page.h"

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

// A page whose channel picker the test answers: the channels in picked are chosen.
template <typename Page>
class PickedPage : public Page {
public:
    using Page::Page;
    std::vector<int> picked;

protected:
    intptr_t RunChannelPicker(uint8_t* mask) override {
        for (int ch : picked)
            mask[ch / 8] = static_cast<uint8_t>(mask[ch / 8] | 1u << (ch % 8));
        return IDOK;
    }
};

// Chooses the channel in the page's combo as the operator does.
template <typename Page>
void ChooseChannel(Page& page, int channel) {
    CComboBox& combo = page.m_cboChannel;
    for (int i = 0; i < combo.GetCount(); ++i)
        if (static_cast<int>(combo.GetItemData(i)) == channel)
            combo.SetCurSel(i);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SETUP_CHANNEL, CBN_SELCHANGE), 0);
    DrainPostedEvents();
}

// A shown page of templateId on a shown host, in English, with a selected DVR of six channels.
template <typename Page, UINT templateId>
class PageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(english.ok());
        ASSERT_TRUE(device.ok());
        ASSERT_TRUE(host.CreateHost());
        host.ShowWindow(SW_SHOW);
        page = std::make_unique<PickedPage<Page>>(&host);
        ASSERT_TRUE(page->Create(templateId, &host));
        page->ShowWindow(SW_SHOW);
        DrainPostedEvents();
    }
    void TearDown() override {
        if (page)
            page->DestroyWindow();
        host.DestroyWindow();
    }
    void Choose(int channel) { ChooseChannel(*page, channel); }
    // A reply as the setup dialog routes it.
    void Reply(int channel, int type) {
        PostMessage(page->GetSafeHwnd(), WM_DEVICE_PARAMS_RECEIVED, type, channel);
        DrainPostedEvents();
    }
    // A language switch as the setup dialog posts it.
    void ApplyLanguage() {
        PostMessage(page->GetSafeHwnd(), WM_APPLY_LANGUAGE, 0, 0);
        DrainPostedEvents();
    }
    void Press(UINT id) {
        page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        DrainPostedEvents();
    }
    bool Enabled(UINT id) { return page->GetDlgItem(id)->IsWindowEnabled() != FALSE; }
    bool Visible(UINT id) { return page->GetDlgItem(id)->IsWindowVisible() != FALSE; }

    // Some texts of the pages come only from a language file.
    ScopedBuiltinLanguage english{0};
    SelectedDevice device{6};
    PageHost host;
    std::unique_ptr<PickedPage<Page>> page;
};

// A session with a simulated DVR of three channels, selected in the device tree, whose replies go to page
// and whose requests the host sends; everything ends with the object (declare it before host and page).
class SimulatedDvrSession {
public:
    SimulatedDvrSession() : m_sim(Config()) {}
    ~SimulatedDvrSession() {
        g_currentDevice.store(nullptr);
        SetDvrSessionHooks(nullptr);
    }
    // Starts the DVR and the session for page (created on host): true once the session is online.
    bool Start(PageHost* host, CWnd* page) {
        if (m_sim.Start() != 0)
            return false;
        s_page = page->GetSafeHwnd();
        DvrSessionHooks hooks;
        hooks.setupDialog = [] { return s_page; };
        SetDvrSessionHooks(&hooks);
        m_node.reset(live_view::MakeDvrNode(1, m_sim.Port()));
        DVRDevice* device = live_view::StartSession(m_node.get());
        if (!WaitUntil([&] { return live_view::IsOnline(device); }, 10000))
            return false;
        g_currentDevice.store(device);
        host->device = device;
        return true;
    }
    dvrsim::DvrSim& sim() { return m_sim; }

private:
    static dvrsim::SimConfig Config() {
        dvrsim::SimConfig config;
        config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
        for (int c = 0; c < 3; ++c)
            config.channels.push_back(dvrsim::SimChannel{"Camera", dvrsim::kCodecMpeg4, 352, 288});
        config.stream = false;
        return config;
    }
    static inline HWND s_page = nullptr;
    harness::StopSessionsAtExit m_stopSessions;
    ScopedBuiltinLanguage m_english{0};
    dvrsim::DvrSim m_sim;
    std::unique_ptr<DeviceTreeNode, decltype(&std::free)> m_node{nullptr, &std::free};
};
