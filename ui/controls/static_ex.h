#pragma once

// CStaticEx: a colour swatch. It fills its whole client area with one colour and draws nothing else;
// the channel setup page shows the overlay colours with it. SetColor redraws it at once.

#include "platform/ui/static_ctrl.h"

class CStaticEx : public CStatic {
public:
    CStaticEx();

    void SetColor(COLORREF colour);
    COLORREF GetColor() const { return m_crColor; }

protected:
    void OnPaint() override;

private:
    COLORREF m_crColor;
};
