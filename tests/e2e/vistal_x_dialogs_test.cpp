// The status dialog, the client settings page and the device list of the real Vistal on a private X
// server, worked as an operator works them: buttons clicked and texts typed through XTest, what the
// dialogs show read off the screen, what they write read from the program folder. Pictures of every
// dialog go to VISTAL_PICTURES_DIR when it is set, else to build/pictures/e2e/.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <thread>

#include "core/ini_file.h"
#include "core/system_info.h"
#include "dvr/dvr_protocol.h"
#include "dvr/wan_client.h"
#include "tests/bounded_wait.h"
#include "tests/dvr/tree_file_fixture.h"
#include "tests/e2e/vistal_launch.h"
#include "tests/e2e/x_program.h"
#include "tests/e2e/x_screen_reading.h"
#include "tests/e2e/x_session.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "tools/homeprep/program_folder.h"
#include "tools/lansim/lan_responder.h"
#include "tools/wansim/wan_server.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
// Template numbers and control ids of the dialogs, as the program's resources have them.
constexpr UINT kStatusDialog = 155, kSystemPage = 151, kVersionPage = 152, kConfigPage = 340,
               kDeviceDialog = 220;
constexpr UINT kStatusButton = 1034, kSnapshotButton = 1031, kTreeControl = 1005;
constexpr UINT kOk = 1, kCancel = 2;
// The status dialog's pages start this far into its client area.
const QPoint kPageOffset(10, 34);

std::unique_ptr<dvrsim::DvrSim> StartSim(const char* password) {
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", password, 0x3F});
    config.channels.push_back(dvrsim::SimChannel{"Lobby", dvrsim::kCodecMpeg4, 352, 288});
    config.framesPerSecond = 10;
    auto sim = std::make_unique<dvrsim::DvrSim>(config);
    return sim->Start() == 0 ? std::move(sim) : nullptr;
}

class VistalDialogsOnX : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString home, drive, runtime, config;
    XvfbServer xvfb;
    XClient x;
    std::unique_ptr<dvrsim::DvrSim> north;
    std::unique_ptr<QProcess> vistal;
    pid_t pid = 0;
    QRect mainRect;
    ProgramFolderPlan plan;
    QProcessEnvironment extraEnv;
    bool waitForDvrLogin = true;

    void SetUp() override {
        if (!XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        EnsureGuiApplication();
        home = root.filePath("home");
        drive = root.filePath("c");
        runtime = root.filePath("run");
        config = root.filePath("config");
        for (const QString& folder : {home, drive, runtime, config})
            QDir().mkpath(folder);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        ASSERT_EQ(xvfb.Start(kScreenWidth, kScreenHeight), 0);
        ASSERT_EQ(x.Open(xvfb.Display()), 0);
        north = StartSim("admin");
        ASSERT_TRUE(north != nullptr);
        // Vistal's discovery at login uses ports of its own, so that tests running beside this one keep
        // theirs; the device list test points it at its responders instead.
        extraEnv.insert("VISTAL_DISCOVERY_ADDRESS", "127.0.0.1:" + QString::number(FreeUdpPort()));
        extraEnv.insert("VISTAL_DISCOVERY_REPLY_PORT", QString::number(FreeUdpPort()));
        plan = OneDvrPlan("North", north->Port());
    }

    void TearDown() override {
        if (vistal != nullptr && vistal->state() != QProcess::NotRunning) {
            kill(static_cast<pid_t>(vistal->processId()), SIGKILL);
            vistal->waitForFinished(5000);
        }
    }

    // Prepares the program folder from plan (keeping the files a test wrote before), starts Vistal and
    // waits for its main window over the whole screen and for its first DVR's login.
    void StartVistal() {
        ASSERT_EQ(PrepareProgramFolder(home, plan), 0);
        QProcessEnvironment settings = extraEnv;
        settings.insert("VISTAL_HOME", home);
        settings.insert("VISTAL_DRIVE_C", drive);
        settings.insert("XDG_RUNTIME_DIR", runtime);
        // The autostart entry the settings page keeps in step goes to this test's folder.
        settings.insert("XDG_CONFIG_HOME", config);
        vistal = StartOnDisplay(QStringLiteral(VISTAL_BINARY), xvfb.Display(), settings);
        ASSERT_EQ(vistal->state(), QProcess::Running);
        pid = static_cast<pid_t>(vistal->processId());
        const QRect screen(0, 0, kScreenWidth, kScreenHeight);
        ASSERT_TRUE(harness::WaitUntil(
            [&] {
                mainRect = x.WindowRect(x.FindWindowOfProcess(pid));
                return mainRect == screen || vistal->state() == QProcess::NotRunning;
            },
            30000, [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }));
        ASSERT_EQ(mainRect, screen) << "Vistal opened no main window";
        if (waitForDvrLogin) {
            ASSERT_TRUE(north->WaitForRequests(DVR_REQ_LOGIN, 1, 20000));
        }
    }

    // The shown window of Vistal titled title, or 0 when none shows within timeoutMs.
    unsigned long WaitForWindowNamed(const QString& title, int timeoutMs = 10000) {
        unsigned long found = 0;
        harness::WaitUntil(
            [&] {
                for (unsigned long w : x.WindowsOfProcess(pid)) {
                    if (x.WindowName(w) == title)
                        found = w;
                }
                return found != 0;
            },
            timeoutMs);
        return found;
    }

    // Clicks the main window's status button and waits for the status dialog; its client area's
    // top-left corner on the screen, or (-1, -1).
    QPoint OpenStatusDialog(unsigned long* window) {
        x.Click(MainWindowControlRect(mainRect, kStatusButton, kScreenWidth).center());
        *window = WaitForWindowNamed(QStringLiteral("DVR system status"));
        if (*window == 0)
            return QPoint(-1, -1);
        // Its place is read once it has settled.
        const QRect rect = x.WaitForPlaced(*window);
        // The dialog stands where its template and the dialog font put it: the controls read below are
        // where the program placed them.
        EXPECT_EQ(rect.size(), TemplatePixelSize(kStatusDialog));
        return rect.topLeft();
    }

    // Clicks control id of template templateId whose client area starts at origin.
    void ClickControl(QPoint origin, UINT templateId, UINT id) {
        const QRect r = TemplateControlRect(origin, templateId, id);
        ASSERT_FALSE(r.isEmpty()) << templateId << " " << id;
        x.Click(r.center());
    }

    // Replaces the text of an edit control with text.
    void TypeInto(QPoint origin, UINT templateId, UINT id, const QString& text) {
        const QRect r = TemplateControlRect(origin, templateId, id);
        ASSERT_FALSE(r.isEmpty()) << templateId << " " << id;
        EXPECT_TRUE(x.ClickForKeys(r.center()));
        x.KeyWith("Control_L", "a");
        x.Type(text);
    }

    // Waits until text shows inside the control (or area) of the window; its place or (-1, -1).
    QPoint WaitForText(const QRect& area, const QString& text, int timeoutMs = 5000) {
        QPoint at(-1, -1);
        harness::WaitUntil(
            [&] {
                return (at = FindText(x.Grab(area), area.translated(-area.topLeft()), text)) !=
                       QPoint(-1, -1);
            },
            timeoutMs);
        return at == QPoint(-1, -1) ? at : at + area.topLeft();
    }

    void SavePicture(unsigned long window, const char* name) {
        EXPECT_TRUE(x.Grab(x.WindowRect(window)).save(E2EPicturePath(QString::fromLatin1(name)))) << name;
    }
};

// The status dialog opens from the main window's button on the settings page; its other two tabs show
// this computer's system, processor and memory and today's date, and the program's version.
TEST_F(VistalDialogsOnX, StatusPagesShowThisComputerAndTheVersion) {
    ASSERT_NO_FATAL_FAILURE(StartVistal());
    unsigned long dialog = 0;
    const QPoint origin = OpenStatusDialog(&dialog);
    ASSERT_NE(dialog, 0u);
    const QPoint page = origin + kPageOffset;
    const QRect tabs = TemplateControlRect(origin, kStatusDialog, 1047);
    EXPECT_NE(WaitForText(TemplateControlRect(page, kConfigPage, 1244), "Edit Device List..."),
              QPoint(-1, -1));
    SavePicture(dialog, "status-settings.png");

    // The second tab: this computer's values as the system describes itself.
    QPoint tab = WaitForText(tabs, "System information");
    ASSERT_NE(tab, QPoint(-1, -1));
    x.Click(tab + QPoint(10, 4));
    const CSystemInfo info;
    struct Shown {
        UINT control;
        QString text;
    };
    // The start of each value: a long one may run past its control.
    const Shown values[] = {
        {1224, info.GetOsText().left(24)}, {1226, info.GetCpuName().left(24)},
        {1228, info.GetMemoryText()},      {1240, QDate::currentDate().toString("yyyy/MM/dd")},
        {1241, "Current used:"},           {1242, "Current used:"},
        {1243, "Current used:"},
    };
    for (const Shown& v : values) {
        ASSERT_FALSE(v.text.isEmpty()) << v.control;
        EXPECT_NE(WaitForText(TemplateControlRect(page, kSystemPage, v.control), v.text), QPoint(-1, -1))
            << v.control << " " << v.text.toStdString();
    }
    SavePicture(dialog, "status-system.png");

    // The third tab: the version.
    tab = WaitForText(tabs, "Version information");
    ASSERT_NE(tab, QPoint(-1, -1));
    x.Click(tab + QPoint(10, 4));
    const Shown version[] = {
        {1155, "Product name: Vistal"},
        {1219, "Software version: 4.4.2"},
        {1220, "Release date: 2013/05/22"},
    };
    for (const Shown& v : version) {
        EXPECT_NE(WaitForText(TemplateControlRect(page, kVersionPage, v.control), v.text), QPoint(-1, -1))
            << v.control;
    }
    // A version one digit off is not read as shown.
    EXPECT_EQ(FindText(x.Grab(x.WindowRect(dialog)),
                       TemplateControlRect(page - x.WindowRect(dialog).topLeft(), kVersionPage, 1219),
                       "Software version: 4.4.3"),
              QPoint(-1, -1));
    SavePicture(dialog, "status-version.png");

    // Exit hides the dialog; the main window's button opens the same one again.
    ClickControl(page, kVersionPage, kCancel);
    EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(dialog); }, 5000));
    unsigned long again = 0;
    EXPECT_EQ(OpenStatusDialog(&again), origin);
    EXPECT_EQ(again, dialog);

    // Escape hides the whole dialog too (a click first: without a window manager a shown window does
    // not take the keyboard by itself).
    EXPECT_TRUE(x.ClickForKeys(page + QPoint(200, 300)));  // an empty place of the version page
    x.Key("Escape");
    EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(dialog); }, 5000));
}

// Set on the settings page: system.ini gets the page's keys as typed and chosen, every open window
// takes the new language, and the next snapshot goes to the new folder (the folder typed without its
// final backslash).
TEST_F(VistalDialogsOnX, SettingsReachSystemIniTheLanguageAndTheNextSnapshot) {
    ASSERT_NO_FATAL_FAILURE(StartVistal());
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_OPEN_STREAM, 1, 20000));
    unsigned long dialog = 0;
    const QPoint origin = OpenStatusDialog(&dialog);
    ASSERT_NE(dialog, 0u);
    const QPoint page = origin + kPageOffset;
    const QString iniPath = home + "/system.ini";

    TypeInto(page, kConfigPage, 1039, "Archive");
    TypeInto(page, kConfigPage, 1040, "C:\\shots");
    TypeInto(page, kConfigPage, 1044, "45");
    ClickControl(page, kConfigPage, 1038);  // the disk-full action, on from the start, off
    ClickControl(page, kConfigPage, 1276);  // the snapshot notice, on from the start, off
    // The language list: the second entry (simplified Chinese), picked from its drop-down. The
    // template's height is that of the open list: the closed box is its top line.
    const unsigned long list =
        ClickForNewWindow(x, pid, TemplateControlRect(page, kConfigPage, 1045).topLeft() + QPoint(20, 8));
    EXPECT_NE(list, 0u);
    x.Key("Down");
    x.Key("Return");
    EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(list); }, 10000));
    SavePicture(dialog, "settings-edited.png");

    // What Set writes: the page's eleven keys into section SYSTEM, nothing else touched.
    const QByteArray before = ReadBytes(iniPath);
    ASSERT_FALSE(before.isEmpty());
    // Enter in an edit is not Set: nothing is written and the dialog stays.
    EXPECT_TRUE(x.ClickForKeys(TemplateControlRect(page, kConfigPage, 1039).center()));
    x.Key("Return");
    // Tab, after Enter, moves into the next edit, which shows its text selected: Enter has been handled.
    const QRect nextEdit = TemplateControlRect(page, kConfigPage, 1040);
    const QImage unfocused = x.Grab(nextEdit);
    x.Key("Tab");
    EXPECT_TRUE(x.WaitForChange(nextEdit, unfocused));
    EXPECT_EQ(ReadBytes(iniPath), before);
    EXPECT_TRUE(x.IsShown(dialog));
    QTemporaryDir expectDir;
    const QString expectPath = expectDir.filePath("system.ini");
    ASSERT_TRUE(WriteBytes(expectPath, before));
    {
        CIniFile expect(expectPath);
        const int beep = expect.GetInt("SYSTEM", "EnableBeep", -1);
        const int autorun = expect.GetInt("SYSTEM", "Autorun", -1);
        const int update = expect.GetInt("SYSTEM", "EnableUpdate", -1);
        const int rgb = expect.GetInt("SYSTEM", "EnableRGB", -1);
        expect.WriteString("SYSTEM", "RecordDisks", "C");
        expect.WriteString("SYSTEM", "RecordDir", "Archive");
        expect.WriteString("SYSTEM", "SnapshotPath", "C:\\shots\\");
        expect.WriteInt("SYSTEM", "DiskFullAction", 0);
        expect.WriteInt("SYSTEM", "PopupMessage", 0);
        expect.WriteInt("SYSTEM", "Language", 1);
        expect.WriteInt("SYSTEM", "ScrollInterval", 30);
        expect.WriteInt("SYSTEM", "EnableBeep", beep);
        expect.WriteInt("SYSTEM", "Autorun", autorun);
        expect.WriteInt("SYSTEM", "EnableUpdate", update);
        expect.WriteInt("SYSTEM", "EnableRGB", rgb);
    }
    const QByteArray expected = ReadBytes(expectPath);
    ASSERT_NE(expected, before);
    ClickControl(page, kConfigPage, kOk);
    EXPECT_TRUE(harness::WaitUntil([&] { return ReadBytes(iniPath) != before; }, 5000));
    // Set writes the keys one by one: the file is compared once it has all of them.
    harness::WaitUntil([&] { return ReadBytes(iniPath) == expected; }, 5000);
    EXPECT_EQ(ReadBytes(iniPath), expected);

    // The language: the status dialog retitles, its tabs and pages take the new texts; the main window's
    // title is the same text in both languages.
    const QString chineseTitle = QString::fromUtf8("DVR系统状态");
    EXPECT_TRUE(harness::WaitUntil([&] { return x.WindowName(dialog) == chineseTitle; }, 5000))
        << x.WindowName(dialog).toStdString();
    EXPECT_EQ(x.WindowName(x.FindWindowOfProcess(pid)), QStringLiteral("DVRVISTAL"));
    harness::WaitUntil(
        [&] {
            return FindText(x.Grab(x.WindowRect(dialog)), QRect(QPoint(0, 0), x.WindowRect(dialog).size()),
                            "System configuration") == QPoint(-1, -1);
        },
        5000);
    SavePicture(dialog, "settings-chinese.png");
    EXPECT_EQ(FindText(x.Grab(x.WindowRect(dialog)), QRect(QPoint(0, 0), x.WindowRect(dialog).size()),
                       "System configuration"),
              QPoint(-1, -1));

    // Exit, then the snapshot button: the picture lands in the new folder, under the DVR's name, and no
    // notice follows.
    ClickControl(page, kConfigPage, kCancel);
    ASSERT_TRUE(harness::WaitUntil([&] { return !x.IsShown(dialog); }, 5000));
    x.Click(MainWindowControlRect(mainRect, kSnapshotButton, kScreenWidth).center());
    QString jpeg;
    QImage shot;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            QDirIterator it(drive + "/shots/North", {"*.jpg"}, QDir::Files);
            jpeg = it.hasNext() ? it.next() : QString();
            return !jpeg.isEmpty() && shot.load(jpeg, "JPEG");
        },
        10000));
    EXPECT_EQ(shot.size(), QSize(352, 288));
    // Nothing went to a folder named from the typed text and the DVR's name run together.
    EXPECT_FALSE(QFileInfo::exists(drive + "/shotsNorth"));
    // A later click, North chosen in the tree, is taken: no notice holds the main window.
    const QRect tree = MainWindowControlRect(mainRect, kTreeControl, kScreenWidth);
    EXPECT_TRUE(x.ClickForKeys(tree.topLeft() + QPoint(50, 10), tree));
    for (unsigned long w : x.WindowsOfProcess(pid)) {
        const QRect r = x.WindowRect(w);
        EXPECT_FALSE(r.width() < kScreenWidth / 2 && r.height() < kScreenHeight / 2)
            << x.WindowName(w).toStdString();
    }
}

// The device list from the settings page: Auto Search lists the two LAN responders; one is deleted, the
// other saved as the tree file's only DVR, and on Exit the main window's tree shows it, online.
TEST_F(VistalDialogsOnX, DeviceListFindsTwoRespondersAndAddsOneToTheTree) {
    auto gate = StartSim("");  // a found DVR logs in as admin with an empty password
    ASSERT_TRUE(gate != nullptr);
    const int replyPort = FreeUdpPort();
    ASSERT_GT(replyPort, 0);
    LanResponder responders[2];
    ASSERT_EQ(responders[0].Start(), 0);
    ASSERT_EQ(responders[1].Start(responders[0].Port()), 0);
    for (LanResponder& r : responders) {
        r.SetReplyPort(static_cast<uint16_t>(replyPort));
        r.SetReplies({});  // silent until the search below
    }
    responders[1].SetDelay(100);
    extraEnv.insert("VISTAL_DISCOVERY_ADDRESS", "127.255.255.255:" + QString::number(responders[0].Port()));
    extraEnv.insert("VISTAL_DISCOVERY_REPLY_PORT", QString::number(replyPort));
    // A second DVR that never answers: the tree shows one online and one offline before.
    plan.dvrs.push_back({"Shed", "127.0.0.1", 9, "admin", "admin"});
    ASSERT_NO_FATAL_FAILURE(StartVistal());

    const QImage online = TreeIcon(190), offline = TreeIcon(194);
    ASSERT_FALSE(online.isNull());
    const QRect tree = MainWindowControlRect(mainRect, kTreeControl, kScreenWidth);
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            const QImage shown = x.Grab(tree);
            return CountIcon(shown, online) == 1 && CountIcon(shown, offline) == 1;
        },
        15000));

    unsigned long status = 0;
    const QPoint origin = OpenStatusDialog(&status);
    ASSERT_NE(status, 0u);
    const QPoint page = origin + kPageOffset;
    ClickControl(page, kConfigPage, 1244);
    const unsigned long dialog = WaitForWindowNamed("Device list");
    ASSERT_NE(dialog, 0u);
    const QPoint list = x.WindowRect(dialog).topLeft();
    EXPECT_EQ(x.WindowRect(dialog).size(), TemplatePixelSize(kDeviceDialog));
    const QRect rows = TemplateControlRect(list, kDeviceDialog, 1242);
    // The stored DVRs are listed first.
    EXPECT_NE(WaitForText(rows, "North"), QPoint(-1, -1));
    SavePicture(dialog, "device-list.png");

    responders[0].SetReplies({MakeDiscoveryReply("Gate", "127.0.0.1", gate->Port())});
    responders[1].SetReplies({MakeDiscoveryReply("Dock", "127.0.0.2", 9)});
    ClickControl(list, kDeviceDialog, 1143);
    const QPoint dock = WaitForText(rows, "Dock", 10000);
    ASSERT_NE(dock, QPoint(-1, -1));
    EXPECT_NE(WaitForText(rows, "Gate"), QPoint(-1, -1));
    EXPECT_EQ(FindText(x.Grab(rows), QRect(QPoint(0, 0), rows.size()), "North"), QPoint(-1, -1));
    EXPECT_GE(responders[0].RequestCount(), 1);
    SavePicture(dialog, "device-list-search.png");
    // Later discovery passes of the main window find nothing more.
    for (LanResponder& r : responders)
        r.SetReplies({});

    EXPECT_TRUE(x.ClickForKeys(dock + QPoint(4, 4), rows));
    ClickControl(list, kDeviceDialog, 1078);
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return FindText(x.Grab(rows), QRect(QPoint(0, 0), rows.size()), "Dock") == QPoint(-1, -1); },
        5000));
    SavePicture(dialog, "device-list-deleted.png");
    const QString treePath = home + "/data/tree.dat";
    const QByteArray before = ReadBytes(treePath);
    ClickControl(list, kDeviceDialog, kOk);
    EXPECT_TRUE(harness::WaitUntil([&] { return ReadBytes(treePath) != before; }, 5000));

    // The file holds the kept DVR alone: id 0 at the top, the user "admin" and the empty password in
    // their stored (Base64) form.
    EXPECT_EQ(ReadBytes(treePath), TreeFileBytes({DvrRecord(0, "Gate", "127.0.0.1", gate->Port())}));

    // Exit: the main window reloads its tree and logs in to the DVR found.
    ClickControl(list, kDeviceDialog, kCancel);
    EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(dialog); }, 5000));
    ClickControl(page, kConfigPage, kCancel);
    EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(status); }, 5000));
    EXPECT_TRUE(gate->WaitForRequests(DVR_REQ_LOGIN, 1, 20000));
    QImage shown;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            shown = x.Grab(tree);
            return CountIcon(shown, online) == 1 && CountIcon(shown, offline) == 0;
        },
        15000));
    EXPECT_TRUE(shown.save(E2EPicturePath("device-tree-after-device-list.png")));
}

// In WAN mode a delete in the device list asks the WAN server to remove the DVR at once, before any Save.
TEST_F(VistalDialogsOnX, WanDeleteInTheDeviceListReachesTheServer) {
    WanServer server;
    ASSERT_EQ(server.Start(), 0);
    server.AddUser(QStringLiteral("admin"), QString());
    server.SetDevices(
        {{"North", "127.0.0.1", north->Port(), QString(), 0, 0}, {"Pier", "127.0.0.1", 9, QString(), 0, 0}});
    extraEnv.insert("VISTAL_WAN_SERVER", QString::fromLatin1(server.HostPort()));
    plan.dvrs.push_back({"Pier", "127.0.0.1", 9, "admin", "admin"});
    plan.views.clear();
    ASSERT_EQ(PrepareProgramFolder(home, plan), 0);
    ASSERT_EQ(WritePreparedTree(home + "/data/treew.dat", plan), 0);
    CIniFile(home + "/system.ini").WriteString("SYSTEM", "Destination", "1");  // the WAN server
    waitForDvrLogin = false;
    ASSERT_NO_FATAL_FAILURE(StartVistal());
    // The automatic login goes to the WAN server.
    EXPECT_TRUE(harness::WaitUntil([&] { return !server.Requests().isEmpty(); }, 20000));

    unsigned long status = 0;
    const QPoint origin = OpenStatusDialog(&status);
    ASSERT_NE(status, 0u);
    ClickControl(origin + kPageOffset, kConfigPage, 1244);
    const unsigned long dialog = WaitForWindowNamed("Device list");
    ASSERT_NE(dialog, 0u);
    const QPoint list = x.WindowRect(dialog).topLeft();
    const QRect rows = TemplateControlRect(list, kDeviceDialog, 1242);
    const QPoint pier = WaitForText(rows, "Pier");
    ASSERT_NE(pier, QPoint(-1, -1));
    SavePicture(dialog, "device-list-wan.png");
    const QByteArray treeBefore = ReadBytes(home + "/data/treew.dat");

    EXPECT_TRUE(x.ClickForKeys(pier + QPoint(4, 4), rows));
    ClickControl(list, kDeviceDialog, 1078);
    // "<delete request> <relay id> <name> ".
    auto deleteSent = [&] {
        for (const QByteArray& r : server.Requests()) {
            if (r.startsWith(QByteArray::number(RELAY_REQ_DELETE_DEVICE) + ' ') && r.endsWith(" Pier "))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(harness::WaitUntil(deleteSent, 5000)) << server.Requests().size();
    EXPECT_EQ(ReadBytes(home + "/data/treew.dat"), treeBefore);
    SavePicture(dialog, "device-list-wan-deleted.png");
}

}  // namespace
