#pragma once

// CTransparentStatic: a text drawn straight on the parent's skin. Each new text first has the parent
// repaint its background under the control, so a shorter text never shows remains of a longer one.

#include "platform/ui/static_ctrl.h"

class CTransparentStatic : public CStatic {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnCreate() override;
};
