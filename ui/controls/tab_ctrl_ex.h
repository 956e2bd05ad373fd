#pragma once

// CTabCtrlEx: a tab control that erases no background, so the parent's skin shows around its tabs.

#include "platform/ui/tab_ctrl.h"

class CTabCtrlEx : public CTabCtrl {
protected:
    BOOL OnEraseBkgnd() override { return TRUE; }
    int OnCreate() override;
};
