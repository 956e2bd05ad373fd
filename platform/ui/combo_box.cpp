#include "platform/ui/combo_box.h"

#include <QComboBox>
#include <QLineEdit>

namespace {
QComboBox* Combo(const CWnd* wnd) {
    return qobject_cast<QComboBox*>(wnd->GetWidget());
}
constexpr int kItemDataRole = Qt::UserRole + 1;

// Inserts an item the way a list-style combo does: a combo without a selection keeps none (Qt would
// select the first item put into an empty combo).
void InsertKeepingSelection(QComboBox* combo, int index, const QString& text) {
    const bool none = combo->currentIndex() < 0;
    combo->insertItem(index, text);
    if (none)
        combo->setCurrentIndex(-1);
}
}  // namespace

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* combo = new QComboBox;
    combo->setEditable((style & 0x3) != CBS_DROPDOWNLIST);
    combo->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(combo, &QComboBox::activated, combo, [combo] {
        if (auto* self = CurrentWindow<CComboBox>(combo))
            self->NotifyParentCommand(CBN_SELCHANGE);
    });
    if (combo->lineEdit() != nullptr) {
        QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [combo] {
            if (auto* self = CurrentWindow<CComboBox>(combo))
                self->NotifyParentCommand(CBN_EDITCHANGE);
        });
    }
    if (parent != nullptr)
        combo->setParent(parent->GetWidget());
    // The template's height includes the dropped list; the field keeps its own height.
    combo->setGeometry(rect.left, rect.top, rect.Width(), combo->sizeHint().height());
    return Attach(combo, parent, nID, style | WS_CHILD);
}

int CComboBox::AddString(const QString& text) {
    QComboBox* combo = Combo(this);
    if (combo == nullptr)
        return CB_ERR;
    int index = combo->count();
    if (GetStyle() & CBS_SORT) {
        index = 0;
        while (index < combo->count() &&
               QString::compare(combo->itemText(index), text, Qt::CaseInsensitive) <= 0)
            ++index;
    }
    InsertKeepingSelection(combo, index, text);
    return index;
}

int CComboBox::InsertString(int index, const QString& text) {
    QComboBox* combo = Combo(this);
    if (combo == nullptr || index > combo->count())
        return CB_ERR;
    if (index < 0)
        index = combo->count();
    InsertKeepingSelection(combo, index, text);
    return index;
}

int CComboBox::DeleteString(int index) {
    QComboBox* combo = Combo(this);
    if (combo == nullptr || index < 0 || index >= combo->count())
        return CB_ERR;
    combo->removeItem(index);
    return combo->count();
}

void CComboBox::ResetContent() {
    if (QComboBox* combo = Combo(this))
        combo->clear();
}

int CComboBox::GetCount() const {
    return Combo(this) == nullptr ? 0 : Combo(this)->count();
}

int CComboBox::GetCurSel() const {
    return Combo(this) == nullptr ? CB_ERR : Combo(this)->currentIndex();
}

int CComboBox::SetCurSel(int index) {
    QComboBox* combo = Combo(this);
    if (combo == nullptr)
        return CB_ERR;
    if (index < 0 || index >= combo->count()) {
        combo->setCurrentIndex(-1);
        return CB_ERR;
    }
    combo->setCurrentIndex(index);
    return index;
}

void CComboBox::GetLBText(int index, QString& text) const {
    QComboBox* combo = Combo(this);
    text = combo == nullptr ? QString() : combo->itemText(index);
}

int CComboBox::GetLBTextLen(int index) const {
    QComboBox* combo = Combo(this);
    if (combo == nullptr || index < 0 || index >= combo->count())
        return CB_ERR;
    return static_cast<int>(combo->itemText(index).size());
}

int CComboBox::SetItemData(int index, uintptr_t data) {
    QComboBox* combo = Combo(this);
    if (combo == nullptr || index < 0 || index >= combo->count())
        return CB_ERR;
    combo->setItemData(index, QVariant::fromValue<qulonglong>(data), kItemDataRole);
    return 0;
}

uintptr_t CComboBox::GetItemData(int index) const {
    QComboBox* combo = Combo(this);
    if (combo == nullptr || index < 0 || index >= combo->count())
        return static_cast<uintptr_t>(CB_ERR);
    return static_cast<uintptr_t>(combo->itemData(index, kItemDataRole).toULongLong());
}

int CComboBox::FindStringExact(int startAfter, const QString& text) const {
    QComboBox* combo = Combo(this);
    if (combo == nullptr)
        return CB_ERR;
    int count = combo->count();
    for (int n = 1; n <= count; ++n) {
        int index = (startAfter + n) % count;
        if (index < 0)
            index += count;
        if (QString::compare(combo->itemText(index), text, Qt::CaseInsensitive) == 0)
            return index;
    }
    return CB_ERR;
}

void CComboBox::SetTextOfWidget(const QString& text) {
    QComboBox* combo = Combo(this);
    if (combo != nullptr && combo->isEditable())
        combo->setEditText(text);
}

QString CComboBox::TextOfWidget() const {
    QComboBox* combo = Combo(this);
    return combo == nullptr ? QString() : combo->currentText();
}
