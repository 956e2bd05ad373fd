// The channel picker: its rows from the selected DVR, the mask OK returns (and its 256-channel bound),
// OK without a DVR, Cancel, and its texts in the three languages fitting their controls (pictures under
// tests/out/dlg_channel_<language>.png).

#include "ui/dialogs/dlg_channel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QHeaderView>
#include <QTimer>
#include <QTreeWidget>

#include "dvr/dvr_session.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/selected_device.h"

namespace {

void ClickHeadingBox(CDlgChannel& dlg) {
    auto* tree = qobject_cast<QTreeWidget*>(dlg.m_listChannel.GetWidget());
    emit tree->header()->sectionClicked(0);
}

std::vector<uint8_t> Mask(const CDlgChannel& dlg) {
    return std::vector<uint8_t>(dlg.m_pMask.get(), dlg.m_pMask.get() + CHANNEL_MASK_BYTES);
}

TEST(DlgChannel, ListsTheSelectedDevicesChannelsUnchecked) {
    SelectedDevice device(4, 2);
    ASSERT_TRUE(device.ok());
    CDlgChannel dlg;
    ASSERT_TRUE(dlg.Create(IDD_DLG_CHANNEL, nullptr));
    ASSERT_EQ(dlg.m_listChannel.GetItemCount(), 4);
    const char* names[] = {"Cam 0", "Cam 1", "", "Cam 3"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dlg.m_listChannel.GetItemText(i, 0), names[i]);
        EXPECT_EQ(dlg.m_listChannel.GetItemData(i), static_cast<uintptr_t>(i));
        EXPECT_EQ(dlg.m_listChannel.GetCheck(i), 0);
    }
    EXPECT_EQ(dlg.m_listChannel.GetHeaderCheckImage(), CHECK_IMAGE_UNCHECKED);
    EXPECT_EQ(dlg.m_listChannel.GetExtendedStyle(), 0x25u);
    EXPECT_EQ(Mask(dlg), std::vector<uint8_t>(CHANNEL_MASK_BYTES, 0));
    dlg.DestroyWindow();
}

TEST(DlgChannel, OkTurnsCheckedRowsIntoTheMask) {
    struct Case {
        const char* name;
        int channels;
        std::vector<int> checked;                    // rows; {-1}: the heading box
        int countAtOk;                               // channel count when OK is pressed
        std::vector<std::pair<int, uint8_t>> bytes;  // non-zero bytes of the mask
    };
    const Case cases[] = {
        {"channels 0 and 9", 16, {0, 9}, 16, {{0, 0x01}, {1, 0x02}}},
        {"none", 4, {}, 4, {}},
        {"check all of 12", 12, {-1}, 12, {{0, 0xFF}, {1, 0x0F}}},
        {"last of 256", 256, {255}, 256, {{31, 0x80}}},
        {"300 channels: only 256 listed", 300, {-1}, 300, {}},  // bytes filled below
        {"rows past the count at OK are left out", 8, {1, 6}, 4, {{0, 0x02}}},
    };
    for (const Case& c : cases) {
        SelectedDevice device(c.channels, 2);
        ASSERT_TRUE(device.ok()) << c.name;
        CDlgChannel dlg;
        ASSERT_TRUE(dlg.Create(IDD_DLG_CHANNEL, nullptr)) << c.name;
        EXPECT_EQ(dlg.m_listChannel.GetItemCount(), std::min(c.channels, CHANNEL_MASK_MAX)) << c.name;
        for (int row : c.checked) {
            if (row < 0)
                ClickHeadingBox(dlg);
            else
                dlg.m_listChannel.SetCheck(row, TRUE);
        }
        device.get()->channelCount = c.countAtOk;
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(dlg.IsWindowVisible()) << c.name;
        std::vector<uint8_t> expected(CHANNEL_MASK_BYTES, 0);
        if (c.channels > CHANNEL_MASK_MAX)
            expected.assign(CHANNEL_MASK_BYTES, 0xFF);
        for (const auto& [index, value] : c.bytes)
            expected[static_cast<size_t>(index)] = value;
        EXPECT_EQ(Mask(dlg), expected) << c.name;
        dlg.DestroyWindow();
    }
}

TEST(DlgChannel, OkWithoutADeviceStaysOpenAndCancelCloses) {
    SelectedDevice device(2, 2);
    ASSERT_TRUE(device.ok());
    CDlgChannel dlg;
    ASSERT_TRUE(dlg.Create(IDD_DLG_CHANNEL, nullptr));
    dlg.ShowWindow(SW_SHOW);
    dlg.m_listChannel.SetCheck(1, TRUE);
    g_currentDevice = nullptr;
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(Mask(dlg), std::vector<uint8_t>(CHANNEL_MASK_BYTES, 0));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
}

TEST(DlgChannel, RunsModallyAndReturnsTheChoice) {
    SelectedDevice device(4, 2);
    ASSERT_TRUE(device.ok());
    for (intptr_t answer : {IDOK, IDCANCEL}) {
        CDlgChannel dlg;
        QTimer::singleShot(0, [&dlg, answer] {
            dlg.m_listChannel.SetCheck(3, TRUE);
            dlg.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(answer), BN_CLICKED), 0);
        });
        EXPECT_EQ(dlg.DoModal(), answer);
        EXPECT_EQ(dlg.m_pMask[0], answer == IDOK ? 0x08 : 0x00);
    }
}

TEST(DlgChannel, TextsOfEachLanguageFitAndAreDrawn) {
    SelectedDevice device(4, 2);
    ASSERT_TRUE(device.ok());
    const char* titles[] = {"Please select channels",
                            "\xe8\xaf\xb7\xe9\x80\x89\xe6\x8b\xa9\xe9\x80\x9a\xe9\x81\x93",
                            "\xe8\xab\x8b\xe9\x81\xb8\xe6\x93\x87\xe9\x80\x9a\xe9\x81\x93"};
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        CDlgChannel dlg;
        ASSERT_TRUE(dlg.Create(IDD_DLG_CHANNEL, nullptr));
        EXPECT_EQ(dlg.GetWindowText(), QString::fromUtf8(titles[language]));
        EXPECT_EQ(TextFitFaults(dlg.GetWidget()), QStringList()) << kLanguageNames[language];
        dlg.m_listChannel.SetCheck(1, TRUE);
        dlg.ShowWindow(SW_SHOW);
        DrainPostedEvents();
        QDir().mkpath(QStringLiteral(VISTAL_TEST_OUT_DIR));
        EXPECT_TRUE(dlg.GetWidget()->grab().save(
            QStringLiteral(VISTAL_TEST_OUT_DIR "/dlg_channel_%1.png").arg(kLanguageNames[language])));
        dlg.DestroyWindow();
    }
}

}  // namespace
