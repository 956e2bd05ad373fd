#include "updater/updater_dialog_logic.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "platform/system/clock.h"
#include "tests/updater/fixture_process.h"
#include "tests/updater/test_zip.h"
#include "tools/updsrv/update_server.h"
#include "updater/updater_messages.h"
#include "updater/updater_texts.h"

namespace {

// A window stand-in that records what the dialog shows and whose timers run only when the test ticks
// them.
class FakeHost : public UpdaterDialogHost {
public:
    void SetItemText(UINT id, const QString& text) override { texts[id] = text; }
    void ShowItem(UINT id, bool show) override { shown[id] = show; }
    void SetProgressRange(int, int high) override { progressHigh = high; }
    void SetProgressPos(int pos) override { progress = pos; }
    int GetProgressPos() const override { return progress; }
    void SetTimer(uintptr_t id, UINT) override { timers[id] = true; }
    void KillTimer(uintptr_t id) override { timers[id] = false; }
    void EndDialog(int result) override {
        if (endResult < 0)
            endResult = result;
    }
    bool ConfirmClientClose(int, const std::vector<FoundProcess>& found) override {
        ++confirmations;
        confirmed = found;
        return confirmAnswer;
    }
    void FocusItem(UINT id) override { focused = id; }
    void Pause(int) override {
        if (onPause)
            onPause();
    }
    void PostFromWorker(UINT msg, WPARAM wParam) override {
        std::lock_guard<std::mutex> guard(lock);
        posted.emplace_back(msg, wParam);
        arrived.notify_all();
    }

    void Reset() {
        texts.clear();
        shown.clear();
        timers.clear();
        endResult = -1;
        focused = 0;
    }

    // Delivers one tick of a running timer.
    void Tick(UpdaterDialogLogic& logic, uintptr_t id) {
        if (timers[id])
            logic.OnTimer(id);
    }
    // Waits (bounded) for the worker's next reply and hands it to the dialog.
    bool DeliverNext(UpdaterDialogLogic& logic, UINT* msg = nullptr) {
        std::unique_lock<std::mutex> guard(lock);
        if (!arrived.wait_for(guard, std::chrono::seconds(10), [this] { return !posted.empty(); }))
            return false;
        auto [m, w] = posted.front();
        posted.pop_front();
        guard.unlock();
        if (msg != nullptr)
            *msg = m;
        logic.OnWorkerMessage(m, w);
        return true;
    }

    std::map<UINT, QString> texts;
    std::map<UINT, bool> shown;
    std::map<uintptr_t, bool> timers;
    int progress = -1;
    int progressHigh = 0;
    int endResult = -1;
    int confirmations = 0;
    std::vector<FoundProcess> confirmed;  // the clients the last confirmation named
    UINT focused = 0;                     // the control last given the focus
    bool confirmAnswer = true;
    std::function<void()> onPause;  // what the operator does while the closing pauses
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<std::pair<UINT, WPARAM>> posted;
};

QString English(UpdaterTextId id) {
    return UpdaterText(id, 1);
}

class DialogLogicTest : public ::testing::Test {
protected:
    void Start(int silent, bool startWorker = false) {
        m_logic = std::make_unique<UpdaterDialogLogic>(&m_host, silent);
        m_logic->clientName = m_clients.Name();
        m_logic->OnInitDialog(m_files, 1, startWorker);
    }
    // The installation folder, where the clients run from.
    QString InstallFolder() {
        const QString install = m_dir.filePath(QStringLiteral("install"));
        EXPECT_TRUE(QDir().mkpath(install));
        return install;
    }
    // An update server offering version 9.0.0 with the package at /p.zip (hash as given), and the
    // installation folder; m_files point at both.
    QString ServeUpdate(UpdateServer& server, const QByteArray& hash) {
        EXPECT_EQ(server.Start(), 0);
        const QString install = InstallFolder();
        server.SetFile(kUpdateDescriptionPath, MakeUpdateDescription("9.0.0", server.UrlOf("/p.zip"), hash));
        m_files = {UpdateDescriptionUrl(QString::fromLatin1(server.HostPort())),
                   m_dir.filePath(QStringLiteral("u.ini")), m_dir.filePath(QStringLiteral("u.zip")),
                   install + QStringLiteral("/Vistal"), install};
        return install;
    }
    void TearDown() override {
        if (m_logic)
            m_logic->DestroyWindow();
    }

    QTemporaryDir m_dir;
    FixtureClients m_clients{InstallFolder()};
    UpdateFiles m_files{QString(), QString(), QString(), QString(), m_clients.Folder()};
    FakeHost m_host;
    std::unique_ptr<UpdaterDialogLogic> m_logic;
};

TEST_F(DialogLogicTest, StatesShowTheirTexts) {
    Start(0);
    EXPECT_EQ(m_host.texts[0], QStringLiteral("Online Updater"));
    EXPECT_EQ(m_host.texts[IDC_UPDATER_OK], QStringLiteral("Update Now"));
    struct Case {
        int state, value;
        UpdaterTextId text, button2;
        bool progress, button1;
    };
    const Case cases[] = {
        {UPDATER_STATE_CHECKING, 0, TEXT_CHECKING, TEXT_CANCEL, false, false},
        {UPDATER_STATE_RESULT, CHECK_RESULT_NEWER, TEXT_NEWER, TEXT_CANCEL, false, true},
        {UPDATER_STATE_RESULT, CHECK_RESULT_FAILED, TEXT_CHECK_FAILED, TEXT_CANCEL, false, false},
        {UPDATER_STATE_RESULT, CHECK_RESULT_CURRENT, TEXT_UP_TO_DATE, TEXT_FINISH, false, false},
        {UPDATER_STATE_UPDATING, 0, TEXT_UPDATING, TEXT_CANCEL, true, false},
        {UPDATER_STATE_FINISHED, 1, TEXT_UPDATE_DONE, TEXT_FINISH, false, false},
        {UPDATER_STATE_FINISHED, 0, TEXT_UPDATE_FAILED, TEXT_FINISH, false, false},
    };
    for (const Case& c : cases) {
        m_host.focused = 0;
        m_logic->SetState(c.state, c.value);
        EXPECT_EQ(m_host.texts[IDC_UPDATER_STATE_TEXT], English(c.text)) << c.state << "/" << c.value;
        // "Update Now" takes the focus whenever it appears, so that Enter presses it.
        EXPECT_EQ(m_host.focused == IDC_UPDATER_OK, c.button1) << c.state << "/" << c.value;
        EXPECT_EQ(m_host.texts[IDC_UPDATER_CANCEL], English(c.button2)) << c.state << "/" << c.value;
        EXPECT_EQ(m_host.shown[IDC_UPDATER_PROGRESS], c.progress) << c.state << "/" << c.value;
        EXPECT_EQ(m_host.shown[IDC_UPDATER_OK], c.button1) << c.state << "/" << c.value;
        EXPECT_TRUE(m_host.shown[IDC_UPDATER_CANCEL]);
    }
    // Progress keeps the texts and shows the bar at the position.
    m_logic->SetState(UPDATER_STATE_PROGRESS, 20);
    EXPECT_EQ(m_host.progress, 20);
    EXPECT_TRUE(m_host.shown[IDC_UPDATER_PROGRESS]);
    EXPECT_EQ(m_host.texts[IDC_UPDATER_STATE_TEXT], English(TEXT_UPDATE_FAILED));
    // Interactive: nothing ends the dialog by itself and no auto-close timer runs.
    EXPECT_EQ(m_host.endResult, -1);
    EXPECT_FALSE(m_host.timers[TIMER_AUTO_CLOSE]);
}

TEST_F(DialogLogicTest, SilentClosingTimes) {
    struct Case {
        const char* what;
        int result;          // the check result that arrives (-1: none arrives)
        int ticksBefore;     // ticks of the auto-close timer before the result
        int endsAfterTicks;  // ticks after the result until the dialog ends (0: at once)
    };
    const Case cases[] = {
        {"failed check ends at once", CHECK_RESULT_FAILED, 1, 0},
        {"up to date ends at once", CHECK_RESULT_CURRENT, 0, 0},
        {"newer ends 2 ticks after the result", CHECK_RESULT_NEWER, 1, 2},
        {"slow check ends 2 ticks after checking began", -1, 0, 2},
    };
    for (const Case& c : cases) {
        m_host.Reset();
        Start(1);
        ASSERT_TRUE(m_host.timers[TIMER_AUTO_CLOSE]) << c.what;
        for (int i = 0; i < c.ticksBefore; ++i)
            m_host.Tick(*m_logic, TIMER_AUTO_CLOSE);
        if (c.result >= 0)
            m_logic->OnWorkerMessage(WM_UPDATE_CHECKED, WPARAM(c.result));
        int ticks = 0;
        while (m_host.endResult < 0 && ticks < 10) {
            m_host.Tick(*m_logic, TIMER_AUTO_CLOSE);
            ++ticks;
        }
        EXPECT_EQ(m_host.endResult, IDCANCEL_RESULT) << c.what;
        EXPECT_EQ(ticks, c.endsAfterTicks) << c.what;
        m_logic->DestroyWindow();
        EXPECT_FALSE(m_host.timers[TIMER_AUTO_CLOSE]) << c.what;
    }
}

TEST_F(DialogLogicTest, SilentUpdateNowStopsAutoClose) {
    Start(1);
    m_logic->OnWorkerMessage(WM_UPDATE_CHECKED, CHECK_RESULT_NEWER);
    m_host.Tick(*m_logic, TIMER_AUTO_CLOSE);
    // No client runs: no confirmation. Without a worker the update goes no further.
    m_logic->OnOK();
    EXPECT_EQ(m_host.confirmations, 0);
    EXPECT_EQ(m_host.texts[IDC_UPDATER_STATE_TEXT], English(TEXT_UPDATING));
    EXPECT_FALSE(m_host.timers[TIMER_AUTO_CLOSE]);
    EXPECT_FALSE(m_host.timers[TIMER_PROGRESS_ANIMATION]);
    for (int i = 0; i < 5; ++i)
        m_host.Tick(*m_logic, TIMER_AUTO_CLOSE);
    EXPECT_EQ(m_host.endResult, -1);
    // The finished state closes the silent dialog at once.
    m_logic->OnWorkerMessage(WM_UPDATE_DONE, 1);
    EXPECT_EQ(m_host.endResult, IDCANCEL_RESULT);
}

TEST_F(DialogLogicTest, ProgressAnimationWraps) {
    Start(0);
    m_host.timers[TIMER_PROGRESS_ANIMATION] = true;
    m_host.progress = 19;
    m_host.Tick(*m_logic, TIMER_PROGRESS_ANIMATION);
    EXPECT_EQ(m_host.progress, 20);
    m_host.Tick(*m_logic, TIMER_PROGRESS_ANIMATION);
    EXPECT_EQ(m_host.progress, 0);
    EXPECT_FALSE(m_logic->OnTimer(0x9999));
}

TEST_F(DialogLogicTest, DeclinedConfirmationEndsWithoutUpdate) {
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_GT(m_clients.Start({QStringLiteral("ignore")}), 0);
    Start(0, true);
    ASSERT_TRUE(m_host.DeliverNext(*m_logic));  // the check against nothing fails
    m_host.confirmAnswer = false;
    m_logic->OnOK();
    EXPECT_EQ(m_host.confirmations, 1);
    EXPECT_EQ(m_host.endResult, IDCANCEL_RESULT);
    EXPECT_FALSE(m_host.timers[TIMER_PROGRESS_ANIMATION]);
}

TEST_F(DialogLogicTest, CancelWhileClosingLeavesTheClientRunning) {
    ASSERT_TRUE(m_dir.isValid());
    // A client that answers the close request but never ends: without the cancel it would be terminated
    // right after its (here short) grace period.
    pid_t pid = m_clients.Start({QStringLiteral("ignore")});
    ASSERT_GT(pid, 0);
    Start(0, true);
    ASSERT_TRUE(m_host.DeliverNext(*m_logic));
    m_logic->closeTiming.graceMs = 0;
    m_logic->closeTiming.passDelayMs = 10;
    int pauses = 0;
    m_host.onPause = [&] {
        if (++pauses == 3)  // after both close requests
            m_logic->OnCancel();
        EXPECT_EQ(m_host.endResult, -1) << "the dialog ends only once the closing has stopped";
    };
    m_logic->OnOK();
    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(m_host.endResult, IDCANCEL_RESULT);
    EXPECT_EQ(IsProcessRunning(m_clients.Name(), m_clients.Folder()), 1);
    EXPECT_FALSE(m_host.timers[TIMER_PROGRESS_ANIMATION]);
    // Outside the closing, Cancel ends the dialog at once.
    m_host.Reset();
    m_logic->OnCancel();
    EXPECT_EQ(m_host.endResult, IDCANCEL_RESULT);
}

TEST_F(DialogLogicTest, WholeUpdateThroughTheWorker) {
    ASSERT_TRUE(m_dir.isValid());
    const QString package = m_dir.filePath(QStringLiteral("made.zip"));
    ASSERT_TRUE(WriteTestZip(package, {{"readme.txt", "new"}}));
    const QByteArray bytes = ReadWholeFile(package);
    UpdateServer server;
    const QString install =
        ServeUpdate(server, QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
    server.SetFile("/p.zip", bytes);
    // A client that obeys the close request runs; the operator confirms.
    pid_t client =
        m_clients.Start({QStringLiteral("obey"), QStringLiteral("0"), m_dir.filePath(QStringLiteral("m"))});
    ASSERT_GT(client, 0);

    Start(0, true);
    ASSERT_TRUE(m_host.DeliverNext(*m_logic));
    ASSERT_EQ(m_host.texts[IDC_UPDATER_STATE_TEXT], English(TEXT_NEWER));
    m_logic->OnOK();
    EXPECT_EQ(m_host.confirmations, 1);
    // The confirmation names the client of the installation folder.
    ASSERT_EQ(m_host.confirmed.size(), 1u);
    EXPECT_EQ(m_host.confirmed[0].pid, client);
    EXPECT_EQ(m_host.confirmed[0].executable, m_clients.Path());
    EXPECT_NE(m_clients.WaitEnded(client, 5000), -1);
    EXPECT_TRUE(m_host.timers[TIMER_PROGRESS_ANIMATION]);
    UINT msg = 0;
    ASSERT_TRUE(m_host.DeliverNext(*m_logic, &msg));
    EXPECT_EQ(msg, WM_UPDATE_PROGRESS);
    EXPECT_EQ(m_host.progress, UPDATE_PROGRESS_MAX);
    ASSERT_TRUE(m_host.DeliverNext(*m_logic, &msg));
    EXPECT_EQ(msg, WM_UPDATE_DONE);
    EXPECT_EQ(m_host.texts[IDC_UPDATER_STATE_TEXT], English(TEXT_UPDATE_DONE));
    EXPECT_EQ(ReadWholeFile(install + QStringLiteral("/readme.txt")), "new");
    // Ending the dialog stops the timers and removes the downloaded files.
    EXPECT_TRUE(QFileInfo::exists(m_files.zipPath));
    m_logic->DestroyWindow();
    EXPECT_FALSE(m_host.timers[TIMER_PROGRESS_ANIMATION]);
    EXPECT_FALSE(QFileInfo::exists(m_files.zipPath));
    EXPECT_FALSE(QFileInfo::exists(m_files.iniPath));
}

TEST_F(DialogLogicTest, EndingTheDialogCancelsADownload) {
    ASSERT_TRUE(m_dir.isValid());
    UpdateServer server;
    const QString install = ServeUpdate(server, QByteArray(32, 'a'));
    server.SetStalled("/p.zip", QByteArray(100000, 'z'));
    const QString before = DescribeTree(install);
    Start(0, true);
    ASSERT_TRUE(m_host.DeliverNext(*m_logic));
    m_logic->OnOK();
    ASSERT_TRUE(WaitFor([&] { return server.RequestCount("/p.zip") == 1; }, 5000));
    // The worker leaves the hanging transfer as soon as it is asked to stop.
    uint64_t start = MonotonicMs();
    m_logic->DestroyWindow();
    EXPECT_LT(MonotonicMs() - start, uint64_t(THREAD_STOP_WAIT_MS));
    EXPECT_FALSE(QFileInfo::exists(m_files.zipPath));
    EXPECT_EQ(DescribeTree(install), before);
}

TEST(UpdaterLanguage, SystemLanguageChoosesTexts) {
    struct Case {
        const char* lang;
        unsigned id;
        int english;
    };
    const Case cases[] = {
        {"zh_CN.UTF-8", 2052, 0}, {"zh_SG", 4100, 0}, {"zh_TW.UTF-8", 1028, 1},
        {"en_US.UTF-8", 1033, 1}, {"C", 1033, 1},
    };
    QByteArray saved = qgetenv("LANG");
    QByteArray savedAll = qgetenv("LC_ALL");
    QByteArray savedMessages = qgetenv("LC_MESSAGES");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    for (const Case& c : cases) {
        qputenv("LANG", c.lang);
        EXPECT_EQ(GetSystemDefaultLangID(), c.id) << c.lang;
        EXPECT_EQ(IsEnglishLanguage(GetSystemDefaultLangID()), c.english) << c.lang;
    }
    qputenv("LANG", saved);
    if (!savedAll.isEmpty())
        qputenv("LC_ALL", savedAll);
    if (!savedMessages.isEmpty())
        qputenv("LC_MESSAGES", savedMessages);
    EXPECT_EQ(UpdaterText(TEXT_UPDATE_NOW, 0), QStringLiteral("开始更新"));
}

}  // namespace
