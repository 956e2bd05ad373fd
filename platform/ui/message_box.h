#pragma once

// Message boxes: the text, the caption, and MB_ buttons and icon; the result is the button's IDOK,
// IDCANCEL, IDYES, IDNO, ...

#include <QString>

#include "platform/ui/wnd.h"

int MessageBox(CWnd* owner, const QString& text, const QString& caption, UINT type);
// The application's caption (the main window's title).
int AfxMessageBox(const QString& text, UINT type = MB_OK);
