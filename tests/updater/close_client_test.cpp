#include "updater/close_client.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "platform/system/copydata_endpoint.h"
#include "platform/system/process_scan.h"
#include "tests/updater/fixture_process.h"
#include "updater/close_request.h"

namespace {

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class CloseClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString Marker(int n) const { return m_dir.filePath(QStringLiteral("closed-%1").arg(n)); }

    QTemporaryDir m_dir;
    FixtureClients m_clients{m_dir.path()};
    int m_confirmations = 0;
    std::vector<FoundProcess> m_found;  // what the last confirmation was shown
    std::function<bool(const std::vector<FoundProcess>&)> m_confirm =
        [this](const std::vector<FoundProcess>& found) {
            ++m_confirmations;
            m_found = found;
            return true;
        };
};

TEST_F(CloseClientTest, NothingRunningAsksNothing) {
    EXPECT_EQ(IsProcessRunning(m_clients.Name(), m_clients.Folder()), 0);
    EXPECT_EQ(CloseProcessByName(m_clients.Name(), m_clients.Folder(), 0), 1);
    EXPECT_EQ(CloseRunningClient(m_clients.Name(), m_clients.Folder(), 0, m_confirm, Pause),
              CLOSE_CLIENT_DONE);
    EXPECT_EQ(m_confirmations, 0);
}

TEST_F(CloseClientTest, ObeyingClientsFinishTheirShutDown) {
    // Their shut-down takes longer than the two request passes; they are not cut short.
    pid_t first = m_clients.Start({QStringLiteral("obey"), QStringLiteral("400"), Marker(1)});
    pid_t second = m_clients.Start({QStringLiteral("obey"), QStringLiteral("400"), Marker(2)});
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    // The name is compared ignoring letter case.
    EXPECT_EQ(IsProcessRunning(m_clients.Name().toUpper(), m_clients.Folder()), 1);
    EXPECT_EQ(CloseRunningClient(m_clients.Name().toUpper(), m_clients.Folder(), 0, m_confirm, Pause),
              CLOSE_CLIENT_DONE);
    EXPECT_EQ(m_confirmations, 1);
    EXPECT_EQ(m_found.size(), 2u);
    for (auto [pid, n] : {std::pair{first, 1}, std::pair{second, 2}}) {
        int status = m_clients.WaitEnded(pid, 5000);
        ASSERT_NE(status, -1);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_TRUE(QFileInfo::exists(Marker(n)));
    }
}

TEST_F(CloseClientTest, ClientsThatDoNotEndAreTerminated) {
    struct Case {
        const char* mode;
        int graceMs;
    };
    // One answers the request but keeps running (terminated after its grace period), one has no endpoint
    // (no request reaches it, so it is terminated without a grace period).
    for (const Case& c : {Case{"ignore", 300}, Case{"none", 60000}}) {
        pid_t pid = m_clients.Start({QString::fromLatin1(c.mode)});
        ASSERT_GT(pid, 0) << c.mode;
        CloseTiming timing;
        timing.graceMs = c.graceMs;
        EXPECT_EQ(CloseRunningClient(m_clients.Name(), m_clients.Folder(), 0, m_confirm, Pause, timing),
                  CLOSE_CLIENT_DONE)
            << c.mode;
        int status = m_clients.WaitEnded(pid, 5000);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << c.mode << " " << status;
        // The endpoint of a terminated client does not stay behind.
        EXPECT_FALSE(QFileInfo::exists(CopyDataEndpointPath(pid))) << c.mode;
    }
}

TEST_F(CloseClientTest, DeclinedConfirmationLeavesClientRunning) {
    pid_t pid = m_clients.Start({QStringLiteral("ignore")});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(CloseRunningClient(
                  m_clients.Name(), m_clients.Folder(), 0,
                  [](const std::vector<FoundProcess>&) { return false; }, Pause),
              CLOSE_CLIENT_DECLINED);
    EXPECT_EQ(IsProcessRunning(m_clients.Name(), m_clients.Folder()), 1);
}

TEST_F(CloseClientTest, RequestCountsOnlyHandledRequests) {
    pid_t withEndpoint = m_clients.Start({QStringLiteral("ignore")});
    pid_t without = m_clients.Start({QStringLiteral("none")});
    ASSERT_GT(withEndpoint, 0);
    ASSERT_GT(without, 0);
    int delivered = 0;
    EXPECT_EQ(CloseProcessByName(m_clients.Name(), m_clients.Folder(), 0, 0, &delivered), 0);
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(IsProcessRunning(m_clients.Name(), m_clients.Folder()), 1);
}

// Clients of the program's own name run from two installation folders: the closing sequence for one
// folder sees, names and ends only the client of that folder; the other runs on.
TEST(CloseClientFolders, OnlyTheClientOfTheUpdatedFolderIsClosed) {
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    const QString name = QString::fromLatin1(CLIENT_EXECUTABLE_NAME);
    FixtureClients here(first.path(), name);
    FixtureClients there(second.path(), name);
    pid_t mine = here.Start({QStringLiteral("ignore")});
    // The other would end on a close request and leave its marker.
    const QString marker = second.filePath(QStringLiteral("closed"));
    pid_t other = there.Start({QStringLiteral("obey"), QStringLiteral("0"), marker});
    ASSERT_GT(mine, 0);
    ASSERT_GT(other, 0);

    std::vector<FoundProcess> shown;
    auto confirm = [&](const std::vector<FoundProcess>& found) {
        shown = found;
        return true;
    };
    CloseTiming timing;
    timing.graceMs = 0;
    EXPECT_EQ(CloseRunningClient(name, here.Folder(), 0, confirm, Pause, timing), CLOSE_CLIENT_DONE);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].pid, mine);
    EXPECT_EQ(shown[0].executable, here.Path());
    EXPECT_NE(here.WaitEnded(mine, 5000), -1);
    // The other folder's client got no request and was not ended.
    EXPECT_EQ(there.WaitEnded(other, 0), -1);
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_EQ(IsProcessRunning(name, there.Folder()), 1);
    // The folder is compared as a path: another spelling of the same folder finds its client.
    EXPECT_EQ(IsProcessRunning(name, there.Folder() + QStringLiteral("/./")), 1);
    EXPECT_EQ(IsProcessRunning(name, there.Folder() + QStringLiteral("/sub/..")), 1);
    EXPECT_EQ(IsProcessRunning(name, QString()), 0);
    // A client of the other folder that works in this one counts as this folder's.
    pid_t working = there.Start({QStringLiteral("none")}, here.Folder());
    ASSERT_GT(working, 0);
    std::vector<FoundProcess> found = FindOwnProcesses(name, here.Folder());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].pid, working);
    EXPECT_EQ(found[0].executable, there.Path());
}

// A client of another user from the very folder being updated is none of the updater's business, even
// for an updater that runs as root and could end it.
TEST(CloseClientFolders, AnotherUsersClientIsNotSeen) {
    if (geteuid() != 0)
        GTEST_SKIP() << "starting a process as another user needs root";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString name = QString::fromLatin1(CLIENT_EXECUTABLE_NAME);
    FixtureClients clients(folder.path(), name);
    const uid_t nobody = 65534;
    pid_t theirs = clients.StartAsUser(nobody, nobody);
    ASSERT_GT(theirs, 0);
    int confirmations = 0;
    auto confirm = [&](const std::vector<FoundProcess>&) { return ++confirmations > 0; };
    EXPECT_EQ(IsProcessRunning(name, clients.Folder()), 0);
    EXPECT_EQ(CloseRunningClient(name, clients.Folder(), 0, confirm, Pause), CLOSE_CLIENT_DONE);
    EXPECT_EQ(confirmations, 0);
    EXPECT_EQ(clients.WaitEnded(theirs, 0), -1);
    // Our own client beside it is found, and only it.
    pid_t mine = clients.Start({QStringLiteral("none")});
    ASSERT_GT(mine, 0);
    std::vector<FoundProcess> found = FindOwnProcesses(name, clients.Folder());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].pid, mine);
}

}  // namespace
