// System, user, network, disk and language messages: request bytes and replies parsed into the records.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/system_settings.h"
#include "core/window_messages.h"
#include "dvr/device_requests.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_records.h"
#include "tests/dvr/post_capture.h"
#include "tests/dvr/test_device.h"

namespace {

using DeviceMessages = PostCapture;

int Dispatch(TestDevice& t, const std::string& text) {
    return DispatchDvrMessage(text.data(), t.device, nullptr, static_cast<int>(text.size()));
}

void Feed(TestDevice& t, std::initializer_list<std::string> messages) {
    for (const std::string& m : messages)
        Dispatch(t, m);
}

TEST_F(DeviceMessages, RequestBytes) {
    TestDevice t;
    struct Case {
        int (*send)(DVRDevice*);
        const char* bytes;
    } cases[] = {
        {SendGetUserList, "65552 \r\n\r\n"},
        {[](DVRDevice* d) { return SendGetUserParams(d, 2, 1); }, "65553 2 1 \r\n\r\n"},
        {SendGetNetworkParams, "65575 \r\n\r\n"},
        {SendGetDiskList, "65577 \r\n\r\n"},
        {SendGetLanguageList, "65578 \r\n\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.send(t.device), static_cast<int>(strlen(c.bytes)));
        EXPECT_EQ(t.Sent(), c.bytes);
    }
}

TEST_F(DeviceMessages, SetSystemParamsFromTheRecord) {
    TestDevice t;
    EXPECT_EQ(SendSetSystemParams(t.device), -1);  // no record yet
    EXPECT_EQ(t.Sent(), "");
    t.device->systemParams.reset(static_cast<SystemSettings*>(std::calloc(1, sizeof(SystemSettings))));
    SystemSettings& p = *t.device->systemParams;
    t.SetText(p.RecordDisks, 32, u"CD");
    t.SetText(p.RecordDir, 256, u"Rec Dir");
    p.DiskFullAction = 1;
    p.VideoStandard = 1;
    p.ScrollInterval = 5;
    p.Language = 2;
    p.EnableBeep = 1;
    p.Autorun = -1;
    EXPECT_GT(SendSetSystemParams(t.device), 0);
    EXPECT_EQ(t.Sent(),
              "65551 CD Rec\x08"
              "Dir (NULL) 1 1 0 5 2 1 -1 \r\n\r\n");
}

TEST_F(DeviceMessages, SystemParamsWhileFlagSetChangeNothingAndPostNothing) {
    TestDevice t;
    Dispatch(t, "131086 C Rec (NULL) 1 1 0 5 0 1 0 \r\n\r\n");
    ASSERT_EQ(SetupReplies().size(), 1u);
    Dispatch(t, "131086 D Other (NULL) 0 0 0 9 0 0 0 \r\n\r\n");
    EXPECT_EQ(std::u16string(t.device->systemParams->RecordDisks), u"C");
    EXPECT_EQ(SetupReplies().size(), 1u);
}

TEST_F(DeviceMessages, UserListKeepsTheLargerArrayZeroed) {
    TestDevice t;
    Feed(t, {"131088 240 5 \r\n\r\n", "131088 5 4 Zm91cg== \r\n\r\n", "131088 255 \r\n\r\n"});
    Dispatch(t, "131089 4 0 Zm91cg== cHc= Desk 7 \r\n\r\n");
    Feed(t, {"131088 240 3 \r\n\r\n", "131088 3 0 YWRtaW4= \r\n\r\n", "131088 3 1 Z3Vlc3QIdXNlcg== \r\n\r\n",
             "131088 3 2 (NULL) \r\n\r\n", "131088 3 3 dG9vZmFy \r\n\r\n", "131088 255 \r\n\r\n"});
    auto users = t.device->lists.users.Current();
    ASSERT_NE(users, nullptr);
    ASSERT_EQ(users->size(), 5u);
    EXPECT_EQ(std::u16string((*users)[0].name), u"admin");
    EXPECT_EQ(std::u16string((*users)[1].name), u"guest user");  // the space comes back
    EXPECT_EQ(std::u16string((*users)[2].name), u"");
    EXPECT_EQ(std::u16string((*users)[3].name), u"toofar");  // index 3 is inside the 5 records
    EXPECT_EQ(std::u16string((*users)[4].name), u"");        // zeroed by the second list
    EXPECT_EQ((*users)[4].rights, 0u);
    EXPECT_EQ(std::u16string((*users)[4].password), u"");
    auto replies = SetupReplies();
    EXPECT_EQ(replies.back(), (std::pair<WPARAM, LPARAM>{SETUP_REPLY_USER_LIST, 0}));
}

TEST_F(DeviceMessages, UserCountsOutOfBoundsAreIgnored) {
    for (const char* text : {"131088 240 33 \r\n\r\n", "131088 240 -1 \r\n\r\n", "131088 240 \r\n\r\n"}) {
        TestDevice t;
        EXPECT_EQ(ParseUserList(text, static_cast<int>(strlen(text)), t.device, nullptr), -1) << text;
        EXPECT_TRUE(t.device->lists.userWork.empty());
    }
    TestDevice t;
    EXPECT_EQ(ParseUserList("131088 240 32 ", 14, t.device, nullptr), 0);
    EXPECT_EQ(t.device->lists.userWork.size(), 32u);
}

TEST_F(DeviceMessages, UserParts) {
    TestDevice t;
    Feed(t, {"131088 240 2 \r\n\r\n", "131088 255 \r\n\r\n"});
    ClearPosted();
    struct Case {
        const char* text;
        int result;
        int posted;  // user index posted, -1: nothing
    } cases[] = {
        {"131089 1 0 Z3Vlc3QIdXNlcg== cGFzcwh3b3Jk Front\x08"
         "desk 11 \r\n\r\n",
         0, 1},
        {"131089 0 1 129 0 0 0 0 0 0 0 -1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 \r\n\r\n", 0, 0},
        {"131089 0 1 1 2 3 \r\n\r\n", -1, -1},          // part 1 needs 24 integers
        {"131089 1 7 \r\n\r\n", 0, 1},                  // unknown part: only the notification
        {"131089 2 0 YQ== YQ== a 1 \r\n\r\n", -1, -1},  // not below the user count
        {"131089 32 0 YQ== YQ== a 1 \r\n\r\n", -1, -1},
        {"131089 -1 0 YQ== YQ== a 1 \r\n\r\n", -1, -1},
        {"131089 1 0 YQ== YQ== a \r\n\r\n", -1, -1},  // no rights
    };
    for (const Case& c : cases) {
        ClearPosted();
        EXPECT_EQ(ParseUserParams(c.text, static_cast<int>(strlen(c.text)), t.device, nullptr), c.result)
            << c.text;
        if (c.posted < 0) {
            EXPECT_TRUE(SetupReplies().empty()) << c.text;
        } else {
            ASSERT_EQ(SetupReplies().size(), 1u) << c.text;
            EXPECT_EQ(SetupReplies()[0], (std::pair<WPARAM, LPARAM>{SETUP_REPLY_USER, c.posted})) << c.text;
        }
    }
    auto users = t.device->lists.users.Current();
    const DVRUserAccount& guest = (*users)[1];
    EXPECT_EQ(std::u16string(guest.name), u"guest user");
    EXPECT_EQ(std::u16string(guest.password), u"pass word");
    EXPECT_EQ(std::u16string(guest.description), u"Front desk");
    EXPECT_EQ(guest.rights, 11u);
    const DVRUserAccount& admin = (*users)[0];
    EXPECT_EQ(admin.viewChannels[0], 0x81);
    EXPECT_EQ(admin.viewChannels[1], 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(admin.ptzChannels[i], 0xFF);  // -1 sets all 32 channels of its group
    EXPECT_EQ(admin.ptzChannels[4], 0);
    EXPECT_EQ(admin.recordChannels[28], 1);  // the last group's low byte
}

TEST_F(DeviceMessages, SetUserFromTheHandedList) {
    TestDevice t;
    EXPECT_EQ(SendSetUserParams(t.device, 0, 0), -1);  // no list yet
    Feed(t, {"131088 240 2 \r\n\r\n", "131088 255 \r\n\r\n"});
    auto users = t.device->lists.users.Current();
    DVRUserAccount& account = (*users)[1];
    t.SetText(account.name, 256, u"guest user");
    t.SetText(account.description, 256, u"Front desk");
    account.rights = 3;
    account.viewChannels[0] = 0x81;
    account.ptzChannels[0] = account.ptzChannels[1] = account.ptzChannels[2] = account.ptzChannels[3] = 0xFF;
    account.recordChannels[31] = 0x80;
    EXPECT_GT(SendSetUserParams(t.device, 0, 1), 0);
    EXPECT_EQ(t.Sent(),
              "65554 1 0 Z3Vlc3QIdXNlcg== (NULL) Front\x08"
              "desk 3 \r\n\r\n");
    EXPECT_GT(SendSetUserParams(t.device, 1, 1), 0);
    EXPECT_EQ(t.Sent(), "65554 1 1 129 0 0 0 0 0 0 0 -1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 -2147483648 \r\n\r\n");
    EXPECT_EQ(SendSetUserParams(t.device, 2, 1), -1);
    EXPECT_EQ(SendSetUserParams(t.device, 0, 2), -1);
    EXPECT_EQ(SendSetUserParams(t.device, 0, -1), -1);
    std::u16string tooLong(191, u'p');
    t.SetText(account.password, 256, tooLong);
    EXPECT_EQ(SendSetUserParams(t.device, 0, 1), -1);  // refused, not cut
    EXPECT_EQ(t.Sent(), "");
}

TEST_F(DeviceMessages, AHeldListSurvivesTheNextList) {
    TestDevice t;
    Feed(t, {"131088 240 1 \r\n\r\n", "131088 1 0 YWRtaW4= \r\n\r\n", "131088 255 \r\n\r\n"});
    auto held = t.device->lists.users.Current();
    const DVRUserAccount* pointer = &(*held)[0];
    Feed(t, {"131088 240 3 \r\n\r\n", "131088 3 0 Zm91cg== \r\n\r\n", "131088 255 \r\n\r\n"});
    EXPECT_EQ(std::u16string(pointer->name), u"admin");  // the held list was not touched
    EXPECT_EQ(held->size(), 1u);
    EXPECT_EQ(std::u16string((*t.device->lists.users.Current())[0].name), u"four");
    ResetDeviceLists(&t.device->lists);  // the session's stop
    EXPECT_EQ(t.device->lists.users.Current(), nullptr);
    EXPECT_EQ(std::u16string(pointer->name), u"admin");
}

TEST_F(DeviceMessages, NetworkParams) {
    TestDevice t;
    EXPECT_EQ(SendSetNetworkParams(t.device), -1);               // no record yet
    Dispatch(t, "131111 dvr\x08one 80 9000 (NULL) 1 \r\n\r\n");  // five of nine fields
    EXPECT_EQ(t.device->networkParams, nullptr);
    Dispatch(t, "131111 dvr\x08one 80 9000 (NULL) 1 2 dQ== (NULL) \r\n\r\n");
    ASSERT_NE(t.device->networkParams, nullptr);
    const DVRNetworkParams& p = *t.device->networkParams;
    EXPECT_EQ(std::u16string(p.hostName), u"dvr one");
    EXPECT_EQ(p.httpPort, 80);
    EXPECT_EQ(p.listenPort, 9000);
    EXPECT_EQ(std::u16string(p.mailTo), u"");
    EXPECT_EQ(p.wanEnabled, 1);
    EXPECT_EQ(p.wanServer, 2);
    EXPECT_EQ(std::u16string(p.wanUser), u"u");
    EXPECT_EQ(std::u16string(p.wanPassword), u"");
    EXPECT_EQ(SetupReplies().back(), (std::pair<WPARAM, LPARAM>{SETUP_REPLY_NETWORK, 0}));
    EXPECT_GT(SendSetNetworkParams(t.device), 0);
    EXPECT_EQ(t.Sent(),
              "65576 dvr\x08"
              "one 80 9000 (NULL) 1 2 dQ== (NULL) \r\n\r\n");
}

TEST_F(DeviceMessages, DiskList) {
    TestDevice t;
    Feed(t, {"131113 240 2 \r\n\r\n", "131113 2 0 C 465\x08GB 57 200\x08GB \r\n\r\n",
             "131113 2 1 D 123456789012345 10 1 \r\n\r\n"});
    ASSERT_EQ(t.device->lists.diskWork.size(), 2u);
    EXPECT_EQ(t.device->lists.diskWork[0].letter, u'C');
    EXPECT_EQ(std::u16string(t.device->lists.diskWork[0].totalText), u"465 GB");
    EXPECT_EQ(t.device->lists.diskWork[0].usedPercent, 57);
    EXPECT_EQ(std::u16string(t.device->lists.diskWork[1].totalText), u"123456789012345");  // 15 kept whole
    EXPECT_EQ(Dispatch(t, "131113 2 1 D 1234567890123456 10 1 \r\n\r\n"), 0);              // 16: unparsable
    EXPECT_EQ(std::u16string(t.device->lists.diskWork[1].totalText), u"123456789012345");
    // An entry announcing a larger count whose own fields do not convert changes nothing.
    for (const char* malformed : {"131113 3 2 E \r\n\r\n", "131113 3 2 E 1 x 1 \r\n\r\n",
                                  "131113 3 2 E 1 1 1234567890123456 \r\n\r\n"}) {
        Dispatch(t, malformed);
        ASSERT_EQ(t.device->lists.diskWork.size(), 2u) << malformed;
        EXPECT_EQ(t.device->lists.diskWork[0].letter, u'C') << malformed;
        EXPECT_EQ(t.device->lists.diskWork[1].letter, u'D') << malformed;
    }
    // An entry announcing a larger count wipes the entries received before it.
    Dispatch(t, "131113 3 2 E 1 1 1 \r\n\r\n");
    ASSERT_EQ(t.device->lists.diskWork.size(), 3u);
    EXPECT_EQ(t.device->lists.diskWork[0].letter, 0);
    EXPECT_EQ(t.device->lists.diskWork[2].letter, u'E');
    Dispatch(t, "131113 2 3 F 1 1 1 \r\n\r\n");    // index not below the count
    Dispatch(t, "131113 257 0 G 1 1 1 \r\n\r\n");  // a count past the bound
    EXPECT_EQ(t.device->lists.diskWork.size(), 3u);
    Dispatch(t, "131113 3 1 \xE9 1 1 1 \r\n\r\n");
    EXPECT_EQ(t.device->lists.diskWork[1].letter, 0xFFE9);  // widened with its sign
    EXPECT_EQ(t.device->lists.disks.Current(), nullptr);    // nothing handed over before the end
    Dispatch(t, "131113 255 \r\n\r\n");
    ASSERT_NE(t.device->lists.disks.Current(), nullptr);
    EXPECT_EQ(t.device->lists.disks.Current()->size(), 3u);
    EXPECT_EQ(SetupReplies().back(), (std::pair<WPARAM, LPARAM>{SETUP_REPLY_DISKS, 0}));
}

TEST_F(DeviceMessages, LanguageList) {
    TestDevice t;
    Feed(t, {"131114 240 2 \r\n\r\n",
             "131114 2 1 Simplified\x08"
             "Chinese \r\n\r\n",
             "131114 2 0 English \r\n\r\n", "131114 2 2 Extra \r\n\r\n", "131114 255 \r\n\r\n"});
    auto languages = t.device->lists.languages.Current();
    ASSERT_NE(languages, nullptr);
    ASSERT_EQ(languages->size(), 2u);
    EXPECT_EQ((*languages)[1].index, 1);
    EXPECT_EQ(std::u16string((*languages)[1].name), u"Simplified Chinese");
    EXPECT_EQ(std::u16string((*languages)[0].name), u"English");
    EXPECT_EQ(SetupReplies().back(), (std::pair<WPARAM, LPARAM>{SETUP_REPLY_LANGUAGES, 0}));
    EXPECT_EQ(Dispatch(t, "131114 240 257 \r\n\r\n"), 0);
    EXPECT_EQ(t.device->lists.languageWork.size(), 2u);
    // A new list whose larger entry has no name keeps the entries it has received.
    Feed(t, {"131114 240 1 \r\n\r\n", "131114 1 0 German \r\n\r\n", "131114 4 3 \r\n\r\n",
             "131114 255 \r\n\r\n"});
    languages = t.device->lists.languages.Current();
    ASSERT_EQ(languages->size(), 2u);
    EXPECT_EQ(std::u16string((*languages)[0].name), u"German");
}

TEST_F(DeviceMessages, NoSetupDialogNoPost) {
    g_setupExists = false;
    TestDevice t;
    Feed(t, {"131114 240 1 \r\n\r\n", "131114 255 \r\n\r\n"});
    EXPECT_TRUE(g_posted.empty());
    EXPECT_NE(t.device->lists.languages.Current(), nullptr);
}

}  // namespace

namespace {

TEST_F(DeviceMessages, EntriesOfARefusedOrUnstartedListAreIgnored) {
    TestDevice t;
    Feed(t, {"131114 240 1 \r\n\r\n", "131114 1 0 English \r\n\r\n", "131114 255 \r\n\r\n"});
    auto before = t.device->lists.languages.Current();
    ClearPosted();
    // A refused start: its entries and end hand nothing over and post nothing.
    Feed(t, {"131114 240 100000 \r\n\r\n", "131114 1 0 Other \r\n\r\n", "131114 255 \r\n\r\n"});
    // Entries and an end with no start at all.
    Feed(t, {"131113 1 0 C 1 1 1 \r\n\r\n", "131113 255 \r\n\r\n", "131085 1 0 f 0 0 \r\n\r\n",
             "131085 255 \r\n\r\n"});
    EXPECT_EQ(t.device->lists.languages.Current(), before);
    EXPECT_EQ(std::u16string((*before)[0].name), u"English");
    EXPECT_EQ(t.device->lists.disks.Current(), nullptr);
    EXPECT_EQ(t.device->lists.remoteFiles.Current(), nullptr);
    EXPECT_TRUE(g_posted.empty());
}

}  // namespace
