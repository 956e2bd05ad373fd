#pragma once

// Everything that waits for a person (message boxes, popup menus, the file, folder, colour and font
// dialogs) asks this hook first. Tests install one that answers at once; without a hook the real Qt
// dialog or menu runs in a nested loop, which keeps delivering posts and timers.

#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/ui/ui_geometry.h"

enum class PromptKind { MessageBox, PopupMenu, FileOpen, FileSave, Folder, Colour, Font };

struct PromptRequest {
    PromptKind kind = PromptKind::MessageBox;
    QString text;           // message box text, or a file dialog's file name
    QString caption;        // title
    UINT style = 0;         // message box style (MB_...)
    QString filter;         // file dialogs: the filter text as given
    QStringList menuItems;  // popup menus: "id:text" of each enabled command item
    COLORREF colour = 0;    // colour dialog: the starting colour
    QFont font;             // font dialog: the starting font
};

struct PromptAnswer {
    int result = 0;       // IDOK, IDCANCEL, IDYES, ... ; for a menu the chosen command (0: none)
    QString path;         // file and folder dialogs
    COLORREF colour = 0;  // colour dialog, and the font dialog's colour
    QFont font;           // font dialog
};

using PromptHook = std::function<PromptAnswer(const PromptRequest&)>;
void SetPromptHook(PromptHook hook);
// Answers through the hook; false when no hook is installed.
bool AskPromptHook(const PromptRequest& request, PromptAnswer* answer);
