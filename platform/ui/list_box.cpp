#include "platform/ui/list_box.h"

#include <QListWidget>

namespace {
QListWidget* List(const CWnd* wnd) {
    return qobject_cast<QListWidget*>(wnd->GetWidget());
}
}  // namespace

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* list = new QListWidget;
    list->setSelectionMode((style & LBS_MULTIPLESEL) ? QAbstractItemView::MultiSelection
                                                     : QAbstractItemView::SingleSelection);
    if (style & LBS_NOTIFY) {
        QObject::connect(list, &QListWidget::itemPressed, list, [list] {
            if (auto* self = CurrentWindow<CListBox>(list))
                self->NotifyParentCommand(LBN_SELCHANGE);
        });
        QObject::connect(list, &QListWidget::itemDoubleClicked, list, [list] {
            if (auto* self = CurrentWindow<CListBox>(list))
                self->NotifyParentCommand(LBN_DBLCLK);
        });
    }
    if (parent != nullptr)
        list->setParent(parent->GetWidget());
    list->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(list, parent, nID, style | WS_CHILD);
}

int CListBox::AddString(const QString& text) {
    QListWidget* list = List(this);
    if (list == nullptr)
        return LB_ERR;
    int index = list->count();
    if (GetStyle() & LBS_SORT) {
        index = 0;
        while (index < list->count() &&
               QString::compare(list->item(index)->text(), text, Qt::CaseInsensitive) <= 0)
            ++index;
    }
    list->insertItem(index, text);
    return index;
}

int CListBox::InsertString(int index, const QString& text) {
    QListWidget* list = List(this);
    if (list == nullptr || index > list->count())
        return LB_ERR;
    if (index < 0)
        index = list->count();
    list->insertItem(index, text);
    return index;
}

int CListBox::DeleteString(int index) {
    QListWidget* list = List(this);
    if (list == nullptr || index < 0 || index >= list->count())
        return LB_ERR;
    delete list->takeItem(index);
    return list->count();
}

void CListBox::ResetContent() {
    if (QListWidget* list = List(this))
        list->clear();
}

int CListBox::GetCount() const {
    return List(this) == nullptr ? 0 : List(this)->count();
}

int CListBox::GetCurSel() const {
    QListWidget* list = List(this);
    if (list == nullptr || list->currentItem() == nullptr || !list->currentItem()->isSelected())
        return LB_ERR;
    return list->currentRow();
}

int CListBox::SetCurSel(int index) {
    QListWidget* list = List(this);
    if (list == nullptr)
        return LB_ERR;
    if (index < 0 || index >= list->count()) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return LB_ERR;
    }
    list->setCurrentRow(index);
    return index;
}

int CListBox::GetText(int index, QString& text) const {
    QListWidget* list = List(this);
    if (list == nullptr || index < 0 || index >= list->count())
        return LB_ERR;
    text = list->item(index)->text();
    return static_cast<int>(text.size());
}

int CListBox::SetItemData(int index, uintptr_t data) {
    QListWidget* list = List(this);
    if (list == nullptr || index < 0 || index >= list->count())
        return LB_ERR;
    list->item(index)->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(data));
    return 0;
}

uintptr_t CListBox::GetItemData(int index) const {
    QListWidget* list = List(this);
    if (list == nullptr || index < 0 || index >= list->count())
        return static_cast<uintptr_t>(LB_ERR);
    return static_cast<uintptr_t>(list->item(index)->data(Qt::UserRole).toULongLong());
}

int CListBox::GetSel(int index) const {
    QListWidget* list = List(this);
    if (list == nullptr || index < 0 || index >= list->count())
        return LB_ERR;
    return list->item(index)->isSelected() ? 1 : 0;
}

int CListBox::SetSel(int index, BOOL select) {
    QListWidget* list = List(this);
    if (list == nullptr || index >= list->count())
        return LB_ERR;
    for (int i = 0; i < list->count(); ++i) {
        if (index < 0 || i == index)
            list->item(i)->setSelected(select != FALSE);
    }
    return 0;
}
