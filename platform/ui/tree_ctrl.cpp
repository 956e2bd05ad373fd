#include "platform/ui/tree_ctrl.h"

#include <QHeaderView>
#include <QPainter>
#include <QTreeWidget>

// An item handle is the Qt item itself.
struct TreeCtrlItem : QTreeWidgetItem {};

namespace {

// The tree widget, able to draw its items into a picture as it would on the screen.
class TreeWidget : public QTreeWidget {
public:
    void DrawItemsInto(QImage* image) {
        QPainter painter(image);
        painter.fillRect(image->rect(), viewport()->palette().color(QPalette::Base));
        drawTree(&painter, QRegion(image->rect()));
    }
};

constexpr int kDataRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kSelectedImageRole = Qt::UserRole + 3;

QTreeWidget* Tree(const CWnd* wnd) {
    return qobject_cast<QTreeWidget*>(wnd->GetWidget());
}
QTreeWidgetItem* Q(HTREEITEM item) {
    return reinterpret_cast<QTreeWidgetItem*>(item);
}
HTREEITEM H(QTreeWidgetItem* item) {
    return reinterpret_cast<HTREEITEM>(item);
}
bool IsSpecial(HTREEITEM item) {
    return item == TVI_ROOT || item == TVI_FIRST || item == TVI_LAST;
}

}  // namespace

BOOL CTreeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* tree = new TreeWidget;
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setRootIsDecorated((style & TVS_LINESATROOT) != 0);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setExpandsOnDoubleClick(true);
    SetWidgetColour(tree, QPalette::Base, RGB(255, 255, 255));
    SetWidgetColour(tree, QPalette::Text, RGB(0, 0, 0));
    QObject::connect(tree, &QTreeWidget::currentItemChanged, tree,
                     [tree](QTreeWidgetItem* now, QTreeWidgetItem* before) {
                         // Only the user's selection is told; the program's SelectItem blocks signals.
                         auto* self = CurrentWindow<CTreeCtrl>(tree);
                         if (!tree->signalsBlocked() && self != nullptr)
                             self->SendTreeNotify(TVN_SELCHANGED, H(before), H(now));
                     });
    // Qt reports a branch once it has opened or closed: both notifications follow each other then.
    auto expansion = [tree](QTreeWidgetItem* item) {
        if (auto* self = CurrentWindow<CTreeCtrl>(tree)) {
            self->SendTreeNotify(TVN_ITEMEXPANDING, nullptr, H(item));
            self->SendTreeNotify(TVN_ITEMEXPANDED, nullptr, H(item));
        }
    };
    QObject::connect(tree, &QTreeWidget::itemExpanded, tree, expansion);
    QObject::connect(tree, &QTreeWidget::itemCollapsed, tree, expansion);
    if (parent != nullptr)
        tree->setParent(parent->GetWidget());
    tree->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(tree, parent, nID, style | WS_CHILD);
}

BOOL CTreeCtrl::DrawItemsInto(QImage* image) const {
    auto* tree = dynamic_cast<TreeWidget*>(GetWidget());
    if (tree == nullptr || image == nullptr)
        return FALSE;
    tree->DrawItemsInto(image);
    return TRUE;
}

QWidget* CTreeCtrl::GetPaintWidget() const {
    QTreeWidget* tree = Tree(this);
    return tree == nullptr ? GetWidget() : tree->viewport();
}

void CTreeCtrl::SendTreeNotify(UINT code, HTREEITEM itemOld, HTREEITEM itemNew) {
    NMTREEVIEW nm;
    nm.hdr.code = code;
    nm.itemOld = itemOld;
    nm.itemNew = itemNew;
    NotifyParent(&nm.hdr);
}

void CTreeCtrl::OnLButtonUp(UINT nFlags, POINT point) {
    CWnd::OnLButtonUp(nFlags, point);
    SendTreeNotify(NM_CLICK);
}

void CTreeCtrl::OnRButtonUp(UINT nFlags, POINT point) {
    CWnd::OnRButtonUp(nFlags, point);
    SendTreeNotify(NM_RCLICK);
}

void CTreeCtrl::OnLButtonDblClk(UINT nFlags, POINT point) {
    CWnd::OnLButtonDblClk(nFlags, point);
    SendTreeNotify(NM_DBLCLK);
}

HTREEITEM CTreeCtrl::InsertItem(const QString& text, int image, int selectedImage, HTREEITEM parent,
                                HTREEITEM after) {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr)
        return nullptr;
    auto* item = new TreeCtrlItem;
    item->setText(0, text);
    QSignalBlocker block(tree);
    if (parent == nullptr || IsSpecial(parent)) {
        int index = after == TVI_FIRST ? 0 : tree->topLevelItemCount();
        if (after != nullptr && !IsSpecial(after))
            index = tree->indexOfTopLevelItem(Q(after)) + 1;
        tree->insertTopLevelItem(index, item);
    } else {
        QTreeWidgetItem* p = Q(parent);
        int index = after == TVI_FIRST ? 0 : p->childCount();
        if (after != nullptr && !IsSpecial(after))
            index = p->indexOfChild(Q(after)) + 1;
        p->insertChild(index, item);
    }
    SetItemImage(H(item), image, selectedImage);
    return H(item);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM item) {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr || item == nullptr)
        return FALSE;
    if (item == TVI_ROOT)
        return DeleteAllItems();
    QSignalBlocker block(tree);
    delete Q(item);
    return TRUE;
}

BOOL CTreeCtrl::DeleteAllItems() {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr)
        return FALSE;
    QSignalBlocker block(tree);
    tree->clear();
    return TRUE;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, uintptr_t data) {
    if (item == nullptr || IsSpecial(item))
        return FALSE;
    Q(item)->setData(0, kDataRole, QVariant::fromValue<qulonglong>(data));
    return TRUE;
}

uintptr_t CTreeCtrl::GetItemData(HTREEITEM item) const {
    if (item == nullptr || IsSpecial(item))
        return 0;
    return static_cast<uintptr_t>(Q(item)->data(0, kDataRole).toULongLong());
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, const QString& text) {
    if (item == nullptr || IsSpecial(item))
        return FALSE;
    Q(item)->setText(0, text);
    return TRUE;
}

QString CTreeCtrl::GetItemText(HTREEITEM item) const {
    return item == nullptr || IsSpecial(item) ? QString() : Q(item)->text(0);
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage) {
    if (item == nullptr || IsSpecial(item))
        return FALSE;
    Q(item)->setData(0, kImageRole, image);
    Q(item)->setData(0, kSelectedImageRole, selectedImage);
    Q(item)->setIcon(0, m_images == nullptr ? QIcon() : m_images->Icon(image));
    return TRUE;
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
    if (item == nullptr || IsSpecial(item))
        return FALSE;
    image = Q(item)->data(0, kImageRole).toInt();
    selectedImage = Q(item)->data(0, kSelectedImageRole).toInt();
    return TRUE;
}

HTREEITEM CTreeCtrl::GetRootItem() const {
    QTreeWidget* tree = Tree(this);
    return tree == nullptr || tree->topLevelItemCount() == 0 ? nullptr : H(tree->topLevelItem(0));
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const {
    if (item == nullptr || item == TVI_ROOT)
        return GetRootItem();
    return Q(item)->childCount() == 0 ? nullptr : H(Q(item)->child(0));
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr || item == nullptr || IsSpecial(item))
        return nullptr;
    QTreeWidgetItem* parent = Q(item)->parent();
    if (parent == nullptr) {
        int index = tree->indexOfTopLevelItem(Q(item)) + 1;
        return index < tree->topLevelItemCount() ? H(tree->topLevelItem(index)) : nullptr;
    }
    int index = parent->indexOfChild(Q(item)) + 1;
    return index < parent->childCount() ? H(parent->child(index)) : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const {
    return item == nullptr || IsSpecial(item) ? nullptr : H(Q(item)->parent());
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
    if (item == nullptr || item == TVI_ROOT)
        return GetRootItem() != nullptr;
    return Q(item)->childCount() > 0;
}

UINT CTreeCtrl::GetCount() const {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr)
        return 0;
    UINT count = 0;
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it)
        ++count;
    return count;
}

HTREEITEM CTreeCtrl::GetSelectedItem() const {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr || tree->currentItem() == nullptr || !tree->currentItem()->isSelected())
        return nullptr;
    return H(tree->currentItem());
}

BOOL CTreeCtrl::SelectItem(HTREEITEM item) {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr)
        return FALSE;
    QSignalBlocker block(tree);
    if (item == nullptr) {
        tree->clearSelection();
        tree->setCurrentItem(nullptr);
    } else {
        tree->setCurrentItem(Q(item));
        Q(item)->setSelected(true);
    }
    tree->viewport()->update();
    return TRUE;
}

HTREEITEM CTreeCtrl::HitTest(POINT point, UINT* flags) const {
    QTreeWidget* tree = Tree(this);
    QTreeWidgetItem* item = tree == nullptr ? nullptr : tree->itemAt(point.x, point.y);
    if (flags != nullptr)
        *flags = item == nullptr ? TVHT_NOWHERE : TVHT_ONITEM;
    return H(item);
}

BOOL CTreeCtrl::Expand(HTREEITEM item, UINT code) {
    if (item == nullptr || IsSpecial(item))
        return FALSE;
    QTreeWidget* tree = Tree(this);
    QSignalBlocker block(tree);
    bool expand = code == TVE_EXPAND || (code == TVE_TOGGLE && !Q(item)->isExpanded());
    Q(item)->setExpanded(expand);
    return TRUE;
}

BOOL CTreeCtrl::EnsureVisible(HTREEITEM item) {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr || item == nullptr || IsSpecial(item))
        return FALSE;
    tree->scrollToItem(Q(item));
    return TRUE;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, RECT* rect, BOOL) const {
    QTreeWidget* tree = Tree(this);
    if (tree == nullptr || item == nullptr || IsSpecial(item))
        return FALSE;
    QRect r = tree->visualItemRect(Q(item));
    *rect = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return r.isValid() ? TRUE : FALSE;
}

CImageList* CTreeCtrl::SetImageList(CImageList* list, int) {
    CImageList* previous = m_images;
    m_images = list;
    QTreeWidget* tree = Tree(this);
    if (tree != nullptr && list != nullptr) {
        SIZE size = list->GetImageSize();
        tree->setIconSize(QSize(size.cx, size.cy));
        for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it)
            (*it)->setIcon(0, list->Icon((*it)->data(0, kImageRole).toInt()));
    }
    return previous;
}

void CTreeCtrl::SetBkColor(COLORREF colour) {
    SetWidgetColour(GetWidget(), QPalette::Base, colour);
}

void CTreeCtrl::SetTextColor(COLORREF colour) {
    SetWidgetColour(GetWidget(), QPalette::Text, colour);
}
