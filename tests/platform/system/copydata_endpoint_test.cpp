#include "platform/system/copydata_endpoint.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <thread>

#include "platform/system/clock.h"

namespace {

TEST(CopyDataEndpoint, DeliversMessageAndReturnsHandlerResult) {
    CopyDataEndpoint endpoint;
    ASSERT_EQ(endpoint.Open(), 0);
    QString path = CopyDataEndpointPath(getpid());
    ASSERT_TRUE(QFileInfo::exists(path));
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(CopyDataEndpointFolder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "the socket folder is private";

    std::atomic<uintptr_t> seenData{0};
    std::atomic<WPARAM> seenSender{0};
    QByteArray seenPayload;
    std::thread receiver([&] {
        struct pollfd pfd = {endpoint.Fd(), POLLIN, 0};
        if (poll(&pfd, 1, 5000) == 1) {
            endpoint.Service([&](WPARAM wParam, const COPYDATASTRUCT& data) -> LRESULT {
                seenData = data.dwData;
                seenSender = wParam;
                seenPayload = QByteArray(static_cast<const char*>(data.lpData), int(data.cbData));
                return 77;
            });
        }
    });
    const char payload[] = "abc";
    COPYDATASTRUCT data = {0x7156BCDA, 3, payload};
    LRESULT result = 0;
    EXPECT_EQ(SendCopyData(getpid(), 0x1234, data, 5000, &result), 0);
    receiver.join();
    EXPECT_EQ(result, 77);
    EXPECT_EQ(seenData.load(), 0x7156BCDAu);
    EXPECT_EQ(seenSender.load(), WPARAM(0x1234));
    EXPECT_EQ(seenPayload, QByteArray("abc"));

    endpoint.Close();
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(CopyDataEndpoint, FailsWithoutEndpointOrAnswer) {
    COPYDATASTRUCT data = {1, 0, nullptr};
    // A process id with no endpoint.
    EXPECT_EQ(SendCopyData(getpid(), 0, data, 200), -1);
    // An endpoint that never services its senders: the send gives up after its time-out.
    CopyDataEndpoint endpoint;
    ASSERT_EQ(endpoint.Open(), 0);
    uint64_t start = MonotonicMs();
    EXPECT_EQ(SendCopyData(getpid(), 0, data, 200), -1);
    EXPECT_LT(MonotonicMs() - start, 3000u);
}

}  // namespace
