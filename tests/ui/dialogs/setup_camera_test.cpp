// The camera page: the camera reply filling the lists (type greying the serial and PTZ controls, the port
// found by its text), the protocol choice, the auto-scan table (steps by their own row, an open editor
// committed by Set, steps kept over a language switch), and against the simulated DVR: a change and Set
// reaching the DVR with only the changed fields, and the PTZ test buttons sending the saved reversal and
// always a stop. Pictures: setup_camera_<language>.png.

#include "ui/dialogs/setup_camera.h"

#include <gtest/gtest.h>

#include <QTest>
#include <cstring>

#include "core/window_messages.h"
#include "dvr/dvr_protocol.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/range_ctrls.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/setup_page_owner.h"
#include "tests/ui/dialogs/setup_page_sim.h"
#include "ui/dialogs/dialog_texts.h"

namespace {

using setup_test::PageOwner;
using setup_test::Posted;
using setup_test::SelectedDevice;

constexpr int kChannels = 3;

void FillCamera(DVRChannel& r) {
    r.cameraType = 1;
    r.ptzProtocol = 2;
    r.ptzAddress = 7;
    std::copy_n(u"COM12", 5, r.comPort);
    r.baudRate = 4800;
    r.dataBits = 7;
    r.parity = 1;
    r.stopBits = 2;
    r.ptzOptions = 3 | CAMERA_REVERSE_TILT;
    for (int i = 0; i < AUTOSCAN_STEPS; ++i)
        r.autoScan[i] = AutoScanStep{static_cast<uint8_t>(i == 1 ? 1 : 0), i};
}

using PickerCameraPage = setup_test::PickerPage<CDlgSetupCamera>;

class CameraPage {
public:
    explicit CameraPage(CWnd* owner) : page(std::make_unique<PickerCameraPage>(owner)) {
        created = page->Create(IDD_SETUP_CAMERA, owner) != FALSE;
        if (created)
            page->ShowWindow(SW_SHOW);
        DrainPostedEvents();
    }
    ~CameraPage() { page->DestroyWindow(); }
    CComboBox* Combo(UINT id) const { return dynamic_cast<CComboBox*>(page->GetDlgItem(id)); }
    HWND Hwnd(UINT id) const { return page->GetDlgItem(id)->GetSafeHwnd(); }
    QString Selected(UINT id) const {
        QString text;
        if (Combo(id)->GetCurSel() >= 0)
            Combo(id)->GetLBText(Combo(id)->GetCurSel(), text);
        return text;
    }
    void Select(UINT id, const QString& text) const {
        Combo(id)->SetCurSel(Combo(id)->FindStringExact(-1, text));
        page->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Hwnd(id)));
        DrainPostedEvents();
    }
    void Choose(int channel) const { setup_test::ChooseChannel(page.get(), channel); }
    void Reply(int type, int channel) const { setup_test::PostReply(page.get(), type, channel); }
    void Load(int channel) const {
        Choose(channel);
        Reply(SETUP_REPLY_CAMERA, channel);
        Reply(SETUP_REPLY_PRESETS, channel);
    }
    void Click(UINT id) const { setup_test::ClickButton(page.get(), id); }
    // Types text into the stay-time cell of the row labelled label and leaves the editor open.
    void TypeStay(const QString& label, const QString& text) const {
        CReportCtrl& list = page->m_listAutoScan;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.GetItemText(row, 0) == label) {
                ASSERT_EQ(list.BeginCellEdit(row, 1), 1);
                list.GetEditor()->SetWindowText(text);
                return;
            }
        }
        FAIL() << "no row " << label.toStdString();
    }

    std::unique_ptr<PickerCameraPage> page;
    bool created = false;
};

class CameraPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.ok());
        ASSERT_TRUE(english.ok());
        for (int i = 0; i < kChannels; ++i)
            FillCamera(device[i]);
        ASSERT_TRUE(owner.CreateOwner());
    }
    void TearDown() override { owner.DestroyWindow(); }
    SelectedDevice device{kChannels};
    ScopedBuiltinLanguage english{0};
    PageOwner owner;
};

TEST_F(CameraPageTest, CameraReplyFillsTheListsAndTheTypeGreysTheControls) {
    CameraPage p(&owner);
    ASSERT_TRUE(p.created);
    p.Load(1);
    EXPECT_EQ(p.Combo(1100)->GetCurSel(), 1);
    EXPECT_EQ(p.Selected(1086), "Pelco-P");
    EXPECT_EQ(ItemText(p.page.get(), 1088), "7");
    EXPECT_EQ(p.Selected(1089), "COM12");
    EXPECT_EQ(p.Selected(1090), "4800");
    EXPECT_EQ(p.Selected(1091), "7");
    EXPECT_EQ(p.Selected(1092), "Odd parity");
    EXPECT_EQ(p.Selected(1093), "2");
    EXPECT_EQ(dynamic_cast<CSliderCtrl*>(p.page->GetDlgItem(1102))->GetPos(), 3);
    EXPECT_EQ(ItemChecked(p.page.get(), 1301), 1);
    EXPECT_EQ(ItemChecked(p.page.get(), 1302), 0);
    EXPECT_TRUE(p.page->m_listAutoScan.GetCheck(1));
    EXPECT_EQ(p.page->m_listAutoScan.GetItemText(5, 1), "5");

    struct Case {
        int type;
        bool serial;  // protocol, address, serial lists, reversal boxes, test buttons
        bool speed;
    };
    const Case cases[] = {{0, false, false}, {1, true, false}, {2, true, true}};
    for (const Case& c : cases) {
        device[1].cameraType = c.type;
        p.Reply(SETUP_REPLY_CAMERA, 1);
        for (UINT id : {1086u, 1088u, 1089u, 1090u, 1091u, 1092u, 1093u, 1301u, 1302u, 1303u, 1304u, 1020u,
                        1022u, 1023u, 1024u, 1124u})
            EXPECT_EQ(p.page->GetDlgItem(id)->IsWindowEnabled() != FALSE, c.serial) << c.type << " " << id;
        EXPECT_EQ(p.page->GetDlgItem(1102)->IsWindowEnabled() != FALSE, c.speed) << c.type;
    }
}

TEST_F(CameraPageTest, SetWaitsForBothRepliesOfTheLoad) {
    // Set writes the camera values and the auto-scan steps: a lost camera reply keeps Set disabled.
    CameraPage p(&owner);
    ASSERT_TRUE(p.created);
    p.Choose(1);
    p.Reply(SETUP_REPLY_PRESETS, 1);
    EXPECT_FALSE(p.page->GetDlgItem(IDOK)->IsWindowEnabled());
    owner.posts.clear();
    p.Click(IDOK);
    EXPECT_EQ(owner.Count(WM_SETUP_SAVE), 0);
    p.Reply(SETUP_REPLY_CAMERA, 1);
    EXPECT_TRUE(p.page->GetDlgItem(IDOK)->IsWindowEnabled());
}

TEST_F(CameraPageTest, PortTextAndProtocolChoice) {
    CameraPage p(&owner);
    ASSERT_TRUE(p.created);
    // A port no item has selects the empty item, and Set then stores an empty port.
    std::copy_n(u"USB0", 4, device[0].comPort);
    p.Load(0);
    EXPECT_EQ(p.Combo(1089)->GetCurSel(), 0);
    p.Click(IDOK);
    EXPECT_EQ(device[0].comPort[0], u'\0');
    EXPECT_EQ(owner.Count(WM_SETUP_SAVE), 1);

    // A baud rate no item has leaves the list without a selection, and Set keeps it.
    device[0].baudRate = 1234;
    p.Reply(SETUP_REPLY_CAMERA, 0);
    EXPECT_EQ(p.Combo(1090)->GetCurSel(), -1);
    SetItemText(p.page.get(), 1088, "8");
    p.Click(IDOK);
    EXPECT_EQ(device[0].ptzAddress, 8);
    EXPECT_EQ(device[0].baudRate, 1234);

    // The empty protocol changes nothing else; Pelco-D picks 8 data bits, no parity, stop bit 1.
    p.Select(1086, "");
    EXPECT_EQ(p.Selected(1091), "7");
    EXPECT_EQ(p.Selected(1092), "Odd parity");
    p.Select(1086, "Pelco-D");
    EXPECT_EQ(p.Selected(1091), "8");
    EXPECT_EQ(p.Selected(1092), "No parity");
    EXPECT_EQ(p.Selected(1093), "1");
}

TEST_F(CameraPageTest, AutoScanStepsKeepTheirRows) {
    CameraPage p(&owner);
    ASSERT_TRUE(p.created);
    p.Load(2);
    CReportCtrl& list = p.page->m_listAutoScan;
    // Row "05" checked and 10 typed, the editor still open when Set is pressed: the typed value counts.
    list.SetCheck(4, TRUE);
    p.TypeStay("05", "10");
    p.Click(IDOK);
    EXPECT_EQ(device[2].autoScan[4].enabled, 1);
    EXPECT_EQ(device[2].autoScan[4].staySeconds, 10);
    EXPECT_FALSE(list.IsEditing());

    // Sorted by stay time, descending: each step is still read from its own row.
    list.SortItems(1, FALSE);
    ASSERT_NE(list.GetItemText(0, 0), "01");
    p.TypeStay("31", "99");
    p.Click(IDOK);
    EXPECT_EQ(device[2].autoScan[30].staySeconds, 99);
    for (int i = 0; i < AUTOSCAN_STEPS; ++i) {
        if (i != 4 && i != 30) {
            EXPECT_EQ(device[2].autoScan[i].staySeconds, i) << i;
        }
    }

    // A language switch rebuilds the table and shows the loaded steps again; Set finds nothing new.
    owner.posts.clear();
    p.page->PostMessage(WM_APPLY_LANGUAGE, 0, 0);
    DrainPostedEvents();
    EXPECT_EQ(list.GetItemCount(), AUTOSCAN_STEPS);
    EXPECT_EQ(list.GetItemText(30, 1), "99");
    p.Click(IDOK);
    EXPECT_EQ(owner.Count(WM_SETUP_SAVE), 0);
}

TEST_F(CameraPageTest, AllSetCopiesEveryFieldToThePickedChannels) {
    CameraPage p(&owner);
    ASSERT_TRUE(p.created);
    p.Load(1);
    SetItemText(p.page.get(), 1088, "5");
    owner.posts.clear();
    p.page->picked = {0, 2};
    p.Click(1107);
    EXPECT_EQ(owner.posts, (std::vector<Posted>{{WM_SETUP_SAVE, SETUP_PAGE_CAMERA, 0},
                                                {WM_SETUP_SAVE, SETUP_PAGE_CAMERA, 2}}));
    EXPECT_EQ(device[0].ptzAddress, 5);
    EXPECT_EQ(device[2].ptzAddress, 5);
    EXPECT_EQ(device[1].ptzAddress, 7);
    EXPECT_EQ(QString::fromUtf16(device[2].comPort), "COM12");
    // Again: the picked channels hold the page's values already.
    owner.posts.clear();
    p.Click(1107);
    EXPECT_TRUE(owner.posts.empty());
}

TEST_F(CameraPageTest, TestButtonsMoveOnlyOnceTheCameraValuesArrived) {
    CameraPage p(&owner);
    ASSERT_TRUE(p.created);
    p.Choose(1);
    p.page->SendMessage(WM_BITBUTTON_DOWN, 1020, 0);
    EXPECT_EQ(p.page->HeldChannel(), -1);
    p.page->SendMessage(WM_BITBUTTON_UP, 1020, 0);
    p.Reply(SETUP_REPLY_CAMERA, 1);
    p.Reply(SETUP_REPLY_PRESETS, 1);
    p.page->SendMessage(WM_BITBUTTON_DOWN, 1020, 0);
    EXPECT_EQ(p.page->HeldChannel(), 1);
    // The stop button moves nothing.
    p.page->SendMessage(WM_BITBUTTON_UP, 1020, 0);
    p.page->SendMessage(WM_BITBUTTON_DOWN, 1124, 0);
    EXPECT_EQ(p.page->HeldChannel(), -1);
}

TEST_F(CameraPageTest, TextsFitInEveryLanguage) {
    CameraPage p(&owner);
    ASSERT_TRUE(p.created);
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        p.page->PostMessage(WM_APPLY_LANGUAGE, 0, 0);
        DrainPostedEvents();
        p.Load(1);
        EXPECT_EQ(TextFitFaults(p.page->GetWidget(), true), QStringList()) << kLanguageNames[language];
        EXPECT_TRUE(p.page->GetWidget()->grab().save(
            PicturePath(QStringLiteral("setup_camera_%1.png").arg(kLanguageNames[language]))));
    }
}

// --- Against the simulated DVR ---

// The camera fields of a record, to compare a record before and after a round trip.
struct CameraSnapshot {
    int32_t type, protocol, address, baudRate;
    std::u16string port;
    int dataBits, parity, stopBits;
    uint32_t options;
    std::vector<std::pair<int, int32_t>> steps;
    bool operator==(const CameraSnapshot&) const = default;
};
CameraSnapshot Snapshot(const DVRChannel& r) {
    CameraSnapshot s{r.cameraType, r.ptzProtocol, r.ptzAddress, r.baudRate,   std::u16string(r.comPort),
                     r.dataBits,   r.parity,      r.stopBits,   r.ptzOptions, {}};
    for (const AutoScanStep& step : r.autoScan)
        s.steps.emplace_back(step.enabled, step.staySeconds);
    return s;
}

TEST(CameraPageSimTest, SetReachesTheDvrAndTheTestButtonsAlwaysStop) {
    ScopedBuiltinLanguage english(0);
    setup_test::RelayOwner owner;
    ASSERT_TRUE(owner.CreateOwner());
    CameraPage p(&owner);
    ASSERT_TRUE(p.created);
    setup_test::PageSim sim(2);
    ASSERT_TRUE(sim.Connect(p.page.get()));
    DVRDevice* device = sim.device;
    // Shown again with the DVR selected: the channel list comes from it.
    p.page->ShowWindow(SW_HIDE);
    p.page->ShowWindow(SW_SHOW);
    DrainPostedEvents();
    CWnd* set = p.page->GetDlgItem(IDOK);

    p.Choose(1);
    ASSERT_TRUE(WaitUntil([&] { return set->IsWindowEnabled() != FALSE; }, 10000));
    EXPECT_EQ(ItemText(p.page.get(), 1088), QString::number(device->channels[1].ptzAddress));
    CameraSnapshot expected = Snapshot(device->channels[1]);
    expected.address = 9;
    expected.options |= CAMERA_REVERSE_TILT;
    expected.steps[2] = {1, 25};

    // Address 9, Up<->Down ticked, step 3 (row "03") checked with 25 seconds: Set sends both records.
    sim.sim->ClearRequests();
    SetItemText(p.page.get(), 1088, "9");
    CheckItem(p.page.get(), 1301, 1);
    p.page->m_listAutoScan.SetCheck(p.page->m_listAutoScan.FindItemByData(2), TRUE);
    p.TypeStay("03", "25");
    p.Click(IDOK);
    ASSERT_TRUE(sim.sim->WaitForRequests(DVR_REQ_SET_CAMERA, 1, 5000));
    ASSERT_TRUE(sim.sim->WaitForRequests(DVR_REQ_SET_PRESETS, 1, 5000));
    std::vector<std::string> camera = sim.Sent(DVR_REQ_SET_CAMERA).front();
    EXPECT_EQ(camera[1], "1");
    EXPECT_NE(std::find(camera.begin(), camera.end(), "9"), camera.end());

    // Shown again and reloaded: the DVR now holds the new values, and only those changed.
    p.page->ShowWindow(SW_HIDE);
    p.page->ShowWindow(SW_SHOW);
    DrainPostedEvents();
    device->channels[1].ptzAddress = -1;
    p.Choose(1);
    ASSERT_TRUE(WaitUntil([&] { return ItemText(p.page.get(), 1088) == "9"; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return set->IsWindowEnabled() != FALSE; }, 10000));
    EXPECT_EQ(ItemChecked(p.page.get(), 1301), 1);
    EXPECT_TRUE(Snapshot(device->channels[1]) == expected);

    // Holding "A" with Up<->Down saved sends tilt down for channel 1, the release a stop.
    sim.sim->ClearRequests();
    QWidget* up = p.page->m_btnUp.GetWidget();
    QTest::mousePress(up, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(up, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_TRUE(sim.sim->WaitForRequests(DVR_REQ_PTZ, 2, 5000));
    std::vector<std::vector<std::string>> ptz = sim.Sent(DVR_REQ_PTZ);
    ASSERT_EQ(ptz.size(), 2u);
    EXPECT_EQ(ptz[0][1], "1");
    EXPECT_EQ(ptz[0][2], std::to_string(PTZ_TILT_DOWN));
    EXPECT_EQ(ptz[1][2], std::to_string(PTZ_STOP));

    // Held while another channel is chosen: the stop goes to the channel that moved.
    sim.sim->ClearRequests();
    p.page->SendMessage(WM_BITBUTTON_DOWN, 1023, 0);
    p.Choose(0);
    ASSERT_TRUE(sim.sim->WaitForRequests(DVR_REQ_PTZ, 2, 5000));
    ptz = sim.Sent(DVR_REQ_PTZ);
    EXPECT_EQ(ptz[0][2], std::to_string(PTZ_PAN_LEFT));
    EXPECT_EQ(ptz[1][1], "1");
    EXPECT_EQ(ptz[1][2], std::to_string(PTZ_STOP));
    p.page->SendMessage(WM_BITBUTTON_UP, 1023, 0);
    p.Choose(1);
    ASSERT_TRUE(WaitUntil([&] { return set->IsWindowEnabled() != FALSE; }, 10000));

    // Held while the page is hidden (tab switch): the stop goes out at once, for channel 1, and the
    // button's own release later sends nothing more.
    sim.sim->ClearRequests();
    p.page->SendMessage(WM_BITBUTTON_DOWN, 1020, 0);
    EXPECT_EQ(p.page->HeldChannel(), 1);
    p.page->ShowWindow(SW_HIDE);
    DrainPostedEvents();
    ASSERT_TRUE(sim.sim->WaitForRequests(DVR_REQ_PTZ, 2, 5000));
    ptz = sim.Sent(DVR_REQ_PTZ);
    ASSERT_EQ(ptz.size(), 2u);
    EXPECT_EQ(ptz[1][1], "1");
    EXPECT_EQ(ptz[1][2], std::to_string(PTZ_STOP));
    p.page->SendMessage(WM_BITBUTTON_UP, 1020, 0);
    DrainPostedEvents();
    EXPECT_FALSE(sim.sim->WaitForRequests(DVR_REQ_PTZ, 3, 300));
    EXPECT_EQ(p.page->HeldChannel(), -1);
}

}  // namespace
