#pragma once

// The DVR setup dialog (template 134): a modeless tab host, owned by the main window, over the eight setup
// pages (ui/dialogs/setup_page.h). It shows one page at a time, carries the pages' requests to the main
// window unchanged (WM_SETUP_LOAD, WM_SETUP_SAVE, WM_LANGUAGE_CHANGED, WM_PREVIEW_*) and hands each
// WM_DEVICE_PARAMS_RECEIVED to the page of its reply type. It never talks to the DVR itself.
// Every opening starts on the System page; Escape, the close box and a page's Exit ask the owner to hide it
// (WM_CHILD_CLOSED, CHILD_SETUP); Enter does nothing. The caption does not move it.

#include "platform/ui/dialog.h"
#include "platform/ui/tab_ctrl.h"
#include "ui/dialogs/setup_page_table.h"

class CSetupPage;

constexpr UINT IDD_DLG_SETUP = 134;
constexpr UINT IDC_SETUP_TAB = 1047;

class CDlgSetup : public CDialog {
public:
    // table: the pages to make, indexed by page code (tests give their own).
    explicit CDlgSetup(CWnd* pOwner, const SetupPageEntry* table = kSetupPageTable);
    ~CDlgSetup() override;

    CTabCtrl m_tabCtrl;
    CWnd* m_pOwner;
    int m_tabPages[10] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 0};
    int m_nTabCount = 8;
    CSetupPage* m_pages[8] = {};

    // The page code of the page on screen, or -1.
    int VisiblePage() const;
    // Lays every page over the page area and shows the one of that code (any other code hides them all).
    void ShowPage(int pageCode);
    // The page that takes replies of that type, or -1 for a type no page takes.
    static int PageOfReply(WPARAM replyType);
    // The caption answers as client area, so dragging it does not move the dialog.
    static LRESULT CaptionAsClient(LRESULT hit);

    BOOL DestroyWindow() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    [[nodiscard]] int CreatePages();
    void DestroyPages();
    void ApplyLanguage();
    void BroadcastLanguage();
    void OnTabChanged();

    const SetupPageEntry* m_pTable;
};
