#include "ui/controls/check_list_ctrl.h"

namespace {

constexpr COLORREF kCheckMask = RGB(255, 0, 255);
constexpr int kCheckImageWidth = 13;
constexpr int kCheckImageHeight = 16;

UINT StateImageOf(int image) {
    return INDEXTOSTATEIMAGEMASK(static_cast<UINT>(image));
}

}  // namespace

BOOL CCheckHeadCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (message == WM_NOTIFY && hdr != nullptr && hdr->code == HDN_ITEMCLICK) {
        OnItemClick(reinterpret_cast<const NMHEADER*>(lParam));
        *pResult = 0;
        return TRUE;
    }
    return CHeaderCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

void CCheckHeadCtrl::OnItemClick(const NMHEADER* header) {
    if (header->iItem != 0)
        return;
    int image = GetItemImage(0) == CHECK_IMAGE_UNCHECKED ? CHECK_IMAGE_CHECKED : CHECK_IMAGE_UNCHECKED;
    SetItemImage(0, image);
    auto* list = dynamic_cast<CListCtrl*>(GetParent());
    if (list == nullptr)
        return;
    // Each row's change reports back to the list, which sets the box again; after the last row it shows
    // what this click chose.
    for (int i = 0; i < list->GetItemCount(); ++i)
        list->SetItemState(i, StateImageOf(image == CHECK_IMAGE_CHECKED ? 2 : 1), LVIS_STATEIMAGEMASK);
}

CCheckListCtrl::CCheckListCtrl() {
    CBitmap strip;
    if (m_checkImages.Create(kCheckImageWidth, kCheckImageHeight, ILC_COLOR32 | ILC_MASK, 3, 3) &&
        strip.LoadBitmap(IDB_CHECK_IMAGES))
        m_checkImages.Add(&strip, kCheckMask);
}

CCheckListCtrl::~CCheckListCtrl() = default;

int CCheckListCtrl::InitHeaderCheck() {
    CHeaderCtrl* header = GetHeaderCtrl();
    if (header == nullptr)
        return -1;
    if (m_bHeaderSubclassed == 0) {
        if (header != &m_checkHead && !m_checkHead.SubclassWindow(header->m_hWnd))
            return -1;
        m_bHeaderSubclassed = 1;
    }
    m_checkHead.SetImageList(&m_checkImages);
    m_checkHead.SetItemImage(0, CHECK_IMAGE_UNCHECKED);
    return 0;
}

int CCheckListCtrl::GetHeaderCheckImage() const {
    return m_bHeaderSubclassed == 0 ? -1 : m_checkHead.GetItemImage(0);
}

BOOL CCheckListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (message == WM_NOTIFY && hdr != nullptr && hdr->code == LVN_ITEMCHANGED) {
        OnItemChanged(reinterpret_cast<const NMLISTVIEW*>(lParam));
        *pResult = 0;
        return TRUE;
    }
    return CListCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

void CCheckListCtrl::OnItemChanged(const NMLISTVIEW* change) {
    if (change->uChanged == LVIF_STATE)
        UpdateHeaderCheck();
}

void CCheckListCtrl::UpdateHeaderCheck() {
    if (m_bHeaderSubclassed == 0)
        return;
    int image = CHECK_IMAGE_CHECKED;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (GetItemState(i, LVIS_STATEIMAGEMASK) == StateImageOf(1)) {
            image = CHECK_IMAGE_UNCHECKED;
            break;
        }
    }
    m_checkHead.SetItemImage(0, image);
}
