#include "updater/close_client.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "platform/system/copydata_endpoint.h"
#include "tests/updater/fixture_process.h"

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
    std::function<bool()> m_confirm = [this] {
        ++m_confirmations;
        return true;
    };
};

TEST_F(CloseClientTest, NothingRunningAsksNothing) {
    EXPECT_EQ(IsProcessRunning(m_clients.Name()), 0);
    EXPECT_EQ(CloseProcessByName(m_clients.Name(), 0), 1);
    EXPECT_EQ(CloseRunningClient(m_clients.Name(), 0, m_confirm, Pause), CLOSE_CLIENT_DONE);
    EXPECT_EQ(m_confirmations, 0);
}

TEST_F(CloseClientTest, ObeyingClientsFinishTheirShutDown) {
    // Their shut-down takes longer than the two request passes; they are not cut short.
    pid_t first = m_clients.Start({QStringLiteral("obey"), QStringLiteral("400"), Marker(1)});
    pid_t second = m_clients.Start({QStringLiteral("obey"), QStringLiteral("400"), Marker(2)});
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    // The name is compared ignoring letter case.
    EXPECT_EQ(IsProcessRunning(m_clients.Name().toUpper()), 1);
    EXPECT_EQ(CloseRunningClient(m_clients.Name().toUpper(), 0, m_confirm, Pause), CLOSE_CLIENT_DONE);
    EXPECT_EQ(m_confirmations, 1);
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
        EXPECT_EQ(CloseRunningClient(m_clients.Name(), 0, m_confirm, Pause, timing), CLOSE_CLIENT_DONE)
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
                  m_clients.Name(), 0, [] { return false; }, Pause),
              CLOSE_CLIENT_DECLINED);
    EXPECT_EQ(IsProcessRunning(m_clients.Name()), 1);
}

TEST_F(CloseClientTest, RequestCountsOnlyHandledRequests) {
    pid_t withEndpoint = m_clients.Start({QStringLiteral("ignore")});
    pid_t without = m_clients.Start({QStringLiteral("none")});
    ASSERT_GT(withEndpoint, 0);
    ASSERT_GT(without, 0);
    int delivered = 0;
    EXPECT_EQ(CloseProcessByName(m_clients.Name(), 0, 0, &delivered), 0);
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(IsProcessRunning(m_clients.Name()), 1);
}

}  // namespace
