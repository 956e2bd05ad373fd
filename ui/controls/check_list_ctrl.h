#pragma once

// CCheckListCtrl: a list view whose rows carry check boxes and whose column-0 heading carries a "check
// all" box (CCheckHeadCtrl) kept in step with the rows: ticked exactly when no row is unchecked. A click
// on the heading box checks or unchecks every row. The setup pages' channel lists and the channel picker
// use it.

#include "platform/ui/image_list.h"
#include "platform/ui/list_ctrl.h"

// Pictures of the check image list (bitmap 154): none, an empty box, a ticked box.
constexpr int CHECK_IMAGE_NONE = 0;
constexpr int CHECK_IMAGE_UNCHECKED = 1;
constexpr int CHECK_IMAGE_CHECKED = 2;
constexpr UINT IDB_CHECK_IMAGES = 154;

// The heading row of a CCheckListCtrl: a click on heading 0 toggles its box and sets every row to it.
class CCheckHeadCtrl : public CHeaderCtrl {
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    void OnItemClick(const NMHEADER* header);
};

class CCheckListCtrl : public CListCtrl {
public:
    CCheckListCtrl();
    ~CCheckListCtrl() override;

    // Puts the "check all" box in heading 0 (after the columns exist): 0, or -1 without a heading row.
    [[nodiscard]] int InitHeaderCheck();
    // The picture heading 0 shows now (CHECK_IMAGE_...), -1 without the box.
    int GetHeaderCheckImage() const;
    // Sets the heading box from the rows: ticked when none is unchecked. Rows inserted or deleted raise
    // no change of state, so whoever fills the list calls this afterwards.
    void UpdateHeaderCheck();

    CCheckHeadCtrl m_checkHead;
    CImageList m_checkImages;
    int m_bHeaderSubclassed = 0;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    void OnItemChanged(const NMLISTVIEW* change);
};
