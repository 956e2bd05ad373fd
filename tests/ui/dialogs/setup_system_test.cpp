// The System page: what Set collects from its controls into the DVR's record (disk letters in list order
// and their bound, the interval's range, lists without a selection, when the restart notice comes), and
// the page itself: filled by the disk, language and system replies, Set sending one save per change with
// the "Saved." notice, nothing sent before the values arrived.

#include "ui/dialogs/setup_system.h"

#include <gtest/gtest.h>

#include "core/window_messages.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/setup_device_fixture.h"
#include "ui/dialogs/dialog_texts.h"

namespace {

// The record a DVR reports in these tests.
SystemSettings DvrRecord() {
    SystemSettings s{};
    SetNodeText(s.RecordDisks, QStringLiteral("DE"));
    SetNodeText(s.RecordDir, QStringLiteral("Record"));
    SetNodeText(s.SnapshotPath, QStringLiteral("C:\\Snap"));
    s.DiskFullAction = 1;
    s.PopupMessage = 7;
    s.VideoStandard = 1;
    s.MuxMode = 2;
    s.ScrollInterval = 12;
    s.Language = 1;
    s.EnableBeep = 1;
    s.EnableRGB = 9;
    return s;
}

// The controls as the record shows them.
SetupSystemControls Shown(const SystemSettings& s) {
    SetupSystemControls c;
    c.recordDisks = NodeText(s.RecordDisks);
    c.recordDir = NodeText(s.RecordDir);
    c.snapshotPath = NodeText(s.SnapshotPath);
    c.diskFullAction = s.DiskFullAction;
    c.videoStandard = s.VideoStandard;
    c.muxMode = s.MuxMode;
    c.language = s.Language;
    c.scrollInterval = QString::number(s.ScrollInterval);
    c.enableBeep = s.EnableBeep;
    c.autorun = s.Autorun;
    c.enableUpdate = s.EnableUpdate;
    return c;
}

TEST(SetupSystemCollect, ControlsBecomeTheRecord) {
    const QString manyLetters = QStringLiteral("DEFGHIJKLMNOPQRSTUVWXYZdefghijklmnopq");  // 40 letters
    const struct {
        const char* name;
        void (*change)(SetupSystemControls&);
        int result;
        int restart;
        void (*expect)(SystemSettings&);  // the expected record, from DvrRecord()
    } cases[] = {
        {"nothing changed", [](SetupSystemControls&) {}, SETUP_SYSTEM_UNCHANGED, 0, [](SystemSettings&) {}},
        {"interval 0", [](SetupSystemControls& c) { c.scrollInterval = "0"; }, SETUP_SYSTEM_CHANGED, 0,
         [](SystemSettings& s) { s.ScrollInterval = 1; }},
        {"interval -5", [](SetupSystemControls& c) { c.scrollInterval = "-5"; }, SETUP_SYSTEM_CHANGED, 0,
         [](SystemSettings& s) { s.ScrollInterval = 1; }},
        {"interval without digits", [](SetupSystemControls& c) { c.scrollInterval = "abc"; },
         SETUP_SYSTEM_CHANGED, 0, [](SystemSettings& s) { s.ScrollInterval = 1; }},
        {"interval 30", [](SetupSystemControls& c) { c.scrollInterval = "30"; }, SETUP_SYSTEM_CHANGED, 0,
         [](SystemSettings& s) { s.ScrollInterval = 30; }},
        {"interval 99", [](SetupSystemControls& c) { c.scrollInterval = "99"; }, SETUP_SYSTEM_CHANGED, 0,
         [](SystemSettings& s) { s.ScrollInterval = 30; }},
        {"interval 12 with letters", [](SetupSystemControls& c) { c.scrollInterval = "12ab"; },
         SETUP_SYSTEM_UNCHANGED, 0, [](SystemSettings&) {}},
        {"interval beyond 32 bits", [](SetupSystemControls& c) { c.scrollInterval = "99999999999999"; },
         SETUP_SYSTEM_CHANGED, 0, [](SystemSettings& s) { s.ScrollInterval = 30; }},
        {"language only", [](SetupSystemControls& c) { c.language = 0; }, SETUP_SYSTEM_CHANGED, 0,
         [](SystemSettings& s) { s.Language = 0; }},
        {"automatic update only", [](SetupSystemControls& c) { c.enableUpdate = 1; }, SETUP_SYSTEM_CHANGED, 0,
         [](SystemSettings& s) { s.EnableUpdate = 1; }},
        {"a disk more", [](SetupSystemControls& c) { c.recordDisks = "DEF"; }, SETUP_SYSTEM_CHANGED, 1,
         [](SystemSettings& s) { SetNodeText(s.RecordDisks, QStringLiteral("DEF")); }},
        {"video standard", [](SetupSystemControls& c) { c.videoStandard = 0; }, SETUP_SYSTEM_CHANGED, 1,
         [](SystemSettings& s) { s.VideoStandard = 0; }},
        {"mux mode", [](SetupSystemControls& c) { c.muxMode = 1; }, SETUP_SYSTEM_CHANGED, 1,
         [](SystemSettings& s) { s.MuxMode = 1; }},
        // Lists without a selection keep the record's values.
        {"lists without selection",
         [](SetupSystemControls& c) {
             c.videoStandard.reset();
             c.muxMode.reset();
             c.language.reset();
         },
         SETUP_SYSTEM_UNCHANGED, 0, [](SystemSettings&) {}},
        {"empty record folder", [](SetupSystemControls& c) { c.recordDir.clear(); }, SETUP_SYSTEM_CHANGED, 0,
         [](SystemSettings& s) { SetNodeText(s.RecordDir, QString()); }},
        {"snapshot path kept as typed", [](SetupSystemControls& c) { c.snapshotPath = "D:\\Pictures"; },
         SETUP_SYSTEM_CHANGED, 0, [](SystemSettings& s) { SetNodeText(s.SnapshotPath, "D:\\Pictures"); }},
        {"folder of 300 characters", [](SetupSystemControls& c) { c.recordDir = QString(300, u'r'); },
         SETUP_SYSTEM_CHANGED, 0, [](SystemSettings& s) { SetNodeText(s.RecordDir, QString(255, u'r')); }},
        {"switches",
         [](SetupSystemControls& c) {
             c.enableBeep = 0;
             c.autorun = 1;
             c.diskFullAction = 0;
         },
         SETUP_SYSTEM_CHANGED, 0,
         [](SystemSettings& s) {
             s.EnableBeep = 0;
             s.Autorun = 1;
             s.DiskFullAction = 0;
         }},
        {"no disk", [](SetupSystemControls& c) { c.recordDisks.clear(); }, SETUP_SYSTEM_NO_DISK, 0,
         [](SystemSettings&) {}},
    };
    for (const auto& c : cases) {
        SystemSettings record = DvrRecord();
        SetupSystemControls controls = Shown(record);
        c.change(controls);
        int restart = -7;
        EXPECT_EQ(CollectSetupSystem(controls, &record, &restart), c.result) << c.name;
        if (c.result == SETUP_SYSTEM_CHANGED) {
            EXPECT_EQ(restart, c.restart) << c.name;
        }
        SystemSettings expected = DvrRecord();
        c.expect(expected);
        EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0) << c.name;
    }

    // More checked disks than the field holds: the first 31 letters, and the field stays terminated.
    SystemSettings record = DvrRecord();
    SetupSystemControls controls = Shown(record);
    controls.recordDisks = manyLetters;
    int restart = 0;
    ASSERT_EQ(CollectSetupSystem(controls, &record, &restart), SETUP_SYSTEM_CHANGED);
    EXPECT_EQ(NodeText(record.RecordDisks), manyLetters.left(31));
    EXPECT_EQ(record.RecordDisks[31], 0);
}

class SetupSystemPageTest : public SetupDeviceFixture {
protected:
    void SetUp() override {
        SetupDeviceFixture::SetUp();
        *device->systemParams = DvrRecord();
        PublishDisks(QStringLiteral("CDE"));
        PublishLanguages({QStringLiteral("English"), QStringLiteral("Chinese"), QStringLiteral("Deutsch")});
        english = std::make_unique<ScopedBuiltinLanguage>(0);
        ASSERT_TRUE(page.Create(IDD_DLG_SETUP_SYSTEM, &setup));
    }
    void TearDown() override {
        page.DestroyWindow();
        english.reset();
        SetupDeviceFixture::TearDown();
    }
    // Shows the page and answers its load as the DVR does: disks, languages, then the settings.
    void ShowLoaded() {
        page.ShowWindow(SW_SHOW);
        Reply(page, SETUP_REPLY_DISKS);
        Reply(page, SETUP_REPLY_LANGUAGES);
        Reply(page, SETUP_REPLY_SYSTEM);
    }
    QString Interval() { return ItemText(&page, IDC_SETUP_SYSTEM_INTERVAL); }

    std::unique_ptr<ScopedBuiltinLanguage> english;
    CDlgSetupSystem page{&setup};
};

TEST_F(SetupSystemPageTest, ShowsTheDvrsValues) {
    page.ShowWindow(SW_SHOW);
    const std::vector<SeenMessage> loads = Posted(WM_SETUP_LOAD);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].wParam, static_cast<WPARAM>(SETUP_PAGE_SYSTEM));
    EXPECT_EQ(loads[0].lParam, 0);
    // The rows come unchecked, the languages without a selection.
    Reply(page, SETUP_REPLY_DISKS);
    ASSERT_EQ(page.m_listDisks.GetItemCount(), 3);
    EXPECT_FALSE(page.m_listDisks.GetCheck(1));
    EXPECT_EQ(page.m_listDisks.GetItemText(2, 0), QStringLiteral("E"));
    EXPECT_EQ(page.m_listDisks.GetItemText(2, 1), QStringLiteral("465 GB"));
    EXPECT_EQ(page.m_listDisks.GetItemText(2, 2), QStringLiteral("40%"));
    EXPECT_EQ(page.m_listDisks.GetItemText(2, 3), QStringLiteral("279 GB"));
    Reply(page, SETUP_REPLY_LANGUAGES);
    EXPECT_EQ(page.m_cboLanguage.GetCount(), 3);
    EXPECT_EQ(page.m_cboLanguage.GetCurSel(), -1);
    Reply(page, SETUP_REPLY_SYSTEM);
    const BOOL checks[] = {FALSE, TRUE, TRUE};
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(page.m_listDisks.GetCheck(row), checks[row]) << row;
    EXPECT_EQ(ItemText(&page, IDC_SETUP_SYSTEM_RECORD_DIR), QStringLiteral("Record"));
    EXPECT_EQ(ItemText(&page, IDC_SETUP_SYSTEM_SNAPSHOT), QStringLiteral("C:\\Snap"));
    EXPECT_EQ(ItemChecked(&page, IDC_SETUP_SYSTEM_FULL_ACTION), 1);
    EXPECT_EQ(page.m_cboVideoStandard.GetCurSel(), 0);  // PAL
    EXPECT_EQ(page.m_cboMuxMode.GetCurSel(), 1);
    EXPECT_EQ(page.m_cboLanguage.GetCurSel(), 1);
    EXPECT_EQ(Interval(), QStringLiteral("12"));
    EXPECT_EQ(ItemChecked(&page, IDC_SETUP_SYSTEM_BEEP), 1);
    EXPECT_EQ(ItemChecked(&page, IDC_SETUP_SYSTEM_AUTORUN), 0);
    EXPECT_EQ(ItemChecked(&page, IDC_SETUP_SYSTEM_UPDATE), 0);
    EXPECT_EQ(ItemText(&page, IDC_SETUP_SYSTEM_ADD), QStringLiteral("Add.."));

    // Values that no item carries leave their lists without a selection, and Set keeps them.
    device->systemParams->VideoStandard = 5;
    device->systemParams->MuxMode = 0;
    device->systemParams->Language = 42;
    Reply(page, SETUP_REPLY_SYSTEM);
    EXPECT_EQ(page.m_cboVideoStandard.GetCurSel(), -1);
    EXPECT_EQ(page.m_cboMuxMode.GetCurSel(), -1);
    EXPECT_EQ(page.m_cboLanguage.GetCurSel(), -1);
    SetItemText(&page, IDC_SETUP_SYSTEM_INTERVAL, QStringLiteral("13"));
    Click(page, IDOK);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(device->systemParams->VideoStandard, 5);
    EXPECT_EQ(device->systemParams->MuxMode, 0);
    EXPECT_EQ(device->systemParams->Language, 42);
    EXPECT_EQ(device->systemParams->ScrollInterval, 13);
    EXPECT_EQ(Posted(WM_SETUP_SAVE).size(), 1u);
    // "Add.." does nothing.
    Click(page, IDC_SETUP_SYSTEM_ADD);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Posted(WM_SETUP_SAVE).size(), 1u);
}

TEST_F(SetupSystemPageTest, SetSendsOneSavePerChangeWithTheNotice) {
    ShowLoaded();
    ClearPosted();
    const SystemSettings before = *device->systemParams;
    Click(page, IDOK);
    EXPECT_TRUE(Posted(WM_SETUP_SAVE).empty());
    EXPECT_EQ(page.m_nSavedCountdown, 0);

    SetItemText(&page, IDC_SETUP_SYSTEM_INTERVAL, QStringLiteral("45"));
    Click(page, IDOK);
    Click(page, IDOK);
    const std::vector<SeenMessage> saves = Posted(WM_SETUP_SAVE);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].wParam, static_cast<WPARAM>(SETUP_PAGE_SYSTEM));
    EXPECT_EQ(saves[0].lParam, 0);
    EXPECT_TRUE(messages.isEmpty());
    SystemSettings expected = before;
    expected.ScrollInterval = 30;
    EXPECT_EQ(std::memcmp(device->systemParams.get(), &expected, sizeof expected), 0);

    // The notice shows from the next tick and hides again at the third.
    CWnd* notice = page.GetDlgItem(IDC_SETUP_SAVED_NOTICE);
    const bool visible[] = {true, true, false};
    for (bool v : visible) {
        page.SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0);
        EXPECT_EQ(notice->IsWindowVisible() != FALSE, v);
    }

    // A disk check mark needs the restart notice, told before the save.
    page.m_listDisks.SetCheck(0, TRUE);
    Click(page, IDOK);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0],
              QStringLiteral("You need to restart this program to make these settings take affect!"));
    EXPECT_EQ(NodeText(device->systemParams->RecordDisks), QStringLiteral("CDE"));
    EXPECT_EQ(Posted(WM_SETUP_SAVE).size(), 2u);
}

TEST_F(SetupSystemPageTest, FoldersThatDoNotFitTheirFieldAreRefused) {
    ShowLoaded();
    ClearPosted();
    const SystemSettings before = *device->systemParams;
    const QString tooLong = QStringLiteral("The text is too long, please input again!");
    const struct {
        const char* title;
        UINT id;
        QString typed;
        QString message;  // empty: saved
    } cases[] = {
        // 86 Chinese characters are 258 UTF-8 bytes: the field would have cut them to 85.
        {"record folder over 255 bytes", IDC_SETUP_SYSTEM_RECORD_DIR, QString(86, QChar(0x4e2d)), tooLong},
        // The edits hold 255 characters; 128 accented letters are 256 bytes all the same.
        {"snapshot path of 256 bytes", IDC_SETUP_SYSTEM_SNAPSHOT, QString(128, QChar(0x00e9)), tooLong},
        {"record folder of 255 bytes", IDC_SETUP_SYSTEM_RECORD_DIR, QString(85, QChar(0x4e2d)), QString()},
    };
    for (const auto& c : cases) {
        *device->systemParams = before;
        SetItemText(&page, IDC_SETUP_SYSTEM_RECORD_DIR, NodeText(before.RecordDir));
        SetItemText(&page, IDC_SETUP_SYSTEM_SNAPSHOT, NodeText(before.SnapshotPath));
        SetItemText(&page, c.id, c.typed);
        messages.clear();
        ClearPosted();
        // An earlier save's "Saved." is showing; a refusal takes it away at once.
        page.m_nSavedCountdown = SAVED_NOTICE_TICKS;
        page.SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0);
        ASSERT_TRUE(page.GetDlgItem(IDC_SETUP_SAVED_NOTICE)->IsWindowVisible()) << c.title;
        Click(page, IDOK);
        EXPECT_EQ(page.GetDlgItem(IDC_SETUP_SAVED_NOTICE)->IsWindowVisible() != FALSE, c.message.isEmpty())
            << c.title;
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages.isEmpty()) << c.title;
            EXPECT_EQ(page.m_nSavedCountdown, SAVED_NOTICE_TICKS) << c.title;
            EXPECT_EQ(Posted(WM_SETUP_SAVE).size(), 1u) << c.title;
            EXPECT_EQ(NodeText(device->systemParams->RecordDir), c.typed) << c.title;
        } else {
            EXPECT_EQ(messages, QStringList{c.message}) << c.title;
            EXPECT_TRUE(Posted(WM_SETUP_SAVE).empty()) << c.title;
            EXPECT_EQ(page.m_nSavedCountdown, 0) << c.title;
            EXPECT_EQ(std::memcmp(device->systemParams.get(), &before, sizeof before), 0) << c.title;
        }
    }
}

TEST_F(SetupSystemPageTest, ASaveTheMainWindowCouldNotSendWithdrawsTheNoticeAndReloads) {
    ShowLoaded();
    SetItemText(&page, IDC_SETUP_SYSTEM_INTERVAL, QStringLiteral("20"));
    Click(page, IDOK);
    ASSERT_EQ(page.m_nSavedCountdown, SAVED_NOTICE_TICKS);
    ClearPosted();
    messages.clear();
    page.PostMessage(WM_SETUP_SAVE_REFUSED, SETUP_PAGE_SYSTEM, 0);
    DrainPostedEvents();
    EXPECT_EQ(messages,
              QStringList{QStringLiteral("The settings could not be sent to the DVR, please try again!")});
    EXPECT_EQ(page.m_nSavedCountdown, 0);
    page.SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0);
    EXPECT_FALSE(page.GetDlgItem(IDC_SETUP_SAVED_NOTICE)->IsWindowVisible());
    // What the DVR holds is asked for again, and Set waits for it.
    const std::vector<SeenMessage> loads = Posted(WM_SETUP_LOAD);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].wParam, static_cast<WPARAM>(SETUP_PAGE_SYSTEM));
    EXPECT_FALSE(page.GetDlgItem(IDOK)->IsWindowEnabled());
}

TEST_F(SetupSystemPageTest, DiskOrderIsTheListsAndNoDiskIsRefused) {
    SetNodeText(device->systemParams->RecordDisks, QStringLiteral("C"));
    ShowLoaded();
    ClearPosted();
    // Checked E first, then D: saved in list order.
    page.m_listDisks.SetCheck(0, FALSE);
    page.m_listDisks.SetCheck(2, TRUE);
    page.m_listDisks.SetCheck(1, TRUE);
    Click(page, IDOK);
    EXPECT_EQ(NodeText(device->systemParams->RecordDisks), QStringLiteral("DE"));
    messages.clear();

    const SystemSettings before = *device->systemParams;
    for (int row = 0; row < 3; ++row)
        page.m_listDisks.SetCheck(row, FALSE);
    SetItemText(&page, IDC_SETUP_SYSTEM_INTERVAL, QStringLiteral("3"));
    Click(page, IDOK);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Please select one as the record disk at least!"));
    EXPECT_EQ(std::memcmp(device->systemParams.get(), &before, sizeof before), 0);
    EXPECT_EQ(Posted(WM_SETUP_SAVE).size(), 1u);
}

TEST_F(SetupSystemPageTest, NothingIsSentBeforeTheValuesArrive) {
    page.ShowWindow(SW_SHOW);
    Reply(page, SETUP_REPLY_DISKS);
    Reply(page, SETUP_REPLY_LANGUAGES);
    // The controls still hold what the start left: Set neither writes the record nor sends.
    const SystemSettings before = *device->systemParams;
    page.m_listDisks.SetCheck(0, TRUE);
    Click(page, IDOK);
    EXPECT_TRUE(Posted(WM_SETUP_SAVE).empty());
    EXPECT_EQ(std::memcmp(device->systemParams.get(), &before, sizeof before), 0);
    EXPECT_FALSE(page.GetDlgItem(IDOK)->IsWindowEnabled());
    Reply(page, SETUP_REPLY_SYSTEM);
    EXPECT_TRUE(page.GetDlgItem(IDOK)->IsWindowEnabled());

    // Without a selected DVR, Set does nothing.
    page.m_listDisks.SetCheck(0, TRUE);
    g_currentDevice = nullptr;
    Click(page, IDOK);
    EXPECT_TRUE(Posted(WM_SETUP_SAVE).empty());
    EXPECT_EQ(std::memcmp(device->systemParams.get(), &before, sizeof before), 0);
}

TEST_F(SetupSystemPageTest, LanguageSwitchRebuildsTheRowsAndKeepsTheMuxChoice) {
    ShowLoaded();
    page.m_cboMuxMode.SetCurSel(1);
    ScopedBuiltinLanguage chinese(1);
    page.PostMessage(WM_APPLY_LANGUAGE, 0, 0);
    DrainPostedEvents();
    EXPECT_EQ(page.m_listDisks.GetItemCount(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_FALSE(page.m_listDisks.GetCheck(row)) << row;
    EXPECT_EQ(page.m_cboMuxMode.GetCurSel(), 1);
    QString mode2;
    page.m_cboMuxMode.GetLBText(1, mode2);
    EXPECT_EQ(mode2, QString::fromUtf8(BuiltinLanguageText(1))
                         .section(QStringLiteral("DLGSETUPSYSTEM_COMBO_MUXMODE_1="), 1)
                         .section(u'\n', 0, 0));
    EXPECT_EQ(page.m_cboLanguage.GetCurSel(), 1);
    EXPECT_EQ(Interval(), QStringLiteral("12"));
}

TEST_F(SetupSystemPageTest, BrowseReplacesTheSnapshotPath) {
    ShowLoaded();
    folderAnswer = QStringLiteral("/tmp/pictures/");
    Click(page, IDC_SETUP_SYSTEM_BROWSE);
    EXPECT_EQ(ItemText(&page, IDC_SETUP_SYSTEM_SNAPSHOT), QStringLiteral("/tmp/pictures/"));
}

}  // namespace
