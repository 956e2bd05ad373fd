// The updater's windows, offscreen: each state of the main dialog and the confirmation are drawn into
// PNG files under the build folder (tests/out/updater_*.png), and the whole dialog runs silently against
// an update server.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "platform/ui/range_ctrls.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/updater/test_zip.h"
#include "tools/updsrv/update_server.h"
#include "updater/dlg_retry.h"
#include "updater/updater_dialog_templates.h"
#include "updater/updater_dlg.h"
#include "updater/updater_messages.h"
#include "updater/updater_texts.h"

namespace {

QString OutPath(const QString& name) {
    return PicturePath(QStringLiteral("updater_%1.png").arg(name));
}

bool SavePicture(CWnd& wnd, const QString& name) {
    DrainPostedEvents();
    QPixmap picture = wnd.GetWidget()->grab();
    return !picture.isNull() && picture.save(OutPath(name));
}

QString TextOf(CWnd& dlg, UINT id) {
    return dlg.GetDlgItem(id)->GetWindowText();
}
bool Visible(CWnd& dlg, UINT id) {
    return dlg.GetDlgItem(id)->IsWindowVisible() != FALSE;
}

// Sets the locale that chooses the updater's language for the life of the object.
class ScopedLang {
public:
    explicit ScopedLang(const char* lang) : m_saved(qgetenv("LANG")), m_savedAll(qgetenv("LC_ALL")) {
        qunsetenv("LC_ALL");
        qputenv("LANG", lang);
    }
    ~ScopedLang() {
        qputenv("LANG", m_saved);
        if (!m_savedAll.isEmpty())
            qputenv("LC_ALL", m_savedAll);
    }

private:
    QByteArray m_saved;
    QByteArray m_savedAll;
};

// Two processes of a client found in its installation folder.
const std::vector<FoundProcess> kFoundClients = {{4711, QStringLiteral("/home/operator/vistal/Vistal")},
                                                 {4712, QStringLiteral("/home/operator/vistal/Vistal")}};

TEST(UpdaterWindow, EachStateIsDrawn) {
    ScopedLang lang("en_US.UTF-8");
    struct Case {
        const char* name;
        int state, value;
        UpdaterTextId text;
        bool updateNowShown, progressShown;
    };
    const Case cases[] = {
        {"checking", UPDATER_STATE_CHECKING, 0, TEXT_CHECKING, false, false},
        {"newer", UPDATER_STATE_RESULT, CHECK_RESULT_NEWER, TEXT_NEWER, true, false},
        {"check_failed", UPDATER_STATE_RESULT, CHECK_RESULT_FAILED, TEXT_CHECK_FAILED, false, false},
        {"up_to_date", UPDATER_STATE_RESULT, CHECK_RESULT_CURRENT, TEXT_UP_TO_DATE, false, false},
        {"updating", UPDATER_STATE_UPDATING, 0, TEXT_UPDATING, false, true},
        {"progress", UPDATER_STATE_PROGRESS, 20, TEXT_UPDATING, false, true},
        {"update_done", UPDATER_STATE_FINISHED, 1, TEXT_UPDATE_DONE, false, false},
        {"update_failed", UPDATER_STATE_FINISHED, 0, TEXT_UPDATE_FAILED, false, false},
    };
    CUpdaterDlg dlg(UpdaterPaths{}, 0);
    dlg.m_bStartWorker = false;
    ASSERT_TRUE(dlg.Create(&kUpdaterDialogTemplate, nullptr));
    EXPECT_EQ(dlg.GetWindowText(), QStringLiteral("Online Updater"));
    // The operator cannot drag the window to another size.
    EXPECT_EQ(dlg.GetWidget()->minimumSize(), dlg.GetWidget()->maximumSize());
    for (const Case& c : cases) {
        dlg.SetState(c.state, c.value);
        EXPECT_EQ(TextOf(dlg, IDC_UPDATER_STATE_TEXT), UpdaterText(c.text, 1)) << c.name;
        EXPECT_EQ(Visible(dlg, IDC_UPDATER_OK), c.updateNowShown) << c.name;
        EXPECT_EQ(Visible(dlg, IDC_UPDATER_PROGRESS), c.progressShown) << c.name;
        EXPECT_TRUE(Visible(dlg, IDC_UPDATER_CANCEL)) << c.name;
        EXPECT_TRUE(SavePicture(dlg, QString::fromLatin1(c.name))) << c.name;
    }
    // The progress position is the bar's.
    EXPECT_EQ(dynamic_cast<CProgressCtrl*>(dlg.GetDlgItem(IDC_UPDATER_PROGRESS))->GetPos(), 20);
    dlg.DestroyWindow();
}

TEST(UpdaterWindow, ChineseTextsAndConfirmation) {
    ScopedLang lang("zh_CN.UTF-8");
    CUpdaterDlg dlg(UpdaterPaths{}, 0);
    dlg.m_bStartWorker = false;
    ASSERT_TRUE(dlg.Create(&kUpdaterDialogTemplate, nullptr));
    dlg.SetState(UPDATER_STATE_RESULT, CHECK_RESULT_NEWER);
    EXPECT_EQ(dlg.GetWindowText(), UpdaterText(TEXT_CAPTION, 0));
    EXPECT_EQ(TextOf(dlg, IDC_UPDATER_OK), UpdaterText(TEXT_UPDATE_NOW, 0));
    EXPECT_TRUE(SavePicture(dlg, QStringLiteral("newer_chinese")));
    dlg.DestroyWindow();

    for (int english : {1, 0}) {
        CDlgRetry retry(english, nullptr, kFoundClients);
        ASSERT_TRUE(retry.Create(&kRetryDialogTemplate, nullptr));
        EXPECT_EQ(retry.GetWindowText(), UpdaterText(TEXT_RETRY_CAPTION, english));
        // The question, then the program found and its folder (two processes of one program: one line).
        EXPECT_EQ(TextOf(retry, IDC_RETRY_TEXT),
                  UpdaterText(TEXT_RETRY_MESSAGE, english) + QLatin1Char('\n') +
                      UpdaterText(TEXT_RETRY_FOUND, english)
                          .arg(QStringLiteral("Vistal"), QStringLiteral("/home/operator/vistal")));
        EXPECT_EQ(TextOf(retry, IDOK), UpdaterText(TEXT_RETRY_CONTINUE, english));
        EXPECT_TRUE(SavePicture(retry, english ? QStringLiteral("retry") : QStringLiteral("retry_chinese")));
        retry.DestroyWindow();
    }
}

// Every text each window can show fits its control, in both languages of the updater.
TEST(UpdaterWindow, EveryTextFitsItsControlInBothLanguages) {
    const UpdaterTextId stateTexts[] = {TEXT_CHECKING, TEXT_NEWER,       TEXT_CHECK_FAILED, TEXT_UP_TO_DATE,
                                        TEXT_UPDATING, TEXT_UPDATE_DONE, TEXT_UPDATE_FAILED};
    const UpdaterTextId okTexts[] = {TEXT_UPDATE_NOW};
    const UpdaterTextId cancelTexts[] = {TEXT_CANCEL, TEXT_FINISH};
    for (int english : {1, 0}) {
        ScopedLang lang(english ? "en_US.UTF-8" : "zh_CN.UTF-8");
        CUpdaterDlg dlg(UpdaterPaths{}, 0);
        dlg.m_bStartWorker = false;
        ASSERT_TRUE(dlg.Create(&kUpdaterDialogTemplate, nullptr));
        for (UpdaterTextId state : stateTexts) {
            for (UpdaterTextId ok : okTexts) {
                for (UpdaterTextId cancel : cancelTexts) {
                    dlg.GetDlgItem(IDC_UPDATER_STATE_TEXT)->SetWindowText(UpdaterText(state, english));
                    dlg.GetDlgItem(IDC_UPDATER_OK)->SetWindowText(UpdaterText(ok, english));
                    dlg.GetDlgItem(IDC_UPDATER_CANCEL)->SetWindowText(UpdaterText(cancel, english));
                    EXPECT_EQ(TextFitFaults(dlg.GetWidget()), QStringList()) << english;
                }
            }
        }
        dlg.DestroyWindow();

        CDlgRetry retry(english, nullptr, kFoundClients);
        ASSERT_TRUE(retry.Create(&kRetryDialogTemplate, nullptr));
        EXPECT_EQ(TextFitFaults(retry.GetWidget()), QStringList()) << english;
        retry.DestroyWindow();
    }
}

TEST(UpdaterWindow, SilentDialogEndsWhenTheCheckFails) {
    ScopedLang lang("en_US.UTF-8");
    UpdateServer server;
    ASSERT_EQ(server.Start(), 0);
    server.SetStatus(kUpdateDescriptionPath, 404);
    QByteArray savedHost = qgetenv("VISTAL_UPDATE_HOST");
    qputenv("VISTAL_UPDATE_HOST", server.HostPort());
    UpdaterPaths paths;
    paths.iniPath = QDir::temp().filePath(QStringLiteral("upd-test-%1.ini").arg(getpid()));
    CUpdaterDlg dlg(paths, 1);
    // A guard against a dialog that never ends.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.EndDialog(-5); });
    guard.start(20000);
    QElapsedTimer elapsed;
    elapsed.start();
    intptr_t result = dlg.DoModal();
    qputenv("VISTAL_UPDATE_HOST", savedHost);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(server.RequestCount(kUpdateDescriptionPath), 1);
    // It ended on the result, not on the auto-close timer.
    EXPECT_LT(elapsed.elapsed(), 1900);
}

TEST(UpdaterWindow, UpdateNowInstallsThePackage) {
    ScopedLang lang("en_US.UTF-8");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString package = dir.filePath(QStringLiteral("made.zip"));
    ASSERT_TRUE(WriteTestZip(package, {{"data/readme.txt", "installed"}}));
    const QByteArray bytes = ReadWholeFile(package);
    UpdateServer server;
    ASSERT_EQ(server.Start(), 0);
    server.SetFile(kUpdateDescriptionPath,
                   MakeUpdateDescription("99.0.0", server.UrlOf("/p.zip"),
                                         QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()));
    server.SetFile("/p.zip", bytes);
    QByteArray savedHost = qgetenv("VISTAL_UPDATE_HOST");
    qputenv("VISTAL_UPDATE_HOST", server.HostPort());
    UpdaterPaths paths =
        MakeUpdaterPaths(dir.filePath(QStringLiteral("install/")), dir.filePath(QStringLiteral("tmp")));
    ASSERT_TRUE(QDir().mkpath(paths.tempDir));
    CUpdaterDlg dlg(paths, 0);
    dlg.Logic().clientName = QStringLiteral("no-such-client-%1").arg(getpid());

    // The operator: presses "Update Now" once it is offered and "Finish" at the end.
    QStringList seen;
    QTimer operatorActions;
    QObject::connect(&operatorActions, &QTimer::timeout, [&] {
        if (dlg.GetSafeHwnd() == nullptr)
            return;
        QString text = TextOf(dlg, IDC_UPDATER_STATE_TEXT);
        if (seen.isEmpty() || seen.last() != text)
            seen << text;
        auto* button = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_UPDATER_OK)->GetWidget());
        if (text == UpdaterText(TEXT_NEWER, 1) && button != nullptr && button->isVisible())
            button->click();
        if (text == UpdaterText(TEXT_UPDATE_DONE, 1) || text == UpdaterText(TEXT_UPDATE_FAILED, 1))
            qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_UPDATER_CANCEL)->GetWidget())->click();
    });
    operatorActions.start(10);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.EndDialog(-5); });
    guard.start(20000);
    intptr_t result = dlg.DoModal();
    operatorActions.stop();
    qputenv("VISTAL_UPDATE_HOST", savedHost);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(seen.contains(UpdaterText(TEXT_NEWER, 1))) << seen.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(seen.last(), UpdaterText(TEXT_UPDATE_DONE, 1)) << seen.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(ReadWholeFile(paths.appDir + QStringLiteral("data/readme.txt")), "installed");
    // Ending the dialog removed the downloads.
    EXPECT_FALSE(QFileInfo::exists(paths.zipPath));
    EXPECT_FALSE(QFileInfo::exists(paths.iniPath));
}

// The description arrives only after the window is active and Cancel (the one button shown while checking)
// has the focus. "Update Now" then appears as the default button, and Enter presses it: the update starts.
TEST(UpdaterWindow, EnterUpdatesWhenTheResultArrivesAfterActivation) {
    ScopedLang lang("en_US.UTF-8");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CUpdaterDlg dlg(MakeUpdaterPaths(dir.filePath(QStringLiteral("install/")), dir.path()), 0);
    // No worker: the test answers the check itself, through the window's message queue as the worker does.
    dlg.m_bStartWorker = false;
    QStringList steps;
    int step = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (dlg.GetSafeHwnd() == nullptr)
            return;
        QWidget* window = dlg.GetWidget();
        auto* updateNow = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_UPDATER_OK)->GetWidget());
        auto* cancel = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_UPDATER_CANCEL)->GetWidget());
        const QString text = TextOf(dlg, IDC_UPDATER_STATE_TEXT);
        if (step == 0 && window->isActiveWindow() && QApplication::focusWidget() == cancel) {
            steps << QStringLiteral("active, Cancel focused") +
                         (cancel->isDefault() ? QStringLiteral(" and default") : QString());
            ::PostMessage(dlg.GetSafeHwnd(), WM_UPDATE_CHECKED, CHECK_RESULT_NEWER, 0);
            step = 1;
        } else if (step == 1 && text == UpdaterText(TEXT_NEWER, 1)) {
            // The operator presses Enter on what the window shows.
            QWidget* focus = QApplication::focusWidget();
            steps << (focus == updateNow ? QStringLiteral("newer: Update Now focused")
                                         : QStringLiteral("newer: focus elsewhere")) +
                         (updateNow->isDefault() && !cancel->isDefault() ? QStringLiteral(" and default")
                                                                         : QString());
            QTest::keyClick(focus != nullptr ? focus : window, Qt::Key_Return);
            step = 2;
        } else if (step == 2 && text == UpdaterText(TEXT_UPDATING, 1)) {
            steps << QStringLiteral("updating");
            dlg.EndDialog(77);
        }
    });
    driver.start(10);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.EndDialog(-5); });
    guard.start(20000);
    intptr_t result = dlg.DoModal();
    driver.stop();
    // Enter on Cancel would have ended the dialog with IDCANCEL.
    EXPECT_EQ(result, 77);
    EXPECT_EQ(steps.join(QLatin1Char('|')).toStdString(),
              "active, Cancel focused and default|newer: Update Now focused and default|updating");
}

}  // namespace
