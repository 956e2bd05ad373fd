#pragma once

// What the two tab hosts (the status dialog and the setup dialog) share: the page area under the tabs,
// the retitling at a language switch and the end of their pages.

#include <cstddef>

#include "platform/ui/tab_ctrl.h"

// The client rectangle of host less 10 on the left, 34 at the top, 10 on the right and 10 at the bottom.
RECT TabPageArea(CWnd* host);

// Titles host from titleKey (English default given) and its tabs from "<tabKeyPrefix><code>" for each
// code of tabPages (no default: a missing key gives an empty title). The selected tab is kept by index
// (tab 0 when none was selected).
void RetitleTabHost(CWnd* host, CTabCtrl& tabs, const char* titleKey, const char* titleEnglish,
                    const char* tabKeyPrefix, const int* tabPages, int count);

// Destroys each page's window and deletes the page, leaving null.
template <typename Page, size_t N>
void DestroyTabPages(Page* (&pages)[N]) {
    for (Page*& page : pages) {
        if (page == nullptr)
            continue;
        if (page->GetSafeHwnd() != nullptr)
            page->DestroyWindow();
        delete page;
        page = nullptr;
    }
}
