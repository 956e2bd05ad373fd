// The user and audio/video pages against the simulated DVR, through a session: the page loads the
// simulator's values, a change and Set reaches the simulator, and a reload shows that exactly the changed
// fields differ. The host window stands in for the setup dialog and the main window: it turns the page's
// loads and saves into the requests the main window sends for them, and passes the DVR's replies on to
// the page, counting them.

#include <gtest/gtest.h>

#include <cstring>

#include "dvr/channel_requests.h"
#include "dvr/device_requests.h"
#include "dvr/device_tree.h"
#include "dvr/dvr_protocol.h"
#include "dvr/session_hooks.h"
#include "tests/ui/dialogs/setup_page_fixture.h"
#include "tools/dvrsim/dvr_sim.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/setup_user.h"
#include "ui/dialogs/setup_video.h"

namespace {

HWND g_hostWindow = nullptr;

HWND HostWindow() {
    return g_hostWindow;
}

dvrsim::SimConfig Config() {
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    config.users.push_back(dvrsim::SimUser{"guest user", "pass word", 0x01});
    config.channels = {{"Door", 16, 352, 288}, {"Hall", 16, 352, 288}, {"Yard", 16, 352, 288}};
    config.stream = false;
    return config;
}

// The requests the main window sends for a page's load or save (video and user pages).
void Relay(UINT message, WPARAM page, LPARAM lParam) {
    DVRDevice* device = g_currentDevice.load();
    if (device == nullptr)
        return;
    const int low = static_cast<int16_t>(lParam & 0xFFFF);
    const int high = static_cast<int16_t>((static_cast<uintptr_t>(lParam) >> 16) & 0xFFFF);
    if (page == SETUP_PAGE_VIDEO && message == WM_SETUP_LOAD) {
        (void)SendGetVideoParams(device, low);
        (void)SendGetAudioParams(device, low);
        (void)SendGetSubStreamParams(device, low);
    } else if (page == SETUP_PAGE_VIDEO && message == WM_SETUP_SAVE) {
        (void)SendSetVideoParams(device, low);
        (void)SendSetAudioParams(device, low);
        (void)SendSetSubStreamParams(device, low);
    } else if (page == SETUP_PAGE_USER && message == WM_SETUP_LOAD) {
        if (lParam == -1) {
            (void)SendGetUserList(device);
        } else {
            (void)SendGetUserParams(device, low, 0);
            (void)SendGetUserParams(device, low, 1);
        }
    } else if (page == SETUP_PAGE_USER && message == WM_SETUP_SAVE) {
        (void)SendSetUserParams(device, high, low);
    }
}

class SimFixture : public ::testing::Test {
protected:
    void SetUp() override {
        host.window.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_SETUP_LOAD || message == WM_SETUP_SAVE)
                Relay(message, wParam, lParam);
            if (message == WM_DEVICE_PARAMS_RECEIVED && page != nullptr) {
                ++replies;
                page->PostMessage(message, wParam, lParam);
            }
        };
        g_hostWindow = host.window.GetSafeHwnd();
        DvrSessionHooks hooks;
        hooks.setupDialog = HostWindow;
        SetDvrSessionHooks(&hooks);
        InitDeviceList();
        ASSERT_EQ(StartSupervisorThread(), 0);
        ASSERT_EQ(sim.Start(), 0);
        node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
        node->type = NODE_DVR;
        node->id = 1;
        SetNodeText(node->name, QStringLiteral("DVR"));
        SetNodeText(node->host, QStringLiteral("127.0.0.1"));
        node->port = sim.Port();
        SetNodeText(node->user, QStringLiteral("admin"));
        auto* device = new DVRDevice();
        device->node = node;
        ASSERT_EQ(StartDeviceSession(device), 0);
        AppendDevice(device);
        ASSERT_TRUE(WaitUntil([&] { return (device->flags.load() & kOnline) == kOnline; }, 10000));
        g_currentDevice = device;
    }
    void TearDown() override {
        g_currentDevice = nullptr;
        g_hostWindow = nullptr;
        FreeDeviceList();
        StopSupervisorThread();
        SetDvrSessionHooks(nullptr);
        std::free(node);
    }
    static constexpr uint32_t kOnline =
        DEVICE_FLAG_LOGGED_IN | DEVICE_FLAG_CHANNELS | DEVICE_FLAG_SYSTEM_PARAMS;

    // Waits until count more replies reached the page and were handled there.
    bool AwaitReplies(int count) {
        const int target = replies + count;
        bool ok = WaitUntil([&] { return replies >= target; }, 5000);
        DrainPostedEvents();
        return ok;
    }

    SetupHost host;
    dvrsim::DvrSim sim{Config()};
    DeviceTreeNode* node = nullptr;
    CWnd* page = nullptr;
    int replies = 0;
};

// The video and audio fields of a channel record.
struct StreamFields {
    int32_t values[10];
    bool operator==(const StreamFields&) const = default;
};
StreamFields Fields(const DVRChannel& c) {
    return {{c.resolution, c.quality, c.frameRate, c.subResolution, c.subQuality, c.subFrameRate,
             c.sampleRate, c.bitsPerSample, c.audioQuality, c.audioEnabled}};
}

TEST_F(SimFixture, VideoPageSetReachesTheSimulatorWithOnlyTheChangedFields) {
    CDlgSetupVideo page(&host.window);
    ASSERT_TRUE(page.Create(IDD_SETUP_VIDEO, &host.window));
    this->page = &page;
    DVRDevice* device = g_currentDevice.load();
    // Shows the page afresh and loads channel ch: video, audio and network-stream replies.
    auto load = [&](int ch) {
        page.ShowWindow(SW_HIDE);
        page.ShowWindow(SW_SHOW);
        for (int item = 0; item < page.m_cboChannel.GetCount(); ++item) {
            if (page.m_cboChannel.GetItemData(item) == static_cast<uintptr_t>(ch))
                page.m_cboChannel.SetCurSel(item);
        }
        page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SETUP_CHANNEL, CBN_SELCHANGE), 0);
        return AwaitReplies(3) && page.GetDlgItem(IDOK)->IsWindowEnabled() != FALSE;
    };
    ASSERT_TRUE(load(2));
    const StreamFields otherBefore = Fields(device->channels[2]);
    ASSERT_TRUE(load(1));
    const StreamFields before = Fields(device->channels[1]);
    EXPECT_NE(before.values[2], 0);
    EXPECT_EQ(page.m_cboFrameRate.GetItemData(page.m_cboFrameRate.GetCurSel()),
              static_cast<uintptr_t>(before.values[2]));

    // A new record frame rate and the audio box flipped.
    page.m_cboFrameRate.SetCurSel(page.m_cboFrameRate.GetCurSel() == 5 ? 6 : 5);
    const auto rate = static_cast<int32_t>(page.m_cboFrameRate.GetItemData(page.m_cboFrameRate.GetCurSel()));
    page.m_chkAudio.SetCheck(before.values[9] != 0 ? 0 : 1);
    sim.ClearRequests();
    Click(page, IDOK);
    DrainPostedEvents();
    ASSERT_TRUE(sim.WaitForRequests(DVR_REQ_SET_SUBSTREAM, 1, 5000));

    // Reloaded from the simulator: the two changed fields differ, nothing else, and no other channel.
    device->channels[1].frameRate = 0;
    device->channels[1].audioEnabled = -1;
    ASSERT_TRUE(load(1));
    StreamFields expected = before;
    expected.values[2] = rate;
    expected.values[9] = before.values[9] != 0 ? 0 : 1;
    EXPECT_EQ(Fields(device->channels[1]), expected);
    ASSERT_TRUE(load(2));
    EXPECT_EQ(Fields(device->channels[2]), otherBefore);
    page.DestroyWindow();
}

TEST_F(SimFixture, UserPageSetReachesTheSimulatorWithOnlyTheChangedFields) {
    CDlgSetupUser page(&host.window);
    ASSERT_TRUE(page.Create(IDD_SETUP_USER, &host.window));
    this->page = &page;
    DVRDevice* device = g_currentDevice.load();
    // Shows the page afresh (the list reply) and loads the slot (both parts of the account).
    auto load = [&](int slot) {
        page.ShowWindow(SW_HIDE);
        page.ShowWindow(SW_SHOW);
        if (!AwaitReplies(1) || page.m_listUser.GetItemCount() != 2)
            return false;
        for (int row = 0; row < 2; ++row)
            page.m_listUser.SetItemState(row, row == slot ? LVIS_SELECTED : 0, LVIS_SELECTED);
        NMHDR header;
        header.idFrom = IDC_USER_LIST;
        header.code = NM_CLICK;
        page.SendMessage(WM_NOTIFY, IDC_USER_LIST, reinterpret_cast<LPARAM>(&header));
        return AwaitReplies(2) && page.GetDlgItem(IDOK)->IsWindowEnabled() != FALSE;
    };
    ASSERT_TRUE(load(1));
    EXPECT_EQ(ItemText(&page, IDC_USER_NAME), "guest user");
    const DVRUserAccount before = (*device->lists.users.Current())[1];

    SetItemText(&page, IDC_USER_DESCRIPTION, QStringLiteral("night shift"));
    CheckItem(&page, IDC_USER_REMOTE, 1);
    sim.ClearRequests();
    Click(page, IDOK);
    DrainPostedEvents();
    ASSERT_TRUE(sim.WaitForRequests(DVR_REQ_SET_USER, 2, 5000));

    ASSERT_TRUE(load(1));
    DVRUserAccount expected = before;
    SetNodeText(expected.description, QStringLiteral("night shift"));
    expected.rights |= USER_RIGHT_REMOTE;
    const DVRUserAccount after = (*device->lists.users.Current())[1];
    EXPECT_EQ(NodeText(after.description), "night shift");
    EXPECT_EQ(std::memcmp(&after, &expected, sizeof expected), 0);
    EXPECT_EQ(ItemText(&page, IDC_USER_DESCRIPTION), "night shift");
    page.DestroyWindow();
}

}  // namespace
