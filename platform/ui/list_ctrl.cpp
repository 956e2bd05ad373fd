#include "platform/ui/list_ctrl.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include "platform/ui/wnd_event_bridge.h"

namespace {

constexpr int kDataRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kStateImageRole = Qt::UserRole + 3;

QTreeWidget* List(const CWnd* wnd) {
    return qobject_cast<QTreeWidget*>(wnd->GetWidget());
}

QTreeWidgetItem* Row(const CWnd* wnd, int item) {
    QTreeWidget* list = List(wnd);
    if (list == nullptr || item < 0 || item >= list->topLevelItemCount())
        return nullptr;
    return list->topLevelItem(item);
}

// Paints each cell in the colours the parent gives in its custom-draw round.
class CustomDrawDelegate : public QStyledItemDelegate {
public:
    explicit CustomDrawDelegate(QTreeWidget* list) : QStyledItemDelegate(list), m_list(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        COLORREF text = CLR_DEFAULT;
        COLORREF background = CLR_DEFAULT;
        RECT rect{option.rect.left(), option.rect.top(), option.rect.right() + 1, option.rect.bottom() + 1};
        if (auto* self = CurrentWindow<CListCtrl>(m_list))
            self->CustomDrawCell(index.row(), index.column(), rect, &text, &background);
        QStyleOptionViewItem cell(option);
        if (background != CLR_DEFAULT && background != CLR_NONE && !(option.state & QStyle::State_Selected))
            painter->fillRect(option.rect, ToQColor(background));
        if (text != CLR_DEFAULT)
            cell.palette.setColor(QPalette::Text, ToQColor(text));
        QStyledItemDelegate::paint(painter, cell, index);
    }

    // Where the cell's check box is drawn.
    QRect CheckBoxRect(const QModelIndex& index) const {
        QStyleOptionViewItem option;
        option.initFrom(m_list->viewport());
        option.rect = m_list->visualRect(index);
        option.decorationSize = m_list->iconSize();
        option.widget = m_list;
        initStyleOption(&option, index);
        if (!(option.features & QStyleOptionViewItem::HasCheckIndicator))
            return QRect();
        return m_list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, m_list);
    }

private:
    QTreeWidget* m_list;
};

}  // namespace

CListCtrl::CListCtrl() = default;
CListCtrl::~CListCtrl() = default;

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setColumnCount(0);
    list->setHeaderHidden((style & LVS_NOCOLUMNHEADER) != 0);
    list->setSelectionMode((style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                   : QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setItemDelegate(new CustomDrawDelegate(list));
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsClickable(true);
    if (parent != nullptr)
        list->setParent(parent->GetWidget());
    list->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    if (!Attach(list, parent, nID, style | WS_CHILD))
        return FALSE;
    QObject::connect(list, &QTreeWidget::itemChanged, list, [list](QTreeWidgetItem* item, int) {
        if (auto* self = CurrentWindow<CListCtrl>(list))
            self->OnQtItemChanged(list->indexOfTopLevelItem(item));
    });
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, list,
                     [list](const QItemSelection& selected, const QItemSelection& deselected) {
                         auto* self = CurrentWindow<CListCtrl>(list);
                         if (list->signalsBlocked() || self == nullptr)
                             return;
                         for (const QModelIndex& index : selected.indexes()) {
                             if (index.column() == 0) {
                                 self->m_selectionMark = index.row();
                                 self->NotifyItemChanged(index.row(), LVIS_SELECTED, 0);
                             }
                         }
                         for (const QModelIndex& index : deselected.indexes()) {
                             if (index.column() == 0)
                                 self->NotifyItemChanged(index.row(), 0, LVIS_SELECTED);
                         }
                     });
    m_header.Attach(list->header(), this, 0, WS_CHILD | WS_VISIBLE);
    QHeaderView* header = list->header();
    QObject::connect(header, &QHeaderView::sectionClicked, header, [header](int section) {
        // The header window may have been subclassed: its current owner is found by its widget.
        CWnd* wnd = WindowOfWidget(header);
        if (wnd == nullptr || wnd->GetParent() == nullptr)
            return;
        WindowEventScope scope;
        NMHEADER nm;
        nm.hdr.hwndFrom = wnd->m_hWnd;
        nm.hdr.idFrom = wnd->GetDlgCtrlID();
        nm.hdr.code = HDN_ITEMCLICK;
        nm.iItem = section;
        wnd->GetParent()->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    });
    QObject::connect(header, &QHeaderView::sectionClicked, list, [list](int section) {
        if (auto* self = CurrentWindow<CListCtrl>(list))
            self->SendListNotify(LVN_COLUMNCLICK, -1, section, POINT{});
    });
    return TRUE;
}

void CListCtrl::TakeOverState(const CWnd& from) {
    if (auto* list = dynamic_cast<const CListCtrl*>(&from)) {
        m_smallImages = list->m_smallImages;
        m_stateImages = list->m_stateImages;
        m_exStyle = list->m_exStyle;
        m_selectionMark = list->m_selectionMark;
    }
}

QWidget* CListCtrl::GetPaintWidget() const {
    QTreeWidget* list = List(this);
    return list == nullptr ? GetWidget() : list->viewport();
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle) {
    DWORD previous = m_exStyle;
    m_exStyle = exStyle;
    if (QTreeWidget* list = List(this)) {
        list->setSelectionBehavior((exStyle & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                                    : QAbstractItemView::SelectItems);
        // With a style sheet on the cells the selection needs its own rule, or a selected row is drawn
        // without its highlight and its text in the highlight's text colour (white on white).
        list->setStyleSheet((exStyle & LVS_EX_GRIDLINES)
                                ? "QTreeView::item { border: 1px solid #d0d0d0; }"
                                  "QTreeView::item:selected { background: palette(highlight);"
                                  " color: palette(highlighted-text); }"
                                : QString());
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* row = list->topLevelItem(i);
            QSignalBlocker block(list);
            if (exStyle & LVS_EX_CHECKBOXES) {
                if (!row->data(0, kStateImageRole).isValid())
                    row->setData(0, kStateImageRole, 1);
                if (m_userCheckable)
                    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
                row->setCheckState(0,
                                   row->data(0, kStateImageRole).toInt() == 2 ? Qt::Checked : Qt::Unchecked);
            }
        }
    }
    return previous;
}

int CListCtrl::InsertColumn(int index, const QString& heading, int format, int width) {
    QTreeWidget* list = List(this);
    if (list == nullptr || index < 0)
        return -1;
    int count = list->columnCount();
    if (index > count)
        index = count;
    QTreeWidgetItem* headerItem = list->headerItem();
    list->setColumnCount(count + 1);
    // Shift headings and cells right of the new column.
    for (int c = count; c > index; --c) {
        headerItem->setText(c, headerItem->text(c - 1));
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            QTreeWidgetItem* row = list->topLevelItem(r);
            row->setText(c, row->text(c - 1));
            row->setData(c, kImageRole, row->data(c - 1, kImageRole));
        }
    }
    headerItem->setText(index, heading);
    Qt::Alignment align = format == LVCFMT_RIGHT    ? Qt::AlignRight
                          : format == LVCFMT_CENTER ? Qt::AlignHCenter
                                                    : Qt::AlignLeft;
    headerItem->setTextAlignment(index, align | Qt::AlignVCenter);
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        list->topLevelItem(r)->setText(index, QString());
        list->topLevelItem(r)->setTextAlignment(index, align | Qt::AlignVCenter);
    }
    if (width >= 0)
        list->setColumnWidth(index, width);
    return index;
}

BOOL CListCtrl::DeleteColumn(int index) {
    QTreeWidget* list = List(this);
    if (list == nullptr || index < 0 || index >= list->columnCount())
        return FALSE;
    int count = list->columnCount();
    QTreeWidgetItem* headerItem = list->headerItem();
    for (int c = index; c + 1 < count; ++c) {
        headerItem->setText(c, headerItem->text(c + 1));
        list->setColumnWidth(c, list->columnWidth(c + 1));
        for (int r = 0; r < list->topLevelItemCount(); ++r)
            list->topLevelItem(r)->setText(c, list->topLevelItem(r)->text(c + 1));
    }
    list->setColumnCount(count - 1);
    return TRUE;
}

int CListCtrl::GetColumnCount() const {
    return List(this) == nullptr ? 0 : List(this)->columnCount();
}

BOOL CListCtrl::SetColumnWidth(int column, int width) {
    QTreeWidget* list = List(this);
    if (list == nullptr || column < 0 || column >= list->columnCount())
        return FALSE;
    list->setColumnWidth(column, width);
    return TRUE;
}

int CListCtrl::GetColumnWidth(int column) const {
    QTreeWidget* list = List(this);
    return list == nullptr ? 0 : list->columnWidth(column);
}

int CListCtrl::GetColumnFormat(int column) const {
    QTreeWidget* list = List(this);
    if (list == nullptr || column < 0 || column >= list->columnCount())
        return -1;
    int align = list->headerItem()->textAlignment(column);
    return (align & Qt::AlignRight) ? LVCFMT_RIGHT : (align & Qt::AlignHCenter) ? LVCFMT_CENTER : LVCFMT_LEFT;
}

int CListCtrl::InsertItem(int index, const QString& text, int image) {
    QTreeWidget* list = List(this);
    if (list == nullptr)
        return -1;
    if (index < 0 || index > list->topLevelItemCount())
        index = list->topLevelItemCount();
    auto* row = new QTreeWidgetItem;
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    {
        QSignalBlocker block(list);
        row->setText(0, text);
        if (m_exStyle & LVS_EX_CHECKBOXES) {
            row->setData(0, kStateImageRole, 1);
            if (m_userCheckable)
                row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
            row->setCheckState(0, Qt::Unchecked);
        }
        list->insertTopLevelItem(index, row);
    }
    if (image >= 0)
        SetItemImage(index, 0, image);
    return index;
}

BOOL CListCtrl::DeleteItem(int index) {
    QTreeWidgetItem* row = Row(this, index);
    if (row == nullptr)
        return FALSE;
    QSignalBlocker block(List(this));
    delete row;
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    QTreeWidget* list = List(this);
    if (list == nullptr)
        return FALSE;
    QSignalBlocker block(list);
    list->clear();
    m_selectionMark = -1;
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    return List(this) == nullptr ? 0 : List(this)->topLevelItemCount();
}

BOOL CListCtrl::SetItemText(int item, int subItem, const QString& text) {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr || subItem < 0 || subItem >= GetColumnCount())
        return FALSE;
    QSignalBlocker block(List(this));
    row->setText(subItem, text);
    return TRUE;
}

QString CListCtrl::GetItemText(int item, int subItem) const {
    QTreeWidgetItem* row = Row(this, item);
    return row == nullptr ? QString() : row->text(subItem);
}

BOOL CListCtrl::SetItemData(int item, uintptr_t data) {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr)
        return FALSE;
    QSignalBlocker block(List(this));
    row->setData(0, kDataRole, QVariant::fromValue<qulonglong>(data));
    return TRUE;
}

uintptr_t CListCtrl::GetItemData(int item) const {
    QTreeWidgetItem* row = Row(this, item);
    return row == nullptr ? 0 : static_cast<uintptr_t>(row->data(0, kDataRole).toULongLong());
}

BOOL CListCtrl::SetItemImage(int item, int subItem, int image) {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr)
        return FALSE;
    QSignalBlocker block(List(this));
    row->setData(subItem, kImageRole, image);
    row->setIcon(subItem, m_smallImages == nullptr ? QIcon() : m_smallImages->Icon(image));
    return TRUE;
}

int CListCtrl::GetItemImage(int item, int subItem) const {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr)
        return -1;
    QVariant image = row->data(subItem, kImageRole);
    return image.isValid() ? image.toInt() : -1;
}

BOOL CListCtrl::GetCheck(int item) const {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr)
        return -1;
    QVariant state = row->data(0, kStateImageRole);
    return state.isValid() ? state.toInt() - 1 : -1;
}

BOOL CListCtrl::SetCheck(int item, BOOL check) {
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr)
        return 0;
    UINT state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(row->data(0, kStateImageRole).toInt()));
    if (row->isSelected())
        state |= LVIS_SELECTED;
    if (List(this)->currentItem() == row)
        state |= LVIS_FOCUSED;
    return state & mask;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    QTreeWidget* list = List(this);
    if (list == nullptr)
        return FALSE;
    if (item < 0) {
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            SetItemState(i, state, mask);
        return TRUE;
    }
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr)
        return FALSE;
    UINT oldState = GetItemState(item, LVIS_STATEIMAGEMASK | LVIS_SELECTED | LVIS_FOCUSED);
    {
        QSignalBlocker block(list);
        if (mask & LVIS_STATEIMAGEMASK) {
            int image = static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
            row->setData(0, kStateImageRole, image);
            if (m_exStyle & LVS_EX_CHECKBOXES)
                row->setCheckState(0, image == 2 ? Qt::Checked : Qt::Unchecked);
        }
        if (mask & LVIS_SELECTED)
            row->setSelected((state & LVIS_SELECTED) != 0);
        if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
            list->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
    }
    if ((mask & LVIS_SELECTED) && (state & LVIS_SELECTED))
        m_selectionMark = item;
    list->viewport()->update();
    UINT newState = GetItemState(item, LVIS_STATEIMAGEMASK | LVIS_SELECTED | LVIS_FOCUSED);
    if (newState != oldState)
        NotifyItemChanged(item, newState, oldState);
    return TRUE;
}

void CListCtrl::OnQtItemChanged(int item) {
    // The user ticked or cleared a check box.
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr || !(m_exStyle & LVS_EX_CHECKBOXES))
        return;
    int image = row->checkState(0) == Qt::Checked ? 2 : 1;
    int old = row->data(0, kStateImageRole).toInt();
    if (image == old)
        return;
    {
        QSignalBlocker block(List(this));
        row->setData(0, kStateImageRole, image);
    }
    NotifyItemChanged(item, INDEXTOSTATEIMAGEMASK(static_cast<UINT>(image)),
                      INDEXTOSTATEIMAGEMASK(static_cast<UINT>(old)));
}

void CListCtrl::NotifyItemChanged(int item, UINT newState, UINT oldState) {
    NMLISTVIEW nm;
    nm.hdr.code = LVN_ITEMCHANGED;
    nm.iItem = item;
    nm.uNewState = newState;
    nm.uOldState = oldState;
    nm.uChanged = LVIF_STATE;
    nm.lParam = static_cast<LPARAM>(GetItemData(item));
    NotifyParent(&nm.hdr);
}

void CListCtrl::SendListNotify(UINT code, int item, int subItem, POINT point) {
    NMLISTVIEW nm;
    nm.hdr.code = code;
    nm.iItem = item;
    nm.iSubItem = subItem;
    nm.ptAction = point;
    NotifyParent(&nm.hdr);
}

void CListCtrl::NotifyClick(UINT code, POINT point) {
    LVHITTESTINFO info;
    info.pt = point;
    SubItemHitTest(&info);
    SendListNotify(code, info.iItem, info.iSubItem, point);
}

void CListCtrl::OnLButtonUp(UINT nFlags, POINT point) {
    CWnd::OnLButtonUp(nFlags, point);
    NotifyClick(NM_CLICK, point);
}

void CListCtrl::OnRButtonUp(UINT nFlags, POINT point) {
    CWnd::OnRButtonUp(nFlags, point);
    NotifyClick(NM_RCLICK, point);
}

void CListCtrl::OnLButtonDblClk(UINT nFlags, POINT point) {
    CWnd::OnLButtonDblClk(nFlags, point);
    NotifyClick(NM_DBLCLK, point);
}

int CListCtrl::GetNextItem(int start, int flags) const {
    int count = GetItemCount();
    for (int i = start + 1; i < count; ++i) {
        if (!(flags & LVNI_SELECTED) || GetItemState(i, LVIS_SELECTED))
            return i;
    }
    return -1;
}

UINT CListCtrl::GetSelectedCount() const {
    UINT n = 0;
    for (int i = 0; i < GetItemCount(); ++i)
        n += GetItemState(i, LVIS_SELECTED) ? 1 : 0;
    return n;
}

int CListCtrl::GetSelectionMark() const {
    return m_selectionMark;
}

BOOL CListCtrl::EnsureVisible(int item, BOOL) {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr)
        return FALSE;
    List(this)->scrollToItem(row);
    return TRUE;
}

int CListCtrl::HitTest(POINT point, UINT* flags) const {
    LVHITTESTINFO info;
    info.pt = point;
    int item = SubItemHitTest(&info);
    if (flags != nullptr)
        *flags = info.flags;
    return item;
}

int CListCtrl::SubItemHitTest(LVHITTESTINFO* info) const {
    QTreeWidget* list = List(this);
    info->iItem = -1;
    info->iSubItem = 0;
    info->flags = LVHT_NOWHERE;
    if (list == nullptr)
        return -1;
    QModelIndex index = list->indexAt(QPoint(info->pt.x, info->pt.y));
    if (!index.isValid())
        return -1;
    info->iItem = index.row();
    info->iSubItem = index.column();
    info->flags = LVHT_ONITEMLABEL;
    auto* delegate = dynamic_cast<CustomDrawDelegate*>(list->itemDelegate());
    if (index.column() == 0 && (m_exStyle & LVS_EX_CHECKBOXES) && delegate != nullptr &&
        delegate->CheckBoxRect(index).contains(QPoint(info->pt.x, info->pt.y)))
        info->flags = LVHT_ONITEMSTATEICON;
    return info->iItem;
}

BOOL CListCtrl::GetSubItemRect(int item, int subItem, int area, RECT* rect) const {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr || subItem < 0 || subItem >= GetColumnCount())
        return FALSE;
    QTreeWidget* list = List(this);
    QRect r = list->visualRect(list->model()->index(item, subItem));
    if (area == LVIR_LABEL && subItem == 0 && !row->icon(0).isNull())
        r.setLeft(r.left() + list->iconSize().width());
    *rect = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return TRUE;
}

BOOL CListCtrl::GetItemRect(int item, RECT* rect, int area) const {
    QTreeWidgetItem* row = Row(this, item);
    if (row == nullptr)
        return FALSE;
    QRect r = List(this)->visualItemRect(row);
    if (area == LVIR_BOUNDS) {
        RECT last;
        GetSubItemRect(item, GetColumnCount() - 1, LVIR_BOUNDS, &last);
        r.setRight(last.right - 1);
    }
    *rect = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return TRUE;
}

CImageList* CListCtrl::SetImageList(CImageList* list, int kind) {
    CImageList*& slot = kind == LVSIL_STATE ? m_stateImages : m_smallImages;
    CImageList* previous = slot;
    slot = list;
    QTreeWidget* tree = List(this);
    if (tree != nullptr && list != nullptr && kind != LVSIL_STATE) {
        SIZE size = list->GetImageSize();
        tree->setIconSize(QSize(size.cx, size.cy));
    }
    return previous;
}

CImageList* CListCtrl::GetImageList(int kind) const {
    return kind == LVSIL_STATE ? m_stateImages : m_smallImages;
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() {
    if (m_header.m_hWnd != nullptr)
        return &m_header;
    // The header may have been subclassed by another object.
    QTreeWidget* list = List(this);
    return list == nullptr ? nullptr : CurrentWindow<CHeaderCtrl>(list->header());
}

void CListCtrl::SetBkColor(COLORREF colour) {
    SetWidgetColour(GetWidget(), QPalette::Base, colour);
}

void CListCtrl::SetTextColor(COLORREF colour) {
    SetWidgetColour(GetWidget(), QPalette::Text, colour);
}

void CListCtrl::SetTextBkColor(COLORREF colour) {
    SetBkColor(colour);
}

void CListCtrl::CustomDrawCell(int item, int subItem, const RECT& rect, COLORREF* text,
                               COLORREF* background) {
    NMLVCUSTOMDRAW cd;
    cd.nmcd.hdr.code = NM_CUSTOMDRAW;
    cd.nmcd.rc = rect;
    cd.nmcd.dwItemSpec = static_cast<uintptr_t>(item);
    cd.nmcd.lItemlParam = static_cast<LPARAM>(GetItemData(item));
    cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    cd.iSubItem = subItem;
    LRESULT answer = NotifyParent(&cd.nmcd.hdr);
    if (answer & CDRF_NOTIFYSUBITEMDRAW) {
        cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        NotifyParent(&cd.nmcd.hdr);
    }
    *text = cd.clrText;
    *background = cd.clrTextBk;
}
