// The record schedule page: the rows a schedule reply shows, the entry editor and Edit, what Set and All
// Set pack and send, the rows belonging to the channel whose reply filled them, the texts of the three
// languages (pictures setup_record_<language>.png), and a round trip through the simulated DVR.

#include "ui/dialogs/setup_record.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "core/text_files.h"
#include "dvr/dvr_protocol.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/record_alarm_fixture.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

constexpr uint32_t kWeekdays = 0x9233E6D1u;  // enabled, continuous, Monday - Friday, 08:30 - 17:45

// "Continuous recording" in the built-in languages.
QString TypeTextFor(int language) {
    const char* texts[] = {"Continuous recording", "\xe8\xbf\x9e\xe7\xbb\xad\xe5\xbd\x95\xe5\x83\x8f",
                           "\xe9\x80\xa3\xe7\xba\x8c\xe9\x8c\x84\xe5\xbd\xb1"};
    return QString::fromUtf8(texts[language]);
}

class RecordPage : public PageFixture<CDlgSetupRecord, IDD_SETUP_RECORD> {
protected:
    CComboBox& ChannelCombo() { return page->m_cboChannel; }
    void Reply(int channel, int type = SETUP_REPLY_SCHEDULE) { PageFixture::Reply(channel, type); }
    void SetWords(int channel, std::vector<uint32_t> words) {
        words.resize(SCHEDULE_ENTRY_COUNT);
        std::copy(words.begin(), words.end(), device.channel(channel).recordSchedule);
    }
    std::vector<uint32_t> Words(int channel) const {
        const uint32_t* w = device.channel(channel).recordSchedule;
        return std::vector<uint32_t>(w, w + SCHEDULE_ENTRY_COUNT);
    }
    // Chooses the channel and delivers its schedule reply.
    void Load(int channel, std::vector<uint32_t> words) {
        SetWords(channel, std::move(words));
        Choose(channel);
        Reply(channel);
    }
    void SelectRow(int row) {
        for (int r = 0; r < page->m_listSchedule.GetItemCount(); ++r)
            page->m_listSchedule.SetItemState(r, r == row ? LVIS_SELECTED : 0, LVIS_SELECTED);
        page->LoadEntryEditor(row);
    }
    bool EditorShown() { return page->GetDlgItem(IDC_RECORD_EDIT)->IsWindowVisible() != FALSE; }
    QString Cell(int row, int column) { return page->m_listSchedule.GetItemText(row, column); }
};

TEST_F(RecordPage, ScheduleReplyShowsOneRowPerEntry) {
    struct Case {
        uint32_t word;
        int checked;
        const char* range;
        const char* begin;
        const char* end;
        const char* type;
    };
    const Case cases[] = {
        {kWeekdays, 1, "Monday - Friday", "08:30", "17:45", "Continuous recording"},
        {0u, 0, "", "00:00", "00:00", "No recording"},
        {0xAB000000u | 2359u << 12 | 2359u, 1, "Saturday", "23:59", "23:59", "Alarm recording"},
        {0x0F000000u | 4095u << 12, 0, "", "40:95", "00:00", "No recording"},
        {0x35000000u, 0, "Sunday", "00:00", "00:00", ""},
    };
    std::vector<uint32_t> words;
    for (const Case& c : cases)
        words.push_back(c.word);
    Load(1, words);
    ASSERT_EQ(page->m_listSchedule.GetItemCount(), SCHEDULE_ENTRY_COUNT);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(Cell(i, 0), QString::number(i + 1)) << i;
        EXPECT_EQ(page->m_listSchedule.GetCheck(i), c.checked) << i;
        EXPECT_EQ(Cell(i, 1), QString(c.range)) << i;
        EXPECT_EQ(Cell(i, 2), QString(c.begin)) << i;
        EXPECT_EQ(Cell(i, 3), QString(c.end)) << i;
        EXPECT_EQ(Cell(i, 4), QString(c.type)) << i;
    }
    // Shown as they came, the rows pack to the same words: Set sends nothing.
    Press(IDOK);
    EXPECT_TRUE(host.Saved().empty());
    EXPECT_EQ(page->PackSchedule(1), -1);
}

TEST_F(RecordPage, EditAndSetSendTheChangedEntries) {
    struct Case {
        const char* title;
        int row;
        int range;  // item of the day-range combo, -1: no selection
        int type;   // item of the record-type combo, -1: no selection
        QTime begin;
        QTime end;
        uint32_t word;  // the row's word after Set
        const char* rangeText;
        const char* beginText;
    };
    const Case cases[] = {
        {"weekdays to every day, 07:15 to 19:00", 0, 1, 1, QTime(7, 15), QTime(19, 0),
         0x91000000u | 715u << 12 | 1900u, "Every day", "07:15"},
        {"23:59 packs to 2359", 1, 5, 2, QTime(23, 59), QTime(23, 59), 0x25000000u | 2359u << 12 | 2359u,
         "Sunday", "23:59"},
        {"empty day range empties the times", 0, 0, 1, QTime(7, 15), QTime(19, 0), 0x90000000u, "", ""},
        {"no range selected keeps the row's range", 0, -1, 2, QTime(6, 0), QTime(7, 0),
         0xA2000000u | 600u << 12 | 700u, "Monday - Friday", "06:00"},
        {"no type selected keeps the row's type", 0, 6, -1, QTime(6, 0), QTime(7, 0),
         0x96000000u | 600u << 12 | 700u, "Monday", "06:00"},
    };
    for (const Case& c : cases) {
        Load(c.row == 0 ? 0 : 2, {kWeekdays, 0u});
        host.posts.clear();
        SelectRow(c.row);
        EXPECT_TRUE(EditorShown()) << c.title;
        page->m_cboRange.SetCurSel(c.range);
        page->m_cboType.SetCurSel(c.type);
        page->m_timeBegin.SetDateTime(QDateTime(QDate::currentDate(), c.begin));
        page->m_timeEnd.SetDateTime(QDateTime(QDate::currentDate(), c.end));
        Press(IDC_RECORD_EDIT);
        EXPECT_EQ(Cell(c.row, 1), QString(c.rangeText)) << c.title;
        EXPECT_EQ(Cell(c.row, 2), QString(c.beginText)) << c.title;
        // Edit changes only the list.
        EXPECT_TRUE(host.Saved().empty()) << c.title;
        int channel = c.row == 0 ? 0 : 2;
        Press(IDOK);
        EXPECT_EQ(host.Saved(), std::vector<int>{channel}) << c.title;
        EXPECT_EQ(Words(channel)[static_cast<size_t>(c.row)], c.word) << c.title;
        // The other entry is sent as it was.
        EXPECT_EQ(Words(channel)[static_cast<size_t>(1 - c.row)], c.row == 0 ? 0u : kWeekdays) << c.title;
        // A second Set finds nothing new.
        Press(IDOK);
        EXPECT_EQ(host.Saved().size(), 1u) << c.title;
    }
}

TEST_F(RecordPage, EmptyRangeIsKnownByItsCodeNotItsText) {
    // A language that names the empty range and leaves "Every day" without a text.
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("language.txt"));
    ASSERT_TRUE(ReplaceUtf16File(path, QStringLiteral("[TEXT]\nDLGSETUPRECORD_COMBO_RANGE_0=(none)\n"
                                                      "DLGSETUPRECORD_COMBO_RANGE_1=\n")));
    theApp.m_iniLanguage.SetPath(path);
    ApplyLanguage();
    Load(0, {kWeekdays, kWeekdays});
    const struct {
        int range;
        const char* rangeText;
        const char* begin;
        uint32_t word;
    } cases[] = {
        {1, "", "10:00", 0x91000000u | 1000u << 12 | 1100u},
        {0, "", "", 0x90000000u},
    };
    for (int row = 0; row < 2; ++row) {
        SelectRow(row);
        page->m_cboRange.SetCurSel(cases[row].range);
        page->m_cboType.SetCurSel(1);
        page->m_timeBegin.SetDateTime(QDateTime(QDate::currentDate(), QTime(10, 0)));
        page->m_timeEnd.SetDateTime(QDateTime(QDate::currentDate(), QTime(11, 0)));
        Press(IDC_RECORD_EDIT);
        EXPECT_EQ(Cell(row, 1), QString(cases[row].rangeText)) << row;
        EXPECT_EQ(Cell(row, 2), QString(cases[row].begin)) << row;
    }
    Press(IDOK);
    theApp.m_iniLanguage.SetPath(QString());
    EXPECT_EQ(Words(0)[0], cases[0].word);
    EXPECT_EQ(Words(0)[1], cases[1].word);
}

TEST_F(RecordPage, EditorFollowsTheSelectedRow) {
    Load(0, {kWeekdays, 0xAB000000u | 4095u << 12 | 2359u});
    EXPECT_FALSE(EditorShown());
    SelectRow(0);
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(page->m_cboRange.GetCurSel(), 2);
    EXPECT_EQ(page->m_cboType.GetCurSel(), 1);
    EXPECT_EQ(page->m_timeBegin.GetDateTime().time(), QTime(8, 30));
    EXPECT_EQ(page->m_timeEnd.GetDateTime().time(), QTime(17, 45));
    // A time no picker can show comes up as 00:00; the row keeps it until Edit.
    SelectRow(1);
    EXPECT_EQ(page->m_cboRange.GetCurSel(), 11);
    EXPECT_EQ(page->m_timeBegin.GetDateTime().time(), QTime(0, 0));
    EXPECT_EQ(page->m_timeEnd.GetDateTime().time(), QTime(23, 59));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("40:95"));
    // A click that leaves no row selected hides the editor.
    SelectRow(-1);
    EXPECT_FALSE(EditorShown());
    // A real click below the last row.
    auto* tree = qobject_cast<QTreeWidget*>(page->m_listSchedule.GetWidget());
    ASSERT_NE(tree, nullptr);
    SelectRow(0);
    QWidget* viewport = tree->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 3));
    DrainPostedEvents();
    EXPECT_EQ(page->m_listSchedule.GetNextItem(-1, LVNI_SELECTED), -1);
    EXPECT_FALSE(EditorShown());
}

TEST_F(RecordPage, HeaderBoxChecksEveryRowAndSetSendsTheEnableBits) {
    Load(3, {kWeekdays, 0x11000000u, 0u});
    auto* tree = qobject_cast<QTreeWidget*>(page->m_listSchedule.GetWidget());
    ASSERT_NE(tree, nullptr);
    // The heading box follows the rows a reply brings: some are unchecked.
    EXPECT_EQ(page->m_listSchedule.GetHeaderCheckImage(), CHECK_IMAGE_UNCHECKED);
    emit tree->header()->sectionClicked(0);
    DrainPostedEvents();
    EXPECT_EQ(page->m_listSchedule.GetHeaderCheckImage(), CHECK_IMAGE_CHECKED);
    Press(IDOK);
    EXPECT_EQ(host.Saved(), std::vector<int>{3});
    std::vector<uint32_t> words = Words(3);
    EXPECT_EQ(words[0], kWeekdays);
    EXPECT_EQ(words[1], 0x91000000u);
    for (size_t i = 2; i < words.size(); ++i)
        EXPECT_EQ(words[i], SCHEDULE_ENABLED) << i;
    // A reply with every entry enabled ticks the box; one with none enabled clears it.
    Choose(0);
    Reply(0);
    EXPECT_EQ(page->m_listSchedule.GetHeaderCheckImage(), CHECK_IMAGE_UNCHECKED);
    Choose(3);
    Reply(3);
    EXPECT_EQ(page->m_listSchedule.GetHeaderCheckImage(), CHECK_IMAGE_CHECKED);
}

TEST_F(RecordPage, RowsBelongToTheChannelThatFilledThem) {
    SetWords(1, {0x81000000u});
    SetWords(2, {0x82000000u});
    // Nothing chosen, nothing loaded: Set and All Set are off.
    EXPECT_FALSE(Enabled(IDOK));
    EXPECT_FALSE(Enabled(1107));
    Choose(1);
    EXPECT_EQ(host.Of(WM_SETUP_LOAD).size(), 1u);
    EXPECT_FALSE(Enabled(IDOK));
    Reply(1);
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_TRUE(Enabled(1107));
    // Another channel: the rows go at once, and a late reply of channel 1 does not bring them back.
    Choose(2);
    EXPECT_EQ(page->m_listSchedule.GetItemCount(), 0);
    EXPECT_FALSE(Enabled(IDOK));
    Reply(1);
    EXPECT_EQ(page->m_listSchedule.GetItemCount(), 0);
    EXPECT_EQ(page->PackSchedule(2), -1);
    // Set while the rows are not channel 2's sends nothing and leaves channel 2 as it is.
    page->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DrainPostedEvents();
    EXPECT_TRUE(host.Saved().empty());
    EXPECT_EQ(Words(2)[0], 0x82000000u);
    Reply(2);
    EXPECT_EQ(page->m_listSchedule.GetItemCount(), SCHEDULE_ENTRY_COUNT);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("Monday - Friday"));
    EXPECT_TRUE(Enabled(IDOK));
    // Hiding and showing empties the rows and forgets the channel.
    page->ShowWindow(SW_HIDE);
    page->ShowWindow(SW_SHOW);
    DrainPostedEvents();
    EXPECT_EQ(page->m_listSchedule.GetItemCount(), 0);
    EXPECT_EQ(ChannelCombo().GetCurSel(), -1);
    EXPECT_FALSE(Enabled(IDOK));
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Words(1)[0], 0x81000000u);
    EXPECT_EQ(Words(2)[0], 0x82000000u);
}

TEST_F(RecordPage, AllSetCopiesTheShownScheduleToThePickedChannelsOnly) {
    const std::vector<uint32_t> shown = {kWeekdays, 0x92000000u | 1800u << 12 | 2000u};
    struct Case {
        const char* title;
        std::vector<int> picked;
        std::vector<int> saved;  // channels whose save is posted, in order
    };
    const Case cases[] = {
        {"three channels", {0, 2, 3}, {0, 2, 3}},
        // Channel 4 already holds the shown schedule; channel 1 is the shown one.
        {"unchanged channels send nothing", {1, 4, 5}, {5}},
        {"channels the DVR does not have are passed over", {2, 7, 200}, {2}},
        {"nothing picked", {}, {}},
    };
    for (const Case& c : cases) {
        for (int ch = 0; ch < 6; ++ch)
            SetWords(ch, {0x80000000u | static_cast<uint32_t>(ch)});
        SetWords(4, shown);
        // The page shows channel 1's schedule (after another channel, so that it loads again).
        Choose(0);
        Reply(0);
        Load(1, shown);
        host.posts.clear();
        page->picked = c.picked;
        Press(IDC_SETUP_ALL_SET);
        EXPECT_EQ(host.Saved(), c.saved) << c.title;
        for (int ch = 0; ch < 6; ++ch) {
            bool picked = std::find(c.picked.begin(), c.picked.end(), ch) != c.picked.end();
            std::vector<uint32_t> expected = shown;
            expected.resize(SCHEDULE_ENTRY_COUNT);
            if (!picked && ch != 1 && ch != 4) {
                expected.assign(SCHEDULE_ENTRY_COUNT, 0u);
                expected[0] = 0x80000000u | static_cast<uint32_t>(ch);
            }
            EXPECT_EQ(Words(ch), expected) << c.title << ", channel " << ch;
        }
        // All Set shows no notice.
        EXPECT_EQ(page->m_nSavedCountdown, 0) << c.title;
    }
}

TEST_F(RecordPage, TextsOfEachLanguageFitAndAreDrawn) {
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        ApplyLanguage();
        Load(language % 2, {kWeekdays, 0x92000000u | 1800u << 12 | 2000u, 0x15000000u | 900u << 12 | 1200u,
                            0xAB000000u | 2359u});
        SelectRow(1);
        EXPECT_EQ(TextFitFaults(page->GetWidget()), QStringList()) << kLanguageNames[language];
        EXPECT_EQ(Cell(0, 4), TypeTextFor(language)) << kLanguageNames[language];
        page->m_nSavedCountdown = 0;
        page->GetDlgItem(IDC_SETUP_SAVED_NOTICE)->ShowWindow(SW_SHOW);
        DrainPostedEvents();
        EXPECT_TRUE(page->GetWidget()->grab().save(
            PicturePath(QStringLiteral("setup_record_%1.png").arg(kLanguageNames[language]))));
        page->GetDlgItem(IDC_SETUP_SAVED_NOTICE)->ShowWindow(SW_HIDE);
    }
    ApplyLanguage();
}

// --- Against the simulated DVR ---

TEST(RecordPageSimulatedDvr, LoadsChangesAndReloadsTheDvrsSchedule) {
    SimulatedDvrSession session;
    dvrsim::DvrSim& sim = session.sim();
    PageHost host;
    ASSERT_TRUE(host.CreateHost());
    CDlgSetupRecord page(&host);
    ASSERT_TRUE(page.Create(IDD_SETUP_RECORD, &host));
    ASSERT_TRUE(session.Start(&host, &page));
    page.ShowWindow(SW_SHOW);
    DrainPostedEvents();

    // The simulator's first entry: enabled, continuous, every day, 00:00 - 23:59.
    auto load = [&](int channel) {
        ChooseChannel(page, channel);
        return WaitUntil([&] { return page.IsLoaded() && page.m_listSchedule.GetItemCount() == 8; }, 10000);
    };
    ASSERT_TRUE(load(1));
    EXPECT_EQ(page.m_listSchedule.GetItemText(0, 1), QStringLiteral("Every day"));
    EXPECT_EQ(page.m_listSchedule.GetItemText(0, 3), QStringLiteral("23:59"));
    EXPECT_EQ(page.m_listSchedule.GetCheck(0), 1);
    // Entry 2 becomes Saturday - Sunday, 10:00 - 12:30, alarm recording, enabled.
    page.m_listSchedule.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    page.LoadEntryEditor(2);
    page.m_cboRange.SetCurSel(4);
    page.m_cboType.SetCurSel(2);
    page.m_timeBegin.SetDateTime(QDateTime(QDate::currentDate(), QTime(10, 0)));
    page.m_timeEnd.SetDateTime(QDateTime(QDate::currentDate(), QTime(12, 30)));
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RECORD_EDIT, BN_CLICKED), 0);
    page.m_listSchedule.SetCheck(2, TRUE);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return sim.CountRequests(DVR_REQ_SET_SCHEDULE) >= 1; }, 10000));

    // Shown again, channel 1 comes back from the DVR with the new entry and the others as they were;
    // channel 2 is untouched.
    page.ShowWindow(SW_HIDE);
    page.ShowWindow(SW_SHOW);
    ASSERT_TRUE(load(1));
    EXPECT_EQ(page.m_listSchedule.GetItemText(2, 1), QStringLiteral("Saturday - Sunday"));
    EXPECT_EQ(page.m_listSchedule.GetItemText(2, 2), QStringLiteral("10:00"));
    EXPECT_EQ(page.m_listSchedule.GetItemText(2, 3), QStringLiteral("12:30"));
    EXPECT_EQ(page.m_listSchedule.GetItemText(2, 4), QStringLiteral("Alarm recording"));
    EXPECT_EQ(page.m_listSchedule.GetCheck(2), 1);
    EXPECT_EQ(page.m_listSchedule.GetItemText(0, 1), QStringLiteral("Every day"));
    EXPECT_EQ(page.m_listSchedule.GetItemText(1, 1), QString());
    ASSERT_TRUE(load(2));
    EXPECT_EQ(page.m_listSchedule.GetItemText(2, 1), QString());
    EXPECT_EQ(page.m_listSchedule.GetCheck(2), 0);
    EXPECT_EQ(sim.CountRequests(DVR_REQ_SET_SCHEDULE), 1);

    page.DestroyWindow();
    host.DestroyWindow();
}

}  // namespace
