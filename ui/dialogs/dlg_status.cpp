#include "ui/dialogs/dlg_status.h"

#include <new>

#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "platform/ui/data_exchange.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dlg_config.h"
#include "ui/dialogs/dlg_status_pages.h"
#include "ui/dialogs/dlg_tree.h"
#include "ui/dialogs/tab_pages.h"

CDlgStatus::CDlgStatus(CWnd* pOwner) : CDialog(IDD_DLG_STATUS, pOwner), m_pOwner(pOwner) {}

CDlgStatus::~CDlgStatus() {
    DestroyPages();
}

void CDlgStatus::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATUS_TAB, m_tabCtrl);
}

BOOL CDlgStatus::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CreatePages() != 0)
        return FALSE;
    ApplyTexts();
    ShowPage(STATUS_PAGE_CONFIG);
    return TRUE;
}

int CDlgStatus::CreatePages() {
    const struct {
        int code;
        UINT templateId;
    } order[] = {
        {STATUS_PAGE_SYSTEM, IDD_DLG_STATUS_SYSTEM},
        {STATUS_PAGE_USER, IDD_DLG_STATUS_USER},
        {STATUS_PAGE_LOG, IDD_DLG_STATUS_LOG},
        {STATUS_PAGE_SOFTWARE, IDD_DLG_STATUS_SOFTWARE},
        {STATUS_PAGE_TREE, IDD_DLG_TREE},
        {STATUS_PAGE_CONFIG, IDD_DLG_CONFIG},
    };
    for (const auto& page : order) {
        CDialog* dialog = nullptr;
        switch (page.code) {
            case STATUS_PAGE_SYSTEM:
                dialog = new (std::nothrow) CDlgStatusSystem(this);
                break;
            case STATUS_PAGE_USER:
                dialog = new (std::nothrow) CDlgStatusUser(this);
                break;
            case STATUS_PAGE_LOG:
                dialog = new (std::nothrow) CDlgStatusLog(this);
                break;
            case STATUS_PAGE_SOFTWARE:
                dialog = new (std::nothrow) CDlgStatusSoftware(this);
                break;
            case STATUS_PAGE_TREE:
                dialog = new (std::nothrow) CDlgTree(this);
                break;
            default:
                dialog = new (std::nothrow) CDlgConfig(this);
                break;
        }
        if (dialog == nullptr)
            return -1;
        m_pages[page.code] = dialog;
        static_cast<void>(dialog->Create(page.templateId, this));
    }
    return 0;
}

void CDlgStatus::DestroyPages() {
    DestroyTabPages(m_pages);
}

void CDlgStatus::ApplyTexts() {
    RetitleTabHost(this, m_tabCtrl, "DLGSTATUS_TITLE", "DVR system status", "DLGSTATUS_TAB_", m_tabPages,
                   m_nTabCount);
}

void CDlgStatus::ShowPage(int page) {
    const RECT area = TabPageArea(this);
    for (int code = 0; code < STATUS_PAGE_COUNT; ++code) {
        CDialog* dialog = m_pages[code];
        if (dialog == nullptr || dialog->GetSafeHwnd() == nullptr)
            continue;
        dialog->MoveWindow(area, TRUE);
        dialog->ShowWindow(code == page ? SW_SHOW : SW_HIDE);
    }
}

int CDlgStatus::VisiblePage() const {
    for (int code = 0; code < STATUS_PAGE_COUNT; ++code) {
        if (m_pages[code] != nullptr && m_pages[code]->GetSafeHwnd() != nullptr &&
            m_pages[code]->IsWindowVisible())
            return code;
    }
    return -1;
}

void CDlgStatus::OnTabSelChange() {
    int index = m_tabCtrl.GetCurSel();
    if (index < 0 || index >= m_nTabCount)
        return;
    ShowPage(m_tabPages[index]);
}

BOOL CDlgStatus::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr != nullptr && hdr->idFrom == IDC_STATUS_TAB && hdr->code == TCN_SELCHANGE) {
        OnTabSelChange();
        *pResult = 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

void CDlgStatus::ForwardLanguage() {
    for (CDialog* page : m_pages) {
        if (page != nullptr && page->GetSafeHwnd() != nullptr)
            page->PostMessage(WM_APPLY_LANGUAGE, reinterpret_cast<WPARAM>(this), 0);
    }
}

BOOL CDlgStatus::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_STATUS_PAGE_EXIT) {
        OnCancel();
        return TRUE;
    }
    if (pMsg->message == WM_APPLY_LANGUAGE) {
        // A page's own copy walking up the parent chain is only swallowed.
        if (pMsg->wParam != reinterpret_cast<WPARAM>(this)) {
            ApplyTexts();
            ForwardLanguage();
        }
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CDlgStatus::OnCancel() {
    if (m_pOwner != nullptr)
        m_pOwner->PostMessage(WM_CHILD_CLOSED, CHILD_STATUS, 0);
}

BOOL CDlgStatus::DestroyWindow() {
    DestroyPages();
    return CDialog::DestroyWindow();
}
