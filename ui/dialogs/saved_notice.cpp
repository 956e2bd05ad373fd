#include "ui/dialogs/saved_notice.h"

void WithdrawSavedNotice(CWnd* page, UINT noticeId, int* countdown) {
    *countdown = 0;
    if (CWnd* notice = page->GetDlgItem(noticeId))
        notice->ShowWindow(SW_HIDE);
}
