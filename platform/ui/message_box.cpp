#include "platform/ui/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include "platform/ui/desktop_hints.h"
#include "platform/ui/dialog.h"
#include "platform/ui/owner_centring.h"
#include "platform/ui/prompt_hook.h"
#include "platform/ui/win_app.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {

// A message box centred on its owner. The box takes its final size only as it is shown (in its show
// event), after the dialog base placed it for its old size with a guessed frame: it is centred again
// then, before the window reaches the screen.
class OwnedMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (!event->spontaneous())
            CentreOnOwner(this);
    }
};

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonChoice> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNOCANCEL:
            return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNO:
            return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        case MB_RETRYCANCEL:
            return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        default:
            return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONERROR:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONWARNING:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

int MessageBox(CWnd* owner, const QString& text, const QString& caption, UINT type) {
    PromptRequest request;
    request.kind = PromptKind::MessageBox;
    request.text = text;
    request.caption = caption;
    request.style = type;
    PromptAnswer answer;
    // The session is ending: nobody is asked any more.
    if (ModalLoopsEnding())
        return ButtonsOf(type).back().result;
    if (AskPromptHook(request, &answer))
        return answer.result;
    std::vector<ButtonChoice> choices = ButtonsOf(type);
    OwnedMessageBox box(IconOf(type), caption, text, QMessageBox::NoButton,
                        owner != nullptr ? owner->GetWidget() : nullptr);
    for (const ButtonChoice& choice : choices)
        box.addButton(choice.button);
    box.setEscapeButton(choices.back().button);
    if (owner != nullptr && owner->GetWidget() != nullptr)
        MarkOwnedWindow(&box, owner->GetWidget()->window());
    WindowEventScope scope;
    auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const ButtonChoice& choice : choices) {
        if (choice.button == clicked)
            return choice.result;
    }
    return choices.size() > 1 ? IDCANCEL : IDOK;
}

int AfxMessageBox(const QString& text, UINT type) {
    CWnd* main = AfxGetMainWnd();
    return MessageBox(main, text, main != nullptr ? main->GetWindowText() : QString(), type);
}
