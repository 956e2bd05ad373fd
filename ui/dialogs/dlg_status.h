#pragma once

// The status dialog (template 155): a modeless tab host, owned by the main window, for the client's local
// matters. It makes six pages at start (system information, user, log, version, tree editor, client
// settings) but gives only three of them a tab, in the order settings, system information, version.
// Escape or Exit on any page hides the whole dialog by telling the owner (WM_CHILD_CLOSED, CHILD_STATUS);
// a language switch (WM_APPLY_LANGUAGE from the main window) retitles the tabs and reaches every page.

#include <QString>

#include "platform/ui/dialog.h"
#include "platform/ui/tab_ctrl.h"

constexpr UINT IDD_DLG_STATUS = 155;
constexpr UINT IDC_STATUS_TAB = 1047;

// Page codes: the index of a page in CDlgStatus::m_pages.
enum StatusPageCode : int {
    STATUS_PAGE_SYSTEM = 0,
    STATUS_PAGE_USER = 1,
    STATUS_PAGE_LOG = 2,
    STATUS_PAGE_SOFTWARE = 3,
    STATUS_PAGE_TREE = 4,
    STATUS_PAGE_CONFIG = 5,
};
constexpr int STATUS_PAGE_COUNT = 6;

class CDlgStatus : public CDialog {
public:
    explicit CDlgStatus(CWnd* pOwner);
    ~CDlgStatus() override;

    CTabCtrl m_tabCtrl;
    CWnd* m_pOwner;
    int m_tabPages[3] = {STATUS_PAGE_CONFIG, STATUS_PAGE_SYSTEM, STATUS_PAGE_SOFTWARE};
    int m_nTabCount = 3;
    CDialog* m_pages[STATUS_PAGE_COUNT] = {};

    // The page on screen, or -1.
    int VisiblePage() const;
    void ShowPage(int page);

    BOOL DestroyWindow() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    [[nodiscard]] int CreatePages();
    void DestroyPages();
    void ApplyTexts();
    void ForwardLanguage();
    void OnTabSelChange();
};
