#pragma once

#include "platform/ui/dialog_template.h"

// The updater's two dialogs: the main dialog (resource 102) and the confirmation that a client runs
// (resource 130). They are the updater's own and are not in the client's table of templates.
extern const DialogTemplate kUpdaterDialogTemplate;
extern const DialogTemplate kRetryDialogTemplate;

constexpr UINT IDD_UPDATER_DIALOG = 102;
constexpr UINT IDD_RETRY_DIALOG = 130;
constexpr UINT IDC_RETRY_ICON = 1005;
constexpr UINT IDC_RETRY_TEXT = 1000;

// The updater's resources in the window layer (its two dialogs and the bitmaps), installed by the
// program at start, before its first window.
void InstallUpdaterResources();
