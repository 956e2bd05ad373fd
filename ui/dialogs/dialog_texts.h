#pragma once

// Small helpers the dialogs share for their controls: language texts, check boxes and edit texts by id.

#include <QString>

#include "platform/ui/wnd.h"

class CListCtrl;

// One control's text from the language table.
struct DialogText {
    UINT id;
    const char* key;
    const char* english;
};

// The text of key from the active language, or the English default.
QString LanguageText(const char* key, const char* english);
// Sets each control's text (controls the window lacks are passed over).
void ApplyDialogTexts(CWnd* window, const DialogText* texts, size_t count);
template <size_t N>
void ApplyDialogTexts(CWnd* window, const DialogText (&texts)[N]) {
    ApplyDialogTexts(window, texts, N);
}
// The control's text; empty when the window has no such control.
QString ItemText(const CWnd* window, UINT id);
void SetItemText(CWnd* window, UINT id, const QString& text);
// Check boxes: 1 checked, else 0.
int ItemChecked(const CWnd* window, UINT id);
void CheckItem(CWnd* window, UINT id, int on);

// One column of a list view: its heading from the language table, alignment and width in pixels.
struct ListColumn {
    const char* key;
    const char* english;
    int format;
    int width;
};
// Deletes the list's columns and inserts the given ones.
void SetListColumns(CListCtrl& list, const ListColumn* columns, size_t count);
template <size_t N>
void SetListColumns(CListCtrl& list, const ListColumn (&columns)[N]) {
    SetListColumns(list, columns, N);
}

// The unsaved-change question of the tree editor and the device list; TRUE when answered with OK.
BOOL AskSaveChanges(CWnd* owner);
