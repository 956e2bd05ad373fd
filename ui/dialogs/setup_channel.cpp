#include "ui/dialogs/setup_channel.h"

#include <algorithm>
#include <cstring>

#include <new>

#include "core/window_messages.h"
#include "dvr/dvr_session.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/edit.h"
#include "platform/ui/range_ctrls.h"
#include "ui/dialogs/device_channels.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/field_refusal.h"
#include "ui/dialogs/setup_channel_font.h"
#include "ui/dialogs/setup_page_controls.h"
#include "ui/dialogs/setup_page_table.h"

namespace {

constexpr UINT IDC_NAME = 1048;
constexpr UINT IDC_TITLE_CHECK = 1063;
constexpr UINT IDC_TIME_CHECK = 1064;
constexpr UINT IDC_PREVIEW = 1099;
constexpr UINT IDC_NOTE = 1181;
constexpr UINT IDC_SAVE_MASK = 1104;
constexpr UINT IDC_CLEAR_MASK = 8;
constexpr UINT IDC_DEFAULT = 5;
constexpr UINT IDC_SLIDER_FIRST = 1080;  // brightness, contrast, hue, saturation
constexpr int kSliders = 4;
constexpr int kOffsetMax = 40;
constexpr int kColourMax = 255;
constexpr int kColourPage = 25;
constexpr int kPositions = 4;

// The controls of one overlay.
struct OverlayIds {
    UINT check, position, offsetX, spinX, offsetY, spinY, font, fontButton, swatch, colourButton;
};
constexpr OverlayIds kTitleIds{IDC_TITLE_CHECK, 1065, 1067, 1148, 1068, 1149, 1070, 1101, 1150, 1075};
constexpr OverlayIds kTimeIds{IDC_TIME_CHECK, 1066, 1071, 1152, 1072, 1153, 1074, 1103, 1151, 1076};

const DialogText kTexts[] = {
    {1136, "DLGSETUPCHANNEL_STATIC_CHANNEL", "Please select channel:"},
    {1159, "DLGSETUPCHANNEL_STATIC_OVERLAY_PARAM", "Video overlay parameters"},
    {1155, "DLGSETUPCHANNEL_STATIC_NAME", "Channel name:"},
    {IDC_TITLE_CHECK, "DLGSETUPCHANNEL_CHECK_OSDTITLE", "Enable title overlay"},
    {1161, "DLGSETUPCHANNEL_STATIC_POSITION", "Position:"},
    {1162, "DLGSETUPCHANNEL_STATIC_OFFSET", "Offset:"},
    {1163, "DLGSETUPCHANNEL_STATIC_FONT", "Font:"},
    {1164, "DLGSETUPCHANNEL_STATIC_COLOR", "Color:"},
    {IDC_TIME_CHECK, "DLGSETUPCHANNEL_CHECK_OSDTIME", "Enable time overlay"},
    {1165, "DLGSETUPCHANNEL_STATIC_POSITION", "Position:"},
    {1166, "DLGSETUPCHANNEL_STATIC_OFFSET", "Offset:"},
    {1167, "DLGSETUPCHANNEL_STATIC_FONT", "Font:"},
    {1168, "DLGSETUPCHANNEL_STATIC_COLOR", "Color:"},
    {1238, "DLGSETUPCHANNEL_STATIC_COLOR_PARAM", "Color adjustment"},
    {1173, "DLGSETUPCHANNEL_STATIC_BRIGHTNESS", "Brightness:"},
    {1174, "DLGSETUPCHANNEL_STATIC_CONTRAST", "Contrast:"},
    {1175, "DLGSETUPCHANNEL_STATIC_HUE", "Hue:"},
    {1176, "DLGSETUPCHANNEL_STATIC_SATURATION", "Saturation:"},
    {IDC_DEFAULT, "DLGSETUPCHANNEL_BUTTON_DEFAULT", "Default"},
    {IDC_SAVE_MASK, "DLGSETUPCHANNEL_BUTTON_SET_MASK", "Save Mask"},
    {IDC_CLEAR_MASK, "DLGSETUPCHANNEL_BUTTON_CLEAR_MASK", "Clear Mask"},
    {IDOK, "DLGSETUPCHANNEL_BUTTON_OK", "Set"},
    {1107, "DLGSETUPCHANNEL_BUTTON_SETALL", "All Set"},
    {IDCANCEL, "DLGSETUPCHANNEL_BUTTON_CANCEL", "Exit"},
    {1307, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
};

}  // namespace

CSetupPage* NewSetupChannelPage(CWnd* owner) {
    return new (std::nothrow) CDlgSetupChannel(owner);
}

CDlgSetupChannel::CDlgSetupChannel(CWnd* pOwner)
    : CSetupPage(IDD_SETUP_CHANNEL, pOwner, SETUP_PAGE_CHANNEL, SetupPageKind::Channel, 0) {}

CDlgSetupChannel::~CDlgSetupChannel() = default;

void CDlgSetupChannel::DoDataExchange(CDataExchange* pDX) {
    CSetupPage::DoDataExchange(pDX);
    DDX_Control(pDX, kTitleIds.swatch, m_staticTitleColor);
    DDX_Control(pDX, kTimeIds.swatch, m_staticTimeColor);
}

void CDlgSetupChannel::ApplyLanguage() {
    ApplyDialogTexts(this, kTexts);
    // The note's line breaks are written as backspace characters in the language files.
    QString note = LanguageText("DLGSETUPCHANNEL_STATIC_NOTE",
                                "Note:\b  You can mask/unmask some video area with mouse click.");
    SetItemText(this, IDC_NOTE, note.replace(u'\b', u'\n'));
    for (UINT id : {kTitleIds.position, kTimeIds.position}) {
        auto* combo = PageItem<CComboBox>(this, id);
        if (combo == nullptr)
            continue;
        int selected = std::max(combo->GetCurSel(), 0);
        combo->ResetContent();
        for (int i = 0; i < kPositions; ++i) {
            QByteArray key = QByteArray("DLGSETUPCHANNEL_COMBO_POSITION_") + QByteArray::number(i);
            int index = combo->AddString(LanguageText(key.constData(), ""));
            combo->SetItemData(index, static_cast<uintptr_t>(i));
        }
        combo->SetCurSel(selected);
    }
}

void CDlgSetupChannel::ResetControls() {
    for (UINT id : {IDC_NAME, kTitleIds.offsetX, kTitleIds.offsetY, kTitleIds.font, kTimeIds.offsetX,
                    kTimeIds.offsetY, kTimeIds.font})
        SetItemText(this, id, QString());
    CheckItem(this, IDC_TITLE_CHECK, 0);
    CheckItem(this, IDC_TIME_CHECK, 0);
    for (UINT id : {kTitleIds.spinX, kTitleIds.spinY, kTimeIds.spinX, kTimeIds.spinY}) {
        if (auto* spin = PageItem<CSpinButtonCtrl>(this, id))
            spin->SetRange32(0, kOffsetMax);
    }
    for (int i = 0; i < kSliders; ++i) {
        if (auto* slider = PageItem<CSliderCtrl>(this, IDC_SLIDER_FIRST + static_cast<UINT>(i))) {
            slider->SetRange(0, kColourMax, FALSE);
            slider->SetPageSize(kColourPage);
        }
    }
    RECT frame{};
    RECT page{};
    if (CWnd* preview = GetDlgItem(IDC_PREVIEW)) {
        preview->GetWindowRect(&frame);
        GetWindowRect(&page);
        frame.OffsetRect(-page.left, -page.top);
    }
    m_grid = ComputeMaskGrid(frame);
}

void CDlgSetupChannel::OnShown() {
    m_nMaskChannel = -1;
    ResetControls();
}

void CDlgSetupChannel::OnHidden() {
    // Unsaved toggles are dropped: the channel gets back the mask its DVR last confirmed, and only the
    // channel that mask belongs to (the copy is forgotten on every channel change).
    if (DVRChannel* record = SelectedDeviceChannel(m_nMaskChannel))
        std::memcpy(record->videoMask, m_maskCopy, sizeof(m_maskCopy));
    m_nMaskChannel = -1;
    m_bDragging = FALSE;
}

void CDlgSetupChannel::OnChannelChange(int ch) {
    (void)ch;
    // The mask copy stays with the channel it came from; the new channel's arrives with its reply.
    m_nMaskChannel = -1;
    // The font records the font buttons edit; without them the buttons do nothing.
    if (m_pTitleFont == nullptr)
        m_pTitleFont.reset(new (std::nothrow) LOGFONTW());
    if (m_pTimeFont == nullptr)
        m_pTimeFont.reset(new (std::nothrow) LOGFONTW());
}

bool CDlgSetupChannel::CompletesLoad(int replyType) const {
    // Set writes the overlays and the video mask, All Set the colours too: all three replies must have
    // come, whichever was lost or came last.
    (void)replyType;
    return HasReplies({SETUP_REPLY_OVERLAY, SETUP_REPLY_COLOR, SETUP_REPLY_VIDEO_MASK});
}

void CDlgSetupChannel::FillOverlay(const OverlaySettings& overlay, bool title) {
    const OverlayIds& ids = title ? kTitleIds : kTimeIds;
    CheckItem(this, ids.check, overlay.enabled != 0 ? 1 : 0);
    SelectItemByData(this, ids.position, overlay.position, false);
    SetItemText(this, ids.offsetX, QString::number(overlay.offsetX));
    SetItemText(this, ids.offsetY, QString::number(overlay.offsetY));
    (title ? m_crTitle : m_crTime) = overlay.color;
    (title ? m_staticTitleColor : m_staticTimeColor).SetColor(overlay.color);
    if (LOGFONTW* font = (title ? m_pTitleFont : m_pTimeFont).get())
        *font = overlay.font;
    SetItemText(this, ids.font, FaceNameOf(overlay.font));
    EnableOverlay(title, overlay.enabled != 0 ? TRUE : FALSE);
}

void CDlgSetupChannel::EnableOverlay(bool title, BOOL enable) {
    const OverlayIds& ids = title ? kTitleIds : kTimeIds;
    for (UINT id : {ids.position, ids.offsetX, ids.offsetY, ids.swatch, ids.font})
        EnableItem(this, id, enable);
}

void CDlgSetupChannel::FillFromDevice(int replyType, int index) {
    DVRChannel* record = SelectedDeviceChannel(index);
    if (record == nullptr)
        return;
    if (replyType == SETUP_REPLY_OVERLAY) {
        qsizetype length = 0;
        while (length < 255 && record->name[length] != 0)
            ++length;
        SetItemText(this, IDC_NAME, QString::fromUtf16(record->name, length));
        FillOverlay(record->titleOverlay, true);
        FillOverlay(record->timeOverlay, false);
    } else if (replyType == SETUP_REPLY_COLOR) {
        const int values[kSliders] = {record->brightness, record->contrast, record->hue, record->saturation};
        for (int i = 0; i < kSliders; ++i) {
            if (auto* slider = PageItem<CSliderCtrl>(this, IDC_SLIDER_FIRST + static_cast<UINT>(i)))
                slider->SetPos(values[i]);
        }
    } else if (replyType == SETUP_REPLY_VIDEO_MASK) {
        std::memcpy(m_maskCopy, record->videoMask, sizeof(m_maskCopy));
        m_nMaskChannel = index;
    }
}

ChannelOverlayControls CDlgSetupChannel::ReadOverlayControls() const {
    auto overlay = [this](const OverlayIds& ids, COLORREF colour, const LOGFONTW* font,
                          const LOGFONTW& kept) {
        OverlayControls c;
        c.enabled = ItemChecked(this, ids.check);
        c.position = SelectedItemData(this, ids.position);
        c.offsetX = ItemText(this, ids.offsetX);
        c.offsetY = ItemText(this, ids.offsetY);
        c.color = colour;
        c.font = font != nullptr ? *font : kept;
        return c;
    };
    ChannelOverlayControls controls;
    controls.name = ItemText(this, IDC_NAME);
    const LOGFONTW none{};
    controls.title = overlay(kTitleIds, m_crTitle, m_pTitleFont.get(), none);
    controls.time = overlay(kTimeIds, m_crTime, m_pTimeFont.get(), none);
    return controls;
}

ChannelColorControls CDlgSetupChannel::ReadColorControls() const {
    int values[kSliders] = {};
    for (int i = 0; i < kSliders; ++i) {
        if (auto* slider = PageItem<CSliderCtrl>(this, IDC_SLIDER_FIRST + static_cast<UINT>(i)))
            values[i] = slider->GetPos();
    }
    return ChannelColorControls{values[0], values[1], values[2], values[3]};
}

int CDlgSetupChannel::CollectOverlay(int channel, bool keepName) {
    return CollectOverlayInto(ReadOverlayControls(), keepName, SelectedDeviceChannel(channel));
}

int CDlgSetupChannel::CollectColor(int channel) {
    return CollectColorInto(ReadColorControls(), SelectedDeviceChannel(channel));
}

int CDlgSetupChannel::Collect(int channel) {
    // An empty name would travel as "(NULL)" and drop the channel from every channel list; a long one
    // would be cut.
    static constexpr TextFieldRule kFields[] = {{IDC_NAME, TextFieldKind::RequiredText}};
    if (!CheckFieldTexts(this, kFields))
        return COLLECT_REFUSED;
    return CollectOverlay(channel, false);
}

void CDlgSetupChannel::AfterSave() {
    ReloadChannel();
}

void CDlgSetupChannel::ReloadChannel() {
    DVRChannel* record = SelectedDeviceChannel(m_nCurChannel);
    if (record == nullptr)
        return;
    // The combo shows the name just saved; its item keeps its channel.
    for (int item = 0; item < m_cboChannel.GetCount(); ++item) {
        if (static_cast<int>(m_cboChannel.GetItemData(item)) != m_nCurChannel)
            continue;
        const QString name = DeviceChannelName(*record);
        QString shown;
        m_cboChannel.GetLBText(item, shown);
        if (!name.isEmpty() && name != shown) {
            (void)m_cboChannel.DeleteString(item);
            const int inserted = m_cboChannel.InsertString(item, name);
            (void)m_cboChannel.SetItemData(inserted, static_cast<uintptr_t>(m_nCurChannel));
            (void)m_cboChannel.SetCurSel(inserted);
        }
        break;
    }
    // The saved values come back from the DVR, and the preview restarts with them.
    const WPARAM view = static_cast<WPARAM>(m_nCurChannel) << 16;
    CWnd* preview = GetDlgItem(IDC_PREVIEW);
    (void)PostToOwner(WM_SETUP_LOAD, SETUP_PAGE_CHANNEL, m_nCurChannel);
    (void)PostToOwner(WM_PREVIEW_CLOSE, view, 0);
    (void)PostToOwner(WM_PREVIEW_OPEN, view,
                      reinterpret_cast<LPARAM>(preview != nullptr ? preview->GetSafeHwnd() : nullptr));
}

void CDlgSetupChannel::AllSetChannel(int ch) {
    // Each picked channel keeps its own name; its colours go out at once when they changed.
    const int overlay = CollectOverlay(ch, true);
    const int colour = CollectColor(ch);
    if (colour == 0)
        (void)PostToOwner(WM_SETUP_APPLY, SETUP_PAGE_CHANNEL, ch);
    if (colour == 0 || overlay == 0)
        (void)PostToOwner(WM_SETUP_SAVE, SETUP_PAGE_CHANNEL, ch);
}

void CDlgSetupChannel::AfterAllSet() {
    ReloadChannel();
}

void CDlgSetupChannel::ChooseColour(bool title) {
    COLORREF& colour = title ? m_crTitle : m_crTime;
    CColorDialog dialog(colour, 0, this);
    if (dialog.DoModal() != IDOK)
        return;
    colour = dialog.GetColor();
    (title ? m_staticTitleColor : m_staticTimeColor).SetColor(colour);
}

void CDlgSetupChannel::ChooseFont(bool title) {
    LOGFONTW* font = (title ? m_pTitleFont : m_pTimeFont).get();
    if (font == nullptr)
        return;
    CFontDialog dialog(FontOfLogFont(*font), 0, this);
    if (dialog.DoModal() != IDOK)
        return;
    StoreFontInLogFont(dialog.GetFont(), font);
    SetItemText(this, (title ? kTitleIds : kTimeIds).font, FaceNameOf(*font));
}

void CDlgSetupChannel::SaveMask(bool clear) {
    DVRChannel* record = SelectedDeviceChannel(m_nCurChannel);
    // The mask on screen must be the chosen channel's own before it is sent.
    if (record == nullptr || m_nMaskChannel != m_nCurChannel)
        return;
    if (clear)
        std::fill(std::begin(record->videoMask), std::end(record->videoMask), uint8_t{0});
    std::memcpy(m_maskCopy, record->videoMask, sizeof(m_maskCopy));
    (void)PostToOwner(WM_SETUP_SAVE, SETUP_PAGE_CHANNEL, m_nCurChannel);
}

BOOL CDlgSetupChannel::OnPageCommand(UINT id, UINT code) {
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
        case IDC_TITLE_CHECK:
        case IDC_TIME_CHECK:
            EnableOverlay(id == IDC_TITLE_CHECK, ItemChecked(this, id) ? TRUE : FALSE);
            return TRUE;
        case 1075:
        case 1076:
            ChooseColour(id == 1075);
            return TRUE;
        case 1101:
        case 1103:
            ChooseFont(id == 1101);
            return TRUE;
        case IDC_SAVE_MASK:
        case IDC_CLEAR_MASK:
            SaveMask(id == IDC_CLEAR_MASK);
            return TRUE;
        case IDC_DEFAULT:
            if (SelectedDeviceChannel(m_nCurChannel) != nullptr)
                (void)PostToOwner(WM_CHANNEL_RESTORE_COLOR, static_cast<WPARAM>(m_nCurChannel), 0);
            return TRUE;
        default:
            return FALSE;
    }
}

void CDlgSetupChannel::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
    UINT id = pScrollBar != nullptr ? pScrollBar->GetDlgCtrlID() : 0;
    bool colourSlider = id >= IDC_SLIDER_FIRST && id < IDC_SLIDER_FIRST + kSliders;
    bool sends = nSBCode == TB_PAGEUP || nSBCode == TB_PAGEDOWN || nSBCode == TB_THUMBPOSITION ||
                 nSBCode == TB_THUMBTRACK;
    if (!colourSlider || m_nCurChannel < 0) {
        CSetupPage::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    // Nothing reaches the DVR before its colours are on the sliders.
    if (!sends || !IsLoaded() || SelectedDeviceChannel(m_nCurChannel) == nullptr)
        return;
    if (CollectColor(m_nCurChannel) == 0)
        (void)PostToOwner(WM_SETUP_APPLY, SETUP_PAGE_CHANNEL, m_nCurChannel);
}

void CDlgSetupChannel::ToggleMaskCells(const RECT& selection) {
    DVRChannel* record = SelectedDeviceChannel(m_nCurChannel);
    if (record == nullptr || m_nMaskChannel != m_nCurChannel)
        return;
    (void)::ToggleMaskCells(m_grid, selection, record->videoMask);
}

void CDlgSetupChannel::OnLButtonDown(UINT nFlags, POINT point) {
    m_bDragging = TRUE;
    m_ptDragStart = point;
    SetWindowCursor(IDC_CROSS);
    CSetupPage::OnLButtonDown(nFlags, point);
}

void CDlgSetupChannel::OnMouseMove(UINT nFlags, POINT point) {
    SetWindowCursor(m_bDragging ? IDC_CROSS : IDC_ARROW);
    CSetupPage::OnMouseMove(nFlags, point);
}

void CDlgSetupChannel::OnLButtonUp(UINT nFlags, POINT point) {
    if (m_bDragging) {
        RECT selection{std::min(point.x, m_ptDragStart.x), std::min(point.y, m_ptDragStart.y),
                       std::max(point.x, m_ptDragStart.x), std::max(point.y, m_ptDragStart.y)};
        ToggleMaskCells(selection);
    }
    SetWindowCursor(IDC_ARROW);
    m_bDragging = FALSE;
    CSetupPage::OnLButtonUp(nFlags, point);
}
