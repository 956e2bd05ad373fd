// The setup dialog of the real Vistal on a private X server, against a simulated DVR that keeps its
// settings: the camera page's values per channel, Set and All Set reaching exactly the chosen channels,
// quick channel changes, and a picture of every page (to VISTAL_PICTURES_DIR when it is set, else to
// build/pictures/e2e/).

#include <gtest/gtest.h>
#include <signal.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dvr/dvr_protocol.h"
#include "tests/bounded_wait.h"
#include "tests/e2e/vistal_launch.h"
#include "tests/e2e/x_screen_reading.h"
#include "tests/e2e/x_session.h"
#include "tests/scoped_env.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/homeprep/program_folder.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr UINT kCameraPage = 150, kChannelPicker = 184;
constexpr UINT kSetupButton = 1004, kTreeControl = 1005;
constexpr UINT kChannelCombo = 1062, kAddress = 1088, kLeftRight = 1302, kSet = 1, kAllSet = 1107;
constexpr int kCameraTab = 4;
constexpr int kNetworkTab = 7;
constexpr UINT kNetworkPage = 146, kNetworkHost = 1208, kNetworkWan = 1213, kNetworkUser = 1217;
// The pages stand this far into the setup dialog's client area.
const QPoint kPageOffset(10, 34);

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The fields after id and channel of every request with that id for channel, in order.
std::vector<std::vector<std::string>> ChannelRequests(dvrsim::DvrSim* sim, int id, int channel) {
    std::vector<std::vector<std::string>> all;
    for (const dvrsim::SimRequest& r : sim->Requests()) {
        if (r.id != id)
            continue;
        const QStringList fields = QString::fromStdString(r.bytes).trimmed().split(u' ', Qt::SkipEmptyParts);
        if (fields.size() < 2 || fields[1].toInt() != channel)
            continue;
        std::vector<std::string> values;
        for (qsizetype i = 2; i < fields.size(); ++i)
            values.push_back(fields[i].toStdString());
        all.push_back(values);
    }
    return all;
}

// The camera settings the simulated DVR starts with for channel c: dome type, protocol 1, address c + 1,
// COM1 at 9600 8N1, speed 5 with no reversal.
std::vector<std::string> DefaultCamera(int c) {
    return {"1", "1", std::to_string(c + 1), "COM1", "9600", "8", "0", "1", "5"};
}

// The camera settings the DVR holds for channel c: the last set that reached it, else its default.
std::vector<std::string> HeldCamera(dvrsim::DvrSim* sim, int c) {
    const auto sets = ChannelRequests(sim, DVR_REQ_SET_CAMERA, c);
    return sets.empty() ? DefaultCamera(c) : sets.back();
}

// The indexes where two settings differ.
std::vector<size_t> Differences(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<size_t> out;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size() || i >= b.size() || a[i] != b[i])
            out.push_back(i);
    }
    return out;
}

class VistalSetupOnX : public ::testing::Test {
protected:
    QTemporaryDir root;
    VistalFolders folders;
    XvfbServer xvfb;
    XClient x;
    std::unique_ptr<dvrsim::DvrSim> north;
    std::unique_ptr<QProcess> vistal;
    pid_t pid = 0;
    QRect mainRect;
    unsigned long setup = 0;
    QRect dialog;
    int shownTab = 0;  // the page the setup dialog opens on: System

    void SetUp() override {
        if (!XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        EnsureGuiApplication();
        ASSERT_EQ(MakeVistalFolders(root.path(), &folders), 0);
        ASSERT_EQ(xvfb.Start(kScreenWidth, kScreenHeight), 0);
        ASSERT_EQ(x.Open(xvfb.Display()), 0);
        north = StartVistalSim("North ");
        ASSERT_TRUE(north != nullptr);
        ASSERT_EQ(PrepareProgramFolder(folders.home, OneDvrPlan("North", north->Port())), 0);
    }

    void TearDown() override {
        if (vistal != nullptr && vistal->state() != QProcess::NotRunning) {
            kill(static_cast<pid_t>(vistal->processId()), SIGKILL);
            vistal->waitForFinished(5000);
        }
    }

    // Starts Vistal, selects North in the device tree and opens the setup dialog from the main window's
    // button; dialog is where its client area stands once it has settled.
    void OpenSetup() {
        vistal = StartVistal(folders, xvfb.Display());
        pid = static_cast<pid_t>(vistal->processId());
        const QRect screen(0, 0, kScreenWidth, kScreenHeight);
        ASSERT_TRUE(harness::WaitUntil(
            [&] { return (mainRect = x.WindowRect(x.FindWindowOfProcess(pid))) == screen; }, 30000));
        ASSERT_TRUE(north->WaitForRequests(DVR_REQ_LOGIN, 1, 20000));
        const QRect tree = MainWindowControlRect(mainRect, kTreeControl, kScreenWidth);
        const QImage online = TreeIcon(190);
        ASSERT_TRUE(harness::WaitUntil([&] { return CountIcon(x.Grab(tree), online) == 1; }, 20000));
        EXPECT_TRUE(x.ClickForKeys(tree.topLeft() + QPoint(50, 10), tree));  // North, selected
        const std::vector<unsigned long> before = x.WindowsOfProcess(pid);
        x.Click(MainWindowControlRect(mainRect, kSetupButton, kScreenWidth).center());
        ASSERT_TRUE(harness::WaitUntil([&] { return (setup = NewWindowOf(x, pid, before)) != 0; }, 10000));
        // The dialog is centred once shown: its place is read when it has stopped moving.
        dialog = x.WaitForPlaced(setup);
        ASSERT_FALSE(dialog.isEmpty());
    }

    // Shows tab index of the setup dialog, chosen with the keyboard from the first tab; returns once the
    // row of tabs shows it.
    void ShowTab(int index) {
        const QRect tabRow(dialog.topLeft(), QSize(dialog.width(), kPageOffset.y()));
        const QImage was = x.Grab(tabRow);
        EXPECT_TRUE(x.ClickForKeys(dialog.topLeft() + QPoint(30, 18)));
        for (int i = 0; i < index; ++i)
            x.Key("Right");
        if (index != shownTab) {
            EXPECT_TRUE(x.WaitForChange(tabRow, was)) << index;
        }
        shownTab = index;
    }

    QRect CameraControl(UINT id) const {
        return TemplateControlRect(dialog.topLeft() + kPageOffset, kCameraPage, id);
    }

    // Shows the camera page (no channel chosen yet) and chooses its first channel with the keyboard: the
    // channel combo, opened with a click and closed again without a choice, takes the arrow keys.
    void ShowCameraPage() {
        ShowTab(kCameraTab);
        FocusChannelCombo();
        x.Key("Down");
        ASSERT_NO_FATAL_FAILURE(WaitForChannelLoad(0, 0, "1"));
    }

    void FocusChannelCombo() {
        FocusCombo(CameraControl(kChannelCombo));
        ASSERT_TRUE(x.IsShown(setup));
    }

    // The combo at rect takes the keys: opened with a click and closed again without a choice; returns when
    // its list has gone and the dialog has the keyboard again.
    void FocusCombo(const QRect& rect) {
        const unsigned long list = ClickForNewWindow(x, pid, rect.topLeft() + QPoint(20, 8));
        EXPECT_NE(list, 0u);
        x.Key("Escape");
        EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(list); }, 10000));
        EXPECT_TRUE(x.WaitForKeyboard(setup));
    }

    // True when the address edit shows text now.
    bool ShowsAddress(const QString& text) {
        const QRect area = CameraControl(kAddress);
        return FindText(x.Grab(area), QRect(QPoint(0, 0), area.size()), text) != QPoint(-1, -1);
    }

    // True when the address edit shows text (within 5 s).
    bool WaitForAddress(const QString& text) {
        return harness::WaitUntil([&] { return ShowsAddress(text); }, 5000, [] { Pause(50); });
    }

    // Waits for the camera page's load of channel (its camera and auto-scan requests) and for its address.
    void WaitForChannelLoad(int channel, size_t loadsBefore, const QString& address) {
        ASSERT_TRUE(harness::WaitUntil(
            [&] {
                return ChannelRequests(north.get(), DVR_REQ_GET_CAMERA, channel).size() > loadsBefore &&
                       ChannelRequests(north.get(), DVR_REQ_GET_PRESETS, channel).size() > loadsBefore;
            },
            10000));
        ASSERT_TRUE(WaitForAddress(address)) << channel;
    }

    void TypeAddress(const char* text) {
        EXPECT_TRUE(x.ClickForKeys(CameraControl(kAddress).center()));
        x.KeyWith("Control_L", "a");
        x.Type(QString::fromLatin1(text));
    }
};

// A channel chosen in the combo is loaded from the DVR and shown; a new address and Set change that
// channel's settings on the DVR in the address only, the other channels stay; chosen again, the channel
// shows the DVR's new address.
TEST_F(VistalSetupOnX, CameraPageSetsTheChosenChannelOnly) {
    ASSERT_NO_FATAL_FAILURE(OpenSetup());
    ASSERT_NO_FATAL_FAILURE(ShowCameraPage());
    x.Key("Down");  // channel 1
    ASSERT_NO_FATAL_FAILURE(WaitForChannelLoad(1, 0, "2"));
    EXPECT_FALSE(ShowsAddress("1"));
    EXPECT_FALSE(ShowsAddress("3"));
    EXPECT_TRUE(x.Grab(dialog).save(E2EPicturePath("setup-camera-channel-2.png")));

    TypeAddress("47");
    x.Click(CameraControl(kSet).center());
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_SET_CAMERA, 1, 10000));
    std::vector<std::string> expected = DefaultCamera(1);
    expected[2] = "47";

    // Channel 0, then channel 1 again: each shows what the DVR holds for it.
    const size_t loads0 = ChannelRequests(north.get(), DVR_REQ_GET_CAMERA, 0).size();
    const size_t loads1 = ChannelRequests(north.get(), DVR_REQ_GET_CAMERA, 1).size();
    ASSERT_NO_FATAL_FAILURE(FocusChannelCombo());
    x.Key("Up");
    ASSERT_NO_FATAL_FAILURE(WaitForChannelLoad(0, loads0, "1"));
    // Set wrote that one channel and nothing more followed it before the load of channel 0.
    EXPECT_EQ(ChannelRequests(north.get(), DVR_REQ_SET_CAMERA, 1),
              (std::vector<std::vector<std::string>>{expected}));
    EXPECT_EQ(north->CountRequests(DVR_REQ_SET_CAMERA), 1);
    for (int c : {0, 2, 3})
        EXPECT_EQ(HeldCamera(north.get(), c), DefaultCamera(c)) << c;
    x.Key("Down");
    ASSERT_NO_FATAL_FAILURE(WaitForChannelLoad(1, loads1, "47"));
}

// Channel 1 and at once channel 2, before channel 1's reply can be shown: the page ends on channel 2 with
// channel 2's values, and Set after one change writes channel 2's values with that change only; nothing
// is written into channel 1.
TEST_F(VistalSetupOnX, QuickChannelChangesNeverCarryOneChannelsValuesIntoAnother) {
    ASSERT_NO_FATAL_FAILURE(OpenSetup());
    ASSERT_NO_FATAL_FAILURE(ShowCameraPage());
    x.Key("Down");
    x.Key("Down");
    ASSERT_NO_FATAL_FAILURE(WaitForChannelLoad(2, 0, "3"));
    EXPECT_EQ(ChannelRequests(north.get(), DVR_REQ_GET_CAMERA, 1).size(), 1u);

    EXPECT_TRUE(x.ClickForKeys(CameraControl(kLeftRight).center(), CameraControl(kLeftRight)));
    x.Click(CameraControl(kSet).center());
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_SET_CAMERA, 1, 10000));
    // Channel 3 chosen after Set: its load follows whatever Set sent.
    ASSERT_NO_FATAL_FAILURE(FocusChannelCombo());
    x.Key("Down");
    ASSERT_NO_FATAL_FAILURE(WaitForChannelLoad(3, 0, "4"));
    EXPECT_EQ(north->CountRequests(DVR_REQ_SET_CAMERA), 1);
    EXPECT_EQ(Differences(HeldCamera(north.get(), 2), DefaultCamera(2)), std::vector<size_t>{8});
    EXPECT_EQ(ChannelRequests(north.get(), DVR_REQ_SET_PRESETS, 2).size(), 1u);
    for (int c : {0, 1, 3}) {
        EXPECT_EQ(HeldCamera(north.get(), c), DefaultCamera(c)) << c;
        EXPECT_TRUE(ChannelRequests(north.get(), DVR_REQ_SET_PRESETS, c).empty()) << c;
    }
}

// All Set with three channels checked in the channel picker writes the page's values to those three; the
// fourth stays as it was.
TEST_F(VistalSetupOnX, AllSetChangesTheCheckedChannelsOnly) {
    ASSERT_NO_FATAL_FAILURE(OpenSetup());
    ASSERT_NO_FATAL_FAILURE(ShowCameraPage());
    TypeAddress("9");
    const std::vector<unsigned long> before = x.WindowsOfProcess(pid);
    x.Click(CameraControl(kAllSet).center());
    unsigned long picker = 0;
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            return (picker = NewWindowOf(x, pid, before)) != 0 &&
                   x.WindowRect(picker).size() == TemplatePixelSize(kChannelPicker);
        },
        10000));
    const QRect pickerRect = x.WaitForPlaced(picker);
    ASSERT_FALSE(pickerRect.isEmpty());
    const QRect rows = TemplateControlRect(pickerRect.topLeft(), kChannelPicker, 1134);
    // The rows are the channels in order: the first row is chosen with a click on its name, then the
    // keyboard checks rows 0, 2 and 3 (Space toggles the chosen row's box).
    QPoint first(-1, -1);
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            return (first = FindText(x.Grab(rows), QRect(QPoint(0, 0), rows.size()), "North")) !=
                   QPoint(-1, -1);
        },
        5000, [] { Pause(50); }));
    EXPECT_TRUE(x.ClickForKeys(rows.topLeft() + first + QPoint(10, 6), rows));
    for (const char* key : {"space", "Down", "Down", "space", "Down", "space"})
        x.Key(key);
    QImage checked;
    EXPECT_TRUE(x.WaitForStill(pickerRect, 300, 10000, &checked));
    EXPECT_TRUE(checked.save(E2EPicturePath("setup-channel-picker-three-checked.png")));
    x.Click(TemplateControlRect(pickerRect.topLeft(), kChannelPicker, kSet).center());
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_SET_CAMERA, 3, 10000));
    // Channel 1 chosen once the picker has gone: its load follows whatever All Set sent.
    ASSERT_TRUE(harness::WaitUntil([&] { return !x.IsShown(picker); }, 10000));
    ASSERT_NO_FATAL_FAILURE(FocusChannelCombo());
    x.Key("Down");
    ASSERT_NO_FATAL_FAILURE(WaitForChannelLoad(1, 0, "2"));
    EXPECT_EQ(north->CountRequests(DVR_REQ_SET_CAMERA), 3);
    for (int c : {0, 2, 3}) {
        std::vector<std::string> expected = DefaultCamera(c);
        expected[2] = "9";
        EXPECT_EQ(HeldCamera(north.get(), c), expected) << c;
    }
    EXPECT_EQ(HeldCamera(north.get(), 1), DefaultCamera(1));
    EXPECT_TRUE(ChannelRequests(north.get(), DVR_REQ_SET_PRESETS, 1).empty());
}

// The network page refuses a WAN user that does not fit the login field and one with characters the
// English client's code page (CP1252) cannot hold: each is told in a message box, and the DVR receives no
// network settings. A user that fits then goes out as typed.
TEST_F(VistalSetupOnX, NetworkPageRefusesCredentialsTheWireCannotCarry) {
    ScopedEnv codePage("VISTAL_CODEPAGE", "CP1252");
    ASSERT_NO_FATAL_FAILURE(OpenSetup());
    ShowTab(kNetworkTab);
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_GET_NETWORK, 1, 10000));
    const QPoint page = dialog.topLeft() + kPageOffset;
    const QRect host = TemplateControlRect(page, kNetworkPage, kNetworkHost);
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return FindText(x.Grab(host), QRect(QPoint(0, 0), host.size()), "dvr-sim") != QPoint(-1, -1); },
        10000, [] { Pause(50); }));
    // The DVR has WAN off: the box is ticked first, so that the user edit takes text (it is drawn enabled).
    const QRect user = TemplateControlRect(page, kNetworkPage, kNetworkUser);
    EXPECT_TRUE(
        x.ClickForKeys(TemplateControlRect(page, kNetworkPage, kNetworkWan).topLeft() + QPoint(6, 6), user));
    const struct {
        const char* name;
        QString typed;
    } cases[] = {
        // 190 bytes are 256 characters of Base64: one more than the field holds.
        {"too-long", QString(190, u'u')},
        // Sent as they stood, these would have reached the DVR as "??".
        {"not-in-code-page", QStringLiteral("\u7528\u6237")},
    };
    const QSize screen(kScreenWidth, kScreenHeight);
    for (const auto& c : cases) {
        // The dialog has the keyboard again once the last box has gone.
        EXPECT_TRUE(x.ClickForKeys(user.center())) << c.name;
        x.KeyWith("Control_L", "a");
        x.Type(c.typed);
        x.Click(TemplateControlRect(page, kNetworkPage, kSet).center());
        unsigned long box = 0;
        ASSERT_TRUE(
            harness::WaitUntil([&] { return (box = FindSmallWindow(x, pid, setup, screen)) != 0; }, 10000))
            << c.name;
        const QRect boxRect = x.WindowRect(box);
        // The message is in the picture (the suite reads only the dialog font, not a message box's), taken
        // once the box is drawn.
        QImage boxPicture;
        EXPECT_TRUE(x.WaitForDrawn(boxRect, 10000, &boxPicture)) << c.name;
        EXPECT_TRUE(
            boxPicture.save(E2EPicturePath(QStringLiteral("setup-network-refused-%1.png").arg(c.name))));
        ASSERT_TRUE(AnswerWithEnter(x, pid, setup, screen)) << c.name;
        EXPECT_EQ(north->CountRequests(DVR_REQ_SET_NETWORK), 0) << c.name;
    }

    // A user the field carries is sent as typed, in Base64 of its code-page bytes. The DVR's requests come
    // in order, so none of the refused ones followed later: this one is the only one.
    EXPECT_TRUE(x.ClickForKeys(user.center()));
    x.KeyWith("Control_L", "a");
    x.Type(QStringLiteral("site"));
    x.Click(TemplateControlRect(page, kNetworkPage, kSet).center());
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_SET_NETWORK, 1, 10000));
    EXPECT_EQ(north->CountRequests(DVR_REQ_SET_NETWORK), 1);
    for (const dvrsim::SimRequest& r : north->Requests()) {
        if (r.id == DVR_REQ_SET_NETWORK) {
            EXPECT_NE(r.bytes.find(" c2l0ZQ== "), std::string::npos) << r.bytes;
        }
    }
}

// A picture of each of the eight pages as the program shows it, each once its values have arrived; the
// channel pages with their first channel chosen.
constexpr UINT kPreviewFrame = 1099;

TEST_F(VistalSetupOnX, PictureOfEveryPage) {
    ASSERT_NO_FATAL_FAILURE(OpenSetup());
    const struct {
        const char* name;
        UINT templateId;
    } pages[] = {{"system", 140}, {"user", 142},   {"channel", 143}, {"video", 156},
                 {"camera", 150}, {"record", 144}, {"alarm", 145},   {"network", 146}};
    for (int tab = 0; tab < 8; ++tab) {
        ShowTab(tab);
        const QRect combo =
            TemplateControlRect(dialog.topLeft() + kPageOffset, pages[tab].templateId, kChannelCombo);
        if (!combo.isEmpty()) {
            FocusCombo(combo);
            x.Key("Down");
        }
        // The page's replies are in when grabs half a second apart agree (bounded: a preview keeps
        // moving).
        QImage shot;
        x.WaitForStill(dialog, 500, 4000, &shot);
        EXPECT_TRUE(shot.save(E2EPicturePath(QStringLiteral("setup-page-%1.png").arg(pages[tab].name))))
            << pages[tab].name;
        // The pages with a preview show the chosen channel live in it: its pictures keep changing.
        const QRect preview =
            TemplateControlRect(dialog.topLeft() + kPageOffset, pages[tab].templateId, kPreviewFrame);
        if (!preview.isEmpty()) {
            const QRect inside = preview.adjusted(4, 4, -4, -4);
            EXPECT_TRUE(x.WaitForChange(inside, x.Grab(inside), 6000))
                << pages[tab].name << ": the preview does not move";
        }
    }
    EXPECT_TRUE(x.IsShown(setup));
}

}  // namespace
