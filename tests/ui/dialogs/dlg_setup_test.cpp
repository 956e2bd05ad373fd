// The setup dialog as a tab host, over pages that record what reaches them: which page each reply type
// reaches, the requests carried to the owner, every opening on the first tab, Escape and Enter, the
// caption, the language switch and a missing tab title, and a page that cannot be made. Pictures of the
// dialog with this build's pages filled, in the three languages: dlg_setup_<page>_<language>.png.

#include "ui/dialogs/dlg_setup.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>
#include <new>

#include "core/window_messages.h"
#include "resources/language/builtin_language.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/setup_device_fixture.h"
#include "ui/dialogs/setup_page.h"
#include "ui/dialogs/setup_system.h"

namespace {

constexpr UINT kEmptyPageTemplate = 153;  // a 517 x 345 child page with only an Exit button

// A page that records the replies, language switches and showings that reach it.
class RecordingPage : public CSetupPage {
public:
    RecordingPage(CWnd* owner, int code)
        : CSetupPage(kEmptyPageTemplate, owner, code, SetupPageKind::Plain) {}
    std::vector<std::pair<int, int>> replies;
    int languageApplied = 0;
    int shown = 0;

protected:
    void ApplyLanguage() override { ++languageApplied; }
    void FillFromDevice(int replyType, int index) override { replies.emplace_back(replyType, index); }
    int Collect(int) override { return -1; }
    bool AcceptsReply(int, int) const override { return true; }
    void OnShown() override { ++shown; }
};

RecordingPage* g_made[SETUP_PAGE_COUNT];
int g_failAt = -1;  // the page code whose allocation fails

template <int Code>
CSetupPage* MakeRecordingPage(CWnd* owner) {
    if (Code == g_failAt)
        return nullptr;
    g_made[Code] = new (std::nothrow) RecordingPage(owner, Code);
    return g_made[Code];
}

const SetupPageEntry kRecordingTable[SETUP_PAGE_COUNT] = {
    {0, kEmptyPageTemplate, MakeRecordingPage<0>},
    {1, kEmptyPageTemplate, MakeRecordingPage<1>},
    {2, kEmptyPageTemplate, MakeRecordingPage<2>},
    {3, kEmptyPageTemplate, MakeRecordingPage<3>},
    {4, kEmptyPageTemplate, MakeRecordingPage<4>},
    {5, kEmptyPageTemplate, MakeRecordingPage<5>},
    {6, kEmptyPageTemplate, nullptr},
    {7, kEmptyPageTemplate, MakeRecordingPage<7>},
};

// Chooses a tab as a click on it does.
void SelectTab(CDlgSetup& host, int tab) {
    host.m_tabCtrl.SetCurSel(tab);
    NMHDR change{};
    change.idFrom = IDC_SETUP_TAB;
    change.code = TCN_SELCHANGE;
    host.SendMessage(WM_NOTIFY, IDC_SETUP_TAB, reinterpret_cast<LPARAM>(&change));
}

class SetupHostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::fill(std::begin(g_made), std::end(g_made), nullptr);
        g_failAt = -1;
    }
    void TearDown() override { g_failAt = -1; }
    // The host over the recording pages (the Alarm page left out), created from its template.
    std::unique_ptr<CDlgSetup> MakeHost(CWnd* owner) {
        auto host = std::make_unique<CDlgSetup>(owner, kRecordingTable);
        created = host->Create(IDD_DLG_SETUP, owner) != FALSE;
        return host;
    }

    MainWindowStandIn main;
    bool created = false;
};

TEST_F(SetupHostFixture, EachReplyTypeReachesItsPageOnly) {
    auto host = MakeHost(main.Wnd());
    ASSERT_TRUE(created);
    ASSERT_EQ(host->m_pages[SETUP_PAGE_ALARM], nullptr);
    const struct {
        WPARAM type;
        int page;  // -1: no page
    } cases[] = {
        {0, -1},
        {SETUP_REPLY_SYSTEM, SETUP_PAGE_SYSTEM},
        {SETUP_REPLY_USER_LIST, SETUP_PAGE_USER},
        {SETUP_REPLY_USER, SETUP_PAGE_USER},
        {SETUP_REPLY_OVERLAY, SETUP_PAGE_CHANNEL},
        {SETUP_REPLY_COLOR, SETUP_PAGE_CHANNEL},
        {SETUP_REPLY_VIDEO_MASK, SETUP_PAGE_CHANNEL},
        {SETUP_REPLY_CAMERA, SETUP_PAGE_CAMERA},
        {SETUP_REPLY_PRESETS, SETUP_PAGE_CAMERA},
        {SETUP_REPLY_VIDEO, SETUP_PAGE_VIDEO},
        {SETUP_REPLY_AUDIO, SETUP_PAGE_VIDEO},
        {SETUP_REPLY_SCHEDULE, SETUP_PAGE_RECORD},
        {SETUP_REPLY_ALARM, -1},  // the Alarm page does not exist here
        {SETUP_REPLY_MOTION_MASK, -1},
        {SETUP_REPLY_NETWORK, SETUP_PAGE_NETWORK},
        {SETUP_REPLY_DISKS, SETUP_PAGE_SYSTEM},
        {SETUP_REPLY_LANGUAGES, SETUP_PAGE_SYSTEM},
        {17, -1},
        {static_cast<WPARAM>(-1), -1},
    };
    for (const auto& c : cases) {
        for (RecordingPage* page : g_made) {
            if (page != nullptr)
                page->replies.clear();
        }
        host->PostMessage(WM_DEVICE_PARAMS_RECEIVED, c.type, 5);
        DrainPostedEvents();
        DrainPostedEvents();
        for (int code = 0; code < SETUP_PAGE_COUNT; ++code) {
            if (g_made[code] == nullptr)
                continue;
            const std::vector<std::pair<int, int>> expected =
                code == c.page ? std::vector<std::pair<int, int>>{{static_cast<int>(c.type), 5}}
                               : std::vector<std::pair<int, int>>{};
            EXPECT_EQ(g_made[code]->replies, expected) << "type " << c.type << " page " << code;
        }
    }
    EXPECT_EQ(CDlgSetup::PageOfReply(SETUP_REPLY_ALARM), SETUP_PAGE_ALARM);
    host->DestroyWindow();
    EXPECT_EQ(host->m_pages[SETUP_PAGE_SYSTEM], nullptr);
}

TEST_F(SetupHostFixture, PagesRequestsReachTheOwnerUnchanged) {
    auto host = MakeHost(main.Wnd());
    ASSERT_TRUE(created);
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {WM_SETUP_SAVE, SETUP_PAGE_CAMERA, 3}, {WM_SETUP_LOAD, SETUP_PAGE_USER, -1},
        {WM_LANGUAGE_CHANGED, 0, 0},           {WM_PREVIEW_OPEN, (5 << 16) | 1, 0x1234},
        {WM_PREVIEW_CLOSE, (7 << 16) | 2, 0},
    };
    for (const auto& c : cases) {
        // Posted by a page to its owner, the host.
        ASSERT_EQ(g_made[SETUP_PAGE_SYSTEM]->PostToOwner(c.message, c.wParam, c.lParam), 0);
        const std::vector<SeenMessage> seen = main.Received(c.message);
        ASSERT_EQ(seen.size(), 1u) << c.message;
        EXPECT_EQ(seen[0].wParam, c.wParam);
        EXPECT_EQ(seen[0].lParam, c.lParam);
    }
    // Without an owner they go nowhere.
    auto orphan = MakeHost(nullptr);
    ASSERT_TRUE(created);
    orphan->PostMessage(WM_SETUP_SAVE, SETUP_PAGE_SYSTEM, 0);
    orphan->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    DrainPostedEvents();
    EXPECT_EQ(main.Received(WM_SETUP_SAVE).size(), 1u);
    EXPECT_TRUE(main.Received(WM_CHILD_CLOSED).empty());
    orphan->DestroyWindow();
    host->DestroyWindow();
}

TEST_F(SetupHostFixture, EveryOpeningStartsOnTheFirstTabAndHidingHidesThePages) {
    auto host = MakeHost(main.Wnd());
    ASSERT_TRUE(created);
    for (int opening = 0; opening < 2; ++opening) {
        host->ShowWindow(SW_SHOW);
        DrainPostedEvents();
        EXPECT_EQ(host->m_tabCtrl.GetCurSel(), 0);
        EXPECT_EQ(host->VisiblePage(), SETUP_PAGE_SYSTEM);
        SelectTab(*host, 3);
        EXPECT_EQ(host->VisiblePage(), SETUP_PAGE_VIDEO);
        // The Alarm tab has no page: nothing shows.
        SelectTab(*host, SETUP_PAGE_ALARM);
        EXPECT_EQ(host->VisiblePage(), -1);
        SelectTab(*host, SETUP_PAGE_NETWORK);
        EXPECT_EQ(host->VisiblePage(), SETUP_PAGE_NETWORK);
        host->ShowWindow(SW_HIDE);
        DrainPostedEvents();
        for (RecordingPage* page : g_made) {
            if (page != nullptr) {
                EXPECT_FALSE(page->IsWindowVisible());
            }
        }
    }
    // The page area: 10 units in from the sides and bottom, 34 from the top, in pixels of the client area.
    RECT client{}, page{};
    host->GetClientRect(&client);
    g_made[SETUP_PAGE_SYSTEM]->GetWindowRect(&page);
    host->ScreenToClient(&page);
    EXPECT_EQ(page.left, 10);
    EXPECT_EQ(page.top, 34);
    EXPECT_EQ(client.right - page.right, 10);
    EXPECT_EQ(client.bottom - page.bottom, 10);
    EXPECT_EQ(g_made[SETUP_PAGE_SYSTEM]->shown, 2);
    host->DestroyWindow();
}

TEST_F(SetupHostFixture, EscapeAndExitCloseThroughTheOwnerEnterDoesNothing) {
    auto host = MakeHost(main.Wnd());
    ASSERT_TRUE(created);
    host->ShowWindow(SW_SHOW);
    host->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(main.Received(WM_CHILD_CLOSED).empty());
    EXPECT_TRUE(host->IsWindowVisible());

    host->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    // A page's Exit button.
    g_made[SETUP_PAGE_SYSTEM]->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    const std::vector<SeenMessage> closed = main.Received(WM_CHILD_CLOSED);
    ASSERT_EQ(closed.size(), 2u);
    for (const SeenMessage& m : closed) {
        EXPECT_EQ(m.wParam, static_cast<WPARAM>(CHILD_SETUP));
        EXPECT_EQ(m.lParam, 0);
    }
    // The host leaves its hiding to the owner.
    EXPECT_TRUE(host->IsWindowVisible());
    host->DestroyWindow();
}

TEST(SetupHost, CaptionAnswersAsClientArea) {
    const struct {
        LRESULT hit;
        LRESULT answer;
    } cases[] = {{HTCAPTION, HTCLIENT}, {HTCLIENT, HTCLIENT}, {HTNOWHERE, HTNOWHERE}, {HTCLOSE, HTCLOSE}};
    for (const auto& c : cases)
        EXPECT_EQ(CDlgSetup::CaptionAsClient(c.hit), c.answer) << c.hit;
}

TEST_F(SetupHostFixture, LanguageSwitchRetitlesKeepsTheTabAndReachesEveryPage) {
    auto english = std::make_unique<ScopedBuiltinLanguage>(0);
    auto host = MakeHost(main.Wnd());
    ASSERT_TRUE(created);
    ASSERT_EQ(host->m_tabCtrl.GetItemCount(), 8);
    EXPECT_EQ(host->GetWindowText(), QStringLiteral("DVR parameters setup"));
    EXPECT_EQ(host->m_tabCtrl.GetItemText(0), QStringLiteral("System setup"));
    EXPECT_EQ(host->m_tabCtrl.GetItemText(3), QStringLiteral("Audio&&Video setup"));
    EXPECT_EQ(host->m_tabCtrl.GetItemText(7), QStringLiteral("Network setup"));
    host->ShowWindow(SW_SHOW);
    SelectTab(*host, 5);
    english.reset();

    // A language file without the title of tab 2.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("language.txt"));
    QString text = QString::fromUtf8(BuiltinLanguageText(1));
    const QString chineseTitle = text.section(QStringLiteral("DLGSETUP_TITLE="), 1).section(u'\n', 0, 0);
    const QString chineseTab7 = text.section(QStringLiteral("DLGSETUP_TAB_7="), 1).section(u'\n', 0, 0);
    text.remove(QRegularExpression(QStringLiteral("DLGSETUP_TAB_2=[^\n]*\n")));
    ASSERT_TRUE(ReplaceUtf16File(path, text));
    theApp.m_iniLanguage.SetPath(path);
    host->PostMessage(WM_APPLY_LANGUAGE, reinterpret_cast<WPARAM>(main.Wnd()), 0);
    DrainPostedEvents();
    DrainPostedEvents();
    EXPECT_EQ(host->GetWindowText(), chineseTitle);
    EXPECT_EQ(host->m_tabCtrl.GetItemText(7), chineseTab7);
    EXPECT_EQ(host->m_tabCtrl.GetItemText(2), QString());
    EXPECT_EQ(host->m_tabCtrl.GetCurSel(), 5);
    EXPECT_EQ(host->m_tabCtrl.GetItemCount(), 8);
    for (RecordingPage* page : g_made) {
        if (page != nullptr) {
            EXPECT_EQ(page->languageApplied, 2);  // at creation and at the switch
        }
    }
    // The host's own broadcast coming back up from a page changes nothing.
    host->PostMessage(WM_APPLY_LANGUAGE, reinterpret_cast<WPARAM>(host.get()), 0);
    DrainPostedEvents();
    DrainPostedEvents();
    EXPECT_EQ(g_made[SETUP_PAGE_SYSTEM]->languageApplied, 2);
    theApp.m_iniLanguage.SetPath(QString());
    host->DestroyWindow();
}

TEST_F(SetupHostFixture, APageThatCannotBeMadeStopsTheStart) {
    g_failAt = SETUP_PAGE_CHANNEL;
    auto host = MakeHost(main.Wnd());
    ASSERT_TRUE(created);
    // The pages made before the failure stay until the host goes; there are no tabs and no title.
    EXPECT_NE(host->m_pages[SETUP_PAGE_USER], nullptr);
    EXPECT_EQ(host->m_pages[SETUP_PAGE_VIDEO], nullptr);
    EXPECT_EQ(host->m_tabCtrl.GetItemCount(), 0);
    EXPECT_EQ(host->GetWindowText(), QStringLiteral("DVR Parameter"));
    host->DestroyWindow();
    EXPECT_EQ(host->m_pages[SETUP_PAGE_USER], nullptr);
}

using SetupPicturesTest = SetupDeviceFixture;

TEST_F(SetupPicturesTest, PagesFilledInEachLanguageFitTheirTexts) {
    SystemSettings& s = *device->systemParams;
    SetNodeText(s.RecordDisks, QStringLiteral("DE"));
    SetNodeText(s.RecordDir, QStringLiteral("Record"));
    SetNodeText(s.SnapshotPath, QStringLiteral("C:\\Snapshots\\"));
    s.VideoStandard = 1;
    s.MuxMode = 1;
    s.ScrollInterval = 5;
    s.Language = 1;
    s.EnableBeep = 1;
    DVRNetworkParams& n = *device->networkParams;
    SetNodeText(n.hostName, QStringLiteral("dvr-01"));
    n.httpPort = 80;
    n.listenPort = 5050;
    SetNodeText(n.mailTo, QStringLiteral("alarm@127.0.0.1"));
    n.wanEnabled = 1;
    SetNodeText(n.wanUser, QStringLiteral("site"));
    SetNodeText(n.wanPassword, QStringLiteral("secret"));
    PublishDisks(QStringLiteral("CDEF"));
    PublishLanguages({QStringLiteral("English"), QStringLiteral("Chinese (Simplified)"),
                      QStringLiteral("Chinese (Traditional)")});

    CDlgSetup host(main.Wnd());
    ASSERT_TRUE(host.Create(IDD_DLG_SETUP, main.Wnd()));
    host.ShowWindow(SW_SHOW);
    const struct {
        int page;
        const char* name;
        int replies[3];
    } pages[] = {
        {SETUP_PAGE_SYSTEM, "system", {SETUP_REPLY_DISKS, SETUP_REPLY_LANGUAGES, SETUP_REPLY_SYSTEM}},
        {SETUP_PAGE_NETWORK, "network", {SETUP_REPLY_NETWORK, 0, 0}},
    };
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        host.PostMessage(WM_APPLY_LANGUAGE, reinterpret_cast<WPARAM>(main.Wnd()), 0);
        DrainPostedEvents();
        DrainPostedEvents();
        for (const auto& p : pages) {
            SelectTab(host, p.page);
            for (int type : p.replies) {
                if (type != 0)
                    host.PostMessage(WM_DEVICE_PARAMS_RECEIVED, static_cast<WPARAM>(type), 0);
            }
            DrainPostedEvents();
            DrainPostedEvents();
            ASSERT_EQ(host.VisiblePage(), p.page);
            EXPECT_EQ(TextFitFaults(host.GetWidget(), true), QStringList())
                << kLanguageNames[language] << p.name;
            EXPECT_TRUE(host.GetWidget()->grab().save(
                PicturePath(QStringLiteral("dlg_setup_%1_%2.png").arg(p.name, kLanguageNames[language]))));
        }
    }
    auto* system = static_cast<CDlgSetupSystem*>(host.m_pages[SETUP_PAGE_SYSTEM]);
    EXPECT_EQ(system->m_listDisks.GetItemCount(), 4);
    EXPECT_TRUE(system->m_listDisks.GetCheck(1));
    host.DestroyWindow();
}

}  // namespace
