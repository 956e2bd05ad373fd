#pragma once

// CButton: push button, check box, radio button, group box, or an owner-drawn button that draws itself
// in DrawItem. A click by the user notifies the parent with BN_CLICKED; SetCheck notifies nothing.

#include "platform/ui/owner_draw.h"
#include "platform/ui/wnd.h"

constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr int BST_INDETERMINATE = 2;

class CButton : public CWnd {
public:
    BOOL Create(const QString& text, DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    int GetCheck() const;
    void SetCheck(int check);
    UINT GetButtonStyle() const { return GetStyle() & BS_TYPEMASK; }
    // Radio buttons of one group (from a WS_GROUP control to the next) uncheck each other.
    void SetRadioGroup(int group) { m_nRadioGroup = group; }
    // The widget of an owner-drawn button (it paints nothing of its own).
    static QWidget* NewOwnerDrawWidget();
    // Owner-drawn buttons: draws the button; the default draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    void OnPaint() override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void SetTextOfWidget(const QString& text) override;
    QString TextOfWidget() const override;
    // The item state the system would draw an owner-drawn button with.
    UINT SystemItemState() const;
    void TakeOverState(const CWnd& from) override;
    // The owner-drawn button's own pressed state (pressed and not yet released or cancelled).
    bool m_bSystemPushed = false;

private:
    void OnUserClick();
    int m_nRadioGroup = 0;
    QString m_ownerDrawText;
};
