// The Updater program as a whole, started silently against an update server: it checks, ends by itself
// on a final result and leaves no downloaded file behind.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <memory>

#include "core/install_journal.h"
#include "platform/system/process.h"
#include "tests/scoped_env.h"
#include "tests/unwritable_folder.h"
#include "tools/updsrv/update_server.h"

namespace {

// A program folder with the fixture client, a temporary folder of its own and an update server, all
// handed to the program through its environment.
class UpdaterProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid() && temp.isValid());
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(FIXTURE_CLIENT_PATH), home.filePath(QStringLiteral("Vistal"))));
        ASSERT_EQ(server.Start(), 0);
        host = std::make_unique<ScopedEnv>("VISTAL_UPDATE_HOST", server.HostPort());
    }

    // The journal of an update that planned to move staged over client (the old one aside), left as a
    // killed Updater leaves it.
    void LeaveAJournalWithItsPlan(const QString& staged, const QString& client, const QString& aside) {
        InstallJournal journal;
        ASSERT_EQ(journal.Begin(home.path()), 0);
        ASSERT_EQ(journal.NoteTemporary(staged), 0);
        ASSERT_EQ(journal.WritePlan({PlannedMove{staged, client, aside}}), 0);
    }

    QTemporaryDir home;
    QTemporaryDir temp;
    UpdateServer server;
    std::unique_ptr<ScopedEnv> host;
    ScopedEnv vistalHome{"VISTAL_HOME", QFile::encodeName(home.path())};
    ScopedEnv tmp{"TMPDIR", QFile::encodeName(temp.path())};
    ScopedEnv platform{"QT_QPA_PLATFORM", "offscreen"};
};

TEST_F(UpdaterProgram, SilentRunEndsOnFinalResultAndCleansUp) {
    struct Case {
        const char* what;
        QByteArray description;  // empty: 404
    };
    // The client in the folder carries 4.4.2.0.
    const Case cases[] = {{"check fails", QByteArray()},
                          {"up to date", MakeUpdateDescription("4.4.2", "x", "y")}};
    for (const Case& c : cases) {
        server.Clear();
        if (!c.description.isEmpty())
            server.SetFile(kUpdateDescriptionPath, c.description);
        int exitCode = -1;
        ASSERT_EQ(LaunchProcess(QStringLiteral(UPDATER_PROGRAM_PATH), {QStringLiteral("/s")}, home.path(),
                                true, &exitCode),
                  0)
            << c.what;
        EXPECT_EQ(exitCode, 0) << c.what;
        EXPECT_EQ(server.RequestCount(kUpdateDescriptionPath), 1) << c.what;
        // The private download folder went with the program.
        EXPECT_TRUE(
            QDir(temp.path()).entryList({QStringLiteral("vistal-updater-*")}, QDir::AllEntries).isEmpty())
            << c.what;
        EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{QStringLiteral("Vistal")}) << c.what;
    }
}

// An update stopped after it moved the old client aside and the new one in, before it was done: the next
// start of the program puts the old client back and leaves no staged, set-aside or journal file.
TEST_F(UpdaterProgram, StartUndoesAnUpdateStoppedHalfWay) {
    const QString client = home.filePath(QStringLiteral("Vistal"));
    QFile original(client);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray oldBytes = original.readAll();
    original.close();
    const QString staged = home.filePath(QStringLiteral(".Vistal.Qw3rTy"));
    const QString aside = home.filePath(QStringLiteral(".Vistal.old-As1de0"));
    ASSERT_NO_FATAL_FAILURE(LeaveAJournalWithItsPlan(staged, client, aside));
    ASSERT_TRUE(QFile::rename(client, aside));
    QFile newClient(client);
    ASSERT_TRUE(newClient.open(QIODevice::WriteOnly));
    newClient.write("new client");
    newClient.close();
    int exitCode = -1;
    ASSERT_EQ(LaunchProcess(QStringLiteral(UPDATER_PROGRAM_PATH), {QStringLiteral("/s")}, home.path(), true,
                            &exitCode),
              0);
    QFile restored(client);
    ASSERT_TRUE(restored.open(QIODevice::ReadOnly));
    EXPECT_EQ(restored.readAll(), oldBytes);
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Vistal")});
}

// An update stopped half-way in a folder that cannot be written: the program ends with a failure before it
// asks the server anything, touching nothing; once the folder can be written its next start undoes it.
TEST_F(UpdaterProgram, EndsOnAnUpdateItCannotRecoverAndRecoversItOnceItCan) {
    server.SetFile(kUpdateDescriptionPath, MakeUpdateDescription("4.4.2", "x", "y"));
    const QString client = home.filePath(QStringLiteral("Vistal"));
    const QString aside = home.filePath(QStringLiteral(".Vistal.old-As1de0"));
    const QString staged = home.filePath(QStringLiteral(".Vistal.Qw3rTy"));
    ASSERT_NO_FATAL_FAILURE(LeaveAJournalWithItsPlan(staged, client, aside));
    ASSERT_TRUE(QFile::copy(client, aside));
    const QStringList before =
        QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    int exitCode = -1;
    {
        UnwritableFolder readOnly(home.path());
        if (!readOnly.Holds())
            GTEST_SKIP()
                << "neither the folder's mode nor the immutable flag keeps this process from writing";
        ASSERT_EQ(LaunchProcess(QStringLiteral(UPDATER_PROGRAM_PATH), {QStringLiteral("/s")}, home.path(),
                                true, &exitCode),
                  0);
        EXPECT_EQ(exitCode, 1);
        EXPECT_EQ(server.RequestCount(kUpdateDescriptionPath), 0);
        EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  before);
    }
    ASSERT_EQ(LaunchProcess(QStringLiteral(UPDATER_PROGRAM_PATH), {QStringLiteral("/s")}, home.path(), true,
                            &exitCode),
              0);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Vistal")});
}

// Ended by a signal while it downloads, the program still takes its private folder with it.
TEST_F(UpdaterProgram, TerminationSignalsRemoveTheDownloadFolder) {
    // The description never comes in full: the program waits in its download.
    server.SetStalled(kUpdateDescriptionPath, MakeUpdateDescription("9.9.9", "x", "y"));
    const QStringList pattern{QStringLiteral("vistal-updater-*")};
    for (int signal : {SIGTERM, SIGINT}) {
        pid_t pid = 0;
        ASSERT_EQ(
            StartProcess(QStringLiteral(UPDATER_PROGRAM_PATH), {QStringLiteral("/s")}, home.path(), &pid), 0);
        // Wait (bounded) until the description's download has begun in the private folder.
        bool downloading = false;
        for (int i = 0; i < 400 && !downloading; ++i) {
            const QStringList folders = QDir(temp.path()).entryList(pattern, QDir::Dirs);
            downloading = !folders.isEmpty() &&
                          QFileInfo::exists(temp.filePath(folders.first() + QStringLiteral("/update.ini")));
            if (!downloading)
                QThread::msleep(25);
        }
        EXPECT_TRUE(downloading) << signal;
        ASSERT_EQ(kill(pid, signal), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_TRUE(QDir(temp.path()).entryList(pattern, QDir::AllEntries | QDir::Hidden).isEmpty())
            << signal;
    }
}

}  // namespace
