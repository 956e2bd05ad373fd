#pragma once

// CBitButton: the skinned push button. It draws itself from a strip of three pictures of equal width
// (normal, hover, pressed), shows the hover picture while the mouse is over it, carries an optional tool
// tip, and tells its parent of a press (WM_BITBUTTON_DOWN) and of the press's end (WM_BITBUTTON_UP) before
// the click (WM_COMMAND with BN_CLICKED). Every press is followed by exactly one WM_BITBUTTON_UP however it
// ends (released inside or outside, capture lost, button disabled or hidden): holding a PTZ button moves
// the camera until that message, so it must never be lost.

#include <QImage>

#include "platform/ui/button.h"
#include "platform/ui/gdi_objects.h"
#include "platform/ui/tool_tip_ctrl.h"

constexpr int BITBUTTON_STATE_NORMAL = 0;
constexpr int BITBUTTON_STATE_HOVER = 1;
constexpr int BITBUTTON_STATE_PRESSED = 2;
constexpr int BITBUTTON_STATE_DISABLED = 4;

class CBitButton : public CButton {
public:
    CBitButton() = default;

    // The strip of bitmap resource id; 0 when it does not load (the button then draws no picture).
    int LoadBitmap(UINT id);
    // The same with a strip made by the program.
    int LoadBitmapFromImage(const QImage& strip);
    void SizeToBitmap();
    void SetToolTipText(const QString& text);
    // Draws the button at once in the given state (ODA_ action, ODS_ state).
    void DrawState(UINT itemAction, UINT itemState);
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // What the button shows now (tests and the gallery).
    const QImage& Face() const { return m_face.Image(); }

    CBitmap m_bitmap;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CToolTipCtrl m_toolTip;
    COLORREF m_crText = 0;
    int m_bHover = 0;
    int m_nState = BITBUTTON_STATE_NORMAL;

protected:
    QWidget* CreateSubclassWidget() override { return NewOwnerDrawWidget(); }
    int OnCreate() override;
    void OnPaint() override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;
    void OnMouseMove(UINT nFlags, POINT point) override;
    void OnEnable(BOOL bEnable) override;
    void OnCancelMode() override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    void OnDestroy() override;
    void OnSetFocus() override;
    void OnKillFocus() override;
    // A new text is drawn over the picture at once, not at the next change of state.
    void SetTextOfWidget(const QString& text) override;

private:
    void EnsureToolTip();
    // Draws into the button's face with the given state and shows it.
    void DrawFace(UINT itemAction, UINT itemState);
    bool IsInside(POINT point) const;
    // Ends a press that did not end with a release: the parent hears WM_BITBUTTON_UP, no click follows.
    void CancelPress();
    bool ReportRelease();

    CBitmap m_face;
    bool m_bPressReported = false;  // WM_BITBUTTON_DOWN sent, WM_BITBUTTON_UP not yet
};
