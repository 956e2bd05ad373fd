#pragma once

// Texts typed into a dialog are checked against the field that carries them to the DVR or the WAN server
// before anything is written: a text field holds 255 UTF-8 bytes, a user name or password the Base64 of
// its code-page bytes in 255 characters (189 bytes), and a credential must not hold a character the code
// page lacks (it would arrive as '?'). A refused text is named in a message and gets the focus; the
// record stays as it was.

#include <QString>
#include <cstddef>

#include "platform/ui/wnd.h"

enum class TextFieldKind {
    Text,          // UTF-8 in a text field, may be empty
    RequiredText,  // the same, and not empty (an empty text would travel as "(NULL)")
    Credential,    // Base64 of the code-page bytes
};

// Besides the FieldFault values of dvr/dvr_fields.h: a required text is empty.
constexpr int FIELD_EMPTY = 3;

// FIELD_FITS, FIELD_TOO_LONG, FIELD_NOT_IN_CODE_PAGE or FIELD_EMPTY.
[[nodiscard]] int TextFieldFaultOf(const QString& text, TextFieldKind kind);

// The message that says why a text was refused; empty for FIELD_FITS.
QString FieldFaultText(int fault);

// One edit of a dialog and the field its text goes into.
struct TextFieldRule {
    UINT id;
    TextFieldKind kind;
};

// Checks the edits' texts in order. The first that does not fit is told (message box) and focused, and
// false is returned; true when every text fits.
[[nodiscard]] bool CheckFieldTexts(CWnd* window, const TextFieldRule* rules, size_t count);
template <size_t N>
[[nodiscard]] bool CheckFieldTexts(CWnd* window, const TextFieldRule (&rules)[N]) {
    return CheckFieldTexts(window, rules, N);
}
// Tells fault for the control id (message box, focus); true when fault is FIELD_FITS.
bool AcceptFieldFault(CWnd* window, UINT id, int fault);
