#include "ui/dialogs/dlg_setup.h"

#include <QWidget>

#include "core/window_messages.h"
#include "platform/ui/data_exchange.h"
#include "ui/dialogs/setup_page.h"
#include "ui/dialogs/tab_pages.h"

namespace {

// The page of each reply type, indexed by type; -1: no page.
constexpr int kReplyPages[] = {
    -1,                  // 0: no reply has this type
    SETUP_PAGE_SYSTEM,   // SETUP_REPLY_SYSTEM
    SETUP_PAGE_USER,     // SETUP_REPLY_USER_LIST
    SETUP_PAGE_USER,     // SETUP_REPLY_USER
    SETUP_PAGE_CHANNEL,  // SETUP_REPLY_OVERLAY
    SETUP_PAGE_CHANNEL,  // SETUP_REPLY_COLOR
    SETUP_PAGE_CHANNEL,  // SETUP_REPLY_VIDEO_MASK
    SETUP_PAGE_CAMERA,   // SETUP_REPLY_CAMERA
    SETUP_PAGE_CAMERA,   // SETUP_REPLY_PRESETS
    SETUP_PAGE_VIDEO,    // SETUP_REPLY_VIDEO
    SETUP_PAGE_VIDEO,    // SETUP_REPLY_AUDIO
    SETUP_PAGE_RECORD,   // SETUP_REPLY_SCHEDULE
    SETUP_PAGE_ALARM,    // SETUP_REPLY_ALARM
    SETUP_PAGE_ALARM,    // SETUP_REPLY_MOTION_MASK
    SETUP_PAGE_NETWORK,  // SETUP_REPLY_NETWORK
    SETUP_PAGE_SYSTEM,   // SETUP_REPLY_DISKS
    SETUP_PAGE_SYSTEM,   // SETUP_REPLY_LANGUAGES
};
static_assert(sizeof kReplyPages / sizeof kReplyPages[0] == SETUP_REPLY_LANGUAGES + 1);

bool IsRelayedToOwner(UINT message) {
    return message == WM_SETUP_SAVE || message == WM_LANGUAGE_CHANGED || message == WM_SETUP_LOAD ||
           message == WM_PREVIEW_OPEN || message == WM_PREVIEW_CLOSE;
}

}  // namespace

CDlgSetup::CDlgSetup(CWnd* pOwner, const SetupPageEntry* table)
    : CDialog(IDD_DLG_SETUP, pOwner), m_pOwner(pOwner), m_pTable(table) {}

CDlgSetup::~CDlgSetup() {
    DestroyPages();
}

void CDlgSetup::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SETUP_TAB, m_tabCtrl);
}

BOOL CDlgSetup::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CreatePages() != 0)
        return FALSE;
    ApplyLanguage();
    return TRUE;
}

int CDlgSetup::CreatePages() {
    if (m_pTable == nullptr)
        return 0;
    for (int code = 0; code < SETUP_PAGE_COUNT; ++code) {
        const SetupPageEntry& entry = m_pTable[code];
        // A page this build does not have is left out.
        if (entry.make == nullptr)
            continue;
        CSetupPage* page = entry.make(this);
        if (page == nullptr)
            return -1;
        m_pages[code] = page;
        static_cast<void>(page->Create(entry.templateId, this));
    }
    return 0;
}

void CDlgSetup::DestroyPages() {
    DestroyTabPages(m_pages);
}

BOOL CDlgSetup::DestroyWindow() {
    DestroyPages();
    return CDialog::DestroyWindow();
}

void CDlgSetup::ApplyLanguage() {
    RetitleTabHost(this, m_tabCtrl, "DLGSETUP_TITLE", "DVR parameters setup", "DLGSETUP_TAB_", m_tabPages,
                   m_nTabCount);
}

void CDlgSetup::BroadcastLanguage() {
    for (CSetupPage* page : m_pages) {
        if (page != nullptr && page->GetSafeHwnd() != nullptr)
            page->PostMessage(WM_APPLY_LANGUAGE, reinterpret_cast<WPARAM>(this), 0);
    }
}

void CDlgSetup::ShowPage(int pageCode) {
    const RECT area = TabPageArea(this);
    for (int code = 0; code < SETUP_PAGE_COUNT; ++code) {
        CSetupPage* page = m_pages[code];
        if (page == nullptr || page->GetSafeHwnd() == nullptr)
            continue;
        page->MoveWindow(area, TRUE);
    }
    // The old page hides (its hide path) before the new one shows and asks for its values.
    for (int code = 0; code < SETUP_PAGE_COUNT; ++code) {
        CSetupPage* page = m_pages[code];
        if (page != nullptr && page->GetSafeHwnd() != nullptr && code != pageCode)
            page->ShowWindow(SW_HIDE);
    }
    if (pageCode >= 0 && pageCode < SETUP_PAGE_COUNT && m_pages[pageCode] != nullptr &&
        m_pages[pageCode]->GetSafeHwnd() != nullptr)
        m_pages[pageCode]->ShowWindow(SW_SHOW);
}

int CDlgSetup::VisiblePage() const {
    for (int code = 0; code < SETUP_PAGE_COUNT; ++code) {
        const CSetupPage* page = m_pages[code];
        if (page != nullptr && page->GetSafeHwnd() != nullptr && page->IsWindowVisible())
            return code;
    }
    return -1;
}

int CDlgSetup::PageOfReply(WPARAM replyType) {
    return IsSetupReplyType(replyType) ? kReplyPages[replyType] : -1;
}

LRESULT CDlgSetup::CaptionAsClient(LRESULT hit) {
    return hit == HTCAPTION ? HTCLIENT : hit;
}

void CDlgSetup::OnTabChanged() {
    const int index = m_tabCtrl.GetCurSel();
    if (index < 0 || index >= m_nTabCount)
        return;
    ShowPage(m_tabPages[index]);
}

BOOL CDlgSetup::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr != nullptr && hdr->idFrom == IDC_SETUP_TAB && hdr->code == TCN_SELCHANGE) {
        OnTabChanged();
        *pResult = 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

void CDlgSetup::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    // Each opening starts on the System page; hiding the dialog runs every page's hide path.
    ShowPage(bShow ? SETUP_PAGE_SYSTEM : -1);
    m_tabCtrl.SetCurSel(0);
}

LRESULT CDlgSetup::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CDialog::WindowProc(message, wParam, lParam);
    return message == WM_NCHITTEST ? CaptionAsClient(result) : result;
}

BOOL CDlgSetup::PreTranslateMessage(MSG* pMsg) {
    const UINT message = pMsg->message;
    if (message == WM_SETUP_PAGE_EXIT) {
        OnCancel();
        return TRUE;
    }
    if (IsRelayedToOwner(message)) {
        if (m_pOwner != nullptr)
            m_pOwner->PostMessage(message, pMsg->wParam, pMsg->lParam);
        return TRUE;
    }
    if (message == WM_APPLY_LANGUAGE) {
        // Its own broadcast climbing back from a page is only swallowed.
        if (pMsg->wParam != reinterpret_cast<WPARAM>(this)) {
            ApplyLanguage();
            BroadcastLanguage();
        }
        return TRUE;
    }
    if (message == WM_SETUP_SAVE_REFUSED) {
        const WPARAM code = pMsg->wParam;
        if (code < SETUP_PAGE_COUNT && m_pages[code] != nullptr && m_pages[code]->GetSafeHwnd() != nullptr)
            m_pages[code]->PostMessage(WM_SETUP_SAVE_REFUSED, pMsg->wParam, pMsg->lParam);
        return TRUE;
    }
    if (message == WM_DEVICE_PARAMS_RECEIVED) {
        const int code = PageOfReply(pMsg->wParam);
        if (code >= 0 && m_pages[code] != nullptr && m_pages[code]->GetSafeHwnd() != nullptr)
            m_pages[code]->PostMessage(WM_DEVICE_PARAMS_RECEIVED, pMsg->wParam, pMsg->lParam);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CDlgSetup::OnOK() {
    // The pages are plain child windows: a key pressed in one reaches this dialog.
    const int code = VisiblePage();
    QWidget* focus = GetWidget() != nullptr ? GetWidget()->focusWidget() : nullptr;
    if (code < 0 || focus == nullptr || !m_pages[code]->GetWidget()->isAncestorOf(focus))
        return;
    m_pages[code]->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void CDlgSetup::OnCancel() {
    if (m_pOwner != nullptr)
        m_pOwner->PostMessage(WM_CHILD_CLOSED, CHILD_SETUP, 0);
}
