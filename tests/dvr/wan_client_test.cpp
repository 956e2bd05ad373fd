// The WAN server client against the simulated WAN server on loopback: the login check of both modes, the
// device list and its merge into treew.dat, the delete request, and the reply parsers on their own.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/tarvik_app.h"
#include "dvr/device_list_refresh.h"
#include "dvr/device_tree.h"
#include "dvr/wan_client.h"
#include "platform/system/clock.h"
#include "tests/dvr/tree_file_fixture.h"
#include "tools/wansim/wan_server.h"

namespace {

// What waiting for nothing costs: one whole reply deadline. A reply that came must take far less.
constexpr int kQuickMs = RELAY_LOGIN_DEADLINE_MS - 500;
constexpr int kDeadlineSlackMs = 4000;

class WanTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(InitRelaySession(), 0);
        ASSERT_EQ(server.Start(), 0);
        server.AddUser(QStringLiteral("admin"), QStringLiteral("admin"));
        server.AddUser(QStringLiteral("night shift"), QStringLiteral("p w"));
        env = std::make_unique<ScopedEnv>("VISTAL_WAN_SERVER", server.HostPort());
        theApp.m_bLanMode = 0;
        theApp.m_strDataDir = dir.path() + QStringLiteral("/");
        theApp.m_strWanUser.clear();
        theApp.m_strWanPassword.clear();
    }
    void TearDown() override { FreeRelaySession(); }

    QString TreePath() const { return DeviceTreeFilePath(theApp.m_strDataDir, false); }

    QTemporaryDir dir;
    WanServer server;
    std::unique_ptr<ScopedEnv> env;
};

struct LoginCase {
    const char* title;
    WanFault fault;
    int trickleMs;
    const char* user;
    const char* password;
    int result;
    bool quick;  // answered well before the reply deadline
};

void PrintTo(const LoginCase& c, std::ostream* os) {
    *os << c.title;
}

class WanLoginTest : public WanTest, public ::testing::WithParamInterface<LoginCase> {};

TEST_P(WanLoginTest, ResultAndTime) {
    const LoginCase& c = GetParam();
    server.SetFault(c.fault);
    server.SetTrickleDelay(c.trickleMs);
    const uint64_t start = MonotonicMs();
    EXPECT_EQ(CheckLogin(QString::fromUtf8(c.user), QString::fromUtf8(c.password)), c.result);
    const uint64_t took = MonotonicMs() - start;
    if (c.quick) {
        EXPECT_LT(took, static_cast<uint64_t>(kQuickMs));
    } else {
        EXPECT_GE(took, static_cast<uint64_t>(RELAY_LOGIN_DEADLINE_MS - 100));
    }
    EXPECT_LT(took, static_cast<uint64_t>(RELAY_LOGIN_DEADLINE_MS + kDeadlineSlackMs));
    EXPECT_EQ(theApp.m_strWanUser, c.result == LOGIN_OK ? QString::fromUtf8(c.user) : QString());
    if (c.result == LOGIN_CREDENTIAL_TOO_LONG || c.result == LOGIN_CREDENTIAL_NOT_IN_CODE_PAGE) {
        // Refused before anything is sent: no connection, no request.
        EXPECT_LT(g_relaySession->socket, 0);
        EXPECT_TRUE(server.Requests().isEmpty());
    } else if (c.result != LOGIN_NO_SERVER) {
        // The connection stays open after every answered login, refused or not.
        EXPECT_GE(g_relaySession->socket, 0);
    }
}

// 190 bytes: Base64 of 256 characters, one more than the login's field holds.
const std::string kLongUser(190, 'u');

const LoginCase kLoginCases[] = {
    {"ok", WanFault::None, 0, "admin", "admin", LOGIN_OK, true},
    {"spaces_in_credentials", WanFault::None, 0, "night shift", "p w", LOGIN_OK, true},
    {"refused", WanFault::None, 0, "admin", "wrong", LOGIN_FAILED, true},
    {"silent", WanFault::Silent, 0, "admin", "admin", LOGIN_NO_SERVER, false},
    {"closed", WanFault::Close, 0, "admin", "admin", LOGIN_NO_SERVER, true},
    {"param_first", WanFault::ParamFirst, 0, "admin", "admin", LOGIN_OK, true},
    {"param_only", WanFault::ParamOnly, 0, "admin", "admin", LOGIN_NO_SERVER, false},
    {"logout_and_reply_in_one_segment", WanFault::LogoutWithReply, 0, "admin", "admin", LOGIN_OK, true},
    {"logout_and_refusal_in_one_segment", WanFault::LogoutWithReply, 0, "admin", "bad", LOGIN_FAILED, true},
    {"trickle", WanFault::Trickle, 5, "admin", "admin", LOGIN_OK, true},
    {"trickle_past_the_deadline", WanFault::Trickle, 400, "admin", "admin", LOGIN_NO_SERVER, false},
    {"buffer_full_without_terminator", WanFault::NoTerminator, 0, "admin", "admin", LOGIN_OK, true},
    {"user_too_long", WanFault::None, 0, kLongUser.c_str(), "admin", LOGIN_CREDENTIAL_TOO_LONG, true},
    {"password_too_long", WanFault::None, 0, "admin", kLongUser.c_str(), LOGIN_CREDENTIAL_TOO_LONG, true},
    // The test's code page is CP1252, which holds no Chinese.
    {"user_not_in_code_page", WanFault::None, 0, "\xE7\x94\xA8\xE6\x88\xB7", "admin",
     LOGIN_CREDENTIAL_NOT_IN_CODE_PAGE, true},
};

INSTANTIATE_TEST_SUITE_P(ServerBehaviours, WanLoginTest, ::testing::ValuesIn(kLoginCases),
                         [](const ::testing::TestParamInfo<LoginCase>& info) { return info.param.title; });

TEST_F(WanTest, LoginRequestBytesAndNewConnectionEachTime) {
    ASSERT_EQ(CheckLogin("admin", "admin"), LOGIN_OK);
    const int first = g_relaySession->relayId;
    ASSERT_EQ(CheckLogin("night shift", "p w"), LOGIN_OK);
    EXPECT_NE(g_relaySession->relayId, first);
    const QList<QByteArray> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0], QByteArray("196610 YWRtaW4= YWRtaW4= "));
    // Spaces travel as 0x08 inside the Base64 text.
    EXPECT_EQ(requests[1], "196610 " + QByteArray("night\x08shift").toBase64() + ' ' +
                               QByteArray("p\x08w").toBase64() + ' ');
}

TEST_F(WanTest, UnreachableReloginKeepsTheEarlierConnection) {
    ASSERT_EQ(CheckLogin("admin", "admin"), LOGIN_OK);
    const int socket = g_relaySession->socket;
    const int relayId = g_relaySession->relayId;
    {
        // Nothing listens on port 1 of loopback.
        ScopedEnv nowhere("VISTAL_WAN_SERVER", "127.0.0.1:1");
        EXPECT_EQ(CheckLogin("admin", "admin"), LOGIN_NO_SERVER);
    }
    EXPECT_EQ(g_relaySession->socket, socket);
    EXPECT_EQ(g_relaySession->relayId, relayId);
    // A delete after the failed re-login still reaches the server, on the earlier connection.
    auto* node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
    ASSERT_NE(node, nullptr);
    SetNodeText(node->name, QStringLiteral("Gate"));
    SendRelayDeleteDevice(node);
    server.SetDevices({});
    RefreshDeviceList();
    const QList<QByteArray> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[1], "196627 " + QByteArray::number(relayId) + " Gate ");
}

TEST_F(WanTest, LoginWithoutServer) {
    server.Stop();
    EXPECT_EQ(CheckLogin("admin", "admin"), LOGIN_NO_SERVER);
    EXPECT_LT(g_relaySession->socket, 0);
}

TEST(LoginCheck, LocalAccountAndEmptyUser) {
    ASSERT_EQ(InitRelaySession(), 0);
    theApp.m_strSystemUser = QStringLiteral("admin");
    theApp.m_strSystemPassword = QStringLiteral("Secret");
    const struct {
        int lanMode;
        const char* user;
        const char* password;
        int result;
    } cases[] = {
        {1, "admin", "Secret", LOGIN_OK},
        {1, "Admin", "Secret", LOGIN_FAILED},
        {1, "admin", "secret", LOGIN_FAILED},
        {1, "admin", "", LOGIN_FAILED},
        {1, "", "", LOGIN_FAILED},
        {0, "", "Secret", LOGIN_FAILED},
    };
    for (const auto& c : cases) {
        theApp.m_bLanMode = c.lanMode;
        EXPECT_EQ(CheckLogin(c.user, c.password), c.result)
            << c.lanMode << " " << c.user << " " << c.password;
        EXPECT_LT(g_relaySession->socket, 0);  // neither mode connected anything
    }
    FreeRelaySession();
}

QList<WanDevice> Devices(int count) {
    QList<WanDevice> devices;
    for (int i = 0; i < count; ++i) {
        WanDevice d;
        d.name = QStringLiteral("DVR%1").arg(i);
        d.host = QStringLiteral("10.1.%1.%2").arg(i / 250).arg(i % 250);
        d.port = 9000 + i;
        devices.append(d);
    }
    return devices;
}

// The stored form of a WAN device as the list's end writes it.
DeviceTreeNode Stored(int id, const WanDevice& d) {
    DeviceTreeNode node = DvrRecord(id, d.name, d.useAltHost != 0 ? d.altHost : d.host, d.port);
    SetNodeText(node.altHost, d.altHost.isEmpty() ? d.host : d.altHost);
    node.altValue = d.altValue;
    return node;
}

TEST_F(WanTest, DeviceListRoundTrip) {
    WanDevice cafe;
    cafe.name = QStringLiteral("Caf\u00e9");  // one byte in the 8-bit code page
    cafe.host = QStringLiteral("c\u00e1mara.example");
    cafe.port = 8000;
    cafe.altValue = 17;
    WanDevice moved;
    moved.name = QStringLiteral("Moved");
    moved.host = QStringLiteral("10.0.0.1");
    moved.altHost = QStringLiteral("\u043a\u0430\u043c.example");
    moved.port = 8001;
    moved.useAltHost = 1;
    server.SetDevices({cafe, moved});
    // A stored DVR of the same name gives its credentials; one the server does not list is dropped.
    ASSERT_TRUE(WriteBytes(TreePath(), TreeFileBytes({DvrRecord(3, "Moved", "1.2.3.4", 1, "bob", "pw"),
                                                      DvrRecord(4, "Gone", "1.2.3.5", 1)})));
    theApp.m_bShowDevice = 1;
    ASSERT_EQ(CheckLogin("admin", "admin"), LOGIN_OK);
    RefreshDeviceList();
    DeviceTreeNode movedStored = Stored(1, moved);
    SetNodeText(movedStored.user, WideToBase64("bob"));
    SetNodeText(movedStored.password, WideToBase64("pw"));
    EXPECT_EQ(ReadBytes(TreePath()), TreeFileBytes({Stored(0, cafe), movedStored}));
    EXPECT_EQ(theApp.m_bShowDevice, 0);
    EXPECT_NE(g_relaySession->flags & RELAY_FLAG_LIST_COMPLETE, 0u);
    ASSERT_EQ(server.Requests().size(), 2);
    EXPECT_EQ(server.Requests()[1], "196626 " + QByteArray::number(g_relaySession->relayId) + ' ');
}

TEST_F(WanTest, ThousandDevices) {
    const QList<WanDevice> devices = Devices(1000);
    server.SetDevices(devices);
    ASSERT_EQ(CheckLogin("admin", "admin"), LOGIN_OK);
    RefreshDeviceList();
    std::vector<DeviceTreeNode> expected;
    for (int i = 0; i < devices.size(); ++i)
        expected.push_back(Stored(i, devices[i]));
    EXPECT_EQ(ReadBytes(TreePath()), TreeFileBytes(expected));
}

// Announced counts out of range: below 0 reads as 0, a huge count is capped, and announced entries that
// never came are not written as blank DVRs.
TEST_F(WanTest, CountsOutOfRange) {
    const QList<WanDevice> devices = Devices(3);
    const struct {
        int announced;
        int written;
    } cases[] = {{-5, 0}, {0, 0}, {2, 2}, {5, 3}, {2000000000, 3}};
    server.SetDevices(devices);
    ASSERT_EQ(CheckLogin("admin", "admin"), LOGIN_OK);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.announced);
        server.SetAnnouncedCount(c.announced);
        RefreshDeviceList();
        std::vector<DeviceTreeNode> expected;
        for (int i = 0; i < c.written; ++i)
            expected.push_back(Stored(i, devices[i]));
        EXPECT_EQ(ReadBytes(TreePath()), TreeFileBytes(expected));
        EXPECT_LE(g_relaySession->entryCount, RELAY_MAX_ENTRIES);
    }
}

// A list that never ends merges nothing, and the refresh gives up at its deadline.
TEST_F(WanTest, EndlessListMergesNothing) {
    server.SetDevices(Devices(2));
    ASSERT_EQ(CheckLogin("admin", "admin"), LOGIN_OK);
    server.SetFault(WanFault::ListNeverEnds);
    const QByteArray before = TreeFileBytes({DvrRecord(4, "Kept", "1.2.3.5", 1)});
    ASSERT_TRUE(WriteBytes(TreePath(), before));
    const uint64_t start = MonotonicMs();
    RefreshDeviceList();
    const uint64_t took = MonotonicMs() - start;
    EXPECT_GE(took, static_cast<uint64_t>(RELAY_LIST_DEADLINE_MS - 100));
    EXPECT_LT(took, static_cast<uint64_t>(RELAY_LIST_DEADLINE_MS + kDeadlineSlackMs));
    EXPECT_EQ(ReadBytes(TreePath()), before);
}

// A server that stops answering ends the refresh after one receive time-out, well before its deadline.
TEST_F(WanTest, SilentListEndsAfterOneTimeOut) {
    server.SetDevices(Devices(2));
    ASSERT_EQ(CheckLogin("admin", "admin"), LOGIN_OK);
    server.SetFault(WanFault::Silent);
    const uint64_t start = MonotonicMs();
    RefreshDeviceList();
    const uint64_t took = MonotonicMs() - start;
    EXPECT_GE(took, static_cast<uint64_t>(RELAY_TIMEOUT_MS - 100));
    EXPECT_LT(took, static_cast<uint64_t>(RELAY_LIST_DEADLINE_MS - 500));
    EXPECT_FALSE(QFile::exists(TreePath()));
}

TEST_F(WanTest, RefreshWithoutConnectionDoesNothing) {
    const QByteArray before = TreeFileBytes({DvrRecord(4, "Kept", "1.2.3.5", 1)});
    ASSERT_TRUE(WriteBytes(TreePath(), before));
    RefreshDeviceList();
    EXPECT_EQ(ReadBytes(TreePath()), before);
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(WanTest, DeleteRequestBytes) {
    ASSERT_EQ(CheckLogin("admin", "admin"), LOGIN_OK);
    const struct {
        QString name;
        QByteArray sent;
    } cases[] = {
        {QStringLiteral("Front Door"), "Front Door"},
        {QStringLiteral("Caf\u00e9"), "Caf\xC3\xA9"},
        {QString(300, QChar(0x00e9)),
         QByteArray("\xC3\xA9").repeated(127)},  // cut to 255 bytes, whole characters
    };
    for (const auto& c : cases) {
        auto* node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
        ASSERT_NE(node, nullptr);
        SetNodeText(node->name, c.name);
        SendRelayDeleteDevice(node);  // frees the node
    }
    // The delete requests need no reply; a device-list request behind them shows they all arrived.
    server.SetDevices({});
    RefreshDeviceList();
    const QList<QByteArray> requests = server.Requests();
    ASSERT_EQ(requests.size(), 5);
    const QByteArray prefix = "196627 " + QByteArray::number(g_relaySession->relayId) + ' ';
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(requests[i + 1], prefix + cases[i].sent + ' ');
}

// The parsers on their own, message by message.
TEST(RelayParsers, DispatchTable) {
    theApp.m_strDataDir = QStringLiteral("/nonexistent-folder/");
    RelaySession session;
    const struct {
        const char* message;
        int result;
        int relayId;
        int loginResult;
        int param;
        uint32_t flags;
        int entryCount;
    } cases[] = {
        {"262146 5 -7", 0, 5, -1, 0, RELAY_FLAG_LOGIN_ANSWERED, 0},
        {"262146 6 3", 0, 6, 3, 0, RELAY_FLAG_LOGIN_ANSWERED, 0},
        {"262147 42", 0, 6, 3, 42, RELAY_FLAG_LOGIN_ANSWERED, 0},
        {"262148", 0, -1, -1, 42, RELAY_FLAG_LOGIN_ANSWERED, 0},
        {"262146 7", 0, -1, -1, 42, RELAY_FLAG_LOGIN_ANSWERED, 0},  // a field missing: ignored
        {"999 1 2", 0, -1, -1, 42, RELAY_FLAG_LOGIN_ANSWERED, 0},   // another id: ignored
        {"hello", -1, -1, -1, 42, RELAY_FLAG_LOGIN_ANSWERED, 0},
        {"", -1, -1, -1, 42, RELAY_FLAG_LOGIN_ANSWERED, 0},
        {"262162 240 2", 0, -1, -1, 42, RELAY_FLAG_LOGIN_ANSWERED, 2},
        {"262162 240 -3", 0, -1, -1, 42, RELAY_FLAG_LOGIN_ANSWERED, 0},
        {"262162 240 99999999999", 0, -1, -1, 42, RELAY_FLAG_LOGIN_ANSWERED, RELAY_MAX_ENTRIES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(DispatchRelayMessage(&session, c.message, static_cast<int>(std::strlen(c.message))),
                  c.result);
        EXPECT_EQ(session.relayId, c.relayId);
        EXPECT_EQ(session.loginResult, c.loginResult);
        EXPECT_EQ(session.param, c.param);
        EXPECT_EQ(session.flags, c.flags);
        EXPECT_EQ(session.entryCount, c.entryCount);
    }
}

TEST(RelayParsers, EntriesWithinTheAnnouncedCount) {
    RelaySession session;
    const char* messages[] = {
        "262162 240 2",
        "262162 0 0 Gate 0 0 10.0.0.1 9000 10.0.0.9 4 0",
        "262162 1 0 Yard 0 0 10.0.0.2 9001 10.0.0.8 5 1",  // flag 1: the second host is the host
        "262162 2 0 Hall 0 0 10.0.0.3 9002 10.0.0.7 6 0",  // index outside the count: ignored
        "262162 0 0 Gate 0 0 10.0.0.1",                    // too few fields: ignored
    };
    for (const char* m : messages)
        ASSERT_EQ(DispatchRelayMessage(&session, m, static_cast<int>(std::strlen(m))), 0);
    ASSERT_EQ(session.entries.size(), 2u);
    EXPECT_STREQ(session.entries[0].name, "Gate");
    EXPECT_STREQ(session.entries[0].host, "10.0.0.1");
    EXPECT_EQ(session.entries[0].altValue, 4);
    EXPECT_STREQ(session.entries[1].host, "10.0.0.8");
    EXPECT_STREQ(session.entries[1].altHost, "10.0.0.8");
    EXPECT_EQ(session.entries[1].port, 9001);
    // A token longer than 255 bytes is refused, not cut.
    const std::string longName = "262162 0 0 " + std::string(256, 'n') + " 0 0 10.0.0.1 9000 10.0.0.9 4 0";
    ASSERT_EQ(DispatchRelayMessage(&session, longName.c_str(), static_cast<int>(longName.size())), 0);
    EXPECT_STREQ(session.entries[0].name, "Gate");
    // A message is read within its length, never from the bytes after it.
    const char buffer[] = "262146 9 0\r\n\r\n";
    ASSERT_EQ(DispatchRelayMessage(&session, buffer, 8), 0);  // "262146 9": too few fields
    EXPECT_EQ(session.flags & RELAY_FLAG_LOGIN_ANSWERED, 0u);
}

}  // namespace

namespace {

// Entries 240 and 255 have the list start's and end's marker as their index; their eleven fields make
// them entries.
TEST(RelayParsers, EntriesWithTheMarkersAsIndex) {
    RelaySession session;
    const char* messages[] = {
        "262162 240 300",
        "262162 240 0 Gate 0 0 10.0.0.1 9000 10.0.0.9 4 0",
        "262162 255 0 Yard 0 0 10.0.0.2 9001 10.0.0.8 5 0",
    };
    for (const char* m : messages)
        ASSERT_EQ(DispatchRelayMessage(&session, m, static_cast<int>(std::strlen(m))), 0);
    EXPECT_EQ(session.entryCount, 300);
    EXPECT_EQ(session.flags & RELAY_FLAG_LIST_COMPLETE, 0u);
    EXPECT_STREQ(session.entries[240].name, "Gate");
    EXPECT_STREQ(session.entries[255].name, "Yard");
}

}  // namespace
