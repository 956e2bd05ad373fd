#include "ui/dialogs/tab_pages.h"

#include "core/tarvik_app.h"
#include "ui/dialogs/dialog_texts.h"

namespace {

constexpr int kPageLeft = 10;
constexpr int kPageTop = 34;
constexpr int kPageRight = 10;
constexpr int kPageBottom = 10;

}  // namespace

RECT TabPageArea(CWnd* host) {
    RECT client{};
    host->GetClientRect(&client);
    return RECT{client.left + kPageLeft, client.top + kPageTop, client.right - kPageRight,
                client.bottom - kPageBottom};
}

void RetitleTabHost(CWnd* host, CTabCtrl& tabs, const char* titleKey, const char* titleEnglish,
                    const char* tabKeyPrefix, const int* tabPages, int count) {
    host->SetWindowText(LanguageText(titleKey, titleEnglish));
    const int selected = tabs.GetCurSel();
    tabs.DeleteAllItems();
    for (int i = 0; i < count; ++i)
        tabs.InsertItem(i, GetLanguageText(QString::fromLatin1(tabKeyPrefix) + QString::number(tabPages[i])));
    tabs.SetCurSel(selected >= 0 ? selected : 0);
}
