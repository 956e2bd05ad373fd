// The audio and video page: its value lists, the replies selecting the channel's values (values no item
// carries select item 0), Set and All Set writing only what changed into the chosen channels' records with
// the posts that follow, combos without a selection keeping the record's value, Set waiting for both
// halves of the load, the language switch, and the texts fitting in the three languages (pictures
// setup_video_<language>.png).

#include "ui/dialogs/setup_video.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/setup_page_fixture.h"
#include "ui/dialogs/dialog_texts.h"

namespace {

// The page with the channel picker answered by the test.
class TestVideoPage : public CDlgSetupVideo {
public:
    using CDlgSetupVideo::CDlgSetupVideo;
    std::vector<int> pickedChannels;
    intptr_t pickerAnswer = IDOK;

protected:
    intptr_t RunChannelPicker(uint8_t* mask) override {
        for (int ch : pickedChannels)
            mask[ch / 8] = static_cast<uint8_t>(mask[ch / 8] | 1u << (ch % 8));
        return pickerAnswer;
    }
};

void SetValues(DVRChannel& ch, int step) {
    ch.resolution = 4 + step % 2;
    ch.subResolution = 1;
    ch.quality = 2;
    ch.subQuality = 3;
    ch.frameRate = 2500;
    ch.subFrameRate = 1200;
    ch.sampleRate = 8000;
    ch.bitsPerSample = 16;
    ch.audioQuality = 1;
    ch.audioEnabled = 1;
}

class VideoPageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.ok());
        for (int i = 0; i < 4; ++i)
            SetValues(device.get()->channels[i], i);
        ASSERT_TRUE(page.Create(IDD_SETUP_VIDEO, &host.window));
        page.ShowWindow(SW_SHOW);
    }
    void TearDown() override { page.DestroyWindow(); }

    // Chooses channel ch in the combo as the operator does.
    void Choose(int ch) {
        for (int item = 0; item < page.m_cboChannel.GetCount(); ++item) {
            if (page.m_cboChannel.GetItemData(item) == static_cast<uintptr_t>(ch))
                page.m_cboChannel.SetCurSel(item);
        }
        page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SETUP_CHANNEL, CBN_SELCHANGE), 0);
    }
    // Chooses channel ch and answers its load as the DVR does: video, audio, network stream.
    void Load(int ch) {
        Choose(ch);
        Reply(page, SETUP_REPLY_VIDEO, ch);
        Reply(page, SETUP_REPLY_AUDIO, ch);
        Reply(page, SETUP_REPLY_VIDEO, ch);
        host.Take({WM_SETUP_LOAD, WM_PREVIEW_OPEN, WM_PREVIEW_CLOSE});
    }
    QString Shown(CComboBox& combo) {
        QString text;
        if (combo.GetCurSel() >= 0)
            combo.GetLBText(combo.GetCurSel(), text);
        return text;
    }
    DVRChannel& Channel(int ch) { return device.get()->channels[ch]; }

    SelectedSetupDevice device{4};
    SetupHost host;
    TestVideoPage page{&host.window};
};

Post Apply(WPARAM part, int ch) {
    return {WM_SETUP_APPLY, part, ch};
}
Post Save(int ch) {
    return {WM_SETUP_SAVE, SETUP_PAGE_VIDEO, ch};
}

TEST_F(VideoPageFixture, ValueListsAndTheValuesTheRepliesSelect) {
    const QStringList streamResolutions = {"D1", "4CIF", "HD1", "CIF", "QCIF"};
    ASSERT_EQ(page.m_cboResolution2.GetCount(), 5);
    for (int i = 0; i < 5; ++i) {
        QString text;
        page.m_cboResolution2.GetLBText(i, text);
        EXPECT_EQ(text, streamResolutions[i]);
    }
    EXPECT_EQ(page.m_cboResolution.GetCount(), 9);
    EXPECT_EQ(page.m_cboFrameRate.GetCount(), 30);
    EXPECT_EQ(page.m_cboFrameRate.GetCurSel(), -1);

    struct Case {
        const char* name;
        int32_t resolution, frameRate, sampleRate;
        QString resolutionText, frameRateText, sampleRateText;
    };
    const Case cases[] = {
        {"stored values", 6, 2500, 16000, "720P", "25", "16000"},
        // A value no item carries selects nothing: Set keeps it (see below).
        {"resolution code 9 and rate 2550 carry no item", 9, 2550, 8000, "", "", "8000"},
        {"lowest, with a sample rate no item carries", 0, 100, 11025, "QCIF", "1", ""},
    };
    for (const Case& c : cases) {
        Channel(2).resolution = c.resolution;
        Channel(2).frameRate = c.frameRate;
        Channel(2).sampleRate = c.sampleRate;
        page.ShowWindow(SW_HIDE);
        page.ShowWindow(SW_SHOW);
        Load(2);
        EXPECT_EQ(Shown(page.m_cboResolution), c.resolutionText) << c.name;
        EXPECT_EQ(Shown(page.m_cboFrameRate), c.frameRateText) << c.name;
        EXPECT_EQ(Shown(page.m_cboSampleRate), c.sampleRateText) << c.name;
        EXPECT_EQ(page.m_cboQuality2.GetCurSel(), 3) << c.name;
        EXPECT_EQ(Shown(page.m_cboFrameRate2), "12") << c.name;
        EXPECT_EQ(page.m_chkAudio.GetCheck(), 1) << c.name;
    }
}

TEST_F(VideoPageFixture, SetWritesWhatChangedAndPostsTheSave) {
    struct Case {
        const char* name;
        std::function<void(TestVideoPage&)> edit;
        std::function<void(DVRChannel&)> expect;
        std::vector<Post> posts;
    };
    const Case cases[] = {
        {"nothing changed", [](TestVideoPage&) {}, [](DVRChannel&) {}, {}},
        {"only the audio box",
         [](TestVideoPage& p) { p.m_chkAudio.SetCheck(0); },
         [](DVRChannel& c) { c.audioEnabled = 0; },
         {Apply(1, 1), Save(1)}},
        {"stream frame rate",
         [](TestVideoPage& p) { p.m_cboFrameRate2.SetCurSel(0); },
         [](DVRChannel& c) { c.subFrameRate = 3000; },
         {Apply(0, 1), Save(1)}},
        {"both halves",
         [](TestVideoPage& p) {
             p.m_cboResolution.SetCurSel(0);
             p.m_cboBits.SetCurSel(1);
         },
         [](DVRChannel& c) {
             c.resolution = 8;
             c.bitsPerSample = 8;
         },
         {Apply(0, 1), Apply(1, 1), Save(1)}},
        {"combos without a selection keep the record's values",
         [](TestVideoPage& p) {
             p.m_cboResolution.SetCurSel(-1);
             p.m_cboSampleRate.SetCurSel(-1);
             p.m_cboQuality.SetCurSel(4);
         },
         [](DVRChannel& c) { c.quality = 4; },
         {Apply(0, 1), Save(1)}},
    };
    for (const Case& c : cases) {
        SetValues(Channel(1), 1);
        Load(1);
        page.m_nSavedCountdown = 0;
        DVRChannel expected;
        std::memcpy(static_cast<void*>(&expected), &Channel(1), offsetof(DVRChannel, videoHeader));
        c.expect(expected);
        c.edit(page);
        Click(page, IDOK);
        EXPECT_EQ(std::memcmp(&expected, &Channel(1), offsetof(DVRChannel, videoHeader)), 0) << c.name;
        EXPECT_EQ(Posts(host.Take({WM_SETUP_APPLY, WM_SETUP_SAVE})), c.posts) << c.name;
        EXPECT_EQ(page.m_nSavedCountdown, c.posts.empty() ? 0 : SAVED_NOTICE_TICKS) << c.name;
        // The channels not chosen are untouched.
        EXPECT_EQ(Channel(0).audioEnabled, 1) << c.name;
    }
}

TEST_F(VideoPageFixture, AValueNoItemCarriesStaysWhenOnlyAudioChanges) {
    // 960H (5) is above the stream list's highest item: the list selects nothing and Set keeps 960H.
    SetValues(Channel(1), 1);
    Channel(1).subResolution = 5;
    Channel(1).subQuality = 9;
    Load(1);
    EXPECT_EQ(page.m_cboResolution2.GetCurSel(), -1);
    EXPECT_EQ(page.m_cboQuality2.GetCurSel(), -1);
    page.m_chkAudio.SetCheck(0);
    Click(page, IDOK);
    EXPECT_EQ(Channel(1).subResolution, 5);
    EXPECT_EQ(Channel(1).subQuality, 9);
    EXPECT_EQ(Channel(1).audioEnabled, 0);
    EXPECT_EQ(Posts(host.Take({WM_SETUP_APPLY, WM_SETUP_SAVE})), (std::vector<Post>{Apply(1, 1), Save(1)}));
}

TEST_F(VideoPageFixture, SetWaitsForBothHalvesOfTheChosenChannel) {
    Choose(1);
    Reply(page, SETUP_REPLY_VIDEO, 1);
    // The audio box is still cleared from the show: Set now would turn the channel's audio off.
    EXPECT_FALSE(page.GetDlgItem(IDOK)->IsWindowEnabled());
    Click(page, IDOK);
    EXPECT_EQ(Channel(1).audioEnabled, 1);
    // A reply for the channel chosen before fills nothing.
    Choose(3);
    Channel(1).frameRate = 500;
    Reply(page, SETUP_REPLY_VIDEO, 1);
    Reply(page, SETUP_REPLY_AUDIO, 1);
    EXPECT_NE(Shown(page.m_cboFrameRate), "5");
    EXPECT_FALSE(page.GetDlgItem(IDOK)->IsWindowEnabled());
    Reply(page, SETUP_REPLY_AUDIO, 3);
    Reply(page, SETUP_REPLY_VIDEO, 3);
    EXPECT_TRUE(page.GetDlgItem(IDOK)->IsWindowEnabled());
    EXPECT_EQ(Shown(page.m_cboFrameRate), "25");
    EXPECT_TRUE(host.Take({WM_SETUP_SAVE, WM_SETUP_APPLY}).empty());
}

TEST_F(VideoPageFixture, AllSetWritesThePickedChannelsOnly) {
    Load(0);
    page.m_chkAudio.SetCheck(0);
    page.pickedChannels = {0, 2, 3};
    Channel(3).resolution = Channel(0).resolution;
    Channel(3).audioEnabled = 0;  // already as the controls are: nothing to save there
    Click(page, IDC_SETUP_ALL_SET);
    EXPECT_EQ(Posts(host.Take({WM_SETUP_APPLY, WM_SETUP_SAVE})),
              (std::vector<Post>{Apply(1, 0), Save(0), Apply(1, 2), Save(2)}));
    const int32_t audio[] = {0, 1, 0, 0};
    for (int ch = 0; ch < 4; ++ch)
        EXPECT_EQ(Channel(ch).audioEnabled, audio[ch]) << ch;
    EXPECT_EQ(page.m_nSavedCountdown, 0);

    page.pickerAnswer = IDCANCEL;
    page.m_cboQuality.SetCurSel(0);
    Click(page, IDC_SETUP_ALL_SET);
    EXPECT_TRUE(host.Take({WM_SETUP_APPLY, WM_SETUP_SAVE}).empty());
    EXPECT_EQ(Channel(1).quality, 2);
}

TEST_F(VideoPageFixture, LanguageSwitchKeepsTheQualitySelections) {
    Load(1);
    page.m_cboAudioQuality.SetCurSel(4);
    page.PostMessage(WM_APPLY_LANGUAGE, 0, 0);
    DrainPostedEvents();
    CComboBox* combos[] = {&page.m_cboQuality, &page.m_cboQuality2, &page.m_cboAudioQuality};
    const int selected[] = {2, 3, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(combos[i]->GetCount(), 5);
        EXPECT_EQ(combos[i]->GetCurSel(), selected[i]);
    }
    EXPECT_EQ(Shown(page.m_cboResolution), "960H");
}

TEST(VideoPagePictures, TextsOfEachLanguageFit) {
    SelectedSetupDevice device(4);
    ASSERT_TRUE(device.ok());
    SetValues(device.get()->channels[0], 0);
    SetupHost host;
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        TestVideoPage page(&host.window);
        ASSERT_TRUE(page.Create(IDD_SETUP_VIDEO, &host.window));
        page.ShowWindow(SW_SHOW);
        page.m_cboChannel.SetCurSel(0);
        page.SelectChannel(0);
        Reply(page, SETUP_REPLY_VIDEO, 0);
        Reply(page, SETUP_REPLY_AUDIO, 0);
        page.m_nSavedCountdown = 2;
        page.SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0);
        EXPECT_EQ(TextFitFaults(page.GetWidget(), true), QStringList()) << kLanguageNames[language];
        EXPECT_TRUE(page.GetWidget()->grab().save(
            PicturePath(QStringLiteral("setup_video_%1.png").arg(kLanguageNames[language]))));
        page.DestroyWindow();
    }
}

}  // namespace
