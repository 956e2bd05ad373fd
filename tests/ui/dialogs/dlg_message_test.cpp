// The snapshot notice: its outcomes on the PopupMessage setting, and its texts in the three built-in
// languages, which fit their controls (pictures under tests/out/dlg_message_<language>.png).

#include "ui/dialogs/dlg_message.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QTest>
#include <QTimer>

#include "core/system_settings.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/ui/dialogs/language_fixture.h"

namespace {

enum class Close { Enter, Escape, CloseBox };

TEST(DlgMessage, OkWithTheBoxCheckedTurnsTheNoticeOffAndCancelChangesNothing) {
    struct Case {
        const char* name;
        bool checkBox;
        Close close;
        intptr_t result;
        int popupAfter;
    };
    const Case cases[] = {
        {"OK", false, Close::Enter, IDOK, 1},
        {"checked, OK", true, Close::Enter, IDOK, 0},
        {"checked, Esc", true, Close::Escape, IDCANCEL, 1},
        {"checked, close box", true, Close::CloseBox, IDCANCEL, 1},
        {"Esc", false, Close::Escape, IDCANCEL, 1},
    };
    for (const Case& c : cases) {
        g_systemSettings.PopupMessage = 1;
        CDlgMessage dlg(QStringLiteral("/home/user/Snapshots/DVR1_01.jpg"));
        bool startedUnchecked = false;
        QTimer::singleShot(0, [&] {
            startedUnchecked = dlg.m_checkShow.GetCheck() == BST_UNCHECKED;
            QWidget* window = dlg.GetWidget();
            if (c.checkBox)
                QTest::mouseClick(dlg.m_checkShow.GetWidget(), Qt::LeftButton, {}, QPoint(4, 4));
            if (c.close == Close::Enter)
                QTest::keyClick(window, Qt::Key_Return);
            else if (c.close == Close::Escape)
                QTest::keyClick(window, Qt::Key_Escape);
            else
                window->close();
        });
        EXPECT_EQ(dlg.DoModal(), c.result) << c.name;
        EXPECT_TRUE(startedUnchecked) << c.name;
        EXPECT_EQ(g_systemSettings.PopupMessage, c.popupAfter) << c.name;
    }
    g_systemSettings.PopupMessage = 1;
}

TEST(DlgMessage, TextsOfEachLanguageFitAndAreDrawn) {
    g_systemSettings.PopupMessage = 1;  // as callers show it
    const char* okTexts[] = {"OK", "\xe7\xa1\xae\xe5\xae\x9a", "\xe7\xa2\xba\xe5\xae\x9a"};
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        CDlgMessage dlg(QStringLiteral("C:\\Snapshots\\DVR1_01_20261210_170812.jpg"));
        ASSERT_TRUE(dlg.Create(IDD_DLG_MESSAGE, nullptr));
        EXPECT_EQ(dlg.GetDlgItem(IDOK)->GetWindowText(), QString::fromUtf8(okTexts[language]));
        EXPECT_EQ(dlg.m_text.GetWindowText(), QStringLiteral("C:\\Snapshots\\DVR1_01_20261210_170812.jpg"));
        EXPECT_EQ(TextFitFaults(dlg.GetWidget()), QStringList()) << kLanguageNames[language];
        dlg.ShowWindow(SW_SHOW);
        DrainPostedEvents();
        QDir().mkpath(QStringLiteral(VISTAL_TEST_OUT_DIR));
        EXPECT_TRUE(dlg.GetWidget()->grab().save(
            QStringLiteral(VISTAL_TEST_OUT_DIR "/dlg_message_%1.png").arg(kLanguageNames[language])));
        dlg.DestroyWindow();
    }
}

}  // namespace
