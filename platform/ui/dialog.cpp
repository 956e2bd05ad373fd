#include "platform/ui/dialog.h"

#include <algorithm>
#include <string_view>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>

#include "platform/ui/data_exchange.h"
#include "platform/ui/dialog_font.h"
#include "platform/ui/owner_centring.h"
#include "platform/ui/range_ctrls.h"
#include "platform/ui/ui_styles.h"
#include "platform/ui/win_app.h"
#include "platform/ui/window_resources.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {

// The dialog's widget: Enter, Escape and the close box become the platform's IDOK and IDCANCEL.
// What Enter does is what the window shows: a push button that takes the focus becomes the default one
// (drawn as such), and focus on any other control of the dialog gives the default back to the dialog's
// default button. Enter presses the focused push button, otherwise the default button.
class DialogWidget : public QDialog {
public:
    explicit DialogWidget(QWidget* parent) : QDialog(parent) {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            // Focus leaving the window (to another window or none) changes nothing here.
            if (now != nullptr && (now == this || isAncestorOf(now)))
                ShowDefault(qobject_cast<QPushButton*>(now));
        });
    }
    CWnd* owner = nullptr;
    // The dialog's default button: the template's default push button, otherwise IDOK.
    UINT defaultId = IDOK;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            Command(IDCANCEL);
        } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            auto* focused = qobject_cast<QPushButton*>(focusWidget());
            QPushButton* fallback = DefaultButton();
            if (focused != nullptr && isAncestorOf(focused))
                focused->click();
            else if (fallback == nullptr || (fallback->isEnabled() && !fallback->isHidden()))
                Command(int(defaultId));
            // A default button that is hidden or disabled is not pressed.
        } else {
            QDialog::keyPressEvent(event);
        }
    }
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        Command(IDCANCEL);
    }
    void reject() override { Command(IDCANCEL); }
    void accept() override { Command(IDOK); }

private:
    QPushButton* DefaultButton() const {
        CWnd* item = owner != nullptr && owner->m_hWnd != nullptr ? owner->GetDlgItem(defaultId) : nullptr;
        return item != nullptr ? qobject_cast<QPushButton*>(item->GetWidget()) : nullptr;
    }
    // Draws focused (or, without one, the dialog's default button) as the one default push button.
    void ShowDefault(QPushButton* focused) {
        QPushButton* target = focused != nullptr ? focused : DefaultButton();
        for (QPushButton* button : findChildren<QPushButton*>()) {
            if (button != target && button->window() == this)
                button->setDefault(false);
        }
        if (target != nullptr)
            target->setDefault(true);
    }
    void Command(int id) {
        if (owner != nullptr && owner->m_hWnd != nullptr) {
            WindowEventScope scope;
            owner->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        }
    }
};

// The template dialogs whose modal loop runs, outermost first.
std::vector<CDialog*> g_modalDialogs;
bool g_modalLoopsEnding = false;

QRect TemplateRect(short x, short y, short cx, short cy) {
    DialogPixelRect rect = DialogRectToPixels(x, y, cx, cy);
    return QRect(rect.x, rect.y, rect.cx, rect.cy);
}

// The id of the template's default push button, otherwise IDOK.
UINT TemplateDefaultId(const DialogTemplate& t) {
    for (size_t i = 0; i < t.itemCount; ++i) {
        const DialogItemTemplate& item = t.items[i];
        if (std::string_view(item.windowClass) == WC_BUTTON && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return item.id;
    }
    return IDOK;
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd),
      m_template(FindWindowDialogTemplate(nIDTemplate)),
      m_nIDTemplate(nIDTemplate) {}

CDialog::CDialog(const DialogTemplate* dialogTemplate, CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd),
      m_template(dialogTemplate),
      m_nIDTemplate(dialogTemplate == nullptr ? 0 : dialogTemplate->id) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr)
        CDialog::DestroyWindow();
}

BOOL CDialog::CreateFromTemplate(CWnd* parent, bool modal) {
    if (m_template == nullptr || m_hWnd != nullptr)
        return FALSE;
    const DialogTemplate& t = *m_template;
    bool child = (t.style & WS_CHILD) != 0;
    if (parent == nullptr && !child)
        parent = AfxGetMainWnd();
    // The main window itself is run as a dialog: it has no owner.
    if (parent == this)
        parent = nullptr;
    QWidget* parentWidget = parent == nullptr ? nullptr : parent->GetWidget();
    QWidget* widget;
    if (child) {
        widget = new QWidget(parentWidget);
    } else {
        auto* dialog = new DialogWidget(parentWidget);
        dialog->owner = this;
        dialog->defaultId = TemplateDefaultId(t);
        Qt::WindowFlags flags = Qt::Dialog;
        if (!(t.style & WS_CAPTION))
            flags = (parentWidget != nullptr ? Qt::Tool : Qt::Window) | Qt::FramelessWindowHint;
        dialog->setWindowFlags(flags);
        // A window without an owner (the main window run as a dialog) is modal to nothing: a modal window
        // with no owner would be modal to the whole window group, and a window manager would keep it above
        // the windows it owns.
        dialog->setModal(modal && parentWidget != nullptr);
        widget = dialog;
    }
    // Every template dialog shows its texts in the one dialog font that sizes it.
    widget->setFont(DialogFont());
    widget->setWindowTitle(QString::fromUtf8(t.caption == nullptr ? "" : t.caption));
    QRect rect = TemplateRect(t.x, t.y, t.cx, t.cy);
    if (child) {
        widget->setGeometry(rect);
    } else {
        widget->resize(rect.size());
        // A framed dialog without a sizing border cannot be sized by dragging its frame.
        if ((t.style & WS_CAPTION) == WS_CAPTION && !(t.style & WS_THICKFRAME))
            SetFixedFrame(widget);
    }
    DWORD style = t.style & ~WS_VISIBLE;
    if (!Attach(widget, parent, t.id, style))
        return FALSE;
    int group = 0;
    for (size_t i = 0; i < t.itemCount; ++i) {
        const DialogItemTemplate& item = t.items[i];
        if (item.style & WS_GROUP)
            ++group;
        std::unique_ptr<CWnd> control = CreateTemplateControl(item, this, group);
        if (control == nullptr)
            continue;
        // An up-down control with UDS_AUTOBUDDY takes the control made before it as its buddy.
        auto* spin = dynamic_cast<CSpinButtonCtrl*>(control.get());
        if (spin != nullptr && (item.style & UDS_AUTOBUDDY) && !m_templateControls.empty())
            spin->SetBuddy(m_templateControls.back().get());
        m_templateControls.push_back(std::move(control));
    }
    return TRUE;
}

void EndModalLoops(int result) {
    g_modalLoopsEnding = !g_modalDialogs.empty();
    // A bounded number of rounds: closing a menu may leave the menu it came from open.
    for (int round = 0; round < 16 && QApplication::activePopupWidget() != nullptr; ++round)
        QApplication::activePopupWidget()->close();
    std::vector<CDialog*> templateDialogs = g_modalDialogs;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog == nullptr || !dialog->isVisible() || dynamic_cast<DialogWidget*>(dialog) != nullptr)
            continue;
        dialog->done(QDialog::Rejected);
    }
    for (auto it = templateDialogs.rbegin(); it != templateDialogs.rend(); ++it) {
        if (std::find(g_modalDialogs.begin(), g_modalDialogs.end(), *it) != g_modalDialogs.end())
            (*it)->EndDialog(result);
    }
}

bool ModalLoopsEnding() {
    return g_modalLoopsEnding;
}

intptr_t CDialog::DoModal() {
    if (g_modalLoopsEnding)
        return IDCANCEL;
    CWnd* parent = m_pParentWnd;
    if (!CreateFromTemplate(parent, true))
        return -1;
    m_nModalResult = -1;
    HWND self = m_hWnd;
    {
        WindowEventScope scope;
        SendMessage(WM_INITDIALOG, 0, 0);
    }
    // EndDialog may already have been called while the dialog initialised.
    if (FromHandle(self) == this && m_nModalResult == -1) {
        CentreOnOwner(GetWidget());
        ShowWindow(SW_SHOW);
        QEventLoop loop;
        m_bInModalLoop = true;
        QObject::connect(GetWidget(), &QObject::destroyed, &loop, &QEventLoop::quit);
        auto* dialog = static_cast<QDialog*>(GetWidget());
        QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
        g_modalDialogs.push_back(this);
        loop.exec(QEventLoop::DialogExec);
        g_modalDialogs.erase(std::find(g_modalDialogs.begin(), g_modalDialogs.end(), this));
        if (g_modalDialogs.empty())
            g_modalLoopsEnding = false;
        m_bInModalLoop = false;
    }
    int result = m_nModalResult;
    if (FromHandle(self) == this)
        DestroyWindow();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_template = FindWindowDialogTemplate(nIDTemplate);
    m_nIDTemplate = nIDTemplate;
    return Create(m_template, pParentWnd);
}

BOOL CDialog::Create(const DialogTemplate* dialogTemplate, CWnd* pParentWnd) {
    m_template = dialogTemplate;
    if (pParentWnd != nullptr)
        m_pParentWnd = pParentWnd;
    if (!CreateFromTemplate(m_pParentWnd, false))
        return FALSE;
    HWND self = m_hWnd;
    SendMessage(WM_INITDIALOG, 0, 0);
    if (FromHandle(self) == this && (m_template->style & WS_VISIBLE))
        ShowWindow(SW_SHOW);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (auto* dialog = qobject_cast<QDialog*>(GetWidget())) {
        ShowWindow(SW_HIDE);
        if (m_bInModalLoop)
            dialog->done(nResult);
    }
}

BOOL CDialog::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    BOOL result = CWnd::DestroyWindow();
    m_templateControls.clear();
    return result;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            return FALSE;
    }
}
