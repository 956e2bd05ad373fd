#include "ui/controls/transparent_static.h"

int CTransparentStatic::OnCreate() {
    if (QWidget* widget = GetWidget()) {
        widget->setAutoFillBackground(false);
        widget->setAttribute(Qt::WA_NoSystemBackground);
    }
    return CStatic::OnCreate();
}

LRESULT CTransparentStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CStatic::WindowProc(message, wParam, lParam);
    if (message == WM_SETTEXT) {
        CWnd* parent = GetParent();
        if (parent != nullptr) {
            RECT rect;
            GetWindowRect(&rect);
            parent->ScreenToClient(&rect);
            parent->InvalidateRect(&rect, TRUE);
            parent->UpdateWindow();
        }
    }
    return result;
}
