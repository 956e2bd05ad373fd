#include "ui/controls/tab_ctrl_ex.h"

int CTabCtrlEx::OnCreate() {
    // The tab row draws only its tabs; everything around them is the parent's.
    if (QWidget* widget = GetWidget())
        widget->setAutoFillBackground(false);
    return CTabCtrl::OnCreate();
}
