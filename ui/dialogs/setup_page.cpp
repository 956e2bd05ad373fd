#include "ui/dialogs/setup_page.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/window_messages.h"
#include "dvr/dvr_session.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/device_channels.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dlg_channel.h"

namespace {
// A decode thread asked for the preview frame's repaint; posted, so it may come from any thread.
constexpr UINT WM_PREVIEW_CANVAS_REPAINT = WM_APP + 0x3F01;
}  // namespace

CSetupPage::CSetupPage(UINT nIDTemplate, CWnd* pOwner, int pageCode, SetupPageKind kind, int previewView)
    : CDialog(nIDTemplate, pOwner),
      m_pOwner(pOwner),
      m_nPageCode(pageCode),
      m_kind(kind),
      m_nPreviewView(previewView) {}

CSetupPage::CSetupPage(const DialogTemplate* dialogTemplate, CWnd* pOwner, int pageCode, SetupPageKind kind,
                       int previewView)
    : CDialog(dialogTemplate, pOwner),
      m_pOwner(pOwner),
      m_nPageCode(pageCode),
      m_kind(kind),
      m_nPreviewView(previewView) {}

CSetupPage::~CSetupPage() = default;

DVRDevice* CSetupPage::CurrentDevice() {
    return g_currentDevice.load();
}

int CSetupPage::AddressableChannels(const DVRDevice* device) {
    return DeviceChannelCount(device);
}

int CSetupPage::PostToOwner(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pOwner == nullptr)
        return -1;
    return m_pOwner->PostMessage(message, wParam, lParam) ? 0 : -1;
}

bool CSetupPage::IsLoaded() const {
    if (m_nLoadedChannel < 0)
        return false;
    return m_kind == SetupPageKind::Plain || m_nLoadedChannel == m_nCurChannel;
}

void CSetupPage::MarkLoaded(int channel) {
    m_nLoadedChannel = channel;
    UpdateSetButtons();
}

void CSetupPage::ClearLoaded() {
    m_nLoadedChannel = -1;
    m_nRepliesSeen = 0;
    UpdateSetButtons();
}

bool CSetupPage::HasReplies(std::initializer_list<int> replyTypes) const {
    for (int type : replyTypes) {
        if (type < 0 || type >= 32 || (m_nRepliesSeen & (1u << type)) == 0)
            return false;
    }
    return true;
}

void CSetupPage::UpdateSetButtons() {
    if (GetSafeHwnd() == nullptr)
        return;
    const BOOL enable = IsLoaded() ? TRUE : FALSE;
    for (UINT id : {static_cast<UINT>(IDOK), IDC_SETUP_ALL_SET}) {
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enable);
    }
}

void CSetupPage::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    if (m_kind == SetupPageKind::Channel && GetDlgItem(IDC_SETUP_CHANNEL) != nullptr)
        DDX_Control(pDX, IDC_SETUP_CHANNEL, m_cboChannel);
}

BOOL CSetupPage::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nTimerId = SetTimer(TIMER_SAVED_NOTICE, 1000);
    if (m_nPreviewView >= 0) {
        if (CWnd* frame = GetDlgItem(IDC_SETUP_PREVIEW)) {
            m_previewCanvas = std::make_unique<CPreviewCanvas>();
            if (m_previewCanvas->Attach(frame, m_hWnd, WM_PREVIEW_CANVAS_REPAINT) != 0)
                m_previewCanvas.reset();
        }
    }
    ApplyLanguage();
    ResetControls();
    UpdateSetButtons();
    return TRUE;
}

BOOL CSetupPage::DestroyWindow() {
    if (m_nTimerId != 0 && GetSafeHwnd() != nullptr)
        KillTimer(m_nTimerId);
    m_nTimerId = 0;
    m_previewCanvas.reset();
    return CDialog::DestroyWindow();
}

BOOL CSetupPage::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_APPLY_LANGUAGE) {
        ApplyLanguage();
        return TRUE;
    }
    if (pMsg->message == WM_DEVICE_PARAMS_RECEIVED) {
        const int type = static_cast<int>(pMsg->wParam);
        const int index = static_cast<int>(pMsg->lParam);
        if (AcceptsReply(type, index)) {
            if (type >= 0 && type < 32)
                m_nRepliesSeen |= 1u << type;
            FillFromDevice(type, index);
            if (CompletesLoad(type))
                MarkLoaded(m_kind == SetupPageKind::Channel ? index : 0);
        }
        return TRUE;
    }
    if (pMsg->message == WM_SETUP_SAVE_REFUSED) {
        OnSaveRefused(pMsg->lParam);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CSetupPage::WithdrawSavedNotice() {
    ::WithdrawSavedNotice(this, IDC_SETUP_SAVED_NOTICE, &m_nSavedCountdown);
}

bool CSetupPage::CollectedForSave(int collected) {
    if (collected == COLLECT_REFUSED)
        WithdrawSavedNotice();
    return collected == 0;
}

void CSetupPage::OnSaveRefused(LPARAM index) {
    WithdrawSavedNotice();
    (void)MessageBox(this,
                     LanguageText("SYSTEM_MSG_CONFIG_NOT_SENT",
                                  "The settings could not be sent to the DVR, please try again!"),
                     QString(), MB_OK);
    if (m_kind == SetupPageKind::Plain) {
        ClearLoaded();
        (void)PostToOwner(WM_SETUP_LOAD, static_cast<WPARAM>(m_nPageCode), LoadParam());
    } else if (index == m_nCurChannel) {
        ClearLoaded();
        (void)PostToOwner(WM_SETUP_LOAD, static_cast<WPARAM>(m_nPageCode), index);
    }
}

LRESULT CSetupPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PREVIEW_CANVAS_REPAINT) {
        if (m_previewCanvas != nullptr)
            m_previewCanvas->OnRepaintRequest();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

bool CSetupPage::AcceptsReply(int replyType, int index) const {
    (void)replyType;
    if (m_kind == SetupPageKind::Plain)
        return true;
    // A reply for a channel the operator has left since asking is stale.
    return m_nCurChannel >= 0 && index == m_nCurChannel;
}

void CSetupPage::OnTimer(uintptr_t nIDEvent) {
    if (nIDEvent != TIMER_SAVED_NOTICE) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    m_nSavedCountdown = std::max(m_nSavedCountdown - 1, 0);
    if (CWnd* notice = GetDlgItem(IDC_SETUP_SAVED_NOTICE))
        notice->ShowWindow(m_nSavedCountdown > 0 ? SW_SHOW : SW_HIDE);
}

void CSetupPage::FillChannelCombo() {
    if (m_cboChannel.GetSafeHwnd() == nullptr)
        return;
    m_cboChannel.ResetContent();
    DVRDevice* device = CurrentDevice();
    const int count = DeviceChannelCount(device);
    for (int ch = 0; ch < count; ++ch) {
        const QString name = DeviceChannelName(device->channels[ch]);
        if (name.isEmpty())
            continue;
        const int item = m_cboChannel.AddString(name);
        if (item >= 0)
            (void)m_cboChannel.SetItemData(item, static_cast<uintptr_t>(ch));
    }
}

void CSetupPage::PostPreview(UINT message, int channel) {
    if (m_nPreviewView < 0 || channel < 0)
        return;
    const auto wParam =
        static_cast<WPARAM>(static_cast<uint32_t>(channel) << 16 | static_cast<uint32_t>(m_nPreviewView));
    LPARAM lParam = 0;
    if (message == WM_PREVIEW_OPEN) {
        CWnd* frame = GetDlgItem(IDC_SETUP_PREVIEW);
        lParam = reinterpret_cast<LPARAM>(frame != nullptr ? frame->GetSafeHwnd() : nullptr);
    }
    (void)PostToOwner(message, wParam, lParam);
}

void CSetupPage::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    ClearLoaded();
    if (m_kind == SetupPageKind::Plain) {
        if (bShow) {
            (void)PostToOwner(WM_SETUP_LOAD, static_cast<WPARAM>(m_nPageCode), LoadParam());
            OnShown();
        } else {
            OnHidden();
        }
        return;
    }
    if (bShow) {
        FillChannelCombo();
        OnShown();
        return;
    }
    if (m_nCurChannel >= 0)
        PostPreview(WM_PREVIEW_CLOSE, m_nCurChannel);
    m_nCurChannel = -1;
    OnHidden();
}

void CSetupPage::SelectChannel(int ch) {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr || ch < 0 || ch >= DeviceChannelCount(device) || ch == m_nCurChannel)
        return;
    const int old = m_nCurChannel;
    ClearLoaded();
    OnChannelChange(ch);
    if (PostToOwner(WM_SETUP_LOAD, static_cast<WPARAM>(m_nPageCode), ch) != 0)
        return;
    if (old >= 0)
        PostPreview(WM_PREVIEW_CLOSE, old);
    PostPreview(WM_PREVIEW_OPEN, ch);
    m_nCurChannel = ch;
}

BOOL CSetupPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (OnPageCommand(id, code))
        return TRUE;
    if (m_kind == SetupPageKind::Channel) {
        if (id == IDC_SETUP_CHANNEL && code == CBN_SELCHANGE) {
            const int item = m_cboChannel.GetCurSel();
            if (item >= 0)
                SelectChannel(static_cast<int>(m_cboChannel.GetItemData(item)));
            return TRUE;
        }
        if (id == IDC_SETUP_ALL_SET && code == BN_CLICKED) {
            OnAllSet();
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CSetupPage::OnOK() {
    if (!IsLoaded())
        return;
    int index = 0;
    if (m_kind == SetupPageKind::Channel) {
        if (m_cboChannel.GetCurSel() < 0)
            return;
        index = m_nCurChannel;
    }
    if (!CollectedForSave(Collect(index)))
        return;
    if (PostToOwner(WM_SETUP_SAVE, static_cast<WPARAM>(m_nPageCode), index) != 0)
        return;
    ShowSavedNotice();
    AfterSave();
}

intptr_t CSetupPage::RunChannelPicker(uint8_t* mask) {
    CDlgChannel picker;
    const intptr_t result = picker.DoModal();
    if (result == IDOK)
        std::memcpy(mask, picker.m_pMask.get(), CHANNEL_MASK_BYTES);
    return result;
}

void CSetupPage::OnAllSet() {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr || !IsLoaded() || m_cboChannel.GetCurSel() < 0)
        return;
    uint8_t mask[CHANNEL_MASK_BYTES] = {};
    if (RunChannelPicker(mask) != IDOK)
        return;
    // The picker ran modally: the selection may have gone meanwhile.
    device = CurrentDevice();
    const int count = DeviceChannelCount(device);
    for (int ch = 0; ch < count; ++ch) {
        if ((mask[ch / 8] & (1u << (ch % 8))) == 0)
            continue;
        AllSetChannel(ch);
    }
    AfterAllSet();
}

void CSetupPage::AllSetChannel(int ch) {
    if (Collect(ch) == 0)
        (void)PostToOwner(WM_SETUP_SAVE, static_cast<WPARAM>(m_nPageCode), ch);
}

void CSetupPage::OnCancel() {
    (void)PostToOwner(WM_SETUP_PAGE_EXIT, 0, 0);
}
