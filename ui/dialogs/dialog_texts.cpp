#include "ui/dialogs/dialog_texts.h"

#include "core/tarvik_app.h"
#include "platform/ui/button.h"
#include "platform/ui/list_ctrl.h"
#include "platform/ui/message_box.h"

QString LanguageText(const char* key, const char* english) {
    return GetLanguageText(QString::fromLatin1(key), QString::fromUtf8(english));
}

void ApplyDialogTexts(CWnd* window, const DialogText* texts, size_t count) {
    for (size_t i = 0; i < count; ++i)
        SetItemText(window, texts[i].id, LanguageText(texts[i].key, texts[i].english));
}

QString ItemText(const CWnd* window, UINT id) {
    CWnd* item = window->GetDlgItem(id);
    return item != nullptr ? item->GetWindowText() : QString();
}

void SetItemText(CWnd* window, UINT id, const QString& text) {
    if (CWnd* item = window->GetDlgItem(id))
        item->SetWindowText(text);
}

int ItemChecked(const CWnd* window, UINT id) {
    auto* button = dynamic_cast<CButton*>(window->GetDlgItem(id));
    return button != nullptr && button->GetCheck() == BST_CHECKED ? 1 : 0;
}

void CheckItem(CWnd* window, UINT id, int on) {
    if (auto* button = dynamic_cast<CButton*>(window->GetDlgItem(id)))
        button->SetCheck(on ? BST_CHECKED : BST_UNCHECKED);
}

void SetListColumns(CListCtrl& list, const ListColumn* columns, size_t count) {
    while (list.GetColumnCount() > 0)
        list.DeleteColumn(0);
    for (size_t i = 0; i < count; ++i)
        list.InsertColumn(static_cast<int>(i), LanguageText(columns[i].key, columns[i].english),
                          columns[i].format, columns[i].width);
}

BOOL AskSaveChanges(CWnd* owner) {
    return MessageBox(
               owner,
               LanguageText("DLGTREE_MSG_CONFIG_NOTSAVED", "Config has modified but not saved, save now?"),
               QString(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK
               ? TRUE
               : FALSE;
}
