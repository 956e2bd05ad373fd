// What every setup page shares: asking for its values when shown, the channel combo and its previews,
// replies for a channel the operator has left, Set and All Set waiting for the chosen channel's values,
// the saved notice, Exit, and a page without an owner.

#include "ui/dialogs/setup_page.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>

#include "core/window_messages.h"
#include "dvr/dvr_session.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"
#include "platform/video/video_canvas.h"
#include "tests/platform/ui/ui_test_support.h"
#include "ui/dialogs/device_channels.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const DialogItemTemplate kItems[] = {
    {IDC_SETUP_CHANNEL, WC_COMBOBOX, kChild | WS_TABSTOP | CBS_DROPDOWNLIST, "", 7, 7, 80, 100},
    {IDC_SETUP_PREVIEW, WC_STATIC, kChild, "", 7, 30, 80, 60},
    {IDOK, WC_BUTTON, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, "Set", 7, 100, 40, 14},
    {IDC_SETUP_ALL_SET, WC_BUTTON, kChild | WS_TABSTOP, "All Set", 50, 100, 40, 14},
    {IDCANCEL, WC_BUTTON, kChild | WS_TABSTOP, "Exit", 93, 100, 40, 14},
    {IDC_SETUP_SAVED_NOTICE, WC_STATIC, WS_CHILD, "Saved.", 140, 100, 40, 14},
};
const DialogTemplate kPageTemplate = MakeDialogTemplate(9001, WS_CHILD, "", 0, 0, 200, 130, kItems);

constexpr int kPageCode = SETUP_PAGE_ALARM;
constexpr int kView = 2;

// A page whose Collect answers from a table and which logs what reached it.
class TestPage : public CSetupPage {
public:
    TestPage(CWnd* owner, SetupPageKind kind)
        : CSetupPage(&kPageTemplate, owner, kPageCode, kind, kind == SetupPageKind::Channel ? kView : -1) {}
    std::vector<std::pair<int, int>> fills;  // reply type, index
    std::vector<int> collected;
    std::map<int, int> collectResult;  // channel -> result (default 0)
    std::vector<uint8_t> pickerMask = std::vector<uint8_t>(CHANNEL_MASK_BYTES, 0);
    intptr_t pickerAnswer = IDOK;

    void Set() { SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
    void AllSet() { SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SETUP_ALL_SET, BN_CLICKED), 0); }
    void Exit() { SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }
    void Reply(int type, int index) {
        MSG msg{};
        msg.hwnd = GetSafeHwnd();
        msg.message = WM_DEVICE_PARAMS_RECEIVED;
        msg.wParam = static_cast<WPARAM>(type);
        msg.lParam = index;
        PreTranslateMessage(&msg);
    }
    void Tick() { SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0); }
    void Choose(int item) {
        m_cboChannel.SetCurSel(item);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SETUP_CHANNEL, CBN_SELCHANGE), 0);
    }
    bool Enabled(UINT id) const { return GetDlgItem(id)->IsWindowEnabled() != FALSE; }

protected:
    void ApplyLanguage() override {}
    void FillFromDevice(int replyType, int index) override { fills.emplace_back(replyType, index); }
    int Collect(int channel) override {
        collected.push_back(channel);
        auto it = collectResult.find(channel);
        return it == collectResult.end() ? 0 : it->second;
    }
    intptr_t RunChannelPicker(uint8_t* mask) override {
        std::copy(pickerMask.begin(), pickerMask.end(), mask);
        return pickerAnswer;
    }
};

// A selected DVR with count channels named "Cam <i>", channel 1 without a name.
class SetupPageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        device = std::make_unique<DVRDevice>();
        ASSERT_EQ(AllocDeviceChannels(device.get(), 6), 0);
        for (int i = 0; i < 6; ++i) {
            if (i == 1)
                continue;
            QString name = QString("Cam %1").arg(i);
            std::copy_n(reinterpret_cast<const char16_t*>(name.utf16()), name.size(),
                        device->channels[i].name);
        }
        g_currentDevice = device.get();
        ASSERT_TRUE(owner.CreateTest(nullptr, WS_POPUP));
        owner.ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        g_currentDevice = nullptr;
        if (page != nullptr)
            page->DestroyWindow();
        page.reset();
        owner.DestroyWindow();
    }
    TestPage& Make(SetupPageKind kind) {
        page = std::make_unique<TestPage>(&owner, kind);
        EXPECT_TRUE(page->Create(&kPageTemplate, &owner));
        return *page;
    }
    // What reached the owner since the last call: message, wParam, lParam.
    std::vector<SeenMessage> Posted() {
        DrainPostedEvents();
        std::vector<SeenMessage> seen;
        for (const SeenMessage& m : log) {
            if (m.who == "host" && m.message >= WM_USER)
                seen.push_back(m);
        }
        log.clear();
        return seen;
    }
    LPARAM PreviewHandle() const {
        return reinterpret_cast<LPARAM>(page->GetDlgItem(IDC_SETUP_PREVIEW)->GetSafeHwnd());
    }

    std::unique_ptr<DVRDevice> device;
    std::vector<SeenMessage> log;
    RecordingWnd owner{"host", &log};
    std::unique_ptr<TestPage> page;
};

struct Post {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

void ExpectPosts(const std::vector<SeenMessage>& seen, const std::vector<Post>& want) {
    ASSERT_EQ(seen.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(seen[i].message, want[i].message) << i;
        EXPECT_EQ(seen[i].wParam, want[i].wParam) << i;
        EXPECT_EQ(seen[i].lParam, want[i].lParam) << i;
    }
}

WPARAM PreviewWord(int channel) {
    return static_cast<WPARAM>(channel) << 16 | kView;
}

TEST_F(SetupPageFixture, PlainPageAsksWhenShownAndSavesOnlyOnceLoaded) {
    TestPage& p = Make(SetupPageKind::Plain);
    Posted();
    p.ShowWindow(SW_SHOW);
    ExpectPosts(Posted(), {{WM_SETUP_LOAD, kPageCode, 0}});
    EXPECT_FALSE(p.Enabled(IDOK));

    // Enter before the values arrived sends nothing.
    p.Set();
    EXPECT_TRUE(p.collected.empty());
    p.Reply(SETUP_REPLY_ALARM, 0);
    EXPECT_TRUE(p.Enabled(IDOK));
    p.Set();
    ExpectPosts(Posted(), {{WM_SETUP_SAVE, kPageCode, 0}});

    // Nothing changed: no save, no notice.
    p.collectResult[0] = -1;
    p.m_nSavedCountdown = 0;
    p.Set();
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(p.m_nSavedCountdown, 0);

    // Shown again: asks again and waits for the values again.
    p.ShowWindow(SW_HIDE);
    p.ShowWindow(SW_SHOW);
    ExpectPosts(Posted(), {{WM_SETUP_LOAD, kPageCode, 0}});
    EXPECT_FALSE(p.Enabled(IDOK));
}

TEST_F(SetupPageFixture, SavedNoticeShowsFromTheNextTickUntilTheThird) {
    TestPage& p = Make(SetupPageKind::Plain);
    p.ShowWindow(SW_SHOW);
    p.Reply(SETUP_REPLY_ALARM, 0);
    p.Set();
    CWnd* notice = p.GetDlgItem(IDC_SETUP_SAVED_NOTICE);
    EXPECT_FALSE(notice->IsWindowVisible());
    const bool shown[] = {true, true, false, false};
    for (bool want : shown) {
        p.Tick();
        EXPECT_EQ(notice->IsWindowVisible() != FALSE, want);
    }
}

TEST_F(SetupPageFixture, ChannelComboListsNamedChannelsAndLoadsWithPreview) {
    TestPage& p = Make(SetupPageKind::Channel);
    p.ShowWindow(SW_SHOW);
    EXPECT_TRUE(Posted().empty());  // nothing loads before a channel is chosen
    ASSERT_EQ(p.m_cboChannel.GetCount(), 5);
    EXPECT_EQ(p.m_cboChannel.GetCurSel(), -1);
    EXPECT_EQ(p.m_cboChannel.GetItemData(1), 2u);  // "Cam 1" has no name and no item

    p.Choose(1);
    ExpectPosts(Posted(),
                {{WM_SETUP_LOAD, kPageCode, 2}, {WM_PREVIEW_OPEN, PreviewWord(2), PreviewHandle()}});
    p.Choose(3);
    ExpectPosts(Posted(), {{WM_SETUP_LOAD, kPageCode, 4},
                           {WM_PREVIEW_CLOSE, PreviewWord(2), 0},
                           {WM_PREVIEW_OPEN, PreviewWord(4), PreviewHandle()}});
    // The channel already chosen loads nothing.
    p.Choose(3);
    EXPECT_TRUE(Posted().empty());

    // Hidden: the preview goes and the channel is forgotten, so the same choice loads again later.
    p.ShowWindow(SW_HIDE);
    ExpectPosts(Posted(), {{WM_PREVIEW_CLOSE, PreviewWord(4), 0}});
    EXPECT_EQ(p.m_nCurChannel, -1);
    p.ShowWindow(SW_SHOW);
    EXPECT_EQ(p.m_cboChannel.GetCurSel(), -1);
    p.Choose(3);
    EXPECT_EQ(Posted().front().message, static_cast<UINT>(WM_SETUP_LOAD));
}

TEST_F(SetupPageFixture, RepliesForAChannelLeftBehindAreDropped) {
    TestPage& p = Make(SetupPageKind::Channel);
    p.ShowWindow(SW_SHOW);
    p.Choose(1);  // channel 2
    p.Choose(2);  // channel 3, before channel 2's values came
    Posted();
    p.Reply(SETUP_REPLY_ALARM, 2);
    EXPECT_TRUE(p.fills.empty());
    EXPECT_FALSE(p.Enabled(IDOK));
    EXPECT_FALSE(p.Enabled(IDC_SETUP_ALL_SET));
    // Set before the chosen channel's values arrived writes nothing into channel 3.
    p.Set();
    p.AllSet();
    EXPECT_TRUE(p.collected.empty());

    p.Reply(SETUP_REPLY_ALARM, 3);
    EXPECT_EQ(p.fills, (std::vector<std::pair<int, int>>{{SETUP_REPLY_ALARM, 3}}));
    EXPECT_TRUE(p.Enabled(IDOK));
    p.Set();
    ExpectPosts(Posted(), {{WM_SETUP_SAVE, kPageCode, 3}});
    EXPECT_EQ(p.m_nSavedCountdown, SAVED_NOTICE_TICKS);
}

TEST_F(SetupPageFixture, AllSetSavesThePickedChannelsThatChanged) {
    TestPage& p = Make(SetupPageKind::Channel);
    p.ShowWindow(SW_SHOW);
    p.Choose(0);
    p.Reply(SETUP_REPLY_ALARM, 0);
    Posted();
    // Channels 0, 3 and 5 picked, a bit past the DVR's six channels too; channel 3 unchanged.
    p.pickerMask[0] = 0x29;
    p.pickerMask[1] = 0x01;
    p.collectResult[3] = -1;
    p.AllSet();
    EXPECT_EQ(p.collected, (std::vector<int>{0, 3, 5}));
    ExpectPosts(Posted(), {{WM_SETUP_SAVE, kPageCode, 0}, {WM_SETUP_SAVE, kPageCode, 5}});
    EXPECT_EQ(p.m_nSavedCountdown, 0);  // All Set shows no notice

    p.collected.clear();
    p.pickerAnswer = IDCANCEL;
    p.AllSet();
    EXPECT_TRUE(p.collected.empty());
}

TEST_F(SetupPageFixture, ExitAsksTheHostAndAPageWithoutOwnerPostsNothing) {
    TestPage& p = Make(SetupPageKind::Plain);
    Posted();
    p.Exit();
    ExpectPosts(Posted(), {{WM_SETUP_PAGE_EXIT, 0, 0}});

    TestPage orphan(nullptr, SetupPageKind::Channel);
    ASSERT_TRUE(orphan.Create(&kPageTemplate, &owner));
    orphan.ShowWindow(SW_SHOW);
    EXPECT_EQ(orphan.PostToOwner(WM_SETUP_LOAD, 0, 0), -1);
    orphan.Choose(0);
    EXPECT_EQ(orphan.m_nCurChannel, -1);  // nothing was asked, so nothing is current
    orphan.DestroyWindow();
    EXPECT_TRUE(Posted().empty());
}

// The preview frame shows what a decode thread draws into the canvas registered for its window, and the
// canvas goes with the page.
TEST_F(SetupPageFixture, PreviewFrameShowsWhatIsDrawnIntoItsCanvas) {
    TestPage& p = Make(SetupPageKind::Channel);
    p.ShowWindow(SW_SHOW);
    const HWND frame = p.GetDlgItem(IDC_SETUP_PREVIEW)->GetSafeHwnd();
    std::shared_ptr<VideoCanvas> canvas = FindWindowCanvas(frame);
    ASSERT_NE(canvas, nullptr);
    QWidget* widget = p.GetDlgItem(IDC_SETUP_PREVIEW)->GetWidget();
    {
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
        ASSERT_EQ(canvas->Image().size(), widget->size());
        canvas->Image().fill(QColor(200, 30, 40));
    }
    canvas->RequestRepaint();  // as a decode thread does, from any thread
    DrainPostedEvents();
    const QImage shown = widget->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(200, 30, 40));

    // Hidden, the page's repaint request stops the drawing until the frame paints again.
    p.ShowWindow(SW_HIDE);
    canvas->RequestRepaint();
    DrainPostedEvents();
    EXPECT_FALSE(canvas->IsShown());

    p.DestroyWindow();
    EXPECT_EQ(FindWindowCanvas(frame), nullptr);
    page.reset();
}

}  // namespace
