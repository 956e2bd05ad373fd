// The real main window against two simulated DVRs on loopback: a program folder with a tree file and a
// view.dat, the window made from its template, the start-up login, the sessions, the grid showing the
// saved channels, and what the window sends and writes.

#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <atomic>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "media/main_window_state.h"
#include "media/pixel_routines.h"
#include "media/screen_slot.h"
#include "platform/audio/sound_buffer.h"
#include "platform/system/copydata_endpoint.h"
#include "platform/system/instance_endpoint.h"
#include "platform/ui/prompt_hook.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/win_app.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/scoped_env.h"
#include "tests/ui/main_window_home.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "ui/alarm_beep.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dlg_login.h"
#include "ui/dialogs/dlg_setup.h"
#include "ui/dialogs/setup_network.h"
#include "ui/dialogs/setup_system.h"
#include "ui/main_window.h"
#include "ui/main_window_menus.h"
#include "ui/slot_channels.h"
#include "ui/view_file.h"
#include "updater/close_request.h"

namespace {

constexpr int kGate = 1;
constexpr int kYard = 2;

dvrsim::SimConfig TwoChannels() {
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    config.channels = {{"Door", dvrsim::kCodecMpeg4, 352, 288}, {"Hall", dvrsim::kCodecMpeg4, 352, 288}};
    config.framesPerSecond = 10;
    return config;
}

// Which DVR id and channel a grid slot shows, -1 / -1 when none.
ViewEntry SlotView(int slot) {
    std::lock_guard<std::mutex> guard(g_screenSlots[slot].lock);
    DVRDevice* d = g_screenSlots[slot].device;
    return d == nullptr ? ViewEntry{-1, -1} : ViewEntry{d->node->id, g_screenSlots[slot].channel};
}

bool SameView(ViewEntry a, ViewEntry b) {
    return a.deviceId == b.deviceId && a.channel == b.channel;
}

DVRDevice* DeviceWithId(int id) {
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    for (DVRDevice* d = g_deviceList; d != nullptr; d = d->next) {
        if (d->node != nullptr && d->node->id == id)
            return d;
    }
    return nullptr;
}

int Luma(QRgb rgb) {
    return (qRed(rgb) * 299 + qGreen(rgb) * 587 + qBlue(rgb) * 114) / 1000;
}

double MeanDifference(const QImage& a, const QImage& b, const VideoRect& r) {
    long sum = 0, count = 0;
    for (int y = r.top + 2; y < r.bottom - 2; y += 2) {
        for (int x = r.left + 2; x < r.right - 2; x += 2, ++count)
            sum += std::abs(Luma(a.pixel(x, y)) - Luma(b.pixel(x, y)));
    }
    return count == 0 ? 0.0 : static_cast<double>(sum) / count;
}

// The grid's saved channels: screens 0-3 show both channels of both DVRs; screen 5 names Gate's first
// channel again and screen 6 a channel Yard does not have: neither is shown.
const std::vector<ViewEntry> kSaved = {{kGate, 0}, {kGate, 1}, {kYard, 0}, {kYard, 1},
                                       {-1, -1},   {kGate, 0}, {kYard, 9}};

class MainWindowTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    dvrsim::DvrSim gate{TwoChannels()};
    dvrsim::DvrSim yard{TwoChannels()};
    CTarvikDlg* window = nullptr;

    void SetUp() override {
        SetSoundBackend(SOUND_BACKEND_NULL);
        ImgInitDispatch();
        ASSERT_EQ(gate.Start(), 0);
        ASSERT_EQ(yard.Start(), 0);
        ASSERT_TRUE(PrepareMainWindowHome(folder.path() + QStringLiteral("/"),
                                          {{kGate, "Gate", gate.Port()}, {kYard, "Yard", yard.Port()}},
                                          kSaved));
    }

    void TearDown() override {
        SetPromptHook(nullptr);
        if (window != nullptr) {
            if (window->m_hWnd != nullptr)
                window->DestroyWindow();
            delete window;
        }
        g_bLoggedIn = 0;
        g_currentDevice = nullptr;
        SetSoundBackend(SOUND_BACKEND_AUTO);
    }

    void Open() {
        window = new CTarvikDlg();
        AfxGetApp()->m_pMainWnd = window;
        ASSERT_TRUE(window->Create(IDD_TARVIK_DIALOG, nullptr));
        window->ShowWindow(SW_SHOW);
        // The saved channels come back as each DVR's channel list completes.
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (int s = 0; s < 4; ++s) {
                    if (!SameView(SlotView(s), kSaved[s]))
                        return false;
                }
                return true;
            },
            10000));
    }
    // Selects a screen of the grid and waits until its slot holds a picture to take a snapshot of.
    bool SelectScreenWithPicture(int screen) {
        window->m_grid.m_nCurScreen = screen;
        return WaitUntil(
            [&] {
                std::lock_guard<std::mutex> guard(g_screenSlots[screen].lastFrameLock);
                return g_screenSlots[screen].lastFrame != nullptr;
            },
            10000);
    }
    // Opens the window and selects the gate once its login gave the administrator's right (the setup
    // dialog needs it): the gate's session, or nullptr when it did not log in with that right.
    DVRDevice* OpenWithTheGateSelected() {
        Open();
        if (HasFatalFailure())
            return nullptr;
        DVRDevice* dvr = DeviceWithId(kGate);
        if (dvr == nullptr || !WaitUntil([&] { return (dvr->rights.load() & USER_RIGHT_ADMIN) != 0; }, 5000))
            return nullptr;
        g_currentDevice = dvr;
        return dvr;
    }

    void Close() {
        window->DestroyWindow();
        AfxGetApp()->m_pMainWnd = nullptr;
    }

    // The main window with the video window painted over it, as an operator sees them.
    QImage Grab() {
        QImage picture = window->GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        RECT main{}, video{};
        window->GetWindowRect(&main);
        window->m_pDlgVideo->GetWindowRect(&video);
        QPainter painter(&picture);
        painter.drawImage(video.left - main.left, video.top - main.top,
                          window->m_pDlgVideo->GetWidget()->grab().toImage());
        return picture;
    }

    QImage GrabVideo() {
        return window->m_pDlgVideo->GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(MainWindowTest, SavedChannelsStreamOnTheirScreensAndAreSavedBackOnClose) {
    Open();
    // A channel already on a screen and a channel the DVR lacks stay off the grid.
    for (int s = 4; s < GRID_SCREENS; ++s)
        EXPECT_TRUE(SameView(SlotView(s), ViewEntry{-1, -1})) << s;
    // The simulator logs a request when it has read it, a moment after the screen took the channel.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return gate.CountRequests(DVR_REQ_OPEN_STREAM) >= 2 &&
                   yard.CountRequests(DVR_REQ_OPEN_STREAM) >= 2;
        },
        5000));
    EXPECT_EQ(gate.CountRequests(DVR_REQ_OPEN_STREAM), 2);
    EXPECT_EQ(yard.CountRequests(DVR_REQ_OPEN_STREAM), 2);

    // Moving pictures on the four screens.
    QImage first;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (int s = 0; s < 4; ++s) {
                if (g_screenSlots[s].decodedWidth.load() != 352)
                    return false;
            }
            first = GrabVideo();
            return true;
        },
        10000));
    QImage later;
    EXPECT_TRUE(WaitUntil(
        [&] {
            later = GrabVideo();
            for (int s = 0; s < 4; ++s) {
                if (MeanDifference(first, later, g_mainWindowState.ScreenRect(s)) < 2.0)
                    return false;
            }
            return true;
        },
        5000));
    QImage picture = Grab();
    EXPECT_TRUE(picture.save(PicturePath(QStringLiteral("main_window_live.png"))));

    Close();
    EXPECT_EQ(ReadBytes(theApp.m_strDataDir + "view.dat"),
              ViewFileBytes({kSaved.begin(), kSaved.begin() + 4}));
    EXPECT_EQ(theApp.m_iniSystem.GetInt("USER", "ScreenNum", 0), 16);
}

// The requests each message of the child dialogs becomes on the selected DVR's command connection.
TEST_F(MainWindowTest, RelayTurnsEachPageMessageIntoItsRequests) {
    Open();
    DVRDevice* dvr = DeviceWithId(kGate);
    ASSERT_NE(dvr, nullptr);
    g_currentDevice = dvr;
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::vector<int> requests;
    } const cases[] = {
        {WM_SETUP_LOAD, SETUP_PAGE_USER, -1, {0x10010}},
        {WM_SETUP_LOAD, SETUP_PAGE_USER, 40, {}},
        {WM_SETUP_LOAD, SETUP_PAGE_CHANNEL, 1, {0x10013, 0x10015, 0x10017}},
        {WM_SETUP_LOAD, SETUP_PAGE_CHANNEL, 2, {}},  // not a channel of this DVR
        {WM_SETUP_LOAD, SETUP_PAGE_VIDEO, 0, {0x1001D, 0x1001F, 0x10031}},
        {WM_SETUP_LOAD, SETUP_PAGE_CAMERA, 0, {0x10019, 0x1001B}},
        {WM_SETUP_LOAD, SETUP_PAGE_RECORD, 1, {0x10021}},
        {WM_SETUP_LOAD, SETUP_PAGE_ALARM, 0, {0x10023, 0x10025}},
        {WM_SETUP_LOAD, 99, 0, {}},
        {WM_SETUP_SAVE, SETUP_PAGE_SYSTEM, 0, {0x1000F}},
        {WM_SETUP_APPLY, SETUP_PAGE_CHANNEL, 1, {0x10016}},
        {WM_SETUP_APPLY, SETUP_PAGE_VIDEO, 1, {}},
        {WM_CHANNEL_RESTORE_COLOR, 1, 0, {0x10030}},
        {WM_PLAYBACK_CLOSE, 0, 0, {0x1000C}},
        {WM_PLAYBACK_QUERY_MONTH, 0x07DD0500, 0, {0x1002C}},
        {WM_PLAYBACK_QUERY_DAY, 1 << 16 | 0, 1369180800, {0x1002E}},
        // Last: clearing the system-parameters flag also makes the session ask for them once more.
        {WM_SETUP_LOAD, SETUP_PAGE_SYSTEM, 0, {0x10029, 0x1002A, 0x1000E}},
    };
    // Each case is followed by the network page's load, whose one request marks its end.
    constexpr int kMarker = 0x10027;
    std::set<int> watched = {kMarker};
    for (const Case& c : cases)
        watched.insert(c.requests.begin(), c.requests.end());
    for (const Case& c : cases) {
        gate.ClearRequests();
        window->PostMessage(c.message, c.wParam, c.lParam);
        window->PostMessage(WM_SETUP_LOAD, SETUP_PAGE_NETWORK, 0);
        ASSERT_TRUE(WaitUntil([&] { return gate.CountRequests(kMarker) == 1; }, 5000)) << c.message;
        std::vector<int> seen;
        for (const dvrsim::SimRequest& r : gate.Requests()) {
            if (r.connection == dvrsim::SIM_COMMAND && watched.count(r.id) != 0 && r.id != kMarker)
                seen.push_back(r.id);
        }
        if (c.message == WM_SETUP_LOAD && c.wParam == SETUP_PAGE_SYSTEM && seen.size() > 3)
            seen.resize(3);
        EXPECT_EQ(seen, c.requests) << "message " << c.message << " wParam " << c.wParam << " lParam "
                                    << c.lParam;
    }

    // Without a selected DVR nothing goes out, and the records posted with the messages are freed.
    g_currentDevice = nullptr;
    gate.ClearRequests();
    window->PostMessage(WM_PLAYBACK_CONTROL, reinterpret_cast<WPARAM>(new PlaybackControl{}), 1);
    window->PostMessage(WM_PLAYBACK_SEARCH, reinterpret_cast<WPARAM>(new PlaybackSearch{}), 0);
    window->PostMessage(WM_SETUP_LOAD, SETUP_PAGE_SYSTEM, 0);
    DrainPostedEvents();
    g_currentDevice = dvr;
    window->PostMessage(WM_SETUP_LOAD, SETUP_PAGE_NETWORK, 0);
    ASSERT_TRUE(WaitUntil([&] { return gate.CountRequests(kMarker) == 1; }, 5000));
    for (const dvrsim::SimRequest& r : gate.Requests())
        EXPECT_TRUE(r.connection != dvrsim::SIM_COMMAND || watched.count(r.id) == 0 || r.id == kMarker ||
                    r.id == DVR_REQ_GET_SYSTEM_PARAMS)
            << r.id;
}

// The status, setup and playback buttons open their dialogs; each closes back through WM_CHILD_CLOSED:
// the status and setup dialogs are kept hidden, the playback dialog is destroyed.
TEST_F(MainWindowTest, ChildDialogsOpenFromTheirButtonsAndCloseBack) {
    Open();
    DVRDevice* dvr = DeviceWithId(kGate);
    ASSERT_NE(dvr, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return (dvr->rights.load() & USER_RIGHT_RECORD) != 0; }, 5000));
    g_currentDevice = dvr;
    EXPECT_TRUE(window->Button(1004)->IsWindowEnabled());

    window->SendMessage(WM_BITBUTTON_UP, 1034, 0);
    ASSERT_NE(window->m_pDlgStatus, nullptr);
    EXPECT_TRUE(window->m_pDlgStatus->IsWindowVisible());
    EXPECT_FALSE(window->Button(1003)->IsWindowEnabled());
    window->PostMessage(WM_CHILD_CLOSED, CHILD_STATUS, 0);
    DrainPostedEvents();
    ASSERT_NE(window->m_pDlgStatus, nullptr);
    EXPECT_FALSE(window->m_pDlgStatus->IsWindowVisible());
    EXPECT_TRUE(window->Button(1003)->IsWindowEnabled());
    EXPECT_TRUE(window->Button(1004)->IsWindowEnabled());

    // The setup dialog needs the administrator's right, which the gate's login has.
    ASSERT_TRUE(WaitUntil([&] { return (dvr->rights.load() & USER_RIGHT_ADMIN) != 0; }, 5000));
    window->SendMessage(WM_BITBUTTON_UP, 1004, 0);
    ASSERT_NE(window->m_pDlgSetup, nullptr);
    CDialog* setup = window->m_pDlgSetup;
    EXPECT_TRUE(setup->IsWindowVisible());
    EXPECT_FALSE(window->Button(1034)->IsWindowEnabled());
    window->PostMessage(WM_CHILD_CLOSED, CHILD_SETUP, 0);
    DrainPostedEvents();
    EXPECT_EQ(window->m_pDlgSetup, setup);
    EXPECT_FALSE(setup->IsWindowVisible());
    EXPECT_TRUE(window->Button(1034)->IsWindowEnabled());

    window->SendMessage(WM_BITBUTTON_UP, 1003, 0);
    ASSERT_NE(window->m_pDlgPlayback, nullptr);
    EXPECT_EQ(window->m_bPlaybackOpen, 1);
    EXPECT_TRUE(window->m_pDlgPlayback->IsWindowVisible());
    window->PostMessage(WM_CHILD_CLOSED, CHILD_PLAYBACK, 0);
    DrainPostedEvents();
    EXPECT_EQ(window->m_pDlgPlayback, nullptr);
    EXPECT_EQ(window->m_bPlaybackOpen, 0);
    EXPECT_TRUE(window->Button(1034)->IsWindowEnabled());
}

// Chooses the tab as a click on it does.
void SelectSetupTab(CDlgSetup* setup, int tab) {
    setup->m_tabCtrl.SetCurSel(tab);
    NMHDR change{};
    change.idFrom = IDC_SETUP_TAB;
    change.code = TCN_SELCHANGE;
    setup->SendMessage(WM_NOTIFY, IDC_SETUP_TAB, reinterpret_cast<LPARAM>(&change));
}

// The setup dialog against the simulated DVR: the System and Network pages show what the DVR holds; a
// change and Set reach the DVR, which afterwards differs in exactly the changed field, and the page shows
// the new value when it is opened again.
TEST_F(MainWindowTest, SetupPagesChangeTheDvrThroughTheRelay) {
    DVRDevice* dvr = OpenWithTheGateSelected();
    ASSERT_NE(dvr, nullptr);
    QStringList told;
    SetPromptHook([&](const PromptRequest& request) {
        told << request.text;
        PromptAnswer answer;
        answer.result = IDOK;
        return answer;
    });

    window->SendMessage(WM_BITBUTTON_UP, 1004, 0);
    auto* setup = dynamic_cast<CDlgSetup*>(window->m_pDlgSetup);
    ASSERT_NE(setup, nullptr);
    auto* system = dynamic_cast<CDlgSetupSystem*>(setup->m_pages[SETUP_PAGE_SYSTEM]);
    ASSERT_NE(system, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return system->IsLoaded(); }, 5000));
    EXPECT_EQ(system->m_listDisks.GetItemCount(), 2);
    EXPECT_TRUE(system->m_listDisks.GetCheck(0));
    EXPECT_EQ(system->m_cboLanguage.GetCount(), 2);
    EXPECT_EQ(ItemText(system, IDC_SETUP_SYSTEM_RECORD_DIR), QStringLiteral("Record Files"));
    const SystemSettings before = *dvr->systemParams;
    EXPECT_EQ(ItemText(system, IDC_SETUP_SYSTEM_INTERVAL), QString::number(before.ScrollInterval));
    const int interval = before.ScrollInterval == 17 ? 18 : 17;
    SetItemText(system, IDC_SETUP_SYSTEM_INTERVAL, QString::number(interval));
    system->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return gate.CountRequests(DVR_REQ_SET_SYSTEM_PARAMS) == 1; }, 5000));
    EXPECT_TRUE(told.isEmpty());

    // Closed and opened again: the page asks the DVR anew. The client's copy is scribbled over first, so
    // what the page shows afterwards is what the DVR answered.
    window->PostMessage(WM_CHILD_CLOSED, CHILD_SETUP, 0);
    DrainPostedEvents();
    dvr->systemParams->ScrollInterval = 2;
    const int gets = gate.CountRequests(DVR_REQ_GET_SYSTEM_PARAMS);
    window->SendMessage(WM_BITBUTTON_UP, 1004, 0);
    // The session itself may ask again too when it sees the parameters flag cleared: at least one more.
    ASSERT_TRUE(WaitUntil([&] { return gate.CountRequests(DVR_REQ_GET_SYSTEM_PARAMS) >= gets + 1; }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return system->IsLoaded(); }, 5000));
    EXPECT_EQ(setup->VisiblePage(), SETUP_PAGE_SYSTEM);
    EXPECT_EQ(ItemText(system, IDC_SETUP_SYSTEM_INTERVAL), QString::number(interval));
    SystemSettings expected = before;
    expected.ScrollInterval = interval;
    EXPECT_EQ(std::memcmp(dvr->systemParams.get(), &expected, sizeof expected), 0);

    // The Network page: a new WAN user, saved without the restart notice.
    auto* network = dynamic_cast<CDlgSetupNetwork*>(setup->m_pages[SETUP_PAGE_NETWORK]);
    ASSERT_NE(network, nullptr);
    SelectSetupTab(setup, SETUP_PAGE_NETWORK);
    ASSERT_TRUE(WaitUntil([&] { return network->IsLoaded(); }, 5000));
    EXPECT_EQ(ItemText(network, IDC_SETUP_NETWORK_HOST), QStringLiteral("dvr-sim"));
    const DVRNetworkParams networkBefore = *dvr->networkParams;
    SetItemText(network, IDC_SETUP_NETWORK_USER, QStringLiteral("site user"));
    network->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return gate.CountRequests(DVR_REQ_SET_NETWORK) == 1; }, 5000));
    EXPECT_TRUE(told.isEmpty());
    // Back to the System tab and again to the Network tab: the settings are asked for anew.
    SetNodeText(dvr->networkParams->wanUser, QString());
    for (int tab : {SETUP_PAGE_SYSTEM, SETUP_PAGE_NETWORK})
        SelectSetupTab(setup, tab);
    ASSERT_TRUE(WaitUntil([&] { return network->IsLoaded(); }, 5000));
    EXPECT_EQ(ItemText(network, IDC_SETUP_NETWORK_USER), QStringLiteral("site user"));
    DVRNetworkParams networkExpected = networkBefore;
    SetNodeText(networkExpected.wanUser, QStringLiteral("site user"));
    EXPECT_EQ(std::memcmp(dvr->networkParams.get(), &networkExpected, sizeof networkExpected), 0);
    window->PostMessage(WM_CHILD_CLOSED, CHILD_SETUP, 0);
    DrainPostedEvents();
}

// A save whose request cannot go out (here a WAN user that reached the record too long for its field) is
// passed back to its page: the "Saved." notice is withdrawn, the operator told, nothing sent, and the
// page loads what the DVR holds again.
TEST_F(MainWindowTest, ASaveTheRelayCannotSendIsPassedBackToItsPage) {
    DVRDevice* dvr = OpenWithTheGateSelected();
    ASSERT_NE(dvr, nullptr);
    QStringList told;
    RecordPromptsAnsweringOk(&told);
    window->SendMessage(WM_BITBUTTON_UP, 1004, 0);
    auto* setup = dynamic_cast<CDlgSetup*>(window->m_pDlgSetup);
    ASSERT_NE(setup, nullptr);
    auto* network = dynamic_cast<CDlgSetupNetwork*>(setup->m_pages[SETUP_PAGE_NETWORK]);
    ASSERT_NE(network, nullptr);
    SelectSetupTab(setup, SETUP_PAGE_NETWORK);
    ASSERT_TRUE(WaitUntil([&] { return network->IsLoaded(); }, 5000));
    const DVRNetworkParams held = *dvr->networkParams;

    SetNodeText(dvr->networkParams->wanUser, QString(190, u'u'));
    network->ShowSavedNotice();
    const int gets = gate.CountRequests(DVR_REQ_GET_NETWORK);
    window->PostMessage(WM_SETUP_SAVE, SETUP_PAGE_NETWORK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !told.isEmpty(); }, 5000));
    EXPECT_EQ(told,
              QStringList{QStringLiteral("The settings could not be sent to the DVR, please try again!")});
    EXPECT_EQ(network->m_nSavedCountdown, 0);
    ASSERT_TRUE(WaitUntil([&] { return gate.CountRequests(DVR_REQ_GET_NETWORK) > gets; }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return network->IsLoaded(); }, 5000));
    EXPECT_EQ(gate.CountRequests(DVR_REQ_SET_NETWORK), 0);
    EXPECT_EQ(NodeText(dvr->networkParams->wanUser), NodeText(held.wanUser));
    EXPECT_EQ(ItemText(network, IDC_SETUP_NETWORK_USER), NodeText(held.wanUser));
    window->PostMessage(WM_CHILD_CLOSED, CHILD_SETUP, 0);
    DrainPostedEvents();
}

TEST_F(MainWindowTest, PreviewCloseReleasesWhatThePreviewShows) {
    Open();
    DVRDevice* gateDvr = DeviceWithId(kGate);
    DVRDevice* yardDvr = DeviceWithId(kYard);
    ASSERT_NE(gateDvr, nullptr);
    ASSERT_NE(yardDvr, nullptr);
    g_currentDevice = gateDvr;
    window->PostMessage(WM_PREVIEW_OPEN, 1u << 16 | 0u, 0);
    DrainPostedEvents();
    EXPECT_TRUE(SameView(SlotView(PREVIEW_SLOT_FIRST), ViewEntry{kGate, 1}));
    // The operator selected another DVR meanwhile: the preview still lets go of Gate's channel.
    g_currentDevice = yardDvr;
    window->PostMessage(WM_PREVIEW_CLOSE, 1u << 16 | 0u, 0);
    DrainPostedEvents();
    EXPECT_TRUE(SameView(SlotView(PREVIEW_SLOT_FIRST), ViewEntry{-1, -1}));
    // Channel 1 of Gate is still on grid screen 1: its stream stays open.
    EXPECT_EQ(gate.CountRequests(DVR_REQ_CLOSE_STREAM), 0);
}

LPARAM CentreOf(int screen) {
    VideoRect r = g_mainWindowState.ScreenRect(screen);
    return static_cast<LPARAM>(((r.top + r.bottom) / 2) << 16 | ((r.left + r.right) / 2));
}

TEST_F(MainWindowTest, GridSelectsZoomsPagesClosesAndOpensChannels) {
    Open();
    window->SendMessage(WM_VIDEO_CLICK, 0, CentreOf(5));
    EXPECT_EQ(window->m_grid.m_nCurScreen, 5);
    EXPECT_EQ(g_mainWindowState.m_nCurScreen.load(), 5);

    // A double click zooms the screen over the video area; a second one brings the page back.
    VideoRect before = g_mainWindowState.ScreenRect(5);
    window->SendMessage(WM_VIDEO_DBLCLK, 0, CentreOf(5));
    RECT video{};
    window->m_pDlgVideo->GetClientRect(&video);
    VideoRect zoomed = g_mainWindowState.ScreenRect(5);
    EXPECT_EQ(zoomed.right - zoomed.left, video.right);
    EXPECT_EQ(zoomed.bottom - zoomed.top, video.bottom);
    EXPECT_EQ(g_mainWindowState.m_bScreenShown[4].load(), 0);
    window->SendMessage(WM_VIDEO_DBLCLK, 0, CentreOf(5));
    VideoRect back = g_mainWindowState.ScreenRect(5);
    EXPECT_EQ(back.left, before.left);
    EXPECT_EQ(back.bottom, before.bottom);
    EXPECT_EQ(g_mainWindowState.m_bScreenShown[4].load(), 1);

    // Paging forward and back with the bar's buttons.
    window->SendMessage(WM_BITBUTTON_UP, 1028, 0);
    EXPECT_EQ(window->m_grid.m_nFirstScreen, 16);
    EXPECT_EQ(g_mainWindowState.m_bScreenShown[0].load(), 0);
    EXPECT_EQ(g_mainWindowState.m_bScreenShown[16].load(), 1);
    window->SendMessage(WM_BITBUTTON_UP, 1029, 0);
    EXPECT_EQ(window->m_grid.m_nFirstScreen, 0);

    // Close all frees every screen and closes each stream once; open all fills the grid in tree order.
    window->SendMessage(WM_BITBUTTON_UP, 1007, 0);
    for (int s = 0; s < 4; ++s)
        EXPECT_TRUE(SameView(SlotView(s), ViewEntry{-1, -1})) << s;
    EXPECT_TRUE(gate.WaitForRequests(DVR_REQ_CLOSE_STREAM, 2, 5000));
    window->SendMessage(WM_BITBUTTON_UP, 1006, 0);
    const ViewEntry expected[] = {{kGate, 0}, {kGate, 1}, {kYard, 0}, {kYard, 1}, {-1, -1}};
    for (int s = 0; s < 5; ++s)
        EXPECT_TRUE(SameView(SlotView(s), expected[s])) << s;
    EXPECT_TRUE(window->GetDlgItem(1006)->IsWindowEnabled());
}

// Double-clicking a channel in the device tree: a channel shown anywhere is closed where it is; one shown
// nowhere replaces what the selected screen shows, whose stream closes when nothing else shows it.
TEST_F(MainWindowTest, TreeDoubleClickClosesOrReplacesAChannel) {
    Open();
    DeviceTreeView* view = window->m_treeView.get();
    auto channelItem = [&](int dvrId, int channel) -> HTREEITEM {
        TreeItem dvr = FindTreeItem(view, NODE_DVR, dvrId, nullptr);
        for (TreeItem c = dvr != nullptr ? view->GetChildItem(dvr) : nullptr; c != nullptr;
             c = view->GetNextSiblingItem(c)) {
            if (view->GetItemData(c)->id == channel)
                return static_cast<HTREEITEM>(c);
        }
        return nullptr;
    };
    HTREEITEM gateHall = channelItem(kGate, 1);
    ASSERT_NE(gateHall, nullptr);
    window->m_tree.SelectItem(gateHall);
    window->m_grid.m_nCurScreen = 3;
    window->OnDblClickDeviceTree();
    EXPECT_TRUE(SameView(SlotView(1), ViewEntry{-1, -1}));
    EXPECT_TRUE(SameView(SlotView(3), ViewEntry{kYard, 1}));  // nothing opened
    EXPECT_TRUE(gate.WaitForRequests(DVR_REQ_CLOSE_STREAM, 1, 5000));

    window->OnDblClickDeviceTree();
    EXPECT_TRUE(SameView(SlotView(3), ViewEntry{kGate, 1}));
    EXPECT_TRUE(yard.WaitForRequests(DVR_REQ_CLOSE_STREAM, 1, 5000));
    EXPECT_TRUE(gate.WaitForRequests(DVR_REQ_OPEN_STREAM, 3, 5000));
}

TEST_F(MainWindowTest, RestoreAndMaximiseSwapTheirButtonsAndLayOutAgain) {
    Open();
    EXPECT_FALSE(window->GetDlgItem(1037)->IsWindowVisible());
    EXPECT_TRUE(window->GetDlgItem(1038)->IsWindowVisible());
    window->SendMessage(WM_BITBUTTON_UP, 1038, 0);
    RECT r{};
    window->GetWindowRect(&r);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 600);
    EXPECT_TRUE(window->GetDlgItem(1037)->IsWindowVisible());
    EXPECT_FALSE(window->GetDlgItem(1038)->IsWindowVisible());
    // The video area follows: 30 pixels in from the left and top, 204 from the right, 88 from the bottom.
    RECT video{};
    window->m_pDlgVideo->GetWindowRect(&video);
    EXPECT_EQ(video.right - video.left, 800 - 30 - 204);
    EXPECT_EQ(video.bottom - video.top, 600 - 30 - 88);
    window->SendMessage(WM_BITBUTTON_UP, 1037, 0);
    window->GetWindowRect(&r);
    EXPECT_EQ(r.right - r.left, 1024);
    EXPECT_TRUE(window->GetDlgItem(1038)->IsWindowVisible());
}

// The screen under the centre of the published rectangle of screen, as a video-window point.
LPARAM CentreOfScreen(int screen);

// Restore and maximise from a later page keep the page, its selected screen and its mode: clicks on the
// shown screens still select them. A move of the window takes the video window along.
TEST_F(MainWindowTest, ResizeAndMoveKeepTheShownPageAndTakeTheVideoWindowAlong) {
    Open();
    for (int i = 0; i < 3; ++i)
        window->SendMessage(WM_BITBUTTON_UP, 1028, 0);
    ASSERT_EQ(window->m_grid.m_nFirstScreen, 48);
    window->SendMessage(WM_VIDEO_CLICK, 0, CentreOfScreen(50));
    ASSERT_EQ(window->m_grid.m_nCurScreen, 50);

    auto expectPage48 = [&](const char* after, int width, int height) {
        EXPECT_EQ(window->m_grid.m_nFirstScreen, 48) << after;
        EXPECT_EQ(window->m_grid.m_nCurScreen, 50) << after;
        EXPECT_EQ(g_mainWindowState.m_bScreenShown[0].load(), 0) << after;
        for (int s = 48; s < 64; ++s)
            EXPECT_EQ(g_mainWindowState.m_bScreenShown[s].load(), 1) << after << " screen " << s;
        RECT video{};
        window->m_pDlgVideo->GetClientRect(&video);
        EXPECT_EQ(video.right, width - 30 - 204) << after;
        EXPECT_EQ(video.bottom, height - 30 - 88) << after;
        // The last screen of the page ends at the video area's corner.
        VideoRect last = g_mainWindowState.ScreenRect(63);
        EXPECT_EQ(last.right, video.right) << after;
        EXPECT_EQ(last.bottom, video.bottom) << after;
        window->SendMessage(WM_VIDEO_CLICK, 0, CentreOfScreen(53));
        EXPECT_EQ(window->m_grid.m_nCurScreen, 53) << after;
        window->SendMessage(WM_VIDEO_CLICK, 0, CentreOfScreen(50));
        EXPECT_EQ(window->m_grid.m_nCurScreen, 50) << after;
    };
    window->SendMessage(WM_BITBUTTON_UP, 1038, 0);  // restore
    expectPage48("restore", 800, 600);
    window->MoveWindow(100, 80, 800, 600);
    DrainPostedEvents();
    RECT video{};
    window->m_pDlgVideo->GetWindowRect(&video);
    EXPECT_EQ(video.left, 130);
    EXPECT_EQ(video.top, 110);
    expectPage48("move", 800, 600);
    window->SendMessage(WM_BITBUTTON_UP, 1037, 0);  // maximise
    expectPage48("maximise", g_nScreenWidth, g_nScreenHeight);
}

LPARAM CentreOfScreen(int screen) {
    VideoRect r = g_mainWindowState.ScreenRect(screen);
    return static_cast<LPARAM>(((r.top + r.bottom) / 2) << 16 | ((r.left + r.right) / 2));
}

// A second start's raise request, sent from another thread as the second process would; 1 when a window
// was raised.
int SecondStartRaise() {
    std::atomic<int> result{-100};
    std::atomic<bool> done{false};
    std::thread sender([&] {
        result = RequestInstanceRaise(QString::fromLatin1(APP_INSTANCE_NAME), 5000);
        done = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }, 10000));
    sender.join();
    return result;
}

// Without a notification area the hide button minimises the window (its video window goes with it); a
// second start's raise brings the window back with its grid, also after the window was hidden as with a
// tray.
TEST_F(MainWindowTest, HiddenOrMinimisedWindowComesBackWithItsGrid) {
    // The raise request goes to the instance endpoint of this user's runtime folder: a folder of this test's
    // own, so that a window of another suite running beside it is not the one raised.
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    ScopedEnv privateRuntime("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    Open();
    if (SystemTrayAvailable())
        GTEST_SKIP() << "this desktop has a notification area";
    window->SendMessage(WM_BITBUTTON_UP, 1036, 0);
    EXPECT_TRUE(window->GetWidget()->isMinimized());
    EXPECT_FALSE(window->GetWidget()->isHidden());
    EXPECT_FALSE(window->m_pDlgVideo->IsWindowVisible());
    EXPECT_EQ(SecondStartRaise(), 1);
    EXPECT_FALSE(window->GetWidget()->isMinimized());
    EXPECT_TRUE(window->m_pDlgVideo->IsWindowVisible());

    // Hidden as with a tray: the raise shows the video window again, over the video area.
    window->m_pDlgVideo->ShowWindow(SW_HIDE);
    window->ShowWindow(SW_HIDE);
    EXPECT_EQ(SecondStartRaise(), 1);
    EXPECT_TRUE(window->IsWindowVisible());
    EXPECT_TRUE(window->m_pDlgVideo->IsWindowVisible());
    RECT main{}, video{};
    window->GetWindowRect(&main);
    window->m_pDlgVideo->GetWindowRect(&video);
    EXPECT_EQ(video.left, main.left + 30);
    EXPECT_EQ(video.bottom, main.bottom - 88);
}

// A right click opens the screen menu only on a shown screen: with five screens per page (a count that
// shows none) it does nothing, not even a selection.
TEST_F(MainWindowTest, RightClickWhereNoScreenIsShownDoesNothing) {
    Open();
    int menus = 0;
    SetPromptHook([&](const PromptRequest& r) {
        menus += r.kind == PromptKind::PopupMenu ? 1 : 0;
        return PromptAnswer{};
    });
    const LPARAM screen3 = CentreOfScreen(3);
    window->SendMessage(WM_VIDEO_RCLICK, 0, screen3);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(window->m_grid.m_nCurScreen, 3);
    window->LayoutScreens(0, 5, FALSE);
    for (int s = 0; s < GRID_SCREENS; ++s)
        ASSERT_EQ(g_mainWindowState.m_bScreenShown[s].load(), 0) << s;
    window->SendMessage(WM_VIDEO_RCLICK, 0, CentreOfScreen(0));
    window->SendMessage(WM_VIDEO_RCLICK, 0, screen3);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(window->m_grid.m_nCurScreen, 3);
}

// The window at its smallest size and at full size, for the eye: the skin's pieces, the controls in their
// places and the channel lights. The lights keep their places (20 + 19 per column, 72 above the bottom
// edge and 19 per row), so the fourth row reaches 2 pixels past the bottom edge at every size, and at
// 800 x 600 the screen-count list and the page buttons lie over the lights' right end.
TEST_F(MainWindowTest, PicturesAtTheSmallestAndAtFullSize) {
    Open();
    // Grabbed once the video window shows pictures again at its new size (screen 0 live, screen 5 idle).
    auto drawn = [&] {
        return WaitUntil(
            [&] {
                const QImage video = GrabVideo();
                for (int s : {0, 5}) {
                    const VideoRect r = g_mainWindowState.ScreenRect(s);
                    const QImage cell =
                        video.copy(r.left + 4, r.top + 4, r.right - r.left - 8, r.bottom - r.top - 8);
                    if (cell.isNull() || cell.pixel(cell.width() / 2, cell.height() / 2) == qRgb(0, 0, 0))
                        return false;
                }
                return true;
            },
            10000);
    };
    window->SendMessage(WM_BITBUTTON_UP, 1038, 0);
    EXPECT_TRUE(drawn());
    QImage small = Grab();
    EXPECT_EQ(small.size(), QSize(800, 600));
    EXPECT_TRUE(small.save(PicturePath(QStringLiteral("main_window_800x600.png"))));
    window->SendMessage(WM_BITBUTTON_UP, 1037, 0);
    EXPECT_TRUE(drawn());
    QImage full = Grab();
    EXPECT_EQ(full.size(), QSize(g_nScreenWidth, g_nScreenHeight));
    EXPECT_TRUE(full.save(PicturePath(QStringLiteral("main_window_full.png"))));
    // The exit button sits in the same corner of both.
    for (const QImage& picture : {small, full}) {
        const QRect exit(picture.width() - 75, picture.height() - 70, 55, 55);
        EXPECT_EQ(picture.copy(exit), full.copy(QRect(full.width() - 75, full.height() - 70, 55, 55)));
    }
}

// A DVR whose session drops comes back with what its screens showed then, not with view.dat as read at
// start; a DVR that is offline at exit keeps its screens in view.dat.
TEST_F(MainWindowTest, DroppedDvrComesBackAsItWasAndOfflineDvrKeepsItsScreensAtExit) {
    Open();
    DVRDevice* gateDvr = DeviceWithId(kGate);
    ASSERT_NE(gateDvr, nullptr);
    // The operator moves Gate's second channel from screen 1 to screen 7.
    ASSERT_EQ(ReleaseSlotChannel(gateDvr, 1, 1), 0);
    ASSERT_EQ(AssignSlotChannel(gateDvr, 1, 7), 0);
    const int logins = gate.CountRequests(DVR_REQ_LOGIN);
    gate.Restart();
    // The session notices, is restarted, logs in again and its channels come back where they were.
    ASSERT_TRUE(WaitUntil([&] { return gate.CountRequests(DVR_REQ_LOGIN) > logins; }, 20000));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return SameView(SlotView(7), ViewEntry{kGate, 1}) && SameView(SlotView(0), ViewEntry{kGate, 0});
        },
        10000));
    EXPECT_TRUE(SameView(SlotView(1), ViewEntry{-1, -1}));
    EXPECT_TRUE(SameView(SlotView(2), ViewEntry{kYard, 0}));

    // Gate goes away for good: its screens empty, and at exit view.dat still names them.
    gate.Stop();
    ASSERT_TRUE(WaitUntil([&] { return SameView(SlotView(7), ViewEntry{-1, -1}); }, 20000));
    Close();
    EXPECT_EQ(ReadBytes(theApp.m_strDataDir + "view.dat"),
              ViewFileBytes(
                  {{kGate, 0}, {-1, -1}, {kYard, 0}, {kYard, 1}, {-1, -1}, {-1, -1}, {-1, -1}, {kGate, 1}}));
}

// An alarm lights its screen's LED for one tick; recording shows the recording light; a channel on no
// grid screen keeps its alarm flag.
TEST_F(MainWindowTest, ChannelLightsShowAlarmOnceAndRecording) {
    Open();
    window->StopTimers();
    window->CloseAllChannels();
    DVRDevice* gateDvr = DeviceWithId(kGate);
    ASSERT_NE(gateDvr, nullptr);
    std::shared_ptr<DVRChannel[]> channels = gateDvr->channels;
    ASSERT_EQ(AssignSlotChannel(gateDvr, 0, 5), 0);
    channels[0].flags.fetch_or(CHANNEL_FLAG_ALARM);
    channels[1].flags.fetch_or(CHANNEL_FLAG_ALARM);  // shown nowhere
    window->UpdateChannelLeds();
    EXPECT_EQ(window->m_ledCells[5], 2);
    EXPECT_EQ(channels[0].flags.load() & CHANNEL_FLAG_ALARM, 0u);
    EXPECT_NE(channels[1].flags.load() & CHANNEL_FLAG_ALARM, 0u);
    channels[0].flags.fetch_or(CHANNEL_FLAG_RECORDING);
    window->UpdateChannelLeds();
    EXPECT_EQ(window->m_ledCells[5], 1);
    EXPECT_EQ(window->m_ledCells[0], 0);
    channels[0].flags.fetch_and(~CHANNEL_FLAG_RECORDING);
}

TEST_F(MainWindowTest, PtzButtonHeldSendsOneMotionAndOneStop) {
    Open();
    window->m_grid.m_nCurScreen = 2;  // Yard's first channel
    yard.ClearRequests();
    window->SendMessage(WM_BITBUTTON_DOWN, 1020, 0);
    window->SendMessage(WM_BITBUTTON_UP, 1020, 0);
    ASSERT_TRUE(yard.WaitForRequests(DVR_REQ_PTZ, 2, 5000));
    std::vector<std::string> sent;
    for (const dvrsim::SimRequest& r : yard.Requests()) {
        if (r.id == DVR_REQ_PTZ)
            sent.push_back(r.bytes);
    }
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_NE(sent[0], sent[1]);
    EXPECT_EQ(gate.CountRequests(DVR_REQ_PTZ), 0);
}

TEST_F(MainWindowTest, SnapshotWritesTheSelectedChannelsPicture) {
    Open();
    ASSERT_TRUE(SelectScreenWithPicture(1));
    window->SendMessage(WM_BITBUTTON_UP, 1031, 0);
    QStringList shots = QDir(folder.path() + "/shots/Gate").entryList({"CH002_*.jpg"});
    ASSERT_EQ(shots.size(), 1);
    QImage shot(folder.path() + "/shots/Gate/" + shots[0]);
    EXPECT_EQ(shot.size(), QSize(352, 288));

    // With five screens per page no screen is shown: neither the button nor the screen menu saves the
    // hidden screen 0, whose channel still streams.
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::lock_guard<std::mutex> guard(g_screenSlots[0].lastFrameLock);
            return g_screenSlots[0].lastFrame != nullptr;
        },
        10000));
    window->LayoutScreens(0, 5, FALSE);
    window->m_grid.m_nCurScreen = 0;
    window->SendMessage(WM_BITBUTTON_UP, 1031, 0);
    window->SendMessage(WM_COMMAND, ID_SCREEN_SNAPSHOT, 0);
    QDirIterator all(folder.path() + "/shots", {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
    QStringList written;
    while (all.hasNext())
        written << all.next();
    EXPECT_EQ(written.size(), 1) << written.join(' ').toStdString();
}

// An empty snapshot folder (stored as "\\") is the root of drive C, never the file-system root; the notice
// shows where the file is on this system; a snapshot that cannot be written is told.
TEST_F(MainWindowTest, SnapshotNoticesShowWhereTheFileIsAndAFailedSnapshotIsTold) {
    const QString driveC = folder.path() + QStringLiteral("/c");
    ASSERT_TRUE(QDir().mkpath(driveC));
    ScopedEnv drive("VISTAL_DRIVE_C", QFile::encodeName(driveC));
    const SystemSettings saved = g_systemSettings;
    auto setFolder = [](const char16_t* stored, size_t bytes) {
        std::memset(g_systemSettings.SnapshotPath, 0, sizeof g_systemSettings.SnapshotPath);
        std::memcpy(g_systemSettings.SnapshotPath, stored, bytes);
    };
    Open();
    ASSERT_TRUE(SelectScreenWithPicture(1));
    setFolder(u"\\", sizeof(u"\\"));
    g_systemSettings.PopupMessage = 1;
    QStringList noticeTexts;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* notice = QApplication::activeModalWidget();
        if (notice == nullptr || notice == window->GetWidget())
            return;
        for (const QLabel* label : notice->findChildren<QLabel*>())
            noticeTexts << label->text();
        QTest::keyClick(notice, Qt::Key_Escape);
    });
    closer.start(20);
    window->SendMessage(WM_BITBUTTON_UP, 1031, 0);
    closer.stop();
    const QStringList shots = QDir(driveC + QStringLiteral("/Gate")).entryList({"CH002_*.jpg"});
    ASSERT_EQ(shots.size(), 1);
    EXPECT_TRUE(noticeTexts.contains(driveC + QStringLiteral("/Gate/") + shots[0]))
        << noticeTexts.join('|').toStdString();

    // A folder that cannot be made (a file stands in its place).
    QFile blocker(driveC + QStringLiteral("/blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    setFolder(u"C:\\blocked\\", sizeof(u"C:\\blocked\\"));
    QStringList told;
    RecordPromptsAnsweringOk(&told);
    window->SendMessage(WM_BITBUTTON_UP, 1031, 0);
    SetPromptHook(nullptr);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(driveC + QStringLiteral("/blocked/Gate/CH002_"))) << told[0].toStdString();
    g_systemSettings = saved;
}

TEST_F(MainWindowTest, MuteTwiceReturnsToTheSliderAndCancelledExitChangesNothing) {
    Open();
    EXPECT_EQ(window->m_bMute, 0);
    window->SendMessage(WM_BITBUTTON_UP, 1026, 0);
    EXPECT_EQ(window->m_bMute, 1);
    EXPECT_EQ(g_mainWindowState.m_bMute.load(), 1);
    window->SendMessage(WM_BITBUTTON_UP, 1026, 0);
    EXPECT_EQ(window->m_bMute, 0);

    int asked = 0;
    SetPromptHook([&](const PromptRequest& r) {
        ++asked;
        EXPECT_EQ(r.text, QStringLiteral("Are you sure to exit?"));
        PromptAnswer a;
        a.result = IDCANCEL;
        return a;
    });
    window->ConfirmExit();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window->IsWindowVisible());
    EXPECT_FALSE(window->m_bCloseRequested);
    Close();
}

// The requests of both DVRs other than the keep-alives, in order.
std::vector<int> OperatorRequests(dvrsim::DvrSim& sim) {
    std::vector<int> ids;
    for (const dvrsim::SimRequest& r : sim.Requests()) {
        if (r.id != DVR_REQ_KEEPALIVE)
            ids.push_back(r.id);
    }
    return ids;
}

// Clicks, a double click, a right click, a wheel turn and keys, as an operator gives them, at a point of
// a control's widget.
void PokeAt(QWidget* widget, QPoint at) {
    QTest::mouseMove(widget, at);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseClick(widget, Qt::RightButton, {}, at);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Down, Qt::Key_Right, Qt::Key_Escape})
        QTest::keyClick(widget, key);
}

QSet<QWidget*> ShownTopLevels() {
    QSet<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            shown.insert(w);
    }
    return shown;
}

// A locked window, and the window while a child dialog is open, take no input on any kind of control:
// skin buttons (PTZ, exit, close, setup, open all, ...), the screen-count combo, the volume slider, the
// preset edit, the device tree and the video window. No request reaches a DVR, no window or menu opens,
// the grid keeps its selected screen and the program keeps running.
TEST_F(MainWindowTest, LockedWindowAndOpenChildDialogTakeNoInput) {
    DVRDevice* dvr = OpenWithTheGateSelected();
    ASSERT_NE(dvr, nullptr);
    // Whatever would ask (the exit question, a menu) is answered as the operator would go on: OK.
    QStringList asked;
    SetPromptHook([&](const PromptRequest& r) {
        asked << (r.kind == PromptKind::PopupMenu ? r.menuItems.join(',') : r.text);
        PromptAnswer a;
        a.result = r.kind == PromptKind::PopupMenu ? 0 : IDOK;
        return a;
    });
    // The tree's first DVR opened, so that its channels are there to double-click.
    QWidget* tree = window->m_tree.GetPaintWidget();
    QTest::mouseClick(tree, Qt::LeftButton, {}, QPoint(40, 8));
    QTest::keyClick(tree, Qt::Key_Right);
    DrainPostedEvents();
    g_currentDevice = dvr;

    // Everything an operator can reach in the main window, each at a point inside it.
    auto pokeAll = [&](std::initializer_list<UINT> spared) {
        for (UINT id : kMainButtonIds) {
            if (std::find(spared.begin(), spared.end(), id) != spared.end() ||
                !window->Button(id)->IsWindowVisible())
                continue;
            QWidget* button = window->Button(id)->GetWidget();
            PokeAt(button, button->rect().center());
        }
        for (CWnd* control : std::initializer_list<CWnd*>{&window->m_comboScreens, &window->m_sliderVolume,
                                                          &window->m_editPreset})
            PokeAt(control->GetPaintWidget(), control->GetPaintWidget()->rect().center());
        for (int row = 0; row < 4; ++row)
            PokeAt(tree, QPoint(60, 8 + 18 * row));
        VideoRect screen = g_mainWindowState.ScreenRect(5);
        PokeAt(window->m_pDlgVideo->GetPaintWidget(),
               QPoint((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2));
        DrainPostedEvents();
    };
    // Nothing reached the DVRs: a request posted afterwards is the first either of them sees.
    auto expectNoRequests = [&](const char* when, std::initializer_list<UINT> spared) {
        gate.ClearRequests();
        yard.ClearRequests();
        pokeAll(spared);
        window->PostMessage(WM_SETUP_LOAD, SETUP_PAGE_NETWORK, 0);
        ASSERT_TRUE(WaitUntil([&] { return gate.CountRequests(DVR_REQ_GET_NETWORK) == 1; }, 5000)) << when;
        EXPECT_EQ(OperatorRequests(gate), std::vector<int>{DVR_REQ_GET_NETWORK}) << when;
        EXPECT_EQ(OperatorRequests(yard), std::vector<int>{}) << when;
    };
    const ViewEntry shownBefore[4] = {SlotView(0), SlotView(1), SlotView(2), SlotView(3)};
    auto expectNothingChanged = [&](const char* when, const QSet<QWidget*>& shown) {
        EXPECT_TRUE(asked.isEmpty()) << when << ": " << asked.join('|').toStdString();
        EXPECT_EQ(ShownTopLevels(), shown) << when;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << when;
        EXPECT_EQ(window->m_grid.m_nCurScreen, 0) << when;
        EXPECT_EQ(window->m_grid.m_nFirstScreen, 0) << when;
        EXPECT_EQ(window->m_bMute, 0) << when;
        EXPECT_FALSE(window->m_bCloseRequested) << when;
        EXPECT_TRUE(window->IsWindowVisible()) << when;
        for (int s = 0; s < 4; ++s)
            EXPECT_TRUE(SameView(SlotView(s), shownBefore[s])) << when << " screen " << s;
    };

    // Locked: the hide and login buttons stay enabled (they hide and unlock), everything else is dead.
    window->OnLockCommand();
    EXPECT_EQ(window->GetWindowText(), QStringLiteral("DVRVISTAL-Locked"));
    {
        const QSet<QWidget*> shown = ShownTopLevels();
        expectNoRequests("locked", {1001, 1036, 1032});
        expectNothingChanged("locked", shown);
    }
    // Unlocked as the unlock dialog's OK does it.
    window->m_bLocked = 0;
    window->EnableVideoWindow(TRUE);
    window->EnableControls(1, TRUE);

    // The status dialog open: every control of the main window is greyed, the setup button too.
    window->SendMessage(WM_BITBUTTON_UP, 1034, 0);
    ASSERT_NE(window->m_pDlgStatus, nullptr);
    ASSERT_TRUE(window->m_pDlgStatus->IsWindowVisible());
    {
        const QSet<QWidget*> shown = ShownTopLevels();
        expectNoRequests("status dialog open", {});
        expectNothingChanged("status dialog open", shown);
        EXPECT_EQ(window->m_pDlgSetup, nullptr);
    }
    window->PostMessage(WM_CHILD_CLOSED, CHILD_STATUS, 0);
    DrainPostedEvents();

    // Enabled again, the same input reaches the DVR: a PTZ button held and released sends motion and stop.
    gate.ClearRequests();
    QWidget* tiltUp = window->Button(1020)->GetWidget();
    QTest::mousePress(tiltUp, Qt::LeftButton, {}, tiltUp->rect().center());
    QTest::mouseRelease(tiltUp, Qt::LeftButton, {}, tiltUp->rect().center());
    EXPECT_TRUE(gate.WaitForRequests(DVR_REQ_PTZ, 2, 5000));
}

// The Updater's close request ends the modal window at once, also while it is locked and while the unlock
// dialog (which only the password ends) is up; the shut-down writes view.dat and the window's keys.
TEST_F(MainWindowTest, CloseRequestEndsTheLockedWindowAlsoDuringTheUnlockDialog) {
    window = new CTarvikDlg();
    AfxGetApp()->m_pMainWnd = window;
    theApp.m_iniSystem.WriteInt("USER", "ScreenNum", 0);
    bool locked = false;
    bool unlockShown = false;
    QTimer::singleShot(500, [&] {
        window->OnLockCommand();
        locked = window->m_bLocked != 0;
        QTimer::singleShot(100, [&] {
            unlockShown = QApplication::activeModalWidget() != nullptr &&
                          QApplication::activeModalWidget() != window->GetWidget();
            COPYDATASTRUCT close = {COPYDATA_CLOSE_REQUEST, 0, nullptr};
            // Another data word is not a close request.
            COPYDATASTRUCT other = {0x1234, 0, nullptr};
            window->OnCopyData(0, &other);
            EXPECT_FALSE(window->m_bCloseRequested);
            window->OnCopyData(0, &close);
        });
        window->OnLockCommand();  // the unlock dialog, until the close request ends it
    });
    EXPECT_EQ(window->DoModal(), IDCANCEL);
    EXPECT_TRUE(locked);
    EXPECT_TRUE(unlockShown);
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(ReadBytes(theApp.m_strDataDir + "view.dat").size(), VIEW_FILE_SIZE);
    EXPECT_EQ(theApp.m_iniSystem.GetInt("USER", "ScreenNum", 0), 16);
    // Nothing is left ending: the next dialog runs.
    EXPECT_FALSE(ModalLoopsEnding());
}

// SIGTERM (as SIGINT and SIGHUP) reaches the UI thread and runs the shut-down of a confirmed exit, also
// while a child dialog is open and a message box is up.
TEST_F(MainWindowTest, TerminationSignalEndsTheWindowWithTheOrderlyShutDown) {
    ASSERT_EQ(WatchSessionEndSignals(30), 0);
    window = new CTarvikDlg();
    AfxGetApp()->m_pMainWnd = window;
    theApp.m_iniSystem.WriteInt("USER", "ScreenNum", 0);
    bool statusShown = false;
    QTimer::singleShot(0, [&] {
        // Once the saved channels are back on their screens.
        EXPECT_TRUE(WaitUntil(
            [&] { return SameView(SlotView(3), kSaved[3]) && SameView(SlotView(0), kSaved[0]); }, 10000));
        window->SendMessage(WM_BITBUTTON_UP, 1034, 0);
        statusShown = window->m_pDlgStatus != nullptr && window->m_pDlgStatus->IsWindowVisible();
        QTimer::singleShot(100, [&] { ASSERT_EQ(raise(SIGTERM), 0); });
        // The exit question is up when the signal comes: it ends unanswered, and the program still ends.
        window->ConfirmExit();
    });
    EXPECT_EQ(window->DoModal(), IDCANCEL);
    StopWatchingSessionEndSignals();
    EXPECT_TRUE(statusShown);
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(ReadBytes(theApp.m_strDataDir + "view.dat"),
              ViewFileBytes({kSaved.begin(), kSaved.begin() + 4}));
    EXPECT_EQ(theApp.m_iniSystem.GetInt("USER", "ScreenNum", 0), 16);
}

}  // namespace

namespace {

// The alarm beep's tone: its length, pitch and level.
TEST(AlarmBeepTone, IsTheAskedPitchForTheAskedTime) {
    struct Case {
        int hz, ms, rate;
    } const cases[] = {{500, 300, 8000}, {1000, 100, 16000}, {500, 300, 44100}};
    for (const Case& c : cases) {
        std::vector<int16_t> tone = MakeBeepTone(c.hz, c.ms, c.rate);
        ASSERT_EQ(tone.size(), static_cast<size_t>(c.rate * c.ms / 1000)) << c.hz;
        int rises = 0, peak = 0;
        for (size_t i = 1; i < tone.size(); ++i) {
            rises += tone[i - 1] < 0 && tone[i] >= 0;
            peak = std::max(peak, std::abs(static_cast<int>(tone[i])));
        }
        // One rising zero crossing per period.
        EXPECT_NEAR(rises, c.hz * c.ms / 1000, 1) << c.hz;
        EXPECT_NEAR(peak, 16383, 200) << c.hz;
    }
    EXPECT_TRUE(MakeBeepTone(0, 300, 8000).empty());
}

}  // namespace
