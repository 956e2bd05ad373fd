#include "ui/device_tree_images.h"

#include <QImage>

namespace {

// In the order of the TREE_ICON_* values.
constexpr UINT kTreeBitmaps[] = {191, 194, 190, 192, 193, 221};
constexpr int kImageSize = 16;

}  // namespace

BOOL CreateDeviceTreeImages(CImageList* images) {
    if (images == nullptr || !images->Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, 6, 0))
        return FALSE;
    BOOL complete = TRUE;
    for (UINT id : kTreeBitmaps) {
        CBitmap bitmap;
        if (bitmap.LoadBitmap(id) && images->Add(&bitmap, RGB(0, 0, 0)) >= 0)
            continue;
        QImage empty(kImageSize, kImageSize, QImage::Format_ARGB32);
        empty.fill(Qt::transparent);
        images->Add(empty);
        complete = FALSE;
    }
    return complete;
}
