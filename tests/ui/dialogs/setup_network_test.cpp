// The Network page: what Set collects from its controls into the DVR's network record (ports as numbers,
// texts and their bound, the WAN server list, when the restart notice comes), and the page itself: a load
// at every showing, the WAN switch greying its controls, one save per change.

#include "ui/dialogs/setup_network.h"

#include <gtest/gtest.h>

#include "core/window_messages.h"
#include "dvr/wan_client.h"
#include "tests/scoped_env.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/setup_device_fixture.h"
#include "ui/dialogs/dialog_texts.h"

namespace {

DVRNetworkParams DvrRecord() {
    DVRNetworkParams n{};
    SetNodeText(n.hostName, QStringLiteral("dvr-01"));
    n.httpPort = 80;
    n.listenPort = 5050;
    SetNodeText(n.mailTo, QStringLiteral("alarm@127.0.0.1"));
    n.wanEnabled = 1;
    n.wanServer = 0;
    SetNodeText(n.wanUser, QStringLiteral("site"));
    SetNodeText(n.wanPassword, QStringLiteral("secret"));
    return n;
}

SetupNetworkControls Shown(const DVRNetworkParams& n) {
    SetupNetworkControls c;
    c.hostName = NodeText(n.hostName);
    c.httpPort = QString::number(n.httpPort);
    c.listenPort = QString::number(n.listenPort);
    c.mailTo = NodeText(n.mailTo);
    c.wanEnabled = n.wanEnabled;
    c.wanServer = 0;
    c.wanUser = NodeText(n.wanUser);
    c.wanPassword = NodeText(n.wanPassword);
    return c;
}

TEST(SetupNetworkCollect, ControlsBecomeTheRecord) {
    const struct {
        const char* name;
        void (*change)(SetupNetworkControls&);
        int result;
        int restart;
        void (*expect)(DVRNetworkParams&);
    } cases[] = {
        {"nothing changed", [](SetupNetworkControls&) {}, SETUP_NETWORK_UNCHANGED, 0,
         [](DVRNetworkParams&) {}},
        {"user only", [](SetupNetworkControls& c) { c.wanUser = "other"; }, SETUP_NETWORK_CHANGED, 0,
         [](DVRNetworkParams& n) { SetNodeText(n.wanUser, QStringLiteral("other")); }},
        {"host name only", [](SetupNetworkControls& c) { c.hostName = "dvr-02"; }, SETUP_NETWORK_CHANGED, 0,
         [](DVRNetworkParams& n) { SetNodeText(n.hostName, QStringLiteral("dvr-02")); }},
        {"WAN off keeps the texts", [](SetupNetworkControls& c) { c.wanEnabled = 0; }, SETUP_NETWORK_CHANGED,
         0, [](DVRNetworkParams& n) { n.wanEnabled = 0; }},
        {"HTTP port", [](SetupNetworkControls& c) { c.httpPort = "8080"; }, SETUP_NETWORK_CHANGED, 1,
         [](DVRNetworkParams& n) { n.httpPort = 8080; }},
        {"listen port with trailing text", [](SetupNetworkControls& c) { c.listenPort = "6000x"; },
         SETUP_NETWORK_CHANGED, 1, [](DVRNetworkParams& n) { n.listenPort = 6000; }},
        {"port not a number", [](SetupNetworkControls& c) { c.httpPort = "http"; }, SETUP_NETWORK_CHANGED, 1,
         [](DVRNetworkParams& n) { n.httpPort = 0; }},
        {"port not range checked", [](SetupNetworkControls& c) { c.listenPort = "-1"; },
         SETUP_NETWORK_CHANGED, 1, [](DVRNetworkParams& n) { n.listenPort = -1; }},
        {"mail-to", [](SetupNetworkControls& c) { c.mailTo.clear(); }, SETUP_NETWORK_CHANGED, 1,
         [](DVRNetworkParams& n) { SetNodeText(n.mailTo, QString()); }},
        {"password of 300 characters", [](SetupNetworkControls& c) { c.wanPassword = QString(300, u'p'); },
         SETUP_NETWORK_CHANGED, 0,
         [](DVRNetworkParams& n) { SetNodeText(n.wanPassword, QString(255, u'p')); }},
        {"server list without selection", [](SetupNetworkControls& c) { c.wanServer.reset(); },
         SETUP_NETWORK_UNCHANGED, 0, [](DVRNetworkParams&) {}},
    };
    for (const auto& c : cases) {
        DVRNetworkParams record = DvrRecord();
        SetupNetworkControls controls = Shown(record);
        c.change(controls);
        int restart = -7;
        EXPECT_EQ(CollectSetupNetwork(controls, &record, &restart), c.result) << c.name;
        if (c.result == SETUP_NETWORK_CHANGED) {
            EXPECT_EQ(restart, c.restart) << c.name;
        }
        DVRNetworkParams expected = DvrRecord();
        c.expect(expected);
        EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0) << c.name;
    }
}

class SetupNetworkPageTest : public SetupDeviceFixture {
protected:
    void SetUp() override {
        SetupDeviceFixture::SetUp();
        *device->networkParams = DvrRecord();
        english = std::make_unique<ScopedBuiltinLanguage>(0);
        ASSERT_TRUE(page.Create(IDD_DLG_SETUP_NETWORK, &setup));
    }
    void TearDown() override {
        page.DestroyWindow();
        english.reset();
        SetupDeviceFixture::TearDown();
    }
    bool WanControlsEnabled() {
        bool all = true, any = false;
        for (UINT id : {IDC_SETUP_NETWORK_SERVER, IDC_SETUP_NETWORK_USER, IDC_SETUP_NETWORK_PASSWORD}) {
            const bool on = page.GetDlgItem(id)->IsWindowEnabled() != FALSE;
            all = all && on;
            any = any || on;
        }
        EXPECT_EQ(all, any) << "the three WAN controls differ";
        return all;
    }

    std::unique_ptr<ScopedBuiltinLanguage> english;
    CDlgSetupNetwork page{&setup};
};

TEST_F(SetupNetworkPageTest, EveryShowingLoadsAndTheReplyFillsThePage) {
    // At the start: one server item, the WAN controls greyed.
    ASSERT_EQ(page.m_cboServer.GetCount(), 1);
    QString server;
    page.m_cboServer.GetLBText(0, server);
    EXPECT_EQ(server, QString::fromLatin1(WAN_SERVER_HOST));
    EXPECT_FALSE(WanControlsEnabled());

    for (int showing = 1; showing <= 2; ++showing) {
        page.ShowWindow(SW_SHOW);
        page.ShowWindow(SW_HIDE);
        const std::vector<SeenMessage> loads = Posted(WM_SETUP_LOAD);
        ASSERT_EQ(loads.size(), static_cast<size_t>(showing));
        EXPECT_EQ(loads.back().wParam, static_cast<WPARAM>(SETUP_PAGE_NETWORK));
        EXPECT_EQ(loads.back().lParam, 0);
    }
    page.ShowWindow(SW_SHOW);
    Reply(page, SETUP_REPLY_NETWORK);
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_HOST), QStringLiteral("dvr-01"));
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_HTTP_PORT), QStringLiteral("80"));
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_LISTEN_PORT), QStringLiteral("5050"));
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_MAIL_TO), QStringLiteral("alarm@127.0.0.1"));
    EXPECT_EQ(ItemChecked(&page, IDC_SETUP_NETWORK_WAN), 1);
    EXPECT_EQ(page.m_cboServer.GetCurSel(), 0);
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_USER), QStringLiteral("site"));
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_PASSWORD), QStringLiteral("secret"));
    EXPECT_TRUE(WanControlsEnabled());

    // Another page's reply type leaves the page alone.
    SetNodeText(device->networkParams->hostName, QStringLiteral("changed"));
    Reply(page, SETUP_REPLY_SYSTEM);
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_HOST), QStringLiteral("dvr-01"));
}

TEST_F(SetupNetworkPageTest, WanSwitchGreysButKeepsTheTextsThatAreSaved) {
    page.ShowWindow(SW_SHOW);
    Reply(page, SETUP_REPLY_NETWORK);
    ClearPosted();
    CheckItem(&page, IDC_SETUP_NETWORK_WAN, 0);
    Click(page, IDC_SETUP_NETWORK_WAN);
    EXPECT_FALSE(WanControlsEnabled());
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_USER), QStringLiteral("site"));
    Click(page, IDOK);
    Click(page, IDOK);
    const std::vector<SeenMessage> saves = Posted(WM_SETUP_SAVE);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].wParam, static_cast<WPARAM>(SETUP_PAGE_NETWORK));
    EXPECT_EQ(saves[0].lParam, 0);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(page.m_nSavedCountdown, SAVED_NOTICE_TICKS);
    DVRNetworkParams expected = DvrRecord();
    expected.wanEnabled = 0;
    EXPECT_EQ(std::memcmp(device->networkParams.get(), &expected, sizeof expected), 0);
    CheckItem(&page, IDC_SETUP_NETWORK_WAN, 1);
    Click(page, IDC_SETUP_NETWORK_WAN);
    EXPECT_TRUE(WanControlsEnabled());
}

TEST_F(SetupNetworkPageTest, PortChangeTellsOfTheRestartFirst) {
    page.ShowWindow(SW_SHOW);
    Reply(page, SETUP_REPLY_NETWORK);
    ClearPosted();
    size_t savesWhenTold = 99;
    SetPromptHook([&](const PromptRequest& request) {
        messages << request.text;
        savesWhenTold = Posted(WM_SETUP_SAVE).size();
        PromptAnswer answer;
        answer.result = IDOK;
        return answer;
    });
    SetItemText(&page, IDC_SETUP_NETWORK_HTTP_PORT, QStringLiteral("8080"));
    Click(page, IDOK);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0],
              QStringLiteral("You need to restart this program to make these settings take affect!"));
    EXPECT_EQ(savesWhenTold, 0u);
    EXPECT_EQ(Posted(WM_SETUP_SAVE).size(), 1u);
    EXPECT_EQ(device->networkParams->httpPort, 8080);
}

TEST_F(SetupNetworkPageTest, TextsThatCannotTravelWholeAreRefused) {
    ScopedEnv codePage("VISTAL_CODEPAGE", "CP1252");
    page.ShowWindow(SW_SHOW);
    Reply(page, SETUP_REPLY_NETWORK);
    const QString tooLong = QStringLiteral("The text is too long, please input again!");
    const QString notSendable =
        QStringLiteral("The text has characters that cannot be sent, please input again!");
    const struct {
        const char* title;
        UINT id;
        QString typed;
        QString message;
    } cases[] = {
        {"host name of 256 bytes", IDC_SETUP_NETWORK_HOST, QString(256, u'h'), tooLong},
        {"mail-to of 86 Chinese characters", IDC_SETUP_NETWORK_MAIL_TO, QString(86, QChar(0x4e2d)), tooLong},
        // 190 bytes give 256 characters of Base64: one more than the field holds.
        {"WAN user of 190 bytes", IDC_SETUP_NETWORK_USER, QString(190, u'u'), tooLong},
        {"WAN password of 190 bytes", IDC_SETUP_NETWORK_PASSWORD, QString(190, u'p'), tooLong},
        // CP1252 has no Chinese: the user would have gone out as "??".
        {"WAN user the code page cannot hold", IDC_SETUP_NETWORK_USER, QStringLiteral("\u7528\u6237"),
         notSendable},
    };
    const DVRNetworkParams before = DvrRecord();
    for (const auto& c : cases) {
        Reply(page, SETUP_REPLY_NETWORK);
        SetItemText(&page, c.id, c.typed);
        messages.clear();
        ClearPosted();
        // An earlier save's "Saved." is showing; the refusal takes it away at once.
        page.m_nSavedCountdown = SAVED_NOTICE_TICKS;
        page.SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0);
        ASSERT_TRUE(page.GetDlgItem(IDC_SETUP_SAVED_NOTICE)->IsWindowVisible()) << c.title;
        Click(page, IDOK);
        EXPECT_EQ(messages, QStringList{c.message}) << c.title;
        EXPECT_TRUE(Posted(WM_SETUP_SAVE).empty()) << c.title;
        EXPECT_EQ(page.m_nSavedCountdown, 0) << c.title;
        EXPECT_FALSE(page.GetDlgItem(IDC_SETUP_SAVED_NOTICE)->IsWindowVisible()) << c.title;
        EXPECT_EQ(std::memcmp(device->networkParams.get(), &before, sizeof before), 0) << c.title;
    }
}

TEST_F(SetupNetworkPageTest, AnUnknownServerValueIsReplacedByTheListsServer) {
    device->networkParams->wanServer = 3;
    page.ShowWindow(SW_SHOW);
    Reply(page, SETUP_REPLY_NETWORK);
    EXPECT_EQ(page.m_cboServer.GetCurSel(), 0);
    Click(page, IDOK);
    EXPECT_EQ(device->networkParams->wanServer, 0);
    EXPECT_EQ(Posted(WM_SETUP_SAVE).size(), 1u);
}

TEST_F(SetupNetworkPageTest, NothingIsSentWithoutTheDvrsRecordOrBeforeItsReply) {
    page.ShowWindow(SW_SHOW);
    SetItemText(&page, IDC_SETUP_NETWORK_HOST, QStringLiteral("typed"));
    Click(page, IDOK);
    EXPECT_TRUE(Posted(WM_SETUP_SAVE).empty());
    const DVRNetworkParams expected = DvrRecord();
    EXPECT_EQ(std::memcmp(device->networkParams.get(), &expected, sizeof expected), 0);
    device->networkParams.reset();
    Reply(page, SETUP_REPLY_NETWORK);
    EXPECT_EQ(ItemText(&page, IDC_SETUP_NETWORK_HOST), QStringLiteral("typed"));
    Click(page, IDOK);
    EXPECT_TRUE(Posted(WM_SETUP_SAVE).empty());
}

}  // namespace
