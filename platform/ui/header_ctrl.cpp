#include "platform/ui/header_ctrl.h"

#include <QHeaderView>

namespace {
constexpr int kHeaderImageRole = Qt::UserRole + 4;
}  // namespace

int CHeaderCtrl::GetItemCount() const {
    auto* header = qobject_cast<QHeaderView*>(GetWidget());
    return header == nullptr ? 0 : header->count();
}

CImageList* CHeaderCtrl::SetImageList(CImageList* list) {
    CImageList* previous = m_images;
    m_images = list;
    return previous;
}

BOOL CHeaderCtrl::SetItemImage(int index, int image) {
    auto* header = qobject_cast<QHeaderView*>(GetWidget());
    if (header == nullptr || header->model() == nullptr || index < 0 || index >= header->count())
        return FALSE;
    QAbstractItemModel* model = header->model();
    model->setHeaderData(index, Qt::Horizontal, image, kHeaderImageRole);
    model->setHeaderData(index, Qt::Horizontal, m_images == nullptr ? QIcon() : m_images->Icon(image),
                         Qt::DecorationRole);
    return TRUE;
}

int CHeaderCtrl::GetItemImage(int index) const {
    auto* header = qobject_cast<QHeaderView*>(GetWidget());
    if (header == nullptr || header->model() == nullptr || index < 0 || index >= header->count())
        return -1;
    QVariant image = header->model()->headerData(index, Qt::Horizontal, kHeaderImageRole);
    return image.isValid() ? image.toInt() : -1;
}

QWidget* CHeaderCtrl::GetPaintWidget() const {
    auto* header = qobject_cast<QHeaderView*>(GetWidget());
    return header == nullptr ? GetWidget() : header->viewport();
}

BOOL CHeaderCtrl::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}
