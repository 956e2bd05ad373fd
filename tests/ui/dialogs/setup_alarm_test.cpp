// The alarm page: what an alarm reply shows, what Set and All Set take into the records, the motion zones
// toggled with the mouse over the preview and their copy per channel (restored on hide and on a channel
// change, renewed by saving), the preview messages, the texts of the three languages (pictures
// setup_alarm_<language>.png) and a round trip through the simulated DVR.

#include "ui/dialogs/setup_alarm.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dvr/dvr_protocol.h"
#include "platform/ui/button.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/record_alarm_fixture.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

std::vector<uint8_t> Rows(const MotionZoneMask& mask) {
    return std::vector<uint8_t>(mask.rows, mask.rows + 8);
}

class AlarmPage : public PageFixture<CDlgSetupAlarm, IDD_SETUP_ALARM> {
protected:
    // The DVR's values of a channel, as its replies would leave them in the record.
    void SetRecord(int channel, int32_t sensitivity, uint32_t actions, MotionZoneMask mask = {}) {
        device.channel(channel).motionSensitivity = sensitivity;
        device.channel(channel).alarmActions = actions;
        device.channel(channel).motionMask = mask;
    }
    // Chooses the channel and delivers both of its replies.
    void Load(int channel) {
        Choose(channel);
        Reply(channel, SETUP_REPLY_ALARM);
        Reply(channel, SETUP_REPLY_MOTION_MASK);
    }
    void Check(UINT id, bool on) { dynamic_cast<CButton*>(page->GetDlgItem(id))->SetCheck(on ? 1 : 0); }
    bool Checked(UINT id) { return dynamic_cast<CButton*>(page->GetDlgItem(id))->GetCheck() == BST_CHECKED; }
    // The centre of zone (row, column) in page coordinates.
    POINT Centre(int row, int column) {
        const RECT& cell = page->m_grid.cells[row * 8 + column];
        return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    void Drag(POINT from, POINT to) {
        page->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        page->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        page->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }
};

TEST_F(AlarmPage, AlarmReplyShowsSensitivityAndActions) {
    struct Case {
        int32_t sensitivity;
        uint32_t actions;
        int selected;  // item of the sensitivity list
        bool email;
        bool client;
        bool mobile;
        bool mms;
        bool sms;
    };
    const Case cases[] = {
        {0, 0x0u, 0, false, false, false, false, true},
        {2, 0x9u, 2, true, true, false, false, true},
        {4, 0x4u, 4, false, false, true, false, true},
        {3, 0x6u, 3, false, false, true, true, false},
        {1, 0x2u, 1, false, false, true, true, false},
        // A sensitivity the list does not have leaves it without a selection.
        {9, 0x1u, -1, true, false, false, false, true},
    };
    for (const Case& c : cases) {
        SetRecord(1, c.sensitivity, c.actions);
        Choose(0);
        Load(1);
        EXPECT_EQ(page->m_cboSensitivity.GetCurSel(), c.selected) << c.actions;
        EXPECT_EQ(Checked(IDC_ALARM_EMAIL), c.email) << c.actions;
        EXPECT_EQ(Checked(IDC_ALARM_CLIENT), c.client) << c.actions;
        EXPECT_EQ(Checked(IDC_ALARM_MOBILE), c.mobile) << c.actions;
        EXPECT_EQ(Checked(IDC_ALARM_MMS), c.mms) << c.actions;
        EXPECT_EQ(Checked(IDC_ALARM_SMS), c.sms) << c.actions;
        EXPECT_EQ(Enabled(IDC_ALARM_MMS), c.mobile) << c.actions;
        EXPECT_EQ(Enabled(IDC_ALARM_SMS), c.mobile) << c.actions;
    }
    // The mobile-phone choice is never offered.
    for (UINT id : {IDC_ALARM_MOBILE, IDC_ALARM_MMS, IDC_ALARM_SMS})
        EXPECT_FALSE(Visible(id)) << id;
    EXPECT_TRUE(Visible(IDC_ALARM_EMAIL));
}

TEST_F(AlarmPage, SetSendsOnlyWhatTheOperatorChanged) {
    struct Case {
        const char* title;
        int32_t sensitivity;
        uint32_t actions;
        int select;  // sensitivity item to select, -1: leave, -2: no selection
        int email;   // -1: leave
        int client;  // -1: leave
        bool toggleZones;
        bool saved;
        int32_t sentSensitivity;
        uint32_t sentActions;
    };
    const Case cases[] = {
        {"nothing changed", 2, 0x9u, -1, -1, -1, false, false, 2, 0x9u},
        {"zones toggled only", 2, 0x9u, -1, -1, -1, true, false, 2, 0x9u},
        {"sensitivity", 2, 0x9u, 4, -1, -1, false, true, 4, 0x9u},
        {"e-mail off", 2, 0x9u, -1, 0, -1, false, true, 2, 0x8u},
        {"client on", 0, 0x1u, -1, -1, 1, false, true, 0, 0x9u},
        {"SMS goes back as it came", 0, 0x4u, 1, -1, -1, false, true, 1, 0x4u},
        {"MMS and SMS both go back", 0, 0x6u, 1, -1, -1, false, true, 1, 0x6u},
        {"MMS and SMS, nothing changed", 0, 0x6u, -1, -1, -1, false, false, 0, 0x6u},
        {"no sensitivity selected keeps the DVR's", 3, 0x0u, -2, 1, -1, false, true, 3, 0x1u},
        {"a sensitivity the list lacks is kept", 9, 0x0u, -1, 1, -1, false, true, 9, 0x1u},
    };
    for (const Case& c : cases) {
        SetRecord(2, c.sensitivity, c.actions, MotionZoneMask{{0x81, 0, 0, 0, 0, 0, 0, 0}});
        Choose(0);
        Load(2);
        host.posts.clear();
        if (c.select != -1)
            page->m_cboSensitivity.SetCurSel(c.select == -2 ? -1 : c.select);
        if (c.email >= 0)
            Check(IDC_ALARM_EMAIL, c.email != 0);
        if (c.client >= 0)
            Check(IDC_ALARM_CLIENT, c.client != 0);
        if (c.toggleZones)
            Drag(Centre(0, 0), Centre(0, 0));
        Press(IDOK);
        EXPECT_EQ(host.Saved(), c.saved ? std::vector<int>{2} : std::vector<int>{}) << c.title;
        EXPECT_EQ(device.channel(2).motionSensitivity, c.sentSensitivity) << c.title;
        EXPECT_EQ(device.channel(2).alarmActions, c.sentActions) << c.title;
        EXPECT_EQ(page->m_nSavedCountdown, c.saved ? SAVED_NOTICE_TICKS : 0) << c.title;
        page->m_nSavedCountdown = 0;
    }
}

TEST_F(AlarmPage, ZonesToggleUnderTheMouseAndUnsavedTogglesAreDropped) {
    const MotionZoneMask dvr{{0xF0, 0, 0, 0, 0, 0, 0, 0x01}};
    SetRecord(1, 2, 0, dvr);
    SetRecord(3, 2, 0, MotionZoneMask{{0x0F}});
    Load(1);
    // A drag from zone (0,0) to zone (3,3) toggles the sixteen zones of rows 0-3, columns 0-3.
    Drag(Centre(0, 0), Centre(3, 3));
    EXPECT_EQ(Rows(device.channel(1).motionMask),
              std::vector<uint8_t>({0xFF, 0x0F, 0x0F, 0x0F, 0, 0, 0, 0x01}));
    // Drawn backwards, the same zones toggle back; a click toggles the zone under it.
    Drag(Centre(3, 3), Centre(0, 0));
    Drag(Centre(7, 7), Centre(7, 7));
    EXPECT_EQ(Rows(device.channel(1).motionMask), std::vector<uint8_t>({0xF0, 0, 0, 0, 0, 0, 0, 0x81}));
    // Another channel: channel 1 gets the zones its DVR sent back.
    Choose(3);
    EXPECT_EQ(Rows(device.channel(1).motionMask), Rows(dvr));
    // Before channel 3's zones arrive the mouse changes nothing.
    Drag(Centre(0, 0), Centre(0, 0));
    EXPECT_EQ(device.channel(3).motionMask.rows[0], 0x0F);
    Reply(3, SETUP_REPLY_ALARM);
    Reply(3, SETUP_REPLY_MOTION_MASK);
    Drag(Centre(0, 0), Centre(0, 0));
    EXPECT_EQ(device.channel(3).motionMask.rows[0], 0x0E);
    // Hiding the page drops the toggle too.
    page->ShowWindow(SW_HIDE);
    EXPECT_EQ(device.channel(3).motionMask.rows[0], 0x0F);
    EXPECT_TRUE(host.Saved().empty());
}

TEST_F(AlarmPage, SaveAndClearSendTheZonesAndRenewTheCopy) {
    SetRecord(4, 1, 0x1u, MotionZoneMask{{0x01, 0x02}});
    Load(4);
    host.posts.clear();
    Drag(Centre(1, 1), Centre(1, 1));
    Press(IDC_ALARM_SAVE_MOTION);
    EXPECT_EQ(host.Saved(), std::vector<int>{4});
    // Saved zones stay when the page is hidden.
    page->ShowWindow(SW_HIDE);
    EXPECT_EQ(Rows(device.channel(4).motionMask), std::vector<uint8_t>({0x01, 0, 0, 0, 0, 0, 0, 0}));
    page->ShowWindow(SW_SHOW);
    Load(4);
    host.posts.clear();
    Press(IDC_ALARM_CLEAR_MOTION);
    EXPECT_EQ(host.Saved(), std::vector<int>{4});
    EXPECT_EQ(Rows(device.channel(4).motionMask), std::vector<uint8_t>(8, 0));
    // The sensitivity and actions go with the zones as the record holds them.
    EXPECT_EQ(device.channel(4).motionSensitivity, 1);
    EXPECT_EQ(device.channel(4).alarmActions, 0x1u);
    Choose(5);
    EXPECT_EQ(Rows(device.channel(4).motionMask), std::vector<uint8_t>(8, 0));
    // Nothing is saved or cleared before the chosen channel's replies are on the page.
    SetRecord(5, 0, 0, MotionZoneMask{{0xFF}});
    host.posts.clear();
    Press(IDC_ALARM_CLEAR_MOTION);
    Press(IDC_ALARM_SAVE_MOTION);
    EXPECT_TRUE(host.Saved().empty());
    EXPECT_EQ(device.channel(5).motionMask.rows[0], 0xFF);
}

TEST_F(AlarmPage, SetWaitsForBothRepliesOfTheChosenChannel) {
    SetRecord(1, 2, 0x9u);
    SetRecord(2, 2, 0x9u);
    Choose(1);
    EXPECT_FALSE(Enabled(IDOK));
    Reply(1, SETUP_REPLY_ALARM);
    EXPECT_FALSE(Enabled(IDOK));
    Reply(1, SETUP_REPLY_MOTION_MASK);
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_TRUE(Enabled(IDC_SETUP_ALL_SET));
    // Another channel: channel 1's late replies leave the page unloaded, and Set sends nothing.
    Choose(2);
    Reply(1, SETUP_REPLY_MOTION_MASK);
    Reply(1, SETUP_REPLY_ALARM);
    EXPECT_FALSE(Enabled(IDOK));
    page->m_cboSensitivity.SetCurSel(4);
    host.posts.clear();
    page->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DrainPostedEvents();
    EXPECT_TRUE(host.Saved().empty());
    EXPECT_EQ(page->CollectChannel(2), -1);
    EXPECT_EQ(device.channel(2).motionSensitivity, 2);
    // The replies in the other order load it as well.
    Reply(2, SETUP_REPLY_MOTION_MASK);
    Reply(2, SETUP_REPLY_ALARM);
    EXPECT_TRUE(Enabled(IDOK));
}

TEST_F(AlarmPage, PreviewFollowsTheChosenChannel) {
    Choose(1);
    Choose(2);
    page->ShowWindow(SW_HIDE);
    DrainPostedEvents();
    const auto frame = reinterpret_cast<LPARAM>(page->GetDlgItem(IDC_ALARM_PREVIEW)->GetSafeHwnd());
    ASSERT_NE(frame, 0);
    EXPECT_EQ(page->m_hPreview, reinterpret_cast<HWND>(frame));
    const std::vector<std::tuple<UINT, WPARAM, LPARAM>> expected = {
        {WM_SETUP_LOAD, SETUP_PAGE_ALARM, 1},  {WM_PREVIEW_OPEN, 1 << 16 | 2, frame},
        {WM_SETUP_LOAD, SETUP_PAGE_ALARM, 2},  {WM_PREVIEW_CLOSE, 1 << 16 | 2, 0},
        {WM_PREVIEW_OPEN, 2 << 16 | 2, frame}, {WM_PREVIEW_CLOSE, 2 << 16 | 2, 0},
    };
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> seen;
    for (const PagePost& p : host.posts)
        seen.emplace_back(p.message, p.wParam, p.lParam);
    EXPECT_EQ(seen, expected);
}

TEST_F(AlarmPage, AllSetCopiesTheControlsToThePickedChannelsOnly) {
    struct Case {
        const char* title;
        std::vector<int> picked;
        std::vector<int> saved;
    };
    const Case cases[] = {
        {"three channels", {0, 3, 5}, {0, 3, 5}},
        // Channel 4 already holds what the page shows.
        {"unchanged channels send nothing", {2, 4}, {2}},
        {"channels the DVR does not have are passed over", {3, 6, 255}, {3}},
    };
    for (const Case& c : cases) {
        for (int ch = 0; ch < 6; ++ch)
            SetRecord(ch, 0, ALARM_ACTION_SMS, MotionZoneMask{{static_cast<uint8_t>(ch)}});
        SetRecord(1, 3, ALARM_ACTION_EMAIL);
        SetRecord(4, 4, ALARM_ACTION_CLIENT | ALARM_ACTION_SMS, MotionZoneMask{{4}});
        Choose(0);
        Load(1);
        page->m_cboSensitivity.SetCurSel(4);
        Check(IDC_ALARM_EMAIL, false);
        Check(IDC_ALARM_CLIENT, true);
        host.posts.clear();
        page->picked = c.picked;
        Press(IDC_SETUP_ALL_SET);
        EXPECT_EQ(host.Saved(), c.saved) << c.title;
        for (int ch = 0; ch < 6; ++ch) {
            if (ch == 1)
                continue;
            bool picked = std::find(c.picked.begin(), c.picked.end(), ch) != c.picked.end();
            bool copied = picked || ch == 4;
            EXPECT_EQ(device.channel(ch).motionSensitivity, copied ? 4 : 0) << c.title << ", channel " << ch;
            // Each channel keeps its own mobile-phone bit and its own zones.
            EXPECT_EQ(device.channel(ch).alarmActions,
                      copied ? ALARM_ACTION_CLIENT | ALARM_ACTION_SMS : ALARM_ACTION_SMS)
                << c.title << ", channel " << ch;
            EXPECT_EQ(device.channel(ch).motionMask.rows[0], ch) << c.title << ", channel " << ch;
        }
        // The shown channel's record is not touched by All Set unless picked, and no notice shows.
        EXPECT_EQ(device.channel(1).motionSensitivity, 3) << c.title;
        EXPECT_EQ(page->m_nSavedCountdown, 0) << c.title;
    }
}

TEST_F(AlarmPage, TextsOfEachLanguageFitAndAreDrawn) {
    SetRecord(1, 2, 0x9u, MotionZoneMask{{0x18, 0x3C, 0x7E, 0xFF, 0xFF, 0x7E, 0x3C, 0x18}});
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        ApplyLanguage();
        Choose(language == 1 ? 0 : 2);
        Load(1);
        EXPECT_EQ(TextFitFaults(page->GetWidget()), QStringList()) << kLanguageNames[language];
        EXPECT_EQ(page->m_cboSensitivity.GetCurSel(), 2);
        // The note breaks its line where the language text has byte 0x08.
        EXPECT_TRUE(page->GetDlgItem(IDC_ALARM_NOTE)->GetWindowText().contains(QChar(u'\n')));
        page->GetDlgItem(IDC_SETUP_SAVED_NOTICE)->ShowWindow(SW_SHOW);
        DrainPostedEvents();
        EXPECT_TRUE(page->GetWidget()->grab().save(
            PicturePath(QStringLiteral("setup_alarm_%1.png").arg(kLanguageNames[language]))));
        page->GetDlgItem(IDC_SETUP_SAVED_NOTICE)->ShowWindow(SW_HIDE);
    }
    ApplyLanguage();
}

// --- Against the simulated DVR ---

TEST(AlarmPageSimulatedDvr, LoadsChangesAndReloadsTheDvrsAlarmValues) {
    SimulatedDvrSession session;
    dvrsim::DvrSim& sim = session.sim();
    PageHost host;
    ASSERT_TRUE(host.CreateHost());
    host.ShowWindow(SW_SHOW);
    CDlgSetupAlarm page(&host);
    ASSERT_TRUE(page.Create(IDD_SETUP_ALARM, &host));
    ASSERT_TRUE(session.Start(&host, &page));
    page.ShowWindow(SW_SHOW);
    DrainPostedEvents();

    auto load = [&](int channel) {
        ChooseChannel(page, channel);
        return WaitUntil([&] { return page.IsLoaded(); }, 10000);
    };
    auto zone = [&](int row, int column) {
        const RECT& cell = page.m_grid.cells[row * 8 + column];
        return MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    };
    // The simulator's values: normal sensitivity, e-mail and client messages, every zone selected.
    ASSERT_TRUE(load(1));
    EXPECT_EQ(page.m_cboSensitivity.GetCurSel(), 2);
    EXPECT_EQ(dynamic_cast<CButton*>(page.GetDlgItem(IDC_ALARM_EMAIL))->GetCheck(), BST_CHECKED);
    EXPECT_EQ(dynamic_cast<CButton*>(page.GetDlgItem(IDC_ALARM_CLIENT))->GetCheck(), BST_CHECKED);
    EXPECT_EQ(Rows(page.m_maskCopy), std::vector<uint8_t>(8, 0xFF));
    // Lowest sensitivity and Set; zone (2,5) off and "Save Motion-detection".
    page.m_cboSensitivity.SetCurSel(4);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    page.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, zone(2, 5));
    page.SendMessage(WM_LBUTTONUP, 0, zone(2, 5));
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ALARM_SAVE_MOTION, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return sim.CountRequests(DVR_REQ_SET_MOTION_MASK) >= 2; }, 10000));

    // Shown again, channel 1 comes back from the DVR changed; channel 2 is as it was.
    page.ShowWindow(SW_HIDE);
    page.ShowWindow(SW_SHOW);
    std::fill(std::begin(g_currentDevice.load()->channels[1].motionMask.rows),
              std::end(g_currentDevice.load()->channels[1].motionMask.rows), 0);
    ASSERT_TRUE(load(1));
    EXPECT_EQ(page.m_cboSensitivity.GetCurSel(), 4);
    EXPECT_EQ(dynamic_cast<CButton*>(page.GetDlgItem(IDC_ALARM_EMAIL))->GetCheck(), BST_CHECKED);
    EXPECT_EQ(Rows(page.m_maskCopy), std::vector<uint8_t>({0xFF, 0xFF, 0xDF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(load(2));
    EXPECT_EQ(page.m_cboSensitivity.GetCurSel(), 2);
    EXPECT_EQ(Rows(page.m_maskCopy), std::vector<uint8_t>(8, 0xFF));
    EXPECT_EQ(sim.CountRequests(DVR_REQ_SET_ALARM_PARAMS), 2);

    page.DestroyWindow();
    host.DestroyWindow();
}

}  // namespace
