// The channel page: choosing a channel (load and preview view 0), the replies filling name, overlays,
// colours and mask copy, Set writing only changed overlays, the colour sliders sending while dragged and
// only once loaded, "Default", the overlay boxes' enabling, the colour and font dialogs, the mask toggled
// with the mouse over the preview grid and restored on hide for its own channel only, Save and Clear Mask,
// All Set keeping each channel's name, the colour swatch control, and name, mask and colours reaching the
// simulated DVR and coming back from it. Pictures:
// setup_channel_<language>.png.

#include "ui/dialogs/setup_channel.h"

#include <gtest/gtest.h>

#include <QTest>
#include <cstring>

#include "core/window_messages.h"
#include "dvr/dvr_protocol.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/prompt_hook.h"
#include "platform/ui/range_ctrls.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/setup_page_owner.h"
#include "tests/ui/dialogs/setup_page_sim.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/setup_channel_font.h"

namespace {

using setup_test::PageOwner;
using setup_test::Posted;
using setup_test::SelectedDevice;

constexpr int kChannels = 4;

void FillRecord(DVRChannel& r, int seed) {
    r.titleOverlay = OverlaySettings{1, 2, 10 + seed, 20, 0x000000FFu, {}};
    r.timeOverlay = OverlaySettings{0, 1, 4, 5, 0x0000FF00u, {}};
    r.titleOverlay.font.lfHeight = -16;
    r.titleOverlay.font.lfWeight = 400;
    std::copy_n(u"Sans", 4, r.titleOverlay.font.lfFaceName);
    std::copy_n(u"Mono", 4, r.timeOverlay.font.lfFaceName);
    r.brightness = 100 + seed;
    r.contrast = 110;
    r.hue = 120;
    r.saturation = 130;
    std::fill(std::begin(r.videoMask), std::end(r.videoMask), uint8_t{0});
    r.videoMask[0] = static_cast<uint8_t>(0x01 << seed);
}

using PickerChannelPage = setup_test::PickerPage<CDlgSetupChannel>;

class ChannelPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.ok());
        for (int i = 0; i < kChannels; ++i)
            FillRecord(device[i], i);
        ASSERT_TRUE(owner.CreateOwner());
        page = std::make_unique<PickerChannelPage>(&owner);
        ASSERT_TRUE(page->Create(IDD_SETUP_CHANNEL, &owner));
        page->ShowWindow(SW_SHOW);
        DrainPostedEvents();
        owner.posts.clear();
    }
    void TearDown() override {
        SetPromptHook(nullptr);
        page->DestroyWindow();
        owner.DestroyWindow();
    }
    CComboBox* Combo(UINT id) { return dynamic_cast<CComboBox*>(page->GetDlgItem(id)); }
    CSliderCtrl* Slider(UINT id) { return dynamic_cast<CSliderCtrl*>(page->GetDlgItem(id)); }
    HWND Hwnd(UINT id) { return page->GetDlgItem(id)->GetSafeHwnd(); }
    void Choose(int channel) { setup_test::ChooseChannel(page.get(), channel); }
    void Reply(int type, int channel) { setup_test::PostReply(page.get(), type, channel); }
    void Load(int channel) {
        Choose(channel);
        for (int type : {SETUP_REPLY_OVERLAY, SETUP_REPLY_COLOR, SETUP_REPLY_VIDEO_MASK})
            Reply(type, channel);
        owner.posts.clear();
    }
    void Click(UINT id) { setup_test::ClickButton(page.get(), id); }
    // A press at a and a release at b, in page coordinates, on whatever control lies there (the preview
    // frame lets the mouse through to the page).
    void Drag(QPoint a, QPoint b) {
        QWidget* pageWidget = page->GetWidget();
        QWidget* target = pageWidget->childAt(a);
        if (target == nullptr)
            target = pageWidget;
        QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(pageWidget, a));
        QTest::mouseMove(target, target->mapFrom(pageWidget, b));
        QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFrom(pageWidget, b));
        DrainPostedEvents();
    }
    QPoint CellCentre(int cell) {
        const RECT& r = page->Grid().cells[cell];
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    std::vector<uint8_t> Mask(int channel) {
        return std::vector<uint8_t>(std::begin(device[channel].videoMask),
                                    std::end(device[channel].videoMask));
    }

    SelectedDevice device{kChannels};
    PageOwner owner;
    std::unique_ptr<PickerChannelPage> page;
};

TEST_F(ChannelPageTest, ChoosingAChannelLoadsItAndMovesThePreview) {
    const auto frame = reinterpret_cast<LPARAM>(Hwnd(1099));
    Choose(1);
    EXPECT_EQ(owner.posts, (std::vector<Posted>{{WM_SETUP_LOAD, SETUP_PAGE_CHANNEL, 1},
                                                {WM_PREVIEW_OPEN, WPARAM{1} << 16, frame}}));
    owner.posts.clear();
    Choose(3);
    EXPECT_EQ(owner.posts, (std::vector<Posted>{{WM_SETUP_LOAD, SETUP_PAGE_CHANNEL, 3},
                                                {WM_PREVIEW_CLOSE, WPARAM{1} << 16, 0},
                                                {WM_PREVIEW_OPEN, WPARAM{3} << 16, frame}}));
    owner.posts.clear();
    Choose(3);
    EXPECT_TRUE(owner.posts.empty());
    page->ShowWindow(SW_HIDE);
    DrainPostedEvents();
    EXPECT_EQ(owner.posts, (std::vector<Posted>{{WM_PREVIEW_CLOSE, WPARAM{3} << 16, 0}}));
}

TEST_F(ChannelPageTest, RepliesFillTheControls) {
    Load(2);
    EXPECT_EQ(ItemText(page.get(), 1048), "Cam 2");
    EXPECT_EQ(ItemChecked(page.get(), 1063), 1);
    EXPECT_EQ(ItemChecked(page.get(), 1064), 0);
    EXPECT_EQ(Combo(1065)->GetCurSel(), 2);
    EXPECT_EQ(Combo(1066)->GetCurSel(), 1);
    EXPECT_EQ(ItemText(page.get(), 1067), "12");
    EXPECT_EQ(ItemText(page.get(), 1068), "20");
    EXPECT_EQ(ItemText(page.get(), 1070), "Sans");
    EXPECT_EQ(ItemText(page.get(), 1074), "Mono");
    EXPECT_EQ(page->m_staticTitleColor.GetColor(), 0x000000FFu);
    EXPECT_EQ(page->m_staticTimeColor.GetColor(), 0x0000FF00u);
    // The time overlay is off: its position, offsets, swatch and font name are grey, not its spins or
    // "..." buttons.
    for (UINT id : {1066u, 1071u, 1072u, 1151u, 1074u})
        EXPECT_FALSE(page->GetDlgItem(id)->IsWindowEnabled()) << id;
    for (UINT id : {1152u, 1153u, 1103u, 1076u, 1065u, 1067u})
        EXPECT_TRUE(page->GetDlgItem(id)->IsWindowEnabled()) << id;
    EXPECT_EQ(Slider(1080)->GetPos(), 102);
    EXPECT_EQ(Slider(1083)->GetPos(), 130);
    EXPECT_EQ(page->MaskChannel(), 2);

    // Unchecking the title box greys its controls the same way.
    CheckItem(page.get(), 1063, 0);
    Click(1063);
    EXPECT_FALSE(page->GetDlgItem(1065)->IsWindowEnabled());
    EXPECT_TRUE(page->GetDlgItem(1148)->IsWindowEnabled());
    EXPECT_TRUE(page->GetDlgItem(1101)->IsWindowEnabled());
}

TEST_F(ChannelPageTest, SetWritesChangedOverlaysOnly) {
    Load(1);
    // Nothing changed in name and overlays: nothing is sent, even with the colours moved.
    Slider(1080)->SetPos(5);
    Click(IDOK);
    EXPECT_TRUE(owner.posts.empty());
    EXPECT_EQ(device[1].brightness, 101);

    // A position no item has leaves its list without a selection; Set keeps it.
    device[1].timeOverlay.position = 9;
    Reply(SETUP_REPLY_OVERLAY, 1);
    EXPECT_EQ(Combo(1066)->GetCurSel(), -1);
    SetItemText(page.get(), 1048, "Gate");
    SetItemText(page.get(), 1067, "75");
    Click(IDOK);
    EXPECT_EQ(device[1].timeOverlay.position, 9);
    EXPECT_EQ(QString::fromUtf16(device[1].name), "Gate");
    EXPECT_EQ(device[1].titleOverlay.offsetX, 75);
    EXPECT_EQ(device[1].brightness, 101);
    ASSERT_FALSE(owner.posts.empty());
    EXPECT_EQ(owner.posts.front(), (Posted{WM_SETUP_SAVE, SETUP_PAGE_CHANNEL, 1}));
    // Then the channel is loaded again and its preview restarted.
    EXPECT_EQ(owner.Count(WM_SETUP_LOAD), 1);
    EXPECT_EQ(owner.Count(WM_PREVIEW_OPEN), 1);
}

TEST_F(ChannelPageTest, AnEmptyOrOverlongNameIsRefusedWithAMessage) {
    QStringList told;
    RecordPromptsAnsweringOk(&told);
    Load(1);
    const QString name = QString::fromUtf16(device[1].name);
    const struct {
        const char* title;
        QString typed;
        QString message;  // empty: saved
    } cases[] = {
        // "(NULL)" on the wire would drop the channel from every channel list.
        {"empty", QString(), QStringLiteral("The text is empty, please input again!")},
        {"86 Chinese characters (258 bytes)", QString(86, QChar(0x4e2d)),
         QStringLiteral("The text is too long, please input again!")},
        {"85 Chinese characters (255 bytes)", QString(85, QChar(0x4e2d)), QString()},
    };
    for (const auto& c : cases) {
        told.clear();
        owner.posts.clear();
        SetItemText(page.get(), 1048, c.typed);
        Click(IDOK);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(told.isEmpty()) << c.title;
            EXPECT_EQ(QString::fromUtf16(device[1].name), c.typed) << c.title;
            EXPECT_EQ(owner.Count(WM_SETUP_SAVE), 1) << c.title;
        } else {
            EXPECT_EQ(told, QStringList{c.message}) << c.title;
            EXPECT_EQ(QString::fromUtf16(device[1].name), name) << c.title;
            EXPECT_EQ(owner.Count(WM_SETUP_SAVE), 0) << c.title;
            EXPECT_EQ(page->m_nSavedCountdown, 0) << c.title;
        }
    }
}

TEST_F(ChannelPageTest, ColourSlidersSendWhileDraggedOnceLoaded) {
    Choose(0);
    // Before the colours arrived nothing is sent and the record keeps its values.
    page->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 7), reinterpret_cast<LPARAM>(Hwnd(1081)));
    DrainPostedEvents();
    EXPECT_EQ(owner.Count(WM_SETUP_APPLY), 0);
    Reply(SETUP_REPLY_OVERLAY, 0);
    Reply(SETUP_REPLY_COLOR, 0);
    // Set and the sliders wait for the whole load: overlays, colours and the video mask.
    page->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 8), reinterpret_cast<LPARAM>(Hwnd(1081)));
    DrainPostedEvents();
    EXPECT_EQ(owner.Count(WM_SETUP_APPLY), 0);
    Reply(SETUP_REPLY_VIDEO_MASK, 0);
    owner.posts.clear();
    struct Case {
        const char* title;
        UINT code;
        int pos;
        int applies;
    };
    const Case cases[] = {
        {"thumb track", TB_THUMBTRACK, 50, 1}, {"thumb track to the same value", TB_THUMBTRACK, 50, 0},
        {"page down", TB_PAGEDOWN, 75, 1},     {"arrow key", TB_LINEDOWN, 76, 0},
        {"end of track", TB_ENDTRACK, 90, 0},  {"thumb position", TB_THUMBPOSITION, 91, 1},
    };
    for (const Case& c : cases) {
        owner.posts.clear();
        Slider(1081)->SetPos(c.pos);
        page->SendMessage(WM_HSCROLL, MAKEWPARAM(c.code, c.pos), reinterpret_cast<LPARAM>(Hwnd(1081)));
        DrainPostedEvents();
        EXPECT_EQ(owner.Count(WM_SETUP_APPLY), c.applies) << c.title;
        if (c.applies > 0) {
            EXPECT_EQ(owner.posts.back(), (Posted{WM_SETUP_APPLY, SETUP_PAGE_CHANNEL, 0})) << c.title;
        }
    }
    EXPECT_EQ(device[0].contrast, 91);

    owner.posts.clear();
    Click(5);
    EXPECT_EQ(owner.posts, (std::vector<Posted>{{WM_CHANNEL_RESTORE_COLOR, 0, 0}}));
}

TEST_F(ChannelPageTest, ColourAndFontDialogsChangeThePagesValues) {
    Load(0);
    SetPromptHook([](const PromptRequest& request) {
        PromptAnswer answer;
        answer.result = IDOK;
        if (request.kind == PromptKind::Colour)
            answer.colour = 0x00ABCDEFu;
        QFont font("Serif");
        font.setPixelSize(20);
        font.setBold(true);
        answer.font = font;
        return answer;
    });
    Click(1076);
    EXPECT_EQ(page->m_staticTimeColor.GetColor(), 0x00ABCDEFu);
    Click(1101);
    EXPECT_EQ(ItemText(page.get(), 1070), "Serif");
    Click(IDOK);
    EXPECT_EQ(device[0].timeOverlay.color, 0x00ABCDEFu);
    EXPECT_EQ(FaceNameOf(device[0].titleOverlay.font), "Serif");
    EXPECT_EQ(device[0].titleOverlay.font.lfHeight, -20);
    EXPECT_EQ(device[0].titleOverlay.font.lfWeight, 700);
}

TEST_F(ChannelPageTest, MouseTogglesTheMaskAndHidingDropsUnsavedToggles) {
    Load(0);
    ASSERT_FALSE(page->Grid().preview.IsRectEmpty());
    // A click toggles the cell under the pointer (through the frame and static texts).
    Drag(CellCentre(9), CellCentre(9));
    EXPECT_EQ(Mask(0), (std::vector<uint8_t>{0x01, 0x02, 0, 0, 0, 0, 0, 0}));
    // A drag over the whole preview inverts every cell.
    const RECT& preview = page->Grid().preview;
    Drag(QPoint(preview.left + 1, preview.top + 1), QPoint(preview.right - 2, preview.bottom - 2));
    EXPECT_EQ(Mask(0), (std::vector<uint8_t>{0xFE, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(owner.posts.empty());
    // Hidden: the channel gets back the mask its DVR confirmed.
    page->ShowWindow(SW_HIDE);
    DrainPostedEvents();
    EXPECT_EQ(Mask(0), (std::vector<uint8_t>{0x01, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ChannelPageTest, TheMaskCopyStaysWithItsChannel) {
    Load(0);
    Drag(CellCentre(63), CellCentre(63));
    // Another channel: the toggles stay in channel 0's record; channel 1's mask has not arrived yet.
    Choose(1);
    EXPECT_EQ(Mask(0), (std::vector<uint8_t>{0x01, 0, 0, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(page->MaskChannel(), -1);
    // Until it arrives, clicks, Save Mask and Clear Mask do nothing to channel 1.
    Drag(CellCentre(0), CellCentre(0));
    Click(1104);
    Click(8);
    EXPECT_EQ(Mask(1), (std::vector<uint8_t>{0x02, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(owner.Count(WM_SETUP_SAVE), 0);
    // A mask reply for channel 0 arriving late is not taken as channel 1's.
    Reply(SETUP_REPLY_VIDEO_MASK, 0);
    EXPECT_EQ(page->MaskChannel(), -1);
    // Hiding now leaves channel 1's record alone (channel 0's copy is not written into it).
    page->ShowWindow(SW_HIDE);
    DrainPostedEvents();
    EXPECT_EQ(Mask(1), (std::vector<uint8_t>{0x02, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ChannelPageTest, SaveAndClearMask) {
    Load(2);
    Drag(CellCentre(8), CellCentre(8));
    Click(1104);
    EXPECT_EQ(owner.posts, (std::vector<Posted>{{WM_SETUP_SAVE, SETUP_PAGE_CHANNEL, 2}}));
    EXPECT_EQ(Mask(2), (std::vector<uint8_t>{0x04, 0x01, 0, 0, 0, 0, 0, 0}));
    // Saved: hiding keeps it.
    Click(8);
    EXPECT_EQ(owner.Count(WM_SETUP_SAVE), 2);
    EXPECT_EQ(Mask(2), std::vector<uint8_t>(8, 0));
    page->ShowWindow(SW_HIDE);
    DrainPostedEvents();
    EXPECT_EQ(Mask(2), std::vector<uint8_t>(8, 0));
}

TEST_F(ChannelPageTest, AllSetCopiesOverlaysAndColoursKeepingEachName) {
    // Channel 0 holds the page's values already, channel 1 only its overlays, channel 3 only its colours.
    for (int ch : {0, 1}) {
        device[ch].titleOverlay = device[2].titleOverlay;
        device[ch].timeOverlay = device[2].timeOverlay;
    }
    for (int ch : {0, 3}) {
        device[ch].brightness = device[2].brightness;
    }
    Load(2);
    // Channel 9 is beyond the DVR's channels and is passed over.
    page->picked = {0, 1, 2, 3, 9};
    Click(1107);
    const WPARAM view = WPARAM{2} << 16;
    const auto frame = reinterpret_cast<LPARAM>(Hwnd(1099));
    EXPECT_EQ(owner.posts, (std::vector<Posted>{{WM_SETUP_APPLY, SETUP_PAGE_CHANNEL, 1},
                                                {WM_SETUP_SAVE, SETUP_PAGE_CHANNEL, 1},
                                                {WM_SETUP_SAVE, SETUP_PAGE_CHANNEL, 3},
                                                {WM_SETUP_LOAD, SETUP_PAGE_CHANNEL, 2},
                                                {WM_PREVIEW_CLOSE, view, 0},
                                                {WM_PREVIEW_OPEN, view, frame}}));
    for (int ch = 0; ch < kChannels; ++ch) {
        EXPECT_EQ(QString::fromUtf16(device[ch].name), QString("Cam %1").arg(ch));
        EXPECT_EQ(device[ch].titleOverlay.offsetX, 12) << ch;
        EXPECT_EQ(device[ch].brightness, 102) << ch;
    }
}

TEST(ChannelPageSimTest, SetMaskAndColoursReachTheDvr) {
    ScopedBuiltinLanguage english(0);
    setup_test::RelayOwner owner;
    ASSERT_TRUE(owner.CreateOwner());
    CDlgSetupChannel page(&owner);
    ASSERT_TRUE(page.Create(IDD_SETUP_CHANNEL, &owner));
    setup_test::PageSim sim(3);
    ASSERT_TRUE(sim.Connect(&page));
    DVRChannel& record = sim.device->channels[2];
    auto load = [&] {
        page.ShowWindow(SW_HIDE);
        page.ShowWindow(SW_SHOW);
        DrainPostedEvents();
        setup_test::ChooseChannel(&page, 2);
        return WaitUntil([&] { return page.IsLoaded() && page.MaskChannel() == 2; }, 10000);
    };
    ASSERT_TRUE(load());
    EXPECT_EQ(ItemText(&page, 1048), QString::fromUtf16(record.name));
    const OverlaySettings timeBefore = record.timeOverlay;
    OverlaySettings titleExpected = record.titleOverlay;
    titleExpected.offsetX = 7;

    // Name and title offset changed: Set sends them, and the DVR holds them when the page loads again.
    sim.sim->ClearRequests();
    SetItemText(&page, 1048, "Gate");
    SetItemText(&page, 1067, "7");
    setup_test::ClickButton(&page, IDOK);
    ASSERT_TRUE(sim.sim->WaitForRequests(DVR_REQ_SET_OVERLAY, 1, 5000));
    EXPECT_EQ(sim.Sent(DVR_REQ_SET_OVERLAY).front()[1], "2");
    // The page's own copy is spoilt first, so what shows next comes from the DVR.
    std::fill(std::begin(record.name), std::end(record.name), u'\0');
    record.name[0] = u'X';
    record.titleOverlay.offsetX = -1;
    ASSERT_TRUE(load());
    EXPECT_EQ(ItemText(&page, 1048), "Gate");
    EXPECT_EQ(page.m_cboChannel.GetCount(), 3);
    EXPECT_EQ(std::memcmp(&record.titleOverlay, &titleExpected, sizeof(OverlaySettings)), 0);
    EXPECT_EQ(std::memcmp(&record.timeOverlay, &timeBefore, sizeof(OverlaySettings)), 0);

    // A toggled cell saved with Save Mask comes back from the DVR.
    const uint8_t maskBefore = record.videoMask[7];
    const RECT& last = page.Grid().cells[63];
    page.ToggleMaskCells(RECT{last.left + 1, last.top + 1, last.left + 1, last.top + 1});
    setup_test::ClickButton(&page, 1104);
    ASSERT_TRUE(sim.sim->WaitForRequests(DVR_REQ_SET_VIDEO_MASK, 1, 5000));
    record.videoMask[7] = maskBefore;
    ASSERT_TRUE(load());
    EXPECT_EQ(record.videoMask[7], maskBefore ^ 0x80);

    // A dragged colour slider sends the colours at once.
    sim.sim->ClearRequests();
    auto* hue = dynamic_cast<CSliderCtrl*>(page.GetDlgItem(1082));
    const int newHue = (record.hue + 40) % 256;
    hue->SetPos(newHue);
    page.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, newHue),
                     reinterpret_cast<LPARAM>(hue->GetSafeHwnd()));
    DrainPostedEvents();
    EXPECT_EQ(owner.Count(WM_SETUP_APPLY), 1);
    ASSERT_TRUE(sim.sim->WaitForRequests(DVR_REQ_SET_COLOR, 1, 5000));
    record.hue = -1;
    ASSERT_TRUE(load());
    EXPECT_EQ(record.hue, newHue);
    page.DestroyWindow();
}

TEST(StaticEx, FillsItselfWithItsColour) {
    PageOwner parent;
    ASSERT_TRUE(parent.CreateOwner());
    CStaticEx swatch;
    ASSERT_TRUE(swatch.Create("", WS_CHILD | WS_VISIBLE, RECT{0, 0, 30, 20}, &parent, 1150));
    EXPECT_EQ(swatch.GetColor(), GetSysColor(COLOR_BTNFACE));
    swatch.SetColor(RGB(10, 200, 30));
    EXPECT_EQ(swatch.GetColor(), RGB(10, 200, 30));
    QImage image = swatch.GetWidget()->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(10, 200, 30));
    EXPECT_EQ(image.pixelColor(29, 19), QColor(10, 200, 30));
    swatch.DestroyWindow();
    parent.DestroyWindow();
}

TEST_F(ChannelPageTest, TextsFitInEveryLanguage) {
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        page->PostMessage(WM_APPLY_LANGUAGE, 0, 0);
        DrainPostedEvents();
        Load(1);
        EXPECT_EQ(TextFitFaults(page->GetWidget(), true), QStringList()) << kLanguageNames[language];
        EXPECT_TRUE(page->GetWidget()->grab().save(
            PicturePath(QStringLiteral("setup_channel_%1.png").arg(kLanguageNames[language]))));
        // The note's line break.
        EXPECT_TRUE(ItemText(page.get(), 1181).contains(u'\n'));
    }
}

}  // namespace
