#include "platform/ui/button.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/dc.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {

// The widget of an owner-drawn button: paints nothing of its own and takes the focus on a click.
class OwnerDrawButtonWidget : public QWidget {
public:
    OwnerDrawButtonWidget() {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_Hover, false);
    }
};

QRect ToQRect(const RECT& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

}  // namespace

BOOL CButton::Create(const QString& text, DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    QWidget* widget = nullptr;
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: {
            auto* box = new QCheckBox(text);
            box->setTristate((style & BS_TYPEMASK) == BS_3STATE || (style & BS_TYPEMASK) == BS_AUTO3STATE);
            widget = box;
            break;
        }
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: {
            auto* radio = new QRadioButton(text);
            radio->setAutoExclusive(false);
            widget = radio;
            break;
        }
        case BS_GROUPBOX:
            widget = new QGroupBox(text);
            break;
        case BS_OWNERDRAW:
            widget = NewOwnerDrawWidget();
            m_ownerDrawText = text;
            break;
        default: {
            auto* push = new QPushButton(text);
            push->setAutoDefault(false);
            push->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            widget = push;
            break;
        }
    }
    if (parent != nullptr)
        widget->setParent(parent->GetWidget());
    widget->setGeometry(ToQRect(rect));
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        QObject::connect(button, &QAbstractButton::clicked, button, [button] {
            if (auto* self = CurrentWindow<CButton>(button))
                self->OnUserClick();
        });
    return Attach(widget, parent, nID, style | WS_CHILD);
}

void CButton::OnUserClick() {
    WindowEventScope scope;
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    DWORD kind = GetStyle() & BS_TYPEMASK;
    // Buttons without the automatic style change only when their parent sets them.
    if (button != nullptr && (kind == BS_CHECKBOX || kind == BS_RADIOBUTTON || kind == BS_3STATE))
        button->setChecked(!button->isChecked());
    if (kind == BS_AUTORADIOBUTTON && GetParent() != nullptr && GetWidget() != nullptr) {
        button->setChecked(true);
        for (QAbstractButton* other :
             GetWidget()->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
            auto* wnd = dynamic_cast<CButton*>(FindWindowOfWidget(other));
            if (wnd != nullptr && wnd != this && wnd->m_nRadioGroup == m_nRadioGroup &&
                (wnd->GetStyle() & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                other->setChecked(false);
        }
    }
    NotifyParentCommand(BN_CLICKED);
}

int CButton::GetCheck() const {
    if (auto* box = qobject_cast<QCheckBox*>(GetWidget())) {
        Qt::CheckState state = box->checkState();
        return state == Qt::Checked            ? BST_CHECKED
               : state == Qt::PartiallyChecked ? BST_INDETERMINATE
                                               : BST_UNCHECKED;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(GetWidget()))
        return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    return BST_UNCHECKED;
}

void CButton::SetCheck(int check) {
    if (auto* box = qobject_cast<QCheckBox*>(GetWidget())) {
        box->setCheckState(check == BST_CHECKED         ? Qt::Checked
                           : check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                        : Qt::Unchecked);
    } else if (auto* button = qobject_cast<QAbstractButton*>(GetWidget())) {
        button->setChecked(check == BST_CHECKED);
    }
}

void CButton::TakeOverState(const CWnd& from) {
    if (auto* button = dynamic_cast<const CButton*>(&from)) {
        m_nRadioGroup = button->m_nRadioGroup;
        m_ownerDrawText = button->m_ownerDrawText;
    }
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

QWidget* CButton::NewOwnerDrawWidget() {
    return new OwnerDrawButtonWidget;
}

UINT CButton::SystemItemState() const {
    if (!IsWindowEnabled())
        return ODS_DISABLED;
    if (m_bSystemPushed)
        return ODS_SELECTED | ODS_FOCUS;
    QWidget* widget = GetWidget();
    return widget != nullptr && widget->hasFocus() ? ODS_FOCUS : 0;
}

void CButton::OnPaint() {
    if ((GetStyle() & BS_TYPEMASK) != BS_OWNERDRAW) {
        CWnd::OnPaint();
        return;
    }
    CPaintDC dc(this);
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = GetDlgCtrlID();
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = SystemItemState();
    dis.hwndItem = m_hWnd;
    dis.hDC = &dc;
    GetClientRect(&dis.rcItem);
    DrawItem(&dis);
}

BOOL CButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_DRAWITEM)
        return FALSE;
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    *pResult = TRUE;
    return TRUE;
}

void CButton::SetTextOfWidget(const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(GetWidget()))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(GetWidget()))
        group->setTitle(text);
    else {
        m_ownerDrawText = text;
        GetWidget()->update();
    }
}

QString CButton::TextOfWidget() const {
    if (auto* button = qobject_cast<QAbstractButton*>(GetWidget()))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(GetWidget()))
        return group->title();
    return m_ownerDrawText;
}
