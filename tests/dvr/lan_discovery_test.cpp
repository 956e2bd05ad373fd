// LAN discovery against three responders on loopback: requests go to the loopback broadcast address, each
// responder answers with its own datagrams, and the client keeps what the rounds take.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "core/tarvik_app.h"
#include "dvr/device_list_refresh.h"
#include "dvr/device_tree.h"
#include "dvr/lan_discovery.h"
#include "tests/dvr/tree_file_fixture.h"
#include "tools/lansim/lan_responder.h"

namespace {

struct Found {
    QString name;
    QString host;
    int port;
};

struct DiscoveryCase {
    const char* title;
    QList<QByteArray> replies[3];  // of each responder, which answer 80 ms apart
    std::vector<Found> found;      // in order: ids 0, 1, 2...
};

QByteArray Oversized() {
    QByteArray reply = MakeDiscoveryReply("Big", "127.0.0.9", 9009);
    return reply + QByteArray(DISCOVERY_REPLY_SIZE + 1 - reply.size(), ' ');
}

std::vector<DiscoveryCase> Cases() {
    return {
        {"three DVRs, ids by order",
         {{MakeDiscoveryReply("Gate", "127.0.0.2", 9001)},
          {MakeDiscoveryReply("Yard", "127.0.0.3", 9002)},
          {MakeDiscoveryReply("Hall", "127.0.0.4", 9003)}},
         {{"Gate", "127.0.0.2", 9001}, {"Yard", "127.0.0.3", 9002}, {"Hall", "127.0.0.4", 9003}}},
        {"first reply per host kept",
         {{MakeDiscoveryReply("Gate", "127.0.0.2", 9001)},
          {MakeDiscoveryReply("Other", "127.0.0.2", 9005)},
          {MakeDiscoveryReply("Hall", "127.0.0.4", 9003)}},
         {{"Gate", "127.0.0.2", 9001}, {"Hall", "127.0.0.4", 9003}}},
        {"malformed and oversized replies dropped",
         {{QByteArray("131123 0 0 0 Gate 127.0.0.2")},
          {Oversized()},
          {MakeDiscoveryReply("Hall", "127.0.0.4", 9003)}},
         {{"Hall", "127.0.0.4", 9003}}},
        {"refusing status ignored, spaces and (NULL) restored, a fourth reply not taken",
         {{MakeDiscoveryReply("Gate", "127.0.0.2", 9001, 1)},
          {MakeDiscoveryReply("Front Door", "", 9002)},
          {MakeDiscoveryReply("Hall", "127.0.0.4", 9003), MakeDiscoveryReply("Late", "127.0.0.5", 9004)}},
         {{"Front Door", "", 9002}, {"Hall", "127.0.0.4", 9003}}},
        {"ports outside 1-65535 refused",
         {{MakeDiscoveryReply("Gate", "127.0.0.2", -1)},
          {MakeDiscoveryReply("Top", "127.0.0.5", 65535)},
          {MakeDiscoveryReply("Yard", "127.0.0.3", 65536)}},
         {{"Top", "127.0.0.5", 65535}}},
        {"port 0 refused, port 1 taken",
         {{MakeDiscoveryReply("Hall", "127.0.0.4", 0)}, {MakeDiscoveryReply("Low", "127.0.0.6", 1)}, {}},
         {{"Low", "127.0.0.6", 1}}},
        {"a name longer than 255 bytes is refused, a byte of the code page read through it",
         {{MakeDiscoveryReply(QString(256, QLatin1Char('n')), "127.0.0.2", 9001)},
          {MakeDiscoveryReply(QStringLiteral("Caf\u00e9"), "127.0.0.3", 9002)},
          {}},
         {{QStringLiteral("Caf\u00e9"), "127.0.0.3", 9002}}},
    };
}

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        replyPort = FreeUdpPort();
        ASSERT_GT(replyPort, 0);
        // The first responder takes a free port; the others share it and all hear the loopback broadcast.
        for (auto& responder : responders) {
            responder = std::make_unique<LanResponder>();
            ASSERT_EQ(responder->Start(responders[0]->Port()), 0);
            responder->SetReplyPort(static_cast<uint16_t>(replyPort));
        }
        address = std::make_unique<ScopedEnv>("VISTAL_DISCOVERY_ADDRESS",
                                              "127.255.255.255:" + QByteArray::number(responders[0]->Port()));
        reply = std::make_unique<ScopedEnv>("VISTAL_DISCOVERY_REPLY_PORT", QByteArray::number(replyPort));
    }

    QTemporaryDir dir;
    int replyPort = -1;
    std::unique_ptr<LanResponder> responders[3];
    std::unique_ptr<ScopedEnv> address;
    std::unique_ptr<ScopedEnv> reply;
};

// The reply's port is a whole number of decimal digits from 1 to 65535, nothing else.
TEST(DiscoveryReplyPort, WholeNumbersOnly) {
    const struct {
        const char* port;
        int expected;  // -1: the reply is refused
    } cases[] = {{"80", 80},    {"1", 1},        {"65535", 65535}, {"0080", 80},
                 {"80abc", -1}, {"65535.9", -1}, {"80.0", -1},     {"+80", -1},
                 {"-80", -1},   {"0", -1},       {"65536", -1},    {"99999999999", -1},
                 {"0x50", -1},  {"8O", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        for (const char* end : {"", "\r\n\r\n"}) {
            const QByteArray bytes = QByteArray("131123 0 0 0 Gate 127.0.0.2 0 ") + c.port + end;
            DiscoveryReply reply;
            const int result = ParseDiscoveryReply(bytes.constData(), static_cast<int>(bytes.size()), &reply);
            EXPECT_EQ(result, c.expected < 0 ? -1 : 0);
            if (result == 0) {
                EXPECT_EQ(reply.port, c.expected);
            }
        }
    }
}

TEST_F(DiscoveryTest, ThreeResponders) {
    for (const DiscoveryCase& c : Cases()) {
        SCOPED_TRACE(c.title);
        for (int i = 0; i < 3; ++i) {
            responders[i]->SetReplies(c.replies[i]);
            responders[i]->SetDelay(i * 80);
        }
        DeviceList found;
        ASSERT_EQ(DiscoverDevices(&found), 0);
        ASSERT_EQ(found.Count(), static_cast<int>(c.found.size()));
        int id = 0;
        for (const DeviceListNode* node = found.Head(); node != nullptr; node = node->next, ++id) {
            const Found& want = c.found[static_cast<size_t>(id)];
            EXPECT_EQ(NodeText(node->name), want.name);
            EXPECT_EQ(NodeText(node->host), want.host);
            EXPECT_EQ(node->port, want.port);
            EXPECT_EQ(node->id, id);
            EXPECT_EQ(node->type, NODE_DVR);
            EXPECT_EQ(NodeText(node->user), WideToBase64(QStringLiteral("admin")));
            EXPECT_EQ(NodeText(node->password), QString());
        }
    }
    for (const auto& responder : responders) {
        EXPECT_EQ(responder->LastRequest(), QByteArray("65587 0 \r\n\r\n"));
        EXPECT_EQ(responder->RequestCount(), static_cast<int>(Cases().size()));
    }
}

// The LAN refresh writes what was found into tree.dat, keeping the stored DVRs that did not answer.
TEST_F(DiscoveryTest, RefreshMergesIntoTreeFile) {
    theApp.m_bLanMode = 1;
    theApp.m_strDataDir = dir.path() + QStringLiteral("/");
    const QString path = DeviceTreeFilePath(theApp.m_strDataDir, true);
    const DeviceTreeNode stored = DvrRecord(5, "Gate", "127.0.0.7", 7000, "bob", "pw");
    ASSERT_TRUE(WriteBytes(path, TreeFileBytes({stored})));
    responders[0]->SetReplies({MakeDiscoveryReply("Gate", "127.0.0.2", 9001)});
    responders[1]->SetReplies({MakeDiscoveryReply("Yard", "127.0.0.3", 9002)});
    responders[1]->SetDelay(80);
    RefreshDeviceList();
    EXPECT_EQ(ReadBytes(path), TreeFileBytes({DvrRecord(0, "Gate", "127.0.0.2", 9001, "bob", "pw"),
                                              DvrRecord(1, "Yard", "127.0.0.3", 9002)}));
}

// Datagrams that reach the reply port before the request goes out are not replies: they are dropped, and
// what comes after the request is taken.
TEST_F(DiscoveryTest, OnlyDatagramsAfterTheRequestAreReplies) {
    DiscoveryReceiver receiver;
    ASSERT_EQ(receiver.Open(), 0);
    int third = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<uint16_t>(replyPort));
    auto send = [&](const QByteArray& bytes) {
        return sendto(third, bytes.constData(), static_cast<size_t>(bytes.size()), 0,
                      reinterpret_cast<sockaddr*>(&to), sizeof to) == bytes.size();
    };
    const QByteArray unasked = MakeDiscoveryReply("Fake", "127.0.0.66", 9000);
    ASSERT_TRUE(send(unasked));
    ASSERT_TRUE(send(unasked));
    QByteArray datagram;
    EXPECT_EQ(receiver.DropQueued(), 2);
    EXPECT_EQ(receiver.Receive(0, &datagram), 0);
    const QByteArray reply = MakeDiscoveryReply("Gate", "127.0.0.2", 9001);
    ASSERT_TRUE(send(reply));
    EXPECT_EQ(receiver.Receive(1000, &datagram), 1);
    EXPECT_EQ(datagram, reply);
    close(third);
}

// When the reply port cannot be bound or the address is not a numeric one, nothing is sent and nothing
// is merged.
TEST_F(DiscoveryTest, FailuresLeaveTheFileAlone) {
    theApp.m_bLanMode = 1;
    theApp.m_strDataDir = dir.path() + QStringLiteral("/");
    const QString path = DeviceTreeFilePath(theApp.m_strDataDir, true);
    const QByteArray before = TreeFileBytes({DvrRecord(5, "Gate", "127.0.0.7", 7000)});
    ASSERT_TRUE(WriteBytes(path, before));
    responders[0]->SetReplies({MakeDiscoveryReply("Yard", "127.0.0.3", 9002)});
    {
        ScopedEnv name("VISTAL_DISCOVERY_ADDRESS", "localhost:" + QByteArray::number(responders[0]->Port()));
        RefreshDeviceList();
    }
    {
        // A socket that holds the reply port without sharing it.
        int holder = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in bound = {};
        bound.sin_family = AF_INET;
        bound.sin_addr.s_addr = htonl(INADDR_ANY);
        bound.sin_port = htons(static_cast<uint16_t>(replyPort));
        ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&bound), sizeof bound), 0);
        RefreshDeviceList();
        close(holder);
    }
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(responders[0]->RequestCount(), 0);
}

}  // namespace
