#include "platform/ui/tab_ctrl.h"

#include <QTabBar>

namespace {
QTabBar* Tabs(const CWnd* wnd) {
    return qobject_cast<QTabBar*>(wnd->GetWidget());
}
}  // namespace

BOOL CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* tabs = new QTabBar;
    tabs->setDrawBase(false);
    tabs->setExpanding(false);
    // The user's choice: a press on another tab. Changes made with SetCurSel block the signals.
    QObject::connect(tabs, &QTabBar::currentChanged, tabs, [tabs](int) {
        auto* self = CurrentWindow<CTabCtrl>(tabs);
        if (tabs->signalsBlocked() || self == nullptr)
            return;
        NMHDR hdr;
        hdr.code = TCN_SELCHANGING;
        self->NotifyParent(&hdr);
        hdr.code = TCN_SELCHANGE;
        self->NotifyParent(&hdr);
    });
    if (parent != nullptr)
        tabs->setParent(parent->GetWidget());
    tabs->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(tabs, parent, nID, style | WS_CHILD);
}

int CTabCtrl::InsertItem(int index, const QString& text) {
    QTabBar* tabs = Tabs(this);
    if (tabs == nullptr)
        return -1;
    QSignalBlocker block(tabs);
    return tabs->insertTab(index, text);
}

BOOL CTabCtrl::SetItemText(int index, const QString& text) {
    QTabBar* tabs = Tabs(this);
    if (tabs == nullptr || index < 0 || index >= tabs->count())
        return FALSE;
    tabs->setTabText(index, text);
    return TRUE;
}

QString CTabCtrl::GetItemText(int index) const {
    return Tabs(this) == nullptr ? QString() : Tabs(this)->tabText(index);
}

BOOL CTabCtrl::DeleteItem(int index) {
    QTabBar* tabs = Tabs(this);
    if (tabs == nullptr || index < 0 || index >= tabs->count())
        return FALSE;
    QSignalBlocker block(tabs);
    tabs->removeTab(index);
    return TRUE;
}

BOOL CTabCtrl::DeleteAllItems() {
    QTabBar* tabs = Tabs(this);
    if (tabs == nullptr)
        return FALSE;
    QSignalBlocker block(tabs);
    while (tabs->count() > 0)
        tabs->removeTab(0);
    return TRUE;
}

int CTabCtrl::GetItemCount() const {
    return Tabs(this) == nullptr ? 0 : Tabs(this)->count();
}

int CTabCtrl::GetCurSel() const {
    return Tabs(this) == nullptr ? -1 : Tabs(this)->currentIndex();
}

int CTabCtrl::SetCurSel(int index) {
    QTabBar* tabs = Tabs(this);
    if (tabs == nullptr || index < 0 || index >= tabs->count())
        return -1;
    int previous = tabs->currentIndex();
    QSignalBlocker block(tabs);
    tabs->setCurrentIndex(index);
    return previous;
}

BOOL CTabCtrl::GetItemRect(int index, RECT* rect) const {
    QTabBar* tabs = Tabs(this);
    if (tabs == nullptr || index < 0 || index >= tabs->count())
        return FALSE;
    QRect r = tabs->tabRect(index);
    *rect = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return TRUE;
}
