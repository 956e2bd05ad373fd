#include "ui/dialogs/field_refusal.h"

#include "dvr/dvr_fields.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/dialog_texts.h"

int TextFieldFaultOf(const QString& text, TextFieldKind kind) {
    const auto* utf16 = reinterpret_cast<const char16_t*>(text.utf16());
    switch (kind) {
        case TextFieldKind::Credential:
            return CredentialFieldFault(utf16, TEXT_FIELD_SIZE);
        case TextFieldKind::RequiredText:
            if (text.isEmpty())
                return FIELD_EMPTY;
            break;
        case TextFieldKind::Text:
            break;
    }
    return TextFieldFault(utf16, TEXT_FIELD_SIZE);
}

QString FieldFaultText(int fault) {
    switch (fault) {
        case FIELD_TOO_LONG:
            return LanguageText("SYSTEM_MSG_TEXT_TOO_LONG", "The text is too long, please input again!");
        case FIELD_NOT_IN_CODE_PAGE:
            return LanguageText("SYSTEM_MSG_TEXT_UNSUPPORTED",
                                "The text has characters that cannot be sent, please input again!");
        case FIELD_EMPTY:
            return LanguageText("SYSTEM_MSG_TEXT_EMPTY", "The text is empty, please input again!");
        default:
            return QString();
    }
}

bool AcceptFieldFault(CWnd* window, UINT id, int fault) {
    if (fault == FIELD_FITS)
        return true;
    (void)MessageBox(window, FieldFaultText(fault), QString(), MB_OK);
    if (CWnd* item = window->GetDlgItem(id))
        item->SetFocus();
    return false;
}

bool CheckFieldTexts(CWnd* window, const TextFieldRule* rules, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!AcceptFieldFault(window, rules[i].id,
                              TextFieldFaultOf(ItemText(window, rules[i].id), rules[i].kind)))
            return false;
    }
    return true;
}
